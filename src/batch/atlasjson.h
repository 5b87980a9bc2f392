#pragma once

#include "batch/sheetplan.h"

#include <QByteArray>
#include <QList>
#include <QSize>

// The frames' names and rectangles in the "frames"/"meta" hash layout that game engines import:
// for each frame drawn its rectangle on the sheet ("frame"), the part of its cell it covers, never
// rotated or trimmed, and its own size; in "meta" the sheet's file name, size and pixel format.
QByteArray atlasJson(const SheetPlan &plan, const QList<QSize> &frameSizes,
                     const QString &imageName, bool transparency);
