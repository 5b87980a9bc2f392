#pragma once

#include "core/checkedmath.h"
#include "core/layout.h"

#include <QPoint>
#include <QSize>

#include <algorithm>

namespace quorbel {

// Frames in each row of the sheet: the frame count shared out over the rows, rounded half to
// even, so 5 frames in 2 rows give 2 a row and 7 frames give 4.
inline Int16 framesPerRow(Int16 frames, Int16 rows)
{
    return toInt16(double(frames) / double(rows));
}

// Where the frames of a sheet go: cells of one size, perRow to a row, filled in drawing order.
// Extrusion grows every cell by a ring of its own, `extrusion` pixels wide, and `padding` pixels
// lie between those grown cells and around them; so a row of frames W wide is
// padding | ring W ring | padding | ring W ring | padding. A grid of more rows than rowsPerPage
// (0: no limit) goes on over further pages of whole rows, each laid out alike.
struct SheetGrid
{
    QSize cell;
    int perRow = 0;
    int rows = 0;
    int padding = 0;
    int extrusion = 0;
    int rowsPerPage = 0;

    qsizetype cells() const { return qsizetype(perRow) * rows; }
    int pageRows() const { return rowsPerPage > 0 ? std::min(rows, rowsPerPage) : rows; }
    int pages() const { return rows > 0 ? (rows + pageRows() - 1) / pageRows() : 1; }
    int rowsOn(int page) const { return std::min(pageRows(), rows - page * pageRows()); }
    int pageOf(qsizetype index) const { return int(index / perRow / pageRows()); }
    // A span of n cells of `size` with their rings, padded between and around.
    int span(int n, int size) const { return n * (size + 2 * extrusion) + (n + 1) * padding; }
    QSize pageSize(int page) const
    {
        return {span(perRow, cell.width()), span(rowsOn(page), cell.height())};
    }
    QSize sheetSize() const { return pageSize(0); }
    // The corner of the frame's own pixels, on its page.
    QPoint cellAt(qsizetype index) const
    {
        const int column = int(index % perRow), row = int(index / perRow % pageRows());
        return {padding + extrusion + column * (cell.width() + 2 * extrusion + padding),
                padding + extrusion + row * (cell.height() + 2 * extrusion + padding)};
    }
    // Frame `index`, of `size`, of which the part inside `area` is drawn: every frame's `area`
    // fills the cell, so that part lies in the cell where it lies in `area`, and the rest of the
    // cell stays empty.
    Placement place(qsizetype index, QSize size, QRect area) const
    {
        const QRect shown = area & QRect(QPoint(0, 0), size);
        return {pageOf(index),
                QRect(cellAt(index) + shown.topLeft() - area.topLeft(), shown.size()), shown, size};
    }
    // Every frame of the cell's size, drawn whole.
    QList<Placement> placements(qsizetype frames) const
    {
        QList<Placement> placed;
        for (qsizetype k = 0; k < frames; ++k)
            placed.append(place(k, cell, QRect(QPoint(0, 0), cell)));
        return placed;
    }
};

} // namespace quorbel
