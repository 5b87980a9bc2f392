#include "core/bmpencoder.h"

#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QtEndian>

#include <limits>

namespace quorbel {

namespace {

constexpr int HeadersSize = 14 + 40;
// 72 dots per inch, what image editors give a new picture; readers ignore it for sprite sheets.
constexpr quint32 PixelsPerMeter = 2835;

// The file header and the 40-byte info header, all size fields filled.
QByteArray headers(QSize size, quint32 pixelBytes)
{
    QByteArray out(HeadersSize, '\0');
    char *at = out.data();
    at[0] = 'B';
    at[1] = 'M';
    qToLittleEndian<quint32>(HeadersSize + pixelBytes, at + 2);
    qToLittleEndian<quint32>(HeadersSize, at + 10);
    qToLittleEndian<quint32>(40, at + 14);
    qToLittleEndian<quint32>(quint32(size.width()), at + 18);
    qToLittleEndian<quint32>(quint32(size.height()), at + 22); // positive: rows stored bottom-up
    qToLittleEndian<quint16>(1, at + 26);
    qToLittleEndian<quint16>(24, at + 28);
    qToLittleEndian<quint32>(pixelBytes, at + 34);
    qToLittleEndian<quint32>(PixelsPerMeter, at + 38);
    qToLittleEndian<quint32>(PixelsPerMeter, at + 42);
    return out;
}

} // namespace

qint64 bmp24FileSize(const Picture &picture)
{
    if (picture.isNull())
        raise(err::InvalidPropertyValue);
    const qint64 size = HeadersSize + picture.bytesPerLine() * picture.height();
    if (size > std::numeric_limits<quint32>::max())
        raise(err::InvalidPropertyValue); // the format's size fields cannot describe it
    return size;
}

// A picture's rows are already the file's rows, padding included, so they go out straight from
// memory, bottom row first, in one gathered write: going through a file's buffer, a 48 MiB sheet
// was copied once more in memory and written in a call per row.
void encodeBmp24(const Picture &picture, const ByteSink &sink)
{
    const qint64 pixelBytes = bmp24FileSize(picture) - HeadersSize;
    const QByteArray header = headers(picture.size(), quint32(pixelBytes));
    QList<QByteArrayView> pieces{header};
    pieces.reserve(picture.height() + 1);
    for (int y = picture.height() - 1; y >= 0; --y)
        pieces.append(QByteArrayView(picture.constScanLine(y), picture.bytesPerLine()));
    sink(pieces);
}

} // namespace quorbel
