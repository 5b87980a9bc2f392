#pragma once

#include "core/replacefile.h"

namespace quorbel {

class Picture;

// How hard a PNG is compressed: fast for trying things out; default, about as small as libpng
// makes it by default; best, the smallest the compressor can make, slowly, for release builds.
enum class PngLevel { Fast, Default, Best };

// The picture as a PNG: 8-bit RGB, or RGBA for a picture with transparency, no gamma or colour
// profile. Its rows are filtered and compressed in bands on every core and handed to the sink in
// order as they are done; the bytes are the same however many threads make them. A picture with
// no pixels is error 380; no memory for the compression, 7.
void encodePng(const Picture &picture, const ByteSink &sink, PngLevel level = PngLevel::Default);

} // namespace quorbel
