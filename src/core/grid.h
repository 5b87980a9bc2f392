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

// Where the frames of a sheet go: cells of one size, perRow to a row, filled in drawing order.
struct SheetGrid
{
    QSize cell;
    int perRow = 0;
    int rows = 0;

    qsizetype cells() const { return qsizetype(perRow) * rows; }
    QSize sheetSize() const { return {cell.width() * perRow, cell.height() * rows}; }
    QPoint cellAt(qsizetype index) const
    {
        return {int(index % perRow) * cell.width(), int(index / perRow) * cell.height()};
    }
};

} // namespace quorbel
