#pragma once

#include "batch/sheetplan.h"

#include <QImage>
#include <QList>
#include <QRect>

// A composed sheet and where each drawn frame landed.
struct ComposedSheet
{
    QImage image;
    // For each drawn frame, in drawing order: the part of its cell it covers, and its own size.
    QList<QRect> rects;
    QList<QSize> frameSizes;
};

// A frame that could not be read, by name, with its error.
struct FrameError
{
    QString name;
    QString message; // "Invalid picture481"
};

// Paints the plan's frames into a black sheet as the desktop program's Draw does: each frame
// at its natural size at its cell's top-left corner, later frames over earlier ones, what falls
// outside the sheet cut off. Throws FrameError for a frame that cannot be read, and a
// RuntimeError (7) when there is no memory for the sheet.
ComposedSheet composeSheet(const SheetPlan &plan);

// Reads every frame the plan draws; the errors of those that cannot be read, and into sizes the
// size of each that can.
QList<FrameError> checkFrames(const SheetPlan &plan, QList<QSize> &sizes);
