#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRgb>

#include <array>

// Windows bitmaps of every kind the reader meets, built byte by byte without the program's own
// reader or writer: the reader's tests and the fuzz target's seed generator share them.
namespace bmpkinds {

using Masks = std::array<quint32, 4>;
constexpr quint32 BitFields = 3;
constexpr quint32 AlphaBitFields = 6;

QByteArray le(quint32 value, int bytes = 4);

// Palette colours that differ in every channel.
QRgb paletteColour(int index);

enum class Kind { Core, Info, V2, V3, V4, V5, Os2Short, Os2Full };
constexpr Kind AllKinds[] = { Kind::Core, Kind::Info, Kind::V2, Kind::V3, Kind::V4, Kind::V5,
    Kind::Os2Short, Kind::Os2Full };
constexpr int HeaderSize[] = { 12, 40, 52, 56, 108, 124, 16, 64 };
constexpr const char *KindName[] = { "core", "info", "v2", "v3", "v4", "v5", "os2-16", "os2-64" };

// A whole file (height < 0: top-down). V2 and later headers carry the masks; behind a 40-byte
// header non-zero masks follow it, four for alpha bit fields. A colour count of 0 means the full
// palette of an indexed depth, as in the header; each palette entry ends in a junk byte to ignore.
QByteArray bmp(Kind kind, int width, int height, int bits, const QByteArray &pixels,
    int colours = 0, quint32 compression = 0, const Masks &masks = {}, int gap = 0);

// Pixel values repeated over the picture from its top left, stored in file row order with each
// row padded to 4 bytes.
QByteArray packRows(const QList<quint32> &values, int width, int height, int bits);

// A run-length file with 16 palette colours; the data is given in hex.
QByteArray rle(int width, int height, int bits, const char *hex);

// Run-length data, bottom row first: runs, absolute runs of odd and even length, deltas, early
// line and bitmap ends.
inline constexpr const char *Rle8 = "0301 000302030400 0000" // run, padded odd absolute run
                                    "0205 00020300 0106 0000" // delta over three pixels
                                    "0107 0000" // early line end
                                    "00020100 000401020304 0001"; // even absolute, early end
inline constexpr const char *Rle8Up = "0201 00020101 0102 0001"; // delta right and up, end
inline constexpr const char *Rle4 = "0312 00043456 0000" // alternating run, absolute
                                    "00035670 00020200 0289 0000" // odd absolute, delta, run
                                    "00059ABCD000 0001"; // padded absolute, early end

// Width and height in pixels as the headers claim them (the height without its top-down sign);
// both 0 when the file is too short to say.
struct Claim {
    qint64 width = 0;
    qint64 height = 0;
};
Claim claimedSize(QByteArrayView file);

} // namespace bmpkinds
