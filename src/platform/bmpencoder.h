#pragma once

#include <QtGlobal>

class QImage;
class QIODevice;

namespace platform {

// Writes the image as an uncompressed 24-bit bitmap with a 40-byte info header, rows bottom-up
// and padded to four bytes, alpha dropped: the form every bitmap reader accepts. An image with
// no pixels is error 380 before anything is written; a failed write is 61 (no space) or 75.
void encodeBmp24(const QImage &image, QIODevice &device);
// The size of the file encodeBmp24 writes; 380 for an image with no pixels or one too large for
// the format's 32-bit size fields.
qint64 bmp24FileSize(const QImage &image);

} // namespace platform
