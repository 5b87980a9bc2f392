#pragma once

#include "core/layout.h"
#include "core/sheetcompose.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace quorbel {

// Every frame's size and the bounds of the pixels of it that show: those not fully transparent,
// and not of the key colour (0xRRGGBB) where one is given, so a bitmap without a key shows whole.
// A frame with no such pixel has empty bounds. The frames are read on every core, one at a time
// each; the first in order that cannot be read is thrown as a FrameFailure. With `findAlike` each
// frame also learns the first frame whose kept pixels are the same, colour and alpha: frames of
// the same kept size whose pixels hash alike are read once more and compared pixel for pixel, so
// no two frames that differ are ever taken for one, and memory holds a few frames per core.
QList<FrameMeasure> measureFrames(const QStringList &frames, std::optional<quint32> key,
                                  bool findAlike = false);

} // namespace quorbel
