#pragma once

#include "core/replacefile.h"

#include <QSize>

namespace quorbel {

class Picture;

// The picture as a PNG: 8-bit RGB, or RGBA for a picture with transparency, rows as they are, no
// gamma or colour profile, handed to the sink in pieces of up to a megabyte while it is
// compressed. A picture with no pixels is error 380; no memory for the compression, 7.
void encodePng(const Picture &picture, const ByteSink &sink);

// A PNG file's frame as blue, green, red and alpha, 8 bits each: every colour type and depth,
// interlaced or not, 16-bit channels rounded to 8, no gamma applied. Anything that is not a
// whole PNG, or one larger than any real frame, is error 481, as for bitmaps.
QSize pngSize(QByteArrayView file);
void decodePng(QByteArrayView file, Picture &picture);
// Into rows of the frame's size, 4 bytes a pixel, stride bytes apart.
void decodePng(QByteArrayView file, uchar *first, qsizetype stride);

} // namespace quorbel
