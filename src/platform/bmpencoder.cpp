#include "platform/bmpencoder.h"

#include "platform/bmpdecoder.h"
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

void writeAll(QIODevice &device, const char *data, qint64 size)
{
    if (device.write(data, size) != size)
        writeFailed(device);
}

} // namespace

qint64 bmp24FileSize(const QImage &image)
{
    if (image.isNull())
        raise(err::InvalidPropertyValue);
    const qint64 stride = (qint64(image.width()) * 3 + 3) & ~qint64(3);
    const qint64 size = HeadersSize + stride * image.height();
    if (size > std::numeric_limits<quint32>::max())
        raise(err::InvalidPropertyValue); // the format's size fields cannot describe it
    return size;
}

void encodeBmp24(const QImage &image, QIODevice &device)
{
    const qint64 imageSize = bmp24FileSize(image) - HeadersSize;
    const qint64 stride = imageSize / image.height();

    const QByteArray header = headers(image.width(), image.height(), quint32(imageSize));
    writeAll(device, header.constData(), header.size());
    // A picture's rows are already blue, green, red and go out as they are, bottom row first;
    // an image of another format is converted a row at a time, so a large sheet is never copied
    // whole. The padding is written apart, since an image's own padding bytes may hold anything.
    const qint64 rowBytes = qint64(image.width()) * 3;
    const char zeros[3] = {};
    for (int y = image.height() - 1; y >= 0; --y) {
        QImage converted;
        const uchar *row = image.constScanLine(y);
        if (image.format() != PictureFormat) {
            converted = image.copy(0, y, image.width(), 1).convertToFormat(PictureFormat);
            row = converted.constBits();
        }
        writeAll(device, reinterpret_cast<const char *>(row), rowBytes);
        if (stride > rowBytes)
            writeAll(device, zeros, stride - rowBytes);
    }
    // A file device holds the tail in its buffer; a full disk may only show now.
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->flush())
        writeFailed(device);
}

} // namespace platform
