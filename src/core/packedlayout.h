#pragma once

#include "core/layout.h"

#include <QList>
#include <QSize>

namespace quorbel {

// The packed layout: each frame trimmed to what it keeps and the rectangles packed as tightly as
// MaxRects finds, never rotated. Padding and extrusion are the grid's: a frame's footprint is its
// kept pixels with a ring of `extrusion` around them, and `padding` pixels lie between footprints
// and around them. A page holds consecutive frames in drawing order, as many as fit within the
// limit, on the smallest sheet that holds them; frames alike share the rectangle of the first of
// them on their page (so the frames of every page can be painted and loaded on their own).
struct PackedSheet
{
    QSize limit;
    int padding = 0;
    int extrusion = 0;
    bool powerOfTwo = false;

    // The largest page: the limit, or with powers of two the largest within it.
    QSize reach() const;
    // The page a frame that keeps so much needs at least, with its ring and padding.
    QSize pageFor(QSize kept) const
    {
        const int around = 2 * (extrusion + padding);
        return kept + QSize(around, around);
    }
    // Every frame must fit a page alone.
    SheetLayout layOut(const QList<FrameMeasure> &frames) const;
};

} // namespace quorbel
