#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRgb>
#include <QtEndian>

#include <array>

// Windows bitmaps of every kind the reader meets, built byte by byte without the program's own
// reader or writer: the reader's tests, the test frames and the fuzz target share them.
namespace bmpkinds {

using Masks = std::array<quint32, 4>;
constexpr quint32 BitFields = 3;
constexpr quint32 AlphaBitFields = 6;

enum class Kind { Core, Info, V5 };
constexpr int HeaderSize[] = {12, 40, 124};
// Run-length data, bottom row first: runs, absolute runs of odd and even length, deltas, early
// line and bitmap ends, and a line end after the top row.
inline constexpr const char *Rle8 = "0301 000302030400 0000" // run, padded odd absolute run
                                    "0205 00020300 0106 0000" // delta over three pixels
                                    "0107 0000" // early line end
                                    "00020100 000401020304 0001"; // even absolute, early end
inline constexpr const char *Rle8Up = "0201 00020101 0102 0001"; // delta right and up, end
inline constexpr const char *Rle4 = "0312 00043456 0000" // alternating run, absolute
                                    "00035670 00020200 0289 0000" // odd absolute, delta, run
                                    "00059ABCD000 0000 0001"; // padded absolute, line end, end

struct Claim
{
    qint64 width = 0;
    qint64 height = 0;
};

inline QByteArray le(quint32 value, int bytes = 4)
{
    value = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&value), bytes);
}

// Palette colours that differ in every channel.
inline QRgb paletteColour(int index)
{
    return qRgb(index * 53 & 255, index * 101 & 255, 255 - index % 256);
}

// A whole file (height < 0: top-down). A V5 header carries the masks; behind a 40-byte
// header non-zero masks follow it, four for alpha bit fields. A colour count of 0 means the full
// palette of an indexed depth, as in the header; each palette entry ends in a junk byte to ignore.
inline QByteArray bmp(Kind kind, int width, int height, int bits, const QByteArray &pixels,
                      int colours = 0, quint32 compression = 0, const Masks &masks = {})
{
    const int sizeBytes = kind == Kind::Core ? 2 : 4;
    QByteArray body = le(HeaderSize[int(kind)]) + le(width, sizeBytes) + le(height, sizeBytes)
        + le(1, 2) + le(bits, 2) + le(compression) + le(0) + le(2835) + le(2835) + le(colours)
        + le(0);
    for (quint32 mask : masks)
        body += le(mask);
    body.resize(HeaderSize[int(kind)], '\0');
    if (kind == Kind::Info && masks != Masks{})
        for (int i = 0; i < (compression == AlphaBitFields ? 4 : 3); ++i)
            body += le(masks[i]);
    for (int i = 0; i < (colours || bits > 8 ? colours : 1 << bits); ++i)
        body += le((paletteColour(i) & 0xFFFFFF) | 0xAA000000, kind == Kind::Core ? 3 : 4);
    const auto offset = quint32(14 + body.size());
    return "BM" + le(offset + quint32(pixels.size())) + le(0) + le(offset) + body + pixels;
}

// Pixel values repeated over the picture from its top left, stored in file row order with each
// row padded to 4 bytes.
inline QByteArray packRows(const QList<quint32> &values, int width, int height, int bits)
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

// A run-length file with 16 palette colours; the data is given in hex.
inline QByteArray rle(int width, int height, int bits, const char *hex)
{
    return bmp(Kind::Info, width, height, bits, QByteArray::fromHex(hex), 16, bits == 8 ? 1 : 2);
}

// Width and height in pixels as the headers claim them (the height without its top-down sign);
// both 0 when the file is too short to say.
inline Claim claimedSize(QByteArrayView file)
{
    if (file.size() < 26)
        return {};
    const char *data = file.data();
    if (qFromLittleEndian<quint32>(data + 14) == 12)
        return {qFromLittleEndian<quint16>(data + 18), qFromLittleEndian<quint16>(data + 20)};
    return {qFromLittleEndian<qint32>(data + 18),
            qAbs(qint64(qFromLittleEndian<qint32>(data + 22)))};
}

} // namespace bmpkinds
