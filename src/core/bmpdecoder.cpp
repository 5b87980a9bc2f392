#include "core/bmpdecoder.h"

#include "core/picture.h"
#include "core/runtimeerror.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace quorbel {

namespace {

// No sprite frame comes near these; a header claiming more is refused before any allocation,
// which also bounds what a tiny run-length file can make us allocate (128 MiB at most).
constexpr qint64 MaxSide = 32767;
constexpr qint64 MaxPixels = qint64(1) << 25;

constexpr qint64 FileHeaderSize = 14;
// Colours as 0xRRGGBB.
using Colour = quint32;
constexpr Colour Black = 0;

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

using Palette = std::array<Colour, 256>;

[[noreturn]] void invalid()
{
    raise(err::InvalidPicture);
}

// Little-endian reads that refuse to look past the end of the file.
quint32 readLE(QByteArrayView file, qint64 at, int bytes)
{
    if (at < 0 || at + bytes > file.size())
        invalid();
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(file[at + i]);
    return value;
}
quint32 u16(QByteArrayView file, qint64 at)
{
    return readLE(file, at, 2);
}
quint32 u32(QByteArrayView file, qint64 at)
{
    return readLE(file, at, 4);
}
qint64 i32(QByteArrayView file, qint64 at)
{
    return std::int32_t(readLE(file, at, 4));
}

// What the headers say about the pixels, already checked against the limits.
struct Layout
{
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    quint32 compression = Rgb;
    std::array<quint32, 3> masks{};
    qint64 pixelOffset = 0;
};

bool isWindowsHeader(quint32 size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The OS/2 2.x header may stop after any whole field from the bit count on; what it omits is 0.
bool isOs2v2Header(quint32 size)
{
    return !isWindowsHeader(size) && size >= 16 && size <= 64 && size % 4 == 0;
}

bool isBitFields(quint32 compression)
{
    return compression == BitFields || compression == AlphaBitFields;
}

Layout readLayout(QByteArrayView file, Palette &palette)
{
    if (file.size() < FileHeaderSize || file[0] != 'B' || file[1] != 'M')
        invalid();
    const quint32 headerSize = u32(file, FileHeaderSize);
    const bool core = headerSize == 12;
    const bool os2v2 = isOs2v2Header(headerSize);
    if (!core && !os2v2 && !isWindowsHeader(headerSize))
        invalid();
    const qint64 headerEnd = FileHeaderSize + headerSize;
    if (headerEnd > file.size())
        invalid();

    Layout layout;
    qint64 width, height;
    quint32 planes, paletteSize = 0;
    if (core) {
        width = u16(file, 18);
        height = u16(file, 20);
        planes = u16(file, 22);
        layout.bitCount = int(u16(file, 24));
    } else {
        width = i32(file, 18);
        height = i32(file, 22);
        planes = u16(file, 26);
        layout.bitCount = int(u16(file, 28));
        if (headerSize >= 20)
            layout.compression = u32(file, 30);
        if (headerSize >= 36)
            paletteSize = u32(file, 46);
    }
    layout.topDown = height < 0;
    height = qAbs(height);
    if (planes != 1 || width < 1 || height < 1 || width > MaxSide || height > MaxSide
        || width * height > MaxPixels)
        invalid();
    layout.width = int(width);
    layout.height = int(height);

    const int bits = layout.bitCount;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        invalid();
    // Under OS/2 2.x, codes 3 and 4 mean Huffman 1D and RLE24, which frames never use.
    const quint32 compression = layout.compression;
    const bool rle = compression == Rle8 || compression == Rle4;
    if ((os2v2 && compression > Rle4) || (compression > BitFields && compression != AlphaBitFields)
        || (compression == Rle8 && bits != 8) || (compression == Rle4 && bits != 4)
        || (rle && layout.topDown) || (isBitFields(compression) && bits != 16 && bits != 32))
        invalid();

    // The masks sit right after the 40-byte part of every header: inside V2 and later headers,
    // or just behind a plain info header.
    if (isBitFields(compression))
        layout.masks = {u32(file, 54), u32(file, 58), u32(file, 62)};
    else if (bits == 16)
        layout.masks = {0x7C00, 0x03E0, 0x001F};
    else
        layout.masks = {0xFF0000, 0xFF00, 0xFF};

    layout.pixelOffset = u32(file, 10);
    if (layout.pixelOffset < headerEnd || layout.pixelOffset > file.size())
        invalid();

    palette.fill(Black);
    if (bits <= 8) {
        // Indexes past the palette stay black. The palette never reaches into the pixels, which
        // is how a short OS/2 palette (no count field) is told from a full one.
        const int entrySize = core ? 3 : 4;
        qint64 count = paletteSize ? paletteSize : 1 << bits;
        count = qMin(count, qint64(1) << bits);
        count = qMin(count, (layout.pixelOffset - headerEnd) / entrySize);
        for (qint64 i = 0; i < count; ++i) {
            const qint64 at = headerEnd + i * entrySize;
            palette[i] = readLE(file, at, 3);
        }
    }
    return layout;
}

// Every stored row is padded to a multiple of four bytes.
qint64 rowStride(const Layout &layout)
{
    return (qint64(layout.width) * layout.bitCount + 31) / 32 * 4;
}

// One colour channel of a bit-field pixel, scaled to 0..255 with rounding whatever its width.
class Channel
{
public:
    explicit Channel(quint32 mask)
        : m_mask(mask), m_shift(mask ? std::countr_zero(mask) : 0), m_max(mask >> m_shift)
    {
    }
    quint32 operator()(quint32 pixel) const
    {
        if (m_max == 0)
            return 0;
        const quint64 value = (pixel & m_mask) >> m_shift;
        return quint32((2 * value * 255 + m_max) / (2 * m_max));
    }

private:
    quint32 m_mask;
    int m_shift;
    quint64 m_max;
};

// A pixel as a 24-bit bitmap stores it: blue, green, red.
void put(uchar *dst, Colour colour)
{
    dst[0] = uchar(colour);
    dst[1] = uchar(colour >> 8);
    dst[2] = uchar(colour >> 16);
}

// Uncompressed rows, with fast paths for the common 8, 24 and 32-bit kinds.
// Where decoded rows go: the frame's own picture, or its place in a larger one.
struct Rows
{
    uchar *first;
    qsizetype stride;
    uchar *line(int y) const { return first + y * stride; }
};

void decodeRows(const uchar *pixels, const Layout &layout, const Palette &palette, Rows image)
{
    const int width = layout.width;
    const int bits = layout.bitCount;
    const qint64 stride = rowStride(layout);
    const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
    const bool plain32 =
        bits == 32 && layout.masks == std::array<quint32, 3>{0xFF0000, 0xFF00, 0xFF};

    for (int row = 0; row < layout.height; ++row) {
        const uchar *src = pixels + row * stride;
        const int y = layout.topDown ? row : layout.height - 1 - row;
        uchar *dst = image.line(y);
        if (bits == 24) {
            std::memcpy(dst, src, size_t(width) * 3);
        } else if (bits == 8) {
            for (int x = 0; x < width; ++x, dst += 3)
                put(dst, palette[src[x]]);
        } else if (bits < 8) {
            const int perByte = 8 / bits;
            const unsigned indexMask = (1u << bits) - 1;
            for (int x = 0; x < width; ++x, dst += 3) {
                const int shift = 8 - bits * (x % perByte + 1);
                put(dst, palette[(src[x / perByte] >> shift) & indexMask]);
            }
        } else if (plain32) {
            for (int x = 0; x < width; ++x, src += 4, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        } else {
            const int bytes = bits / 8;
            for (int x = 0; x < width; ++x, src += bytes, dst += 3) {
                quint32 value = 0;
                for (int i = bytes - 1; i >= 0; --i)
                    value = value << 8 | src[i];
                dst[0] = uchar(blue(value));
                dst[1] = uchar(green(value));
                dst[2] = uchar(red(value));
            }
        }
    }
}

// Run-length data. The image starts black, so pixels skipped by a delta or by an early end of
// line or of bitmap stay black. The cursor may rest anywhere from the first pixel to just past
// the last row and column, but a run that would write outside the image, a delta or line end
// that leaves it, or data that stops before the end-of-bitmap code is a corrupt frame: 481,
// exactly as for uncompressed data cut short, rather than a guess at what was meant.
void decodeRle(QByteArrayView file, const Layout &layout, const Palette &palette, Rows image)
{
    for (int y = 0; y < layout.height; ++y)
        std::memset(image.line(y), 0, size_t(layout.width) * 3);
    const bool four = layout.compression == Rle4;
    const int width = layout.width;
    const int height = layout.height;
    qint64 at = layout.pixelOffset;
    int x = 0;
    int y = 0; // counted from the bottom row, as the data is stored
    auto byte = [&](qint64 offset) { return quint8(readLE(file, offset, 1)); };
    auto rowFor = [&](int count) {
        if (y >= height || x + count > width)
            invalid();
        return image.line(height - 1 - y) + size_t(x) * 3;
    };

    for (;;) {
        const int count = byte(at);
        const quint8 code = byte(at + 1);
        at += 2;
        if (count > 0) {
            uchar *dst = rowFor(count);
            const Colour even = palette[four ? code >> 4 : code];
            const Colour odd = palette[four ? code & 15 : code];
            for (int i = 0; i < count; ++i, dst += 3)
                put(dst, i % 2 ? odd : even);
            x += count;
        } else if (code == 0) {
            if (++y > height)
                invalid();
            x = 0;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            x += byte(at);
            y += byte(at + 1);
            at += 2;
            if (x > width || y > height)
                invalid();
        } else {
            const qint64 bytes = four ? (code + 1) / 2 : code;
            if (at + bytes > file.size())
                invalid();
            uchar *dst = rowFor(code);
            for (int i = 0; i < code; ++i, dst += 3) {
                const quint8 value = quint8(file[at + (four ? i / 2 : i)]);
                put(dst, palette[four ? (i % 2 ? value & 15 : value >> 4) : value]);
            }
            x += code;
            at += (bytes + 1) & ~qint64(1); // absolute runs are padded to a 16-bit boundary
        }
    }
}

} // namespace

namespace {

bool isRle(const Layout &layout)
{
    return layout.compression == Rle8 || layout.compression == Rle4;
}

// The headers, and for uncompressed data the check that every byte holding a pixel is there
// (the last row may lack its padding), so that a file cut short is refused before anything is
// allocated or written.
Layout wholeLayout(QByteArrayView file, Palette &palette)
{
    const Layout layout = readLayout(file, palette);
    const qint64 lastRow = (qint64(layout.width) * layout.bitCount + 7) / 8;
    if (!isRle(layout)
        && layout.pixelOffset + rowStride(layout) * (layout.height - 1) + lastRow > file.size())
        invalid();
    return layout;
}

} // namespace

QSize bmpSize(QByteArrayView file)
{
    Palette palette;
    const Layout layout = wholeLayout(file, palette);
    return {layout.width, layout.height};
}

void decodeBmp(QByteArrayView file, uchar *first, qsizetype stride)
{
    Palette palette;
    const Layout layout = wholeLayout(file, palette);
    const Rows rows{first, stride};
    if (isRle(layout))
        decodeRle(file, layout, palette, rows);
    else
        decodeRows(reinterpret_cast<const uchar *>(file.data()) + layout.pixelOffset, layout,
                   palette, rows);
}

void decodeBmp(QByteArrayView file, Picture &picture)
{
    const QSize size = bmpSize(file);
    if (picture.size() != size || picture.format() != Picture::Format::Bgr24
        || !picture.isDetached()) {
        picture = Picture();
        try {
            picture = Picture(size);
        } catch (const std::bad_alloc &) {
            raise(err::OutOfMemory);
        }
    }
    decodeBmp(file, picture.scanLine(0), picture.bytesPerLine());
}

Picture decodeBmp(QByteArrayView file)
{
    Picture picture;
    decodeBmp(file, picture);
    return picture;
}

} // namespace quorbel
