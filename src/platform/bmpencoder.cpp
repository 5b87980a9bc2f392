#include "platform/bmpencoder.h"

#include "platform/bmpdecoder.h"
#include "platform/fileerrors.h"
#include "platform/runtimeerror.h"

#include <QFileDevice>
#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

#include <climits>
#include <sys/uio.h>

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

// Rows without padding bytes, from the bottom row up, handed to the file with writev() a batch
// at a time: going through QFile's buffer, a 48 MiB sheet was copied once more in memory and
// written in a syscall per row.
void writeRowsStraight(const QImage &image, QFileDevice &file)
{
    if (!file.flush())
        writeFailed(file);
    const int fd = file.handle();
    const size_t rowBytes = size_t(image.width()) * 3;
    std::vector<iovec> batch;
    for (int y = image.height() - 1; y >= 0;) {
        batch.clear();
        for (; y >= 0 && batch.size() < IOV_MAX; --y)
            batch.push_back({const_cast<uchar *>(image.constScanLine(y)), rowBytes});
        for (iovec *next = batch.data(), *end = next + batch.size(); next != end;) {
            const ssize_t written = ::writev(fd, next, int(std::min<ptrdiff_t>(end - next, IOV_MAX)));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                raise(written < 0 && errno == ENOSPC ? err::DiskFull : err::PathFileAccessError);
            // Skip what went out: whole rows, then the written part of a row cut short.
            for (size_t left = size_t(written); left > 0;) {
                const size_t step = std::min(left, next->iov_len);
                next->iov_base = static_cast<char *>(next->iov_base) + step;
                next->iov_len -= step;
                left -= step;
                if (next->iov_len == 0)
                    ++next;
            }
        }
    }
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
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (file && file->handle() >= 0 && image.format() == PictureFormat
        && qint64(image.width()) * 3 == stride) {
        writeRowsStraight(image, *file);
        return;
    }
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
    if (file && !file->flush())
        writeFailed(device);
}

} // namespace platform
