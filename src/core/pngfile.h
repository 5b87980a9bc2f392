#pragma once

#include <QByteArrayView>
#include <QSize>

namespace quorbel {

class Picture;

// A PNG file's frame as blue, green, red and alpha, 8 bits each: every colour type and depth,
// interlaced or not, 16-bit channels rounded to 8, no gamma applied. Anything that is not a
// whole PNG, or one larger than any real frame, is error 481, as for bitmaps.
QSize pngSize(QByteArrayView file);
void decodePng(QByteArrayView file, Picture &picture);
// Into rows of the frame's size, 4 bytes a pixel, stride bytes apart.
void decodePng(QByteArrayView file, uchar *first, qsizetype stride);

} // namespace quorbel
