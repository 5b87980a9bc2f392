#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <functional>

// Test frames written the way an artist's tool writes them, without the program's own writer.
namespace testbitmaps {

// The colour of pixel (x, y) of a frame, y counted from the top.
using PixelFunction = std::function<QRgb(int x, int y)>;

// A bottom-up 24-bit bitmap with a 40-byte header.
QByteArray bmp24(int width, int height, const PixelFunction &pixel);
// A 32-bit bitmap with a 40-byte header; the fourth byte of each pixel holds alpha.
QByteArray bmp32(int width, int height, const PixelFunction &pixel, quint8 alpha);
// An 8-bit bitmap with a palette, pixels given as palette indexes.
QByteArray bmp8(int width, int height, const QList<QRgb> &palette,
                const std::function<quint8(int x, int y)> &index);

bool writeFile(const QString &path, const QByteArray &bytes);

// A frame of one colour, and a frame whose every pixel tells its frame number and position:
// red = frame number * 16 + 15, green = x * 8, blue = y * 8 (for frames up to 32 pixels).
QRgb frameColour(int frame, int x, int y);
QByteArray numberedFrame(int frame, int width, int height);

// Decodes a 24-bit bottom-up or top-down BI_RGB bitmap independently of the program's reader;
// a null image when the bytes are not such a file.
QImage readBmp24(const QByteArray &bytes);

} // namespace testbitmaps
