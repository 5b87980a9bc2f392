#include "support/bmpkinds.h"

#include <QtEndian>

namespace bmpkinds {

QByteArray le(quint32 value, int bytes)
{
    value = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&value), bytes);
}

QRgb paletteColour(int index)
{
    return qRgb(index * 53 & 255, index * 101 & 255, 255 - index % 256);
}

QByteArray bmp(Kind kind, int width, int height, int bits, const QByteArray &pixels, int colours,
    quint32 compression, const Masks &masks, int gap)
{
    const int sizeBytes = kind == Kind::Core ? 2 : 4;
    QByteArray body = le(HeaderSize[int(kind)]) + le(width, sizeBytes) + le(height, sizeBytes)
        + le(1, 2) + le(bits, 2) + le(compression) + le(0) + le(2835) + le(2835) + le(colours)
        + le(0);
    for (quint32 mask : masks)
        body += le(kind == Kind::Os2Full ? 0 : mask); // OS/2 headers stop after their size
    body.resize(HeaderSize[int(kind)], '\0');
    if (kind == Kind::Info && masks != Masks {})
        for (int i = 0; i < (compression == AlphaBitFields ? 4 : 3); ++i)
            body += le(masks[i]);
    for (int i = 0; i < (colours || bits > 8 ? colours : 1 << bits); ++i)
        body += le((paletteColour(i) & 0xFFFFFF) | 0xAA000000, kind == Kind::Core ? 3 : 4);
    body += QByteArray(gap, '\x5A');
    const auto offset = quint32(14 + body.size());
    return "BM" + le(offset + quint32(pixels.size())) + le(0) + le(offset) + body + pixels;
}

QByteArray packRows(const QList<quint32> &values, int width, int height, int bits)
{
    QByteArray out;
    const int rows = qAbs(height);
    for (int row = 0; row < rows; ++row) {
        const int y = height < 0 ? row : rows - 1 - row;
        QByteArray line((width * bits + 31) / 32 * 4, '\0');
        for (int x = 0, at = 0; x < width; ++x, at += bits) {
            const quint32 value = values[(y * width + x) % values.size()];
            if (bits < 8)
                line[at / 8] = char(uchar(line[at / 8]) | value << (8 - bits - at % 8));
            else
                line.replace(at / 8, bits / 8, le(value, bits / 8));
        }
        out += line;
    }
    return out;
}

QByteArray rle(int width, int height, int bits, const char *hex)
{
    return bmp(Kind::Info, width, height, bits, QByteArray::fromHex(hex), 16, bits == 8 ? 1 : 2);
}

Claim claimedSize(QByteArrayView file)
{
    if (file.size() < 26)
        return {};
    const char *data = file.data();
    if (qFromLittleEndian<quint32>(data + 14) == 12)
        return { qFromLittleEndian<quint16>(data + 18), qFromLittleEndian<quint16>(data + 20) };
    return { qFromLittleEndian<qint32>(data + 18),
        qAbs(qint64(qFromLittleEndian<qint32>(data + 22))) };
}

} // namespace bmpkinds
