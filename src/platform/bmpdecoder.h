#pragma once

#include <QByteArrayView>
#include <QImage>

namespace platform {

// Every picture is held the way a 24-bit bitmap stores its rows (blue, green, red, rows padded
// to four bytes), so frames are copied into a sheet, and a sheet onto disk, without conversion.
constexpr QImage::Format PictureFormat = QImage::Format_BGR888;

// Reads a whole Windows bitmap file into an opaque picture, or raises error 481 (invalid
// picture) for anything that is not a bitmap of a supported kind, is cut short, or claims more
// pixels than any real sprite frame has. Alpha channels are ignored.
QImage decodeBmp(QByteArrayView file);
// The same into an image of the caller's, whose buffer is reused when it is already of the
// frame's size and format and not shared, so a run of equal frames allocates nothing. When the
// file is refused the image may hold anything.
void decodeBmp(QByteArrayView file, QImage &image);

} // namespace platform
