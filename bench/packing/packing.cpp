// The packing workload: 300 frames of 256 x 256 whose opaque content varies from 40 x 60 to
// 250 x 250, one frame in four the same as one before it, packed by quorbel-sheet --layout packed
// and, where node and npm are installed, by free-tex-packer-core (MaxRects, no rotation, trimming
// on, identical frames once) for comparison. Each runs as a whole process, started afresh for
// every round; the table gives the median time, the peak memory, the sheets' area and that area
// over the sum of the trimmed areas of the frames that differ, each stored once (1.00 would be no
// room lost). Every frame of
// quorbel-sheet's sheet is checked against its frame file, pixel for pixel, through its JSON.
//
// Run: packing_bench [--rounds N] [--no-peer]

#include "core/framereader.h"
#include "core/picture.h"
#include "core/pngencoder.h"
#include "core/pngfile.h"
#include "core/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;
using quorbel::Picture;

namespace {

constexpr int Frames = 300, Side = 256, Padding = 2;

// Frame i's opaque part: its size and place in the frame; one frame in four repeats the one
// three before it.
QRect contentOf(int i)
{
    if (i % 4 == 3)
        return contentOf(i - 3);
    const QSize size(40 + i * 37 % 211, 60 + i * 53 % 191);
    return {QPoint(i * 13 % (Side + 1 - size.width()), i * 29 % (Side + 1 - size.height())), size};
}

// Writes the frames; returns the sum of the trimmed areas of those that differ.
qint64 writeFrames(const QString &folder)
{
    QDir().mkpath(folder);
    qint64 trimmed = 0;
    for (int i = 0; i < Frames; ++i) {
        const int source = i % 4 == 3 ? i - 3 : i;
        const QRect content = contentOf(i);
        Picture frame(QSize(Side, Side), Picture::Format::Bgra32);
        for (int y = content.top(); y <= content.bottom(); ++y) {
            uchar *pixel = frame.scanLine(y) + content.left() * 4;
            for (int x = 0; x < content.width(); ++x, pixel += 4) {
                pixel[0] = uchar(x * 3 + source);
                pixel[1] = uchar((y - content.top()) * 5);
                pixel[2] = uchar(source * 29);
                pixel[3] = 255;
            }
        }
        QFile file(QDir(folder).filePath(u"f%1.png"_s.arg(i, 4, 10, QChar(u'0'))));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        quorbel::encodePng(frame, [&file](const QList<QByteArrayView> &pieces) {
            for (QByteArrayView piece : pieces)
                file.write(piece.data(), piece.size());
        });
        if (source == i)
            trimmed += qint64(content.width()) * content.height();
    }
    return trimmed;
}

struct Run
{
    double ms = 0;
    long peakKiB = 0;
    int sheets = 0;
    qint64 area = 0;
};

// The program timed by process_timer; then the sheets it left, by their JSON.
std::optional<Run> timeRun(const QString &program, const QStringList &arguments, int rounds,
                           const QString &out)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(PROCESS_TIMER),
                  QStringList{QString::number(rounds), program} + arguments);
    process.waitForFinished(-1);
    const QStringList figures = QString::fromLocal8Bit(process.readAllStandardOutput()).split(u' ');
    if (process.exitCode() != 0 || figures.size() != 2)
        return std::nullopt;
    Run run{figures.at(0).toDouble(), figures.at(1).toLong()};
    for (const QString &name : QDir(out).entryList({u"*.json"_s})) {
        QFile json(QDir(out).filePath(name));
        json.open(QIODevice::ReadOnly);
        const QJsonObject size =
            QJsonDocument::fromJson(json.readAll())[u"meta"_s][u"size"_s].toObject();
        run.area += qint64(size[u"w"_s].toInt()) * size[u"h"_s].toInt();
        ++run.sheets;
    }
    return run;
}

// Every frame of the sheet, through its JSON entry, against its file: the trimmed pixels at the
// frame's rectangle, nothing but transparency outside what was kept.
bool sheetHoldsTheFrames(const QString &out, const QString &frames)
{
    QFile json(QDir(out).filePath(u"sheet.json"_s));
    json.open(QIODevice::ReadOnly);
    const QJsonObject entries = QJsonDocument::fromJson(json.readAll())[u"frames"_s].toObject();
    quorbel::FrameReader reader;
    Picture sheet, frame;
    try {
        reader.read(QDir(out).filePath(u"sheet.png"_s), sheet);
        for (const QString &name : entries.keys()) {
            reader.read(QDir(frames).filePath(name), frame);
            const auto rect = [&](const QString &key) {
                const QJsonObject r = entries[name][key].toObject();
                return QRect(r[u"x"_s].toInt(), r[u"y"_s].toInt(), r[u"w"_s].toInt(),
                             r[u"h"_s].toInt());
            };
            const QRect source = rect(u"spriteSourceSize"_s);
            if (source != contentOf(name.mid(1, 4).toInt())
                || !(sheet.copy(rect(u"frame"_s)) == frame.copy(source)))
                return false;
        }
    } catch (const quorbel::RuntimeError &) {
        return false;
    }
    return entries.size() == Frames;
}

} // namespace

int main(int argc, char *argv[])
{
    int rounds = 5;
    bool peer = true;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, atoi(argv[++i]));
        else if (qstrcmp(argv[i], "--no-peer") == 0)
            peer = false;
        else
            return std::fprintf(stderr, "usage: packing_bench [--rounds N] [--no-peer]\n"), 2;
    }
    QTemporaryDir root;
    const QString frames = root.filePath(u"frames"_s), ours = root.filePath(u"quorbel"_s),
                  theirs = root.filePath(u"peer"_s);
    QDir().mkpath(ours);
    QDir().mkpath(theirs);
    const qint64 trimmed = writeFrames(frames);

    const auto quorbel = timeRun(QStringLiteral(QUORBEL_SHEET),
                                 {frames, u"--frames"_s, u"png"_s, u"--layout"_s, u"packed"_s,
                                  u"--padding"_s, QString::number(Padding), u"-o"_s,
                                  ours + u"/sheet.png"_s, u"--json"_s, ours + u"/sheet.json"_s},
                                 rounds, ours);
    if (!quorbel || !sheetHoldsTheFrames(ours, frames)) {
        std::printf("quorbel-sheet failed, or its sheet does not hold the frames\n");
        return 1;
    }
    // free-tex-packer-core pads each frame all round, so half the padding makes the same gap.
    const QString node = QStandardPaths::findExecutable(u"node"_s);
    const QString npm = QStandardPaths::findExecutable(u"npm"_s);
    std::optional<Run> other;
    QString why = u"not run (--no-peer)"_s;
    if (peer && (node.isEmpty() || npm.isEmpty())) {
        why = u"not run: node and npm are not installed"_s;
    } else if (peer) {
        QProcess install;
        install.setWorkingDirectory(QStringLiteral(PEER_FOLDER));
        install.setProcessChannelMode(QProcess::ForwardedChannels);
        if (!QDir(QStringLiteral(PEER_FOLDER "/node_modules")).exists())
            install.start(npm, {u"ci"_s, u"--no-audit"_s, u"--no-fund"_s});
        install.waitForFinished(-1);
        other = timeRun(
            node,
            {QStringLiteral(PEER_FOLDER "/peer.mjs"), frames, theirs, QString::number(Padding / 2)},
            rounds, theirs);
        why = u"failed: see above"_s;
    }

    std::printf("The packing workload: %d frames of %dx%d, padding %d, median of %d rounds, each a "
                "whole process.\narea / trimmed = the sheets' area over the sum of the trimmed "
                "areas of the frames that differ.\n",
                Frames, Side, Side, Padding, rounds);
    std::printf("%-22s %9s %9s %6s %10s %15s %9s\n", "", "ms", "peak MiB", "sheets", "area",
                "area / trimmed", "time / Q");
    for (const auto &[name, run] :
         {std::pair{"quorbel-sheet", quorbel}, std::pair{"free-tex-packer-core", other}}) {
        if (!run) {
            std::printf("%-22s %s\n", name, qPrintable(why));
            continue;
        }
        std::printf("%-22s %9.1f %9.1f %6d %10lld %15.3f %8.1fx\n", name, run->ms,
                    double(run->peakKiB) / 1024, run->sheets, run->area,
                    double(run->area) / double(trimmed), run->ms / quorbel->ms);
    }
    return 0;
}
