#include "platform/bmpdecoder.h"
#include "platform/runtimeerror.h"

#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <functional>

using platform::decodeBmp;
using platform::RuntimeError;

namespace {

using Masks = std::array<quint32, 4>;

// Little-endian field writers for assembling bitmaps by hand.
void add16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xFF)).append(char(value >> 8 & 0xFF));
}
void add32(QByteArray &out, quint32 value)
{
    add16(out, value & 0xFFFF);
    add16(out, value >> 16);
}
void put32(QByteArray &out, int at, quint32 value)
{
    QByteArray field;
    add32(field, value);
    out.replace(at, 4, field);
}

// A bitmap file from its parts; the file header's size and pixel offset follow from them.
struct BmpFile {
    QByteArray header; // the info header, starting with its size field
    QByteArray masks; // bit masks behind a 40-byte header
    QByteArray palette;
    QByteArray gap; // unused bytes between the palette and the pixels
    QByteArray pixels;

    QByteArray bytes() const
    {
        const int offset = 14 + int(header.size() + masks.size() + palette.size() + gap.size());
        QByteArray out("BM");
        add32(out, quint32(offset + pixels.size()));
        add32(out, 0);
        add32(out, quint32(offset));
        return out + header + masks + palette + gap + pixels;
    }
};

enum class Kind { Core, Info, V2, V3, V4, V5, Os2Short, Os2Full };

int headerSize(Kind kind)
{
    switch (kind) {
    case Kind::Core:
        return 12;
    case Kind::Info:
        return 40;
    case Kind::V2:
        return 52;
    case Kind::V3:
        return 56;
    case Kind::V4:
        return 108;
    case Kind::V5:
        return 124;
    case Kind::Os2Short:
        return 16;
    case Kind::Os2Full:
        return 64;
    }
    return 0;
}

// A header of the kind; V2 and later carry the masks, OS/2 2.x ones stop after their size.
QByteArray header(Kind kind, int width, int height, int bits, quint32 compression = 0,
    quint32 colours = 0, const Masks &masks = {})
{
    QByteArray out;
    add32(out, quint32(headerSize(kind)));
    if (kind == Kind::Core) {
        add16(out, quint32(width));
        add16(out, quint32(height));
        add16(out, 1);
        add16(out, quint32(bits));
        return out;
    }
    add32(out, quint32(width));
    add32(out, quint32(height));
    add16(out, 1);
    add16(out, quint32(bits));
    add32(out, compression);
    add32(out, 0);
    add32(out, 2835);
    add32(out, 2835);
    add32(out, colours);
    add32(out, 0);
    if (kind != Kind::Os2Full) {
        for (quint32 mask : masks)
            add32(out, mask);
    }
    out.resize(headerSize(kind), '\0');
    return out;
}

QByteArray maskBytes(const Masks &masks, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        add32(out, masks[i]);
    return out;
}

// Palette colours that differ in every channel; the reserved fourth byte is junk to ignore.
QRgb paletteColour(int index)
{
    return qRgb(index * 53 & 255, index * 101 & 255, 255 - index % 256);
}

QByteArray paletteBytes(int count, int entrySize)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const QRgb colour = paletteColour(i);
        out.append(char(qBlue(colour))).append(char(qGreen(colour))).append(char(qRed(colour)));
        if (entrySize == 4)
            out.append(char(0xAA));
    }
    return out;
}

// Pixel values given top row first, stored in file row order, each row padded to 4 bytes.
QByteArray packRows(const QList<quint32> &values, int width, int height, int bits, bool topDown)
{
    QByteArray out;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        QByteArray line;
        if (bits < 8) {
            line.fill('\0', (width * bits + 7) / 8);
            for (int x = 0; x < width; ++x) {
                const int bit = x * bits;
                line[bit / 8]
                    = char(uchar(line[bit / 8]) | values[y * width + x] << (8 - bits - bit % 8));
            }
        } else {
            for (int x = 0; x < width; ++x)
                for (int i = 0; i < bits / 8; ++i)
                    line.append(char(values[y * width + x] >> (8 * i) & 0xFF));
        }
        while (line.size() % 4)
            line.append('\0');
        out += line;
    }
    return out;
}

QImage imageFrom(int width, int height, const std::function<QRgb(int)> &colourAt)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colourAt(y * width + x));
    return image;
}

constexpr int W = 5; // odd, so every bit depth needs row padding
constexpr int H = 3;

// An indexed picture whose indexes run up to indexRange; those past paletteCount must be black.
void addIndexed(const char *name, Kind kind, int bits, bool topDown, int paletteCount, int gap = 0)
{
    const int indexRange = 1 << bits;
    QList<quint32> indexes;
    for (int i = 0; i < W * H; ++i)
        indexes << quint32(i * 17 % indexRange);
    const bool fullPalette = paletteCount == indexRange;
    BmpFile file;
    file.header = header(kind, W, topDown ? -H : H, bits, 0, fullPalette ? 0 : paletteCount);
    file.palette = paletteBytes(paletteCount, kind == Kind::Core ? 3 : 4);
    file.gap.fill('\x5A', gap);
    file.pixels = packRows(indexes, W, H, bits, topDown);
    QTest::newRow(name) << file.bytes() << imageFrom(W, H, [&](int i) {
        const int index = int(indexes[i]);
        return index < paletteCount ? paletteColour(index) : QRgb(0xFF000000);
    });
}

// One raw pixel value and the opaque colour it must decode to.
struct Sample {
    quint32 raw;
    QRgb colour;
};

void addDirect(
    const char *name, const BmpFile &base, int bits, bool topDown, const QList<Sample> &samples)
{
    QList<quint32> values;
    for (int i = 0; i < W * H; ++i)
        values << samples[i % samples.size()].raw;
    BmpFile file = base;
    file.pixels = packRows(values, W, H, bits, topDown);
    QTest::newRow(name) << file.bytes() << imageFrom(W, H, [&](int i) {
        return samples[i % samples.size()].colour;
    });
}

BmpFile withHeader(const QByteArray &headerBytes, const QByteArray &masks = {})
{
    BmpFile file;
    file.header = headerBytes;
    file.masks = masks;
    return file;
}

const QList<Sample> Rgb24Samples = { { 0x000000, 0xFF000000 }, { 0xFFFFFF, 0xFFFFFFFF },
    { 0x123456, 0xFF123456 }, { 0xFF0000, 0xFFFF0000 }, { 0x00FF00, 0xFF00FF00 },
    { 0x0000FF, 0xFF0000FF }, { 0x80C0E0, 0xFF80C0E0 } };
// The top byte is junk or alpha: it never changes the colour and never makes a pixel see-through.
const QList<Sample> Rgb32Samples = { { 0x7F123456, 0xFF123456 }, { 0x00FFFFFF, 0xFFFFFFFF },
    { 0xFF000000, 0xFF000000 }, { 0x01C08040, 0xFFC08040 } };
// 5-bit channels: 31 is 255, 16 rounds to 132, 8 to 66, 1 to 8; the top bit is unused.
const QList<Sample> Rgb555Samples = { { 0x0000, 0xFF000000 }, { 0x7FFF, 0xFFFFFFFF },
    { 0x7C00, 0xFFFF0000 }, { 0x03E0, 0xFF00FF00 }, { 0x001F, 0xFF0000FF }, { 0x4101, 0xFF844208 },
    { 0x8000, 0xFF000000 } };
const Masks Masks565 = { 0xF800, 0x07E0, 0x001F, 0 };
// 6-bit green: 32 of 63 rounds to 130; 5-bit blue 15 of 31 to 123.
const QList<Sample> Rgb565Samples
    = { { 0xFFFF, 0xFFFFFFFF }, { 0xF800, 0xFFFF0000 }, { 0x07E0, 0xFF00FF00 },
          { 0x001F, 0xFF0000FF }, { 0x840F, 0xFF84827B }, { 0x0000, 0xFF000000 } };
const Masks Masks101010 = { 0x3FF00000, 0x000FFC00, 0x000003FF, 0 };
// 10-bit channels: 1023 is 255, 512 rounds to 128, 1 and 2 to 0, 3 to 1.
const QList<Sample> Rgb101010Samples = { { 0xFFFFFFFF, 0xFFFFFFFF }, { 0x3FF00000, 0xFFFF0000 },
    { 512u << 20 | 1u << 10 | 1023u, 0xFF8000FF }, { 1u << 20 | 2u << 10 | 3u, 0xFF000001 },
    { 2u << 20 | 4u << 10 | 6u, 0xFF000101 } };
const Masks Masks7187 = { 0xFE000000, 0x01FFFF80, 0x0000007F, 0 };
// 7-bit 64 rounds to 129, 18-bit 131072 to 128, 7-bit 1 to 2, 18-bit 1 to 0.
const QList<Sample> Rgb7187Samples
    = { { 0xFFFFFFFF, 0xFFFFFFFF }, { 64u << 25 | 131072u << 7 | 64u, 0xFF818081 },
          { 1u << 25 | 1u << 7 | 1u, 0xFF020002 }, { 0, 0xFF000000 } };
// A channel 32 bits wide, and two channels with no bits at all, which read as 0.
const Masks MasksWide = { 0xFFFFFFFF, 0, 0, 0 };
const QList<Sample> WideSamples = { { 0xFFFFFFFF, 0xFFFF0000 }, { 0x80000000, 0xFF800000 },
    { 0x7FFFFFFF, 0xFF7F0000 }, { 0, 0xFF000000 } };
const Masks MasksArgb = { 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000 };
const Masks MasksAbgr = { 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000 };
const QList<Sample> AbgrSamples
    = { { 0x11223344, 0xFF443322 }, { 0x00FFFFFF, 0xFFFFFFFF }, { 0x80000080, 0xFF800000 } };
const Masks MasksRgbx = { 0xFF000000, 0x00FF0000, 0x0000FF00, 0 };
const QList<Sample> RgbxSamples
    = { { 0x12345678, 0xFF123456 }, { 0xFFFFFF00, 0xFFFFFFFF }, { 0x000000FF, 0xFF000000 } };
const Masks Masks1555 = { 0x7C00, 0x03E0, 0x001F, 0x8000 };
const QList<Sample> Argb1555Samples = { { 0xFC00, 0xFFFF0000 }, { 0x03E0, 0xFF00FF00 },
    { 0x801F, 0xFF0000FF }, { 0x4101, 0xFF844208 } };
// A 1-bit red channel is all or nothing; 10-bit green 512 rounds to 128.
const Masks Masks1105 = { 0x8000, 0x7FE0, 0x001F, 0 };
const QList<Sample> Rgb1105Samples = { { 0x8000, 0xFFFF0000 }, { 512u << 5, 0xFF008000 },
    { 0xFFFF, 0xFFFFFFFF }, { 0x001F, 0xFF0000FF } };

constexpr quint32 BitFields = 3;
constexpr quint32 AlphaBitFields = 6;

QImage indexImage(int width, int height, const QList<int> &topRowFirst)
{
    return imageFrom(width, height, [&](int i) {
        return topRowFirst[i] < 0 ? QRgb(0xFF000000) : paletteColour(topRowFirst[i]);
    });
}

// Run-length pictures: runs, absolute runs of odd and even length, deltas and early line and
// bitmap ends, one line of data per stored row, bottom row first. In the expected pictures -1
// marks a pixel the data skips, which must be black.
// clang-format off
BmpFile rle8File()
{
    BmpFile file;
    file.header = header(Kind::Info, 6, 4, 8, 1, 8);
    file.palette = paletteBytes(8, 4);
    file.pixels = QByteArray::fromHex("0301 000302030400 0000 "   // run, padded odd absolute run
                                      "0205 00020300 0106 0000 "  // delta over three pixels
                                      "0107 0000 "                // early line end
                                      "00020100 000401020304 0001"); // even absolute, early end
    return file;
}
QImage rle8Image()
{
    return indexImage(6, 4, {-1,  1,  2,  3,  4, -1,
                              7, -1, -1, -1, -1, -1,
                              5,  5, -1, -1, -1,  6,
                              1,  1,  1,  2,  3,  4});
}

BmpFile rle8DeltaUpFile()
{
    BmpFile file;
    file.header = header(Kind::Info, 4, 3, 8, 1, 8);
    file.palette = paletteBytes(8, 4);
    file.pixels = QByteArray::fromHex("0201 00020101 "  // run, delta one right and one up
                                      "0102 0001");     // run, early bitmap end
    return file;
}
QImage rle8DeltaUpImage()
{
    return indexImage(4, 3, {-1, -1, -1, -1,
                             -1, -1, -1,  2,
                              1,  1, -1, -1});
}

BmpFile rle4File()
{
    BmpFile file;
    file.header = header(Kind::Info, 7, 3, 4, 2, 16);
    file.palette = paletteBytes(16, 4);
    file.pixels = QByteArray::fromHex("0312 00043456 0000 "           // alternating run, absolute
                                      "00035670 00020200 0289 0000 "  // odd absolute, delta, run
                                      "00059ABCD000 0001");           // padded absolute, early end
    return file;
}
QImage rle4Image()
{
    return indexImage(7, 3, { 9, 10, 11, 12, 13, -1, -1,
                              5,  6,  7, -1, -1,  8,  9,
                              1,  2,  1,  3,  4,  5,  6});
}
// clang-format on

// The width and height the header of a (possibly damaged) file claims.
QSize claimedSize(const QByteArray &file)
{
    auto field = [&](int at, int bytes) {
        quint32 value = 0;
        for (int i = bytes - 1; i >= 0; --i)
            value = value << 8 | uchar(file[at + i]);
        return value;
    };
    if (field(14, 4) == 12)
        return QSize(int(field(18, 2)), int(field(20, 2)));
    return QSize(int(field(18, 4)), qAbs(int(field(22, 4))));
}

// Empty when both hold the same opaque pixels; otherwise where they first differ.
QString mismatch(const QImage &actual, const QImage &expected)
{
    if (actual.format() != QImage::Format_RGB32)
        return QStringLiteral("format %1").arg(int(actual.format()));
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2").arg(actual.width()).arg(actual.height());
    for (int y = 0; y < expected.height(); ++y) {
        const auto *got = reinterpret_cast<const QRgb *>(actual.constScanLine(y));
        const auto *want = reinterpret_cast<const QRgb *>(expected.constScanLine(y));
        for (int x = 0; x < expected.width(); ++x) {
            if (got[x] != want[x])
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(got[x], 8, 16, QLatin1Char('0'))
                    .arg(want[x], 8, 16, QLatin1Char('0'));
        }
    }
    return {};
}

// Empty when the file decodes to the expected pixels; otherwise what went wrong.
QString decodeMismatch(const QByteArray &file, const QImage &expected)
{
    try {
        return mismatch(decodeBmp(file), expected);
    } catch (const RuntimeError &error) {
        return QStringLiteral("refused with error %1").arg(error.number());
    }
}

// The number of the error decoding raises, or 0 when it succeeds.
int errorNumber(const QByteArray &file)
{
    try {
        decodeBmp(file);
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

} // namespace

// Decodes bitmaps built in the test and checks every pixel and every refusal number.
class TestBmpDecoder : public QObject {
    Q_OBJECT

private slots:
    void decodesEveryKind_data();
    void decodesEveryKind();
    void refusesBrokenFiles_data();
    void refusesBrokenFiles();
    void refusesEveryTruncation_data();
    void refusesEveryTruncation();
    void survivesMutations();
};

void TestBmpDecoder::decodesEveryKind_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");

    addIndexed("core 1-bit", Kind::Core, 1, false, 2);
    addIndexed("core 4-bit", Kind::Core, 4, false, 16);
    addIndexed("core 8-bit", Kind::Core, 8, false, 256);
    addIndexed("core 8-bit short palette", Kind::Core, 8, false, 20);
    addIndexed("info 1-bit bottom-up", Kind::Info, 1, false, 2);
    addIndexed("info 1-bit top-down", Kind::Info, 1, true, 2);
    addIndexed("info 1-bit one colour", Kind::Info, 1, false, 1);
    addIndexed("info 2-bit bottom-up", Kind::Info, 2, false, 4);
    addIndexed("info 2-bit top-down", Kind::Info, 2, true, 4);
    addIndexed("info 4-bit bottom-up", Kind::Info, 4, false, 16);
    addIndexed("info 4-bit top-down", Kind::Info, 4, true, 16);
    addIndexed("info 4-bit short palette", Kind::Info, 4, false, 5);
    addIndexed("info 8-bit bottom-up", Kind::Info, 8, false, 256);
    addIndexed("info 8-bit top-down", Kind::Info, 8, true, 256);
    addIndexed("info 8-bit short palette", Kind::Info, 8, false, 100);
    addIndexed("info 8-bit 300 colours", Kind::Info, 8, false, 300);
    addIndexed("info 8-bit gap before pixels", Kind::Info, 8, false, 256, 7);
    addIndexed("v2 4-bit", Kind::V2, 4, false, 16);
    addIndexed("v3 1-bit top-down", Kind::V3, 1, true, 2);
    addIndexed("v4 8-bit", Kind::V4, 8, false, 256);
    addIndexed("v5 8-bit top-down", Kind::V5, 8, true, 256);
    addIndexed("os2 16-byte 8-bit", Kind::Os2Short, 8, false, 256);
    addIndexed("os2 64-byte 4-bit", Kind::Os2Full, 4, false, 16);
    addIndexed("os2 64-byte 8-bit short palette", Kind::Os2Full, 8, false, 30);

    addDirect("core 24-bit", withHeader(header(Kind::Core, W, H, 24)), 24, false, Rgb24Samples);
    addDirect("os2 16-byte 24-bit", withHeader(header(Kind::Os2Short, W, H, 24)), 24, false,
        Rgb24Samples);
    addDirect(
        "info 24-bit bottom-up", withHeader(header(Kind::Info, W, H, 24)), 24, false, Rgb24Samples);
    addDirect(
        "info 24-bit top-down", withHeader(header(Kind::Info, W, -H, 24)), 24, true, Rgb24Samples);
    BmpFile withPalette = withHeader(header(Kind::Info, W, H, 24, 0, 256));
    withPalette.palette = paletteBytes(256, 4);
    addDirect("info 24-bit with palette", withPalette, 24, false, Rgb24Samples);
    addDirect(
        "v5 24-bit top-down", withHeader(header(Kind::V5, W, -H, 24)), 24, true, Rgb24Samples);
    addDirect(
        "info 32-bit bottom-up", withHeader(header(Kind::Info, W, H, 32)), 32, false, Rgb32Samples);
    addDirect(
        "info 32-bit top-down", withHeader(header(Kind::Info, W, -H, 32)), 32, true, Rgb32Samples);
    addDirect("info 16-bit 555 bottom-up", withHeader(header(Kind::Info, W, H, 16)), 16, false,
        Rgb555Samples);
    addDirect("info 16-bit 555 top-down", withHeader(header(Kind::Info, W, -H, 16)), 16, true,
        Rgb555Samples);
    addDirect("v5 16-bit uncompressed ignores masks",
        withHeader(header(Kind::V5, W, H, 16, 0, 0, Masks565)), 16, false, Rgb555Samples);
    addDirect("info 16-bit 565 bit fields",
        withHeader(header(Kind::Info, W, H, 16, BitFields), maskBytes(Masks565, 3)), 16, false,
        Rgb565Samples);
    addDirect("info 16-bit 1-10-5 bit fields",
        withHeader(header(Kind::Info, W, H, 16, BitFields), maskBytes(Masks1105, 3)), 16, false,
        Rgb1105Samples);
    addDirect("v4 16-bit 565 top-down",
        withHeader(header(Kind::V4, W, -H, 16, BitFields, 0, Masks565)), 16, true, Rgb565Samples);
    addDirect("v3 16-bit 1555 alpha ignored",
        withHeader(header(Kind::V3, W, H, 16, BitFields, 0, Masks1555)), 16, false,
        Argb1555Samples);
    addDirect("info 32-bit 10-10-10 bit fields",
        withHeader(header(Kind::Info, W, H, 32, BitFields), maskBytes(Masks101010, 3)), 32, false,
        Rgb101010Samples);
    addDirect("info 32-bit 7-18-7 bit fields",
        withHeader(header(Kind::Info, W, H, 32, BitFields), maskBytes(Masks7187, 3)), 32, false,
        Rgb7187Samples);
    addDirect("info 32-bit one 32-bit channel",
        withHeader(header(Kind::Info, W, H, 32, BitFields), maskBytes(MasksWide, 3)), 32, false,
        WideSamples);
    addDirect("info 32-bit alpha bit fields",
        withHeader(header(Kind::Info, W, H, 32, AlphaBitFields), maskBytes(MasksAbgr, 4)), 32,
        false, AbgrSamples);
    addDirect("v2 32-bit bit fields",
        withHeader(header(Kind::V2, W, H, 32, BitFields, 0, MasksRgbx)), 32, false, RgbxSamples);
    addDirect("v5 32-bit alpha ignored top-down",
        withHeader(header(Kind::V5, W, -H, 32, BitFields, 0, MasksArgb)), 32, true, Rgb32Samples);

    QTest::newRow("rle8 runs, absolute, delta, early ends") << rle8File().bytes() << rle8Image();
    QTest::newRow("rle8 delta upwards") << rle8DeltaUpFile().bytes() << rle8DeltaUpImage();
    QTest::newRow("rle4 runs, absolute, delta, early end") << rle4File().bytes() << rle4Image();
}

void TestBmpDecoder::decodesEveryKind()
{
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    const QString difference = decodeMismatch(file, expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestBmpDecoder::refusesBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("file");

    auto info24 = [](int width, int height, int pixelBytes) {
        BmpFile file = withHeader(header(Kind::Info, width, height, 24));
        file.pixels.fill('\x11', pixelBytes);
        return file.bytes();
    };
    const QByteArray good = info24(W, H, 48);
    QCOMPARE(errorNumber(good), 0);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("signature only") << QByteArray("BM");
    QTest::newRow("BA signature") << QByteArray(good).replace(0, 2, "BA");
    QTest::newRow("zero width") << info24(0, H, 48);
    QTest::newRow("negative width") << info24(-W, H, 48);
    QTest::newRow("zero height") << info24(W, 0, 48);
    QTest::newRow("30000x30000 with tiny data") << info24(30000, 30000, 48);
    QTest::newRow("width 32768") << info24(32768, 1, 32768 * 3);
    QTest::newRow("height INT32_MIN") << info24(1, int(0x80000000u), 48);
    BmpFile os2 = withHeader(header(Kind::Core, 65535, 65535, 24));
    os2.pixels.fill('\x11', 4096);
    QTest::newRow("os2 65535x65535") << os2.bytes();
    BmpFile manyPixels = withHeader(header(Kind::Info, 8193, 4097, 8, 1));
    manyPixels.pixels = QByteArray::fromHex("0001");
    QTest::newRow("rle8 over 2^25 pixels") << manyPixels.bytes();

    auto withField = [&](int at, int bytes, quint32 value) {
        QByteArray file = good;
        for (int i = 0; i < bytes; ++i)
            file[at + i] = char(value >> (8 * i) & 0xFF);
        return file;
    };
    QTest::newRow("bit count 7") << withField(28, 2, 7);
    QTest::newRow("bit count 0") << withField(28, 2, 0);
    QTest::newRow("bit count 64") << withField(28, 2, 64);
    QTest::newRow("planes 2") << withField(26, 2, 2);
    QTest::newRow("header size 66") << withField(14, 4, 66);
    QTest::newRow("header size 0") << withField(14, 4, 0);
    QTest::newRow("header size 41") << withField(14, 4, 41);
    QTest::newRow("header larger than file") << withField(14, 4, 124);
    QTest::newRow("pixel offset beyond file") << withField(10, 4, 1000);
    QTest::newRow("pixel offset inside header") << withField(10, 4, 20);
    QTest::newRow("pixels one byte short") << good.left(good.size() - 2);
    QTest::newRow("compression 4 (jpeg)") << withField(30, 4, 4);
    QTest::newRow("compression 5 (png)") << withField(30, 4, 5);
    QTest::newRow("compression 7") << withField(30, 4, 7);
    QTest::newRow("bit fields at 24 bits") << withField(30, 4, BitFields);

    BmpFile masksMissing = withHeader(header(Kind::Info, W, H, 16, BitFields));
    QTest::newRow("bit fields without masks") << masksMissing.bytes();
    BmpFile huffman = withHeader(header(Kind::Os2Full, W, H, 1, 3, 2));
    huffman.palette = paletteBytes(2, 4);
    huffman.pixels.fill('\0', 64);
    QTest::newRow("os2 huffman") << huffman.bytes();
    BmpFile rle24 = withHeader(header(Kind::Os2Full, W, H, 24, 4));
    rle24.pixels = QByteArray::fromHex("0511223300000001");
    QTest::newRow("os2 rle24") << rle24.bytes();

    auto rle8 = [](const char *hex, int height = 2) {
        BmpFile file = withHeader(header(Kind::Info, 4, height, 8, 1, 4));
        file.palette = paletteBytes(4, 4);
        file.pixels = QByteArray::fromHex(hex);
        return file.bytes();
    };
    QTest::newRow("rle8 top-down") << rle8("04010001", -2);
    QTest::newRow("rle8 run past the right edge") << rle8("05010001");
    QTest::newRow("rle8 run past the edge after pixels") << rle8("03010201"
                                                                 "0001");
    QTest::newRow("rle8 absolute past the right edge") << rle8("00050102030102000001");
    QTest::newRow("rle8 delta past the right edge") << rle8("000205000001");
    QTest::newRow("rle8 delta past the top") << rle8("000200030001");
    QTest::newRow("rle8 run above the top") << rle8("0000"
                                                    "0000"
                                                    "01010001");
    QTest::newRow("rle8 line end past the top") << rle8("0000"
                                                        "0000"
                                                        "0000"
                                                        "0001");
    QTest::newRow("rle8 no end of bitmap") << rle8("04010000");
    QTest::newRow("rle8 absolute cut short") << rle8("00040102");
    QTest::newRow("rle8 delta cut short") << rle8("000201");
    QTest::newRow("rle8 with 4-bit pixels") << QByteArray(rle8("04010001")).replace(28, 1, "\x04");
    BmpFile rle4 = withHeader(header(Kind::Info, 3, 1, 4, 2, 16));
    rle4.palette = paletteBytes(16, 4);
    rle4.pixels = QByteArray::fromHex("04120001");
    QTest::newRow("rle4 run past the right edge") << rle4.bytes();
    rle4.pixels = QByteArray::fromHex("000412340001");
    QTest::newRow("rle4 absolute past the right edge") << rle4.bytes();
}

void TestBmpDecoder::refusesBrokenFiles()
{
    QFETCH(QByteArray, file);
    QCOMPARE(errorNumber(file), platform::err::InvalidPicture);
}

void TestBmpDecoder::refusesEveryTruncation_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("optionalTail"); // bytes of final row padding that may be missing

    BmpFile indexed = withHeader(header(Kind::Info, W, H, 8, 0, 16));
    indexed.palette = paletteBytes(16, 4);
    indexed.pixels = packRows(QList<quint32>(W * H, 3), W, H, 8, false);
    QTest::newRow("8-bit, 3 bytes of padding") << indexed.bytes() << 3;
    BmpFile rgb = withHeader(header(Kind::Core, W, H, 24));
    rgb.pixels = packRows(QList<quint32>(W * H, 0x123456), W, H, 24, false);
    QTest::newRow("core 24-bit, 1 byte of padding") << rgb.bytes() << 1;
    BmpFile fields = withHeader(header(Kind::Info, 4, H, 16, BitFields), maskBytes(Masks565, 3));
    fields.pixels = packRows(QList<quint32>(4 * H, 0x840F), 4, H, 16, false);
    QTest::newRow("16-bit bit fields, no padding") << fields.bytes() << 0;
    QTest::newRow("rle8") << rle8File().bytes() << 0;
    QTest::newRow("rle4") << rle4File().bytes() << 0;
}

// Every cut of a good file is refused, except one that only loses final row padding.
void TestBmpDecoder::refusesEveryTruncation()
{
    QFETCH(QByteArray, file);
    QFETCH(int, optionalTail);
    QCOMPARE(errorNumber(file), 0);
    const QImage whole = decodeBmp(file);
    for (qsizetype length = 0; length < file.size(); ++length) {
        const QByteArray cut = file.left(length);
        if (length >= file.size() - optionalTail) {
            const QString difference = decodeMismatch(cut, whole);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        } else {
            QVERIFY2(errorNumber(cut) == platform::err::InvalidPicture,
                qPrintable(QStringLiteral("cut at %1 bytes").arg(length)));
        }
    }
}

// Random damage to good files never crashes or misreports: the result is an image of the size
// the damaged header claims, or error 481. The seed is fixed so a failure can be replayed.
void TestBmpDecoder::survivesMutations()
{
    BmpFile indexed = withHeader(header(Kind::Info, W, H, 4, 0, 12));
    indexed.palette = paletteBytes(12, 4);
    indexed.pixels = packRows(QList<quint32>(W * H, 11), W, H, 4, false);
    BmpFile core = withHeader(header(Kind::Core, W, H, 8));
    core.palette = paletteBytes(256, 3);
    core.pixels = packRows(QList<quint32>(W * H, 200), W, H, 8, false);
    BmpFile fields = withHeader(header(Kind::V5, W, -H, 32, BitFields, 0, Masks7187));
    fields.pixels = packRows(QList<quint32>(W * H, 0xDEADBEEF), W, H, 32, true);
    BmpFile rgb16 = withHeader(header(Kind::Info, W, H, 16, BitFields), maskBytes(Masks565, 3));
    rgb16.pixels = packRows(QList<quint32>(W * H, 0x1234), W, H, 16, false);
    const QList<QByteArray> bases = { indexed.bytes(), core.bytes(), fields.bytes(), rgb16.bytes(),
        rle8File().bytes(), rle8DeltaUpFile().bytes(), rle4File().bytes() };
    const QList<quint32> extremes
        = { 0, 1, 2, 3, 4, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF };

    QRandomGenerator random(20240611);
    int decoded = 0;
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray file = bases[random.bounded(int(bases.size()))];
        const int changes = 1 + random.bounded(4);
        for (int i = 0; i < changes; ++i) {
            // Most damage lands in the headers, where a wrong value matters most.
            const int span = random.bounded(4) ? qMin(int(file.size()), 70) : int(file.size());
            const int at = random.bounded(span);
            if (random.bounded(5) == 0 && at + 4 <= file.size())
                put32(file, at, extremes[random.bounded(int(extremes.size()))]);
            else
                file[at] = char(random.bounded(256));
        }
        if (random.bounded(8) == 0)
            file.truncate(random.bounded(int(file.size())));

        try {
            const QImage image = decodeBmp(file);
            QCOMPARE(image.format(), QImage::Format_RGB32);
            QCOMPARE(image.size(), claimedSize(file));
            ++decoded;
        } catch (const RuntimeError &error) {
            QVERIFY2(error.number() == platform::err::InvalidPicture,
                qPrintable(QStringLiteral("round %1: error %2").arg(round).arg(error.number())));
            ++refused;
        }
    }
    qInfo("mutants: %d decoded, %d refused", decoded, refused);
    QVERIFY(decoded > 100);
    QVERIFY(refused > 100);
}

QTEST_GUILESS_MAIN(TestBmpDecoder)
#include "tst_bmpdecoder.moc"
