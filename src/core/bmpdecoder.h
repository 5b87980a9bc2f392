#pragma once

#include <QByteArrayView>
#include <QSize>

namespace quorbel {

class Picture;

// Reads a whole Windows bitmap file into an opaque picture, or raises error 481 (invalid
// picture) for anything that is not a bitmap of a supported kind, is cut short, or claims more
// pixels than any real sprite frame has, and 7 when there is no memory for its pixels. Alpha
// channels are ignored.
Picture decodeBmp(QByteArrayView file);
// The same into a picture of the caller's, whose pixels are reused when it already has the
// frame's size and shares them with no other copy, so a run of equal frames allocates nothing.
// When the file is refused the picture may hold anything.
void decodeBmp(QByteArrayView file, Picture &picture);

// The size of the frame a file holds, read from its headers and checked as decodeBmp checks
// them, so a file whose size is known here is refused afterwards only for broken run-length data.
QSize bmpSize(QByteArrayView file);
// Decodes the frame into rows of its size, the first at `first` and each stride bytes after the
// one above, such as its place in a larger picture; only the frame's own pixels are written.
void decodeBmp(QByteArrayView file, uchar *first, qsizetype stride);

} // namespace quorbel
