#pragma once

#include "core/replacefile.h"

namespace quorbel {

class Picture;

// The picture as an uncompressed 24-bit bitmap with a 40-byte info header, rows bottom-up and
// padded to four bytes: the form every bitmap reader accepts. A picture with no pixels is error
// 380 before anything is written.
void encodeBmp24(const Picture &picture, const ByteSink &sink);
// The size of the file encodeBmp24 writes; 380 for a picture with no pixels or one too large for
// the format's 32-bit size fields.
qint64 bmp24FileSize(const Picture &picture);

} // namespace quorbel
