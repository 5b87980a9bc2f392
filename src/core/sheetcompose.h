#pragma once

#include "core/layout.h"
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

// What composing left: where each frame painted went, in drawing order, as it really was (a
// frame of another size than its placement expected shows at its place what fits there), and the
// last frame painted.
struct Composition
{
    QList<Placement> drawn;
    Picture lastFrame;

    QList<QSize> frameSizes() const;
};

// Paints the frame files, in drawing order, into the sheet at their placements: of each the part
// its placement shows, its corner at the placement's. A frame of another size than expected is
// painted from that corner on at its natural size instead, later ones over earlier ones, what falls
// outside the sheet cut off; the rest of the sheet is left as it is. A file named .png is read as
// PNG, any other as a bitmap. Reading stops at the first frame that cannot be read: the frames
// before it stay painted, the places of the frames after it are black (or transparent) again, and
// FrameFailure is thrown. Once every frame is painted, each frame's outermost pixels are repeated
// `extrusion` times outward, into the ring the layout keeps around it. Both programs make their
// sheets here, the desktop Draw with its own limits checked first, quorbel-sheet a page at a time.
// A frame whose shown part is given in `held` (not null there) was read before: that part is
// painted without reading the file again.
Composition composeSheet(const QStringList &frames, const QList<Placement> &placements,
                         Picture &sheet, int extrusion = 0, const QList<Picture> &held = {});

// What a sheet does not show as the frames are: the frames its grid has no cell for, and the
// frames drawn at another size than the cell, which spill over their neighbours or leave black.
struct Shortfall
{
    QStringList leftOut;
    QList<std::pair<QString, QSize>> otherSize;

    bool isEmpty() const { return leftOut.isEmpty() && otherSize.isEmpty(); }
};
// names in drawing order, the cells there are, the size every frame should have, and the sizes of
// those drawn.
Shortfall shortfallOf(const QStringList &names, qsizetype cells, QSize size,
                      const QList<QSize> &sizes);

} // namespace quorbel
