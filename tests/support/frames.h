#pragma once

#include "core/bmpdecoder.h"
#include "core/picture.h"
#include "core/runtimeerror.h"
#include "support/bmpkinds.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Folders of frames as an artist's tool leaves them, written and compared without the program's
// own writer and reader, and the sheet an independent painter makes of them.
namespace testframes {

using PixelFunction = std::function<QRgb(int x, int y)>;

// Every pixel tells its frame number and place: red frame * 16 + 15, green x * 8, blue y * 8.
inline QRgb frameColour(int frame, int x, int y)
{
    return qRgb((frame * 16 + 15) & 0xff, (x * 8) & 0xff, (y * 8) & 0xff);
}

// The colours frameFile(frame, size, bits) shows.
inline PixelFunction framePixels(int frame, int bits = 24)
{
    if (bits == 8)
        return [frame](int x, int y) { return bmpkinds::paletteColour((frame + x + 2 * y) & 255); };
    return [frame](int x, int y) { return frameColour(frame, x, y); };
}

// A frame whose pixels are frameColour(frame, ...), as a 24-bit bitmap; bits 8 gives one that
// uses the palette colours of bmpkinds, 32 one whose fourth byte holds a see-through alpha.
inline QByteArray frameFile(int frame, QSize size, int bits = 24)
{
    QList<quint32> values;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            values.append(bits == 8 ? quint32((frame + x + 2 * y) & 255)
                                    : frameColour(frame, x, y) & 0xffffffu);
        }
    }
    return bmpkinds::bmp(bmpkinds::Kind::Info, size.width(), size.height(), bits,
                         bmpkinds::packRows(values, size.width(), size.height(), bits));
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "Walk01.bmp", "WALK02.bmp", "walk03.bmp", ...: frame i sorts at place i only when case is
// ignored.
inline QStringList walkNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString number = QString::number(i + 1).rightJustified(count > 99 ? 3 : 2, u'0');
        names.append(QStringList{u"Walk"_qs, u"WALK"_qs, u"walk"_qs}.at(i % 3) + number
                     + u".bmp"_qs);
    }
    return names;
}

// Creates the folder and writes frame i under names[i], of sizes[i] (the last size repeats;
// 16 x 16 when none is given). Scrambled, the odd ones go first, from the last down, so that
// neither creation nor the folder's order hands the names over sorted.
inline bool writeFrames(const QString &folder, const QStringList &names,
                        const QList<QSize> &sizes = {}, bool scrambled = false)
{
    QList<qsizetype> order;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (scrambled && i % 2 == 1)
            order.prepend(i);
        else
            order.append(i);
    }
    if (!QDir().mkpath(folder))
        return false;
    for (qsizetype i : std::as_const(order)) {
        const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.value(i, sizes.last());
        const QByteArray file = frameFile(int(i), size);
        if (!writeFile(QDir(folder).filePath(names.at(i)), file))
            return false;
    }
    return true;
}

// The number of the run-time error the call raises; 0 when it raises none.
template <typename Call>
int errorNumber(Call call)
{
    try {
        call();
    } catch (const quorbel::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// Everything in a folder, hidden entries included, so a left-over temporary file shows.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// "" when the images have the same size and the same opaque colour everywhere, else the first
// difference.
inline QString imageDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QDebug::toString(actual.size()) + QStringLiteral(", expected ")
            + QDebug::toString(expected.size());
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb got = actual.pixel(x, y) | 0xff000000u;
            const QRgb wanted = expected.pixel(x, y) | 0xff000000u;
            if (got != wanted)
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(QString::number(x), QString::number(y), QString::number(got, 16),
                         QString::number(wanted, 16));
        }
    }
    return {};
}

inline QString imageDifference(const quorbel::Picture &actual, const QImage &expected)
{
    return imageDifference(QImage(actual.constBits(), actual.width(), actual.height(),
                                  actual.bytesPerLine(), QImage::Format_BGR888),
                           expected);
}

// The sheet of frames painted in drawing order onto black, each at its own size with its corner
// at its cell's, later ones over earlier ones, cut at the edges.
struct Frame
{
    QSize size;
    PixelFunction pixel;
};
inline QImage paintSheet(const QList<Frame> &frames, QSize cell, int perRow, int rows)
{
    QImage sheet(cell.width() * perRow, cell.height() * rows, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    for (int n = 0; n < frames.size() && perRow > 0; ++n) {
        const QPoint corner((n % perRow) * cell.width(), (n / perRow) * cell.height());
        for (int y = 0; y < frames.at(n).size.height(); ++y) {
            for (int x = 0; x < frames.at(n).size.width(); ++x) {
                if (sheet.rect().contains(corner + QPoint(x, y)))
                    sheet.setPixel(corner + QPoint(x, y), frames.at(n).pixel(x, y));
            }
        }
    }
    return sheet;
}

// The sheet of frames 0 to count - 1 as frameFile writes them, all of one size.
inline QImage paintFrames(int count, QSize size, int perRow, int rows)
{
    QList<Frame> frames;
    for (int i = 0; i < count; ++i)
        frames.append({size, framePixels(i)});
    return paintSheet(frames, size, perRow, rows);
}

// The picture frameFile(frame, size, bits) holds, and that picture as the program holds it.
inline QImage frameImage(int frame, QSize size, int bits = 24)
{
    return paintSheet({{size, framePixels(frame, bits)}}, size, 1, 1);
}

inline quorbel::Picture framePicture(int frame, QSize size)
{
    return quorbel::decodeBmp(frameFile(frame, size));
}

} // namespace testframes
