#pragma once

#include "core/checkedmath.h"

#include <QPoint>
#include <QSize>

namespace quorbel {

// Frames in each row of the sheet: the frame count shared out over the rows, rounded half to
// even, so 5 frames in 2 rows give 2 a row and 7 frames give 4.
inline Int16 framesPerRow(Int16 frames, Int16 rows)
{
    return toInt16(double(frames) / double(rows));
}

// Where the frames of a sheet go: cells of one size, perRow to a row, filled in drawing order,
// with padding pixels between the cells and around them.
struct SheetGrid
{
    QSize cell;
    int perRow = 0;
    int rows = 0;
    int padding = 0;

    qsizetype cells() const { return qsizetype(perRow) * rows; }
    QSize sheetSize() const
    {
        return {cell.width() * perRow + padding * (perRow + 1),
                cell.height() * rows + padding * (rows + 1)};
    }
    QPoint cellAt(qsizetype index) const
    {
        return {padding + int(index % perRow) * (cell.width() + padding),
                padding + int(index / perRow) * (cell.height() + padding)};
    }
};

} // namespace quorbel
