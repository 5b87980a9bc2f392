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
};

} // namespace quorbel
