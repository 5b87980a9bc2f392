#include "platform/bmpencoder.h"

#include "platform/fileerrors.h"
#include "platform/runtimeerror.h"

#include <QFileDevice>
#include <QImage>
#include <QtEndian>

#include <limits>

namespace platform {

namespace {

constexpr int HeadersSize = 14 + 40;
// 72 dots per inch, what Qt gives every new image; readers ignore it for sprite sheets.
constexpr quint32 PixelsPerMeter = 2835;

// Only a file device can tell a full disk from other failures.
[[noreturn]] void writeFailed(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    raise(file ? writeError(*file) : err::PathFileAccessError);
}

// Little-endian fields written into a prepared header.
void put16(QByteArray &out, int at, quint16 value)
{
    qToLittleEndian(value, out.data() + at);
}
void put32(QByteArray &out, int at, quint32 value)
{
    qToLittleEndian(value, out.data() + at);
}

// The file header and the 40-byte info header, all size fields filled.
QByteArray headers(int width, int height, quint32 imageSize)
{
    QByteArray out(HeadersSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, HeadersSize + imageSize);
    put32(out, 10, HeadersSize);
    put32(out, 14, 40);
    put32(out, 18, quint32(width));
    put32(out, 22, quint32(height)); // positive: rows stored bottom-up
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, imageSize);
    put32(out, 38, PixelsPerMeter);
    put32(out, 42, PixelsPerMeter);
    return out;
}

// One row as blue, green, red bytes; the padding bytes of the buffer stay zero.
void packRow(const QImage &image, int y, QByteArray &row)
{
    uchar *dst = reinterpret_cast<uchar *>(row.data());
    const bool direct
        = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x, dst += 3) {
        const QRgb pixel = direct ? line[x] : image.pixel(x, y);
        dst[0] = uchar(qBlue(pixel));
        dst[1] = uchar(qGreen(pixel));
        dst[2] = uchar(qRed(pixel));
    }
}

} // namespace

void encodeBmp24(const QImage &image, QIODevice &device)
{
    if (image.isNull())
        raise(err::InvalidPropertyValue);
    const qint64 stride = (qint64(image.width()) * 3 + 3) & ~qint64(3);
    const qint64 imageSize = stride * image.height();
    if (HeadersSize + imageSize > std::numeric_limits<quint32>::max())
        raise(err::InvalidPropertyValue); // the format's size fields cannot describe it

    if (device.write(headers(image.width(), image.height(), quint32(imageSize))) != HeadersSize)
        writeFailed(device);
    // Row by row, so a large sheet is never copied whole.
    QByteArray row(stride, '\0');
    for (int y = image.height() - 1; y >= 0; --y) {
        packRow(image, y, row);
        if (device.write(row) != stride)
            writeFailed(device);
    }
    // A file device holds the tail in its buffer; a full disk may only show now.
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->flush())
        writeFailed(device);
}

} // namespace platform
