#include "support/bitmaps.h"

#include <QFile>
#include <QtEndian>

namespace testbitmaps {

namespace {

void put16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xff)).append(char(value >> 8));
}

void put32(QByteArray &out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xff));
}

QByteArray assemble(int width, int height, int bits, const QByteArray &palette,
                    const QByteArray &pixels, int colours)
{
    QByteArray out;
    const quint32 offset = 14 + 40 + quint32(palette.size());
    out.append("BM");
    put32(out, offset + quint32(pixels.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(height));
    put16(out, 1);
    put16(out, quint16(bits));
    put32(out, 0);
    put32(out, quint32(pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, quint32(colours));
    put32(out, 0);
    return out + palette + pixels;
}

QByteArray rows(int width, int height, int bytesPerPixel,
                const std::function<void(QByteArray &, int x, int y)> &put)
{
    const int stride = (width * bytesPerPixel + 3) & ~3;
    QByteArray pixels;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < width; ++x)
            put(row, x, y);
        row.append(QByteArray(stride - row.size(), '\0'));
        pixels.append(row);
    }
    return pixels;
}

} // namespace

QByteArray bmp24(int width, int height, const PixelFunction &pixel)
{
    return assemble(width, height, 24, {},
                    rows(width, height, 3,
                         [&](QByteArray &row, int x, int y) {
                             const QRgb c = pixel(x, y);
                             row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
                         }),
                    0);
}

QByteArray bmp32(int width, int height, const PixelFunction &pixel, quint8 alpha)
{
    return assemble(width, height, 32, {},
                    rows(width, height, 4,
                         [&](QByteArray &row, int x, int y) {
                             const QRgb c = pixel(x, y);
                             row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
                             row.append(char(alpha));
                         }),
                    0);
}

QByteArray bmp8(int width, int height, const QList<QRgb> &palette,
                const std::function<quint8(int x, int y)> &index)
{
    QByteArray table;
    for (QRgb c : palette)
        table.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    return assemble(width, height, 8, table,
                    rows(width, height, 1,
                         [&](QByteArray &row, int x, int y) { row.append(char(index(x, y))); }),
                    int(palette.size()));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QRgb frameColour(int frame, int x, int y)
{
    return qRgb((frame * 16 + 15) & 0xff, (x * 8) & 0xff, (y * 8) & 0xff);
}

QByteArray numberedFrame(int frame, int width, int height)
{
    return bmp24(width, height, [frame](int x, int y) { return frameColour(frame, x, y); });
}

QImage readBmp24(const QByteArray &bytes)
{
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return {};
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 offset = qFromLittleEndian<quint32>(data + 10);
    const qint32 width = qFromLittleEndian<qint32>(data + 18);
    const qint32 rawHeight = qFromLittleEndian<qint32>(data + 22);
    const quint16 bits = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = qFromLittleEndian<quint32>(data + 30);
    const bool topDown = rawHeight < 0;
    const qint32 height = topDown ? -rawHeight : rawHeight;
    if (bits != 24 || compression != 0 || width <= 0 || height <= 0)
        return {};
    const qint64 stride = (qint64(width) * 3 + 3) & ~3;
    if (qint64(offset) + stride * height > bytes.size())
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uchar *row = data + offset + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
    }
    return image;
}

} // namespace testbitmaps
