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
// the same kept size whose pixels hash alike are compared pixel for pixel, so no two frames that
// differ are ever taken for one. With `keep`, the kept pixels of each frame not alike an earlier
// one are held there for composing, as blue, green, red and alpha, as far as a budget of memory
// goes (a frame not held is null, and read again); those compared but not held are read again
// for the comparison, so memory holds a few frames per core beyond the budget.
QList<FrameMeasure> measureFrames(const QStringList &frames, std::optional<quint32> key,
                                  bool findAlike = false, QList<Picture> *keep = nullptr);

} // namespace quorbel
