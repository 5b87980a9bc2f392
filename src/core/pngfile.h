#pragma once

#include "core/replacefile.h"

namespace quorbel {

class Picture;

// The picture as a PNG: 8-bit RGB, rows as they are, no gamma or colour profile, handed to the
// sink in pieces of up to a megabyte while it is compressed. A picture with no pixels is error
// 380; no memory for the compression, 7.
void encodePng(const Picture &picture, const ByteSink &sink);

} // namespace quorbel
