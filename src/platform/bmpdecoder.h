#pragma once

#include <QByteArrayView>
#include <QImage>

namespace platform {

// Reads a whole Windows bitmap file into an opaque RGB32 image, or raises error 481 (invalid
// picture) for anything that is not a bitmap of a supported kind, is cut short, or claims more
// pixels than any real sprite frame has. Alpha channels are ignored.
QImage decodeBmp(QByteArrayView file);

} // namespace platform
