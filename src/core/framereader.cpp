#include "core/framereader.h"

#include "core/bmpdecoder.h"
#include "core/pngfile.h"
#include "core/runtimeerror.h"
#include "core/system.h"

#include <QString>

namespace quorbel {

void FrameReader::read(const QString &path, Picture &picture)
{
    decodeFrame(path, load(path), picture);
}

QByteArrayView FrameReader::load(const QString &path)
{
    // Read into memory rather than mapped: a frame file cut short by another program while it is
    // decoded would end a mapping reader with a bus error. No frame the decoders accept needs
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

bool isPngName(const QString &path)
{
    return path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
}

QSize frameSize(const QString &path, QByteArrayView file)
{
    return isPngName(path) ? pngSize(file) : bmpSize(file);
}

void decodeFrame(const QString &path, QByteArrayView file, Picture &picture)
{
    if (isPngName(path))
        decodePng(file, picture);
    else
        decodeBmp(file, picture);
}

} // namespace quorbel
