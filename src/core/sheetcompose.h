#pragma once

#include "core/grid.h"
#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QList>
#include <QStringList>

#include <utility>

namespace quorbel {

// A frame that could not be read: its place in the drawing order and its error.
struct FrameFailure
{
    qsizetype index;
    RuntimeError error;
};

// What composing left: the size of every frame painted, in drawing order, and the last of them.
struct Composition
{
    QList<QSize> frameSizes;
    Picture lastFrame;
};

// Paints the frame files, in drawing order, into the sheet at the grid's cells: each at its
// natural size with its corner at its cell's, later ones over earlier ones, what falls outside the
// sheet cut off, the rest of the sheet left as it is. A file named .png is read as PNG, any other
// as a bitmap. Reading stops at the first frame that cannot be read: the frames before it stay
// painted, the cells of the frames after it are black (or transparent) again, and FrameFailure
// is thrown. Once every frame is painted, each frame's outermost pixels are repeated `extrusion`
// times outward. Both programs make their sheets here, the desktop Draw with its own limits
// checked first.
Composition composeSheet(const QStringList &frames, const SheetGrid &grid, Picture &sheet,
                         int extrusion = 0);

// What a sheet does not show as the frames are: the frames its grid has no cell for, and the
// frames drawn at another size than the cell, which spill over their neighbours or leave black.
struct Shortfall
{
    QStringList leftOut;
    QList<std::pair<QString, QSize>> otherSize;

    bool isEmpty() const { return leftOut.isEmpty() && otherSize.isEmpty(); }
};
// names in drawing order, and the sizes of those drawn.
Shortfall shortfallOf(const QStringList &names, const SheetGrid &grid, const QList<QSize> &sizes);

} // namespace quorbel
