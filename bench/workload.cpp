#include "bench/workload.h"

#include "core/bmpencoder.h"
#include "core/picture.h"
#include "core/pngencoder.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

QList<Workload> allWorkloads()
{
    return {
        {QStringLiteral("S"), 8, 32, 1},      {QStringLiteral("M"), 256, 64, 16},
        {QStringLiteral("L"), 1024, 128, 32}, {QStringLiteral("XL"), 64, 512, 8},
        {QStringLiteral("W"), 4096, 16, 64},
    };
}

QList<Workload> scaleWorkloads()
{
    return {
        {QStringLiteral("1k"), 1024, 16, 128},
        {QStringLiteral("4k"), 4096, 16, 128},
        {QStringLiteral("16k"), 16384, 16, 128},
        {QStringLiteral("32k"), 32767, 16, 128},
    };
}

std::optional<Workload> findWorkload(const QString &name)
{
    for (const Workload &workload : allWorkloads() + scaleWorkloads()) {
        if (workload.name.compare(name, Qt::CaseInsensitive) == 0)
            return workload;
    }
    return std::nullopt;
}

QStringList writeFrames(const Workload &workload, const QString &folder, bool png)
{
    QDir().mkpath(folder);
    QStringList paths;
    // PNG frames are sprites: a disc with a soft edge on a transparent background, whose pixels
    // are zero, as drawing programs export them.
    quorbel::Picture frame(QSize(workload.frameSize, workload.frameSize),
                           png ? quorbel::Picture::Format::Bgra32
                               : quorbel::Picture::Format::Bgr24);
    const double middle = workload.frameSize / 2.0, radius = workload.frameSize * 0.45;
    for (int index = 0; index < workload.frames; ++index) {
        for (int y = 0; y < frame.height(); ++y) {
            uchar *pixel = frame.scanLine(y);
            for (int x = 0; x < frame.width(); ++x, pixel += frame.bytesPerPixel()) {
                const double inside = radius - std::hypot(x + 0.5 - middle, y + 0.5 - middle);
                const int alpha = png ? std::clamp(int(inside * 128), 0, 255) : 255;
                pixel[0] = uchar(alpha ? (x ^ y ^ (index * 11)) & 255 : 0);
                pixel[1] = uchar(alpha ? (y * 7 + index) & 255 : 0);
                pixel[2] = uchar(alpha ? (x * 5 + index * 3) & 255 : 0);
                if (png)
                    pixel[3] = uchar(alpha);
            }
        }
        const QString path = QDir(folder).filePath(QStringLiteral("f%1.%2")
                                                       .arg(index + 1, 4, 10, QLatin1Char('0'))
                                                       .arg(png ? u"png" : u"bmp"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        const auto sink = [&file](const QList<QByteArrayView> &pieces) {
            for (QByteArrayView piece : pieces)
                file.write(piece.data(), piece.size());
        };
        if (png)
            quorbel::encodePng(frame, sink);
        else
            quorbel::encodeBmp24(frame, sink);
        paths.append(path);
    }
    return paths;
}
