#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace quorbel {

// What is known of a frame before it is laid out: its size and the part of it that shows, its
// pixels that are not fully transparent (the whole frame when that was not looked at).
struct FrameMeasure
{
    QSize size;
    QRect bounds;
    // The first frame in drawing order whose kept pixels are exactly these, itself when no frame
    // before it has them; -1 when that was not looked for.
    qsizetype alike = -1;

    // What a trimmed layout keeps of the frame: the part that shows, or the corner pixel of a
    // frame that shows nothing.
    QRect kept() const { return bounds.isEmpty() ? QRect(0, 0, 1, 1) : bounds; }
};

// Where one frame lands: the page, the rectangle of its own pixels on that page (its extruded
// ring lies around it), the part of the original frame those pixels are, and the original's size.
struct Placement
{
    int page = 0;
    QRect rect;
    QRect source;
    QSize original;

    bool trimmed() const { return source != QRect(QPoint(0, 0), original); }
};

// What a layout gives: the size of every page and a placement for every frame drawn, in drawing
// order, each on a page at or after the one of the frame before.
struct SheetLayout
{
    QList<QSize> pages;
    QList<Placement> placements;
    // For each frame, the frame whose pixels its rectangle holds: itself, or an earlier frame on
    // its page with the very same pixels, whose rectangle it shares. Empty when no frame shares.
    QList<qsizetype> sharing;

    qsizetype painter(qsizetype frame) const
    {
        return sharing.isEmpty() ? frame : sharing.at(frame);
    }
};

} // namespace quorbel
