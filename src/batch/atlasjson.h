#pragma once

#include "batch/composesheet.h"

#include <QByteArray>

// The frames' names and rectangles in the "frames"/"meta" hash layout that game engines import:
// for each frame its rectangle on the sheet ("frame"), never rotated or trimmed, and its own
// size; in "meta" the sheet's file name and size.
QByteArray atlasJson(const SheetPlan &plan, const ComposedSheet &sheet, const QString &imageName);
