#include "core/bitmapfile.h"

#include "core/bmpdecoder.h"
#include "core/bmpencoder.h"
#include "core/picture.h"
#include "core/runtimeerror.h"
#include "core/system.h"

namespace quorbel {

void BitmapReader::read(const QString &path, Picture &picture)
{
    decodeBmp(load(path), picture);
}

QByteArrayView BitmapReader::load(const QString &path)
{
    // Read into memory rather than mapped: a frame file cut short by another program while it is
    // decoded would end a mapping reader with a bus error. No frame the decoder accepts needs
    // more than this, so a bigger file is refused before it is read.
    constexpr qint64 MaxFrameFileBytes = qint64(256) << 20;
    // A buffer that grew for an unusually big file is given back.
    constexpr qint64 KeptBytes = qint64(16) << 20;
    if (m_buffer.size() > KeptBytes)
        m_buffer = QByteArray();
    const qint64 size = sys::readRegularFile(path, m_buffer, MaxFrameFileBytes);
    if (size < 0)
        raise(err::InvalidPicture);
    return QByteArrayView(m_buffer.constData(), size);
}

Picture loadBitmapFile(const QString &path)
{
    Picture picture;
    BitmapReader().read(path, picture);
    return picture;
}

void saveBitmapFile(const Picture &picture, const QString &path)
{
    replaceFile(path, bmp24FileSize(picture),
                [&picture](const ByteSink &sink) { encodeBmp24(picture, sink); });
}

} // namespace quorbel
