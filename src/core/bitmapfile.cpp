#include "core/bitmapfile.h"

#include "core/bmpdecoder.h"
#include "core/bmpencoder.h"
#include "core/framereader.h"
#include "core/picture.h"

namespace quorbel {

Picture loadBitmapFile(const QString &path)
{
    Picture picture;
    decodeBmp(FrameReader().load(path), picture);
    return picture;
}

void saveBitmapFile(const Picture &picture, const QString &path)
{
    replaceFile(path, bmp24FileSize(picture),
                [&picture](const ByteSink &sink) { encodeBmp24(picture, sink); });
}

} // namespace quorbel
