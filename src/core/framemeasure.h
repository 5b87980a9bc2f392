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
// each; the first in order that cannot be read is thrown as a FrameFailure.
QList<FrameMeasure> measureFrames(const QStringList &frames, std::optional<quint32> key);

} // namespace quorbel
