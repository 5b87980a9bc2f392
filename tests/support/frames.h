#pragma once

#include "core/picture.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Folders of frames as an artist's tool leaves them, read back without the program's own reader,
// and the sheet an independent painter makes of them.
namespace testframes {

using PixelFunction = std::function<QRgb(int x, int y)>;

// Every pixel tells its frame number and place: red frame * 16 + 15, green x * 8, blue y * 8.
QRgb frameColour(int frame, int x, int y);
// A frame whose pixels are frameColour(frame, ...), as a 24-bit bitmap; bits 8 gives one that
// uses the palette colours of bmpkinds, 32 one whose fourth byte holds a see-through alpha.
QByteArray frameFile(int frame, QSize size, int bits = 24);
// The colours frameFile(frame, size, bits) shows.
PixelFunction framePixels(int frame, int bits = 24);

// "Walk01.bmp", "WALK02.bmp", "walk03.bmp", ...: frame i sorts at place i only when case is
// ignored.
QStringList walkNames(int count);
// Creates the folder and writes frame i under names[i], of sizes[i] (the last size repeats;
// 16 x 16 when none is given).
// Scrambled, the odd ones go first, from the last down, so that neither creation nor the folder's
// order hands the names over sorted.
bool writeFrames(const QString &folder, const QStringList &names, const QList<QSize> &sizes = {},
                 bool scrambled = false);

bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readAll(const QString &path);
// Everything in a folder, hidden entries included, so a left-over temporary file shows.
QStringList entries(const QString &folder);

// An uncompressed 24-bit bitmap decoded without the program's reader; null when it is none.
QImage readBmp24(const QByteArray &bytes);
// "" when the images have the same size and the same opaque colour everywhere, else the first
// difference.
QString imageDifference(const QImage &actual, const QImage &expected);
QString imageDifference(const quorbel::Picture &actual, const QImage &expected);

// The sheet of frames painted in drawing order onto black, each at its own size with its corner
// at its cell's, later ones over earlier ones, cut at the edges.
struct Frame
{
    QSize size;
    PixelFunction pixel;
};
QImage paintSheet(const QList<Frame> &frames, QSize cell, int perRow, int rows);
// The picture frameFile(frame, size, bits) holds, and that picture as the program holds it.
QImage frameImage(int frame, QSize size, int bits = 24);
quorbel::Picture framePicture(int frame, QSize size);

} // namespace testframes
