// Writes the fuzz target's seed bitmaps into the folder given: every header kind at every bit
// depth, bottom-up and top-down, bit fields with and without alpha, and run-length files, each
// small so that the fuzzer mutates them quickly.

#include "support/bmpkinds.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace bmpkinds;

namespace {

constexpr int Width = 13; // odd, so every depth needs row padding
constexpr int Height = 7;

// Pixel values that use every bit of the depth somewhere.
QList<quint32> values(int bits)
{
    QList<quint32> out;
    const quint64 range = quint64(1) << bits;
    for (int i = 0; i < Width * Height; ++i)
        out << quint32((quint64(i) * 2654435761u + 12345) % range);
    return out;
}

QByteArray uncompressed(Kind kind, int bits, bool topDown, quint32 compression = 0,
    const Masks &masks = {}, int colours = 0)
{
    const int height = topDown ? -Height : Height;
    return bmp(kind, Width, height, bits, packRows(values(bits), Width, height, bits), colours,
        compression, masks);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;
    int written = 0;
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(folder.filePath(name + QStringLiteral(".bmp")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::exit(1);
        ++written;
    };

    const Masks rgb565 = { 0xF800, 0x07E0, 0x001F, 0 };
    const Masks argb1555 = { 0x7C00, 0x03E0, 0x001F, 0x8000 };
    const Masks rgb101010 = { 0x3FF00000, 0x000FFC00, 0x000003FF, 0 };
    const Masks abgr8888 = { 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000 };
    for (Kind kind : AllKinds) {
        const QString name = QString::fromLatin1(KindName[int(kind)]);
        for (int bits : { 1, 2, 4, 8, 16, 24, 32 }) {
            const QString depth = name + QStringLiteral("-%1bpp").arg(bits);
            write(depth, uncompressed(kind, bits, false));
            // The core header's sizes are unsigned: it has no top-down form.
            if (kind != Kind::Core)
                write(depth + QStringLiteral("-topdown"), uncompressed(kind, bits, true));
        }
        if (kind == Kind::Core || kind == Kind::Os2Short)
            continue;
        write(name + QStringLiteral("-8bpp-5colours"), uncompressed(kind, 8, false, 0, {}, 5));
        if (kind == Kind::Os2Full) {
            write(name + QStringLiteral("-rle8"),
                bmp(kind, 6, 4, 8, QByteArray::fromHex(Rle8), 16, 1));
            write(name + QStringLiteral("-rle4"),
                bmp(kind, 7, 3, 4, QByteArray::fromHex(Rle4), 16, 2));
            continue;
        }
        write(
            name + QStringLiteral("-16bpp-565"), uncompressed(kind, 16, false, BitFields, rgb565));
        write(name + QStringLiteral("-16bpp-1555-topdown"),
            uncompressed(kind, 16, true, AlphaBitFields, argb1555));
        write(name + QStringLiteral("-32bpp-101010"),
            uncompressed(kind, 32, false, BitFields, rgb101010));
        write(name + QStringLiteral("-32bpp-8888-topdown"),
            uncompressed(kind, 32, true, AlphaBitFields, abgr8888));
    }
    write(QStringLiteral("info-rle8"), rle(6, 4, 8, Rle8));
    write(QStringLiteral("info-rle8-delta-up"), rle(4, 3, 8, Rle8Up));
    write(QStringLiteral("info-rle4"), rle(7, 3, 4, Rle4));
    std::printf("%d seed bitmaps written to %s\n", written, argv[1]);
    return 0;
}
