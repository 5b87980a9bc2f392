#include "bench/pngjob.h"

#include "core/picture.h"
#include "core/pngfile.h"
#include "core/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

namespace {

const char *const Levels[] = {"fast", "default", "best"};

std::optional<quorbel::Picture> decoded(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    quorbel::Picture picture;
    try {
        quorbel::decodePng(file.readAll(), picture);
    } catch (const quorbel::RuntimeError &) {
        return std::nullopt;
    }
    return picture;
}

} // namespace

std::optional<PngJobFigures> measurePngJob(const Workload &workload, int rounds, int turns)
{
    QTemporaryDir root;
    const QString frames = root.filePath(QStringLiteral("frames"));
    writeFrames(workload, frames, true);
    const QString rows = QString::number(workload.rows);
    const QString floorSheet = root.filePath(QStringLiteral("floor.png"));
    const auto sheetAt = [&](int level) {
        return root.filePath(QStringLiteral("%1.png").arg(QLatin1String(Levels[level])));
    };
    QList<ProcessTimes> floorTurns, levelTurns[3];
    for (int turn = 0; turn < turns; ++turn) {
        const auto floor =
            timeProcess(besideMe(QStringLiteral("png_limit")), {frames, rows, floorSheet}, rounds);
        if (!floor)
            return std::nullopt;
        floorTurns.append(*floor);
        for (int level = 0; level < 3; ++level) {
            // best takes seconds a sheet where the others take tenths: one round a turn.
            const auto times =
                timeProcess(besideMe(QStringLiteral("../src/quorbel-sheet")),
                            {frames, QStringLiteral("--frames"), QStringLiteral("png"),
                             QStringLiteral("--rows"), rows, QStringLiteral("--png-level"),
                             QLatin1String(Levels[level]), QStringLiteral("-o"), sheetAt(level),
                             QStringLiteral("--json"), root.filePath(QStringLiteral("sheet.json"))},
                            level == 2 ? 1 : rounds);
            if (!times)
                return std::nullopt;
            levelTurns[level].append(*times);
        }
    }
    PngJobFigures figures;
    figures.floor = medianTurn(floorTurns);
    figures.floorBytes = QFileInfo(floorSheet).size();
    const auto floorPixels = decoded(floorSheet);
    figures.samePixels = floorPixels.has_value();
    for (int level = 0; level < 3; ++level) {
        figures.levels[level] = medianTurn(levelTurns[level]);
        figures.bytes[level] = QFileInfo(sheetAt(level)).size();
        figures.samePixels = figures.samePixels && decoded(sheetAt(level)) == floorPixels;
    }
    return figures;
}

void printPngJobHeading()
{
    std::printf(
        "\nThe PNG job: quorbel-sheet --frames png -o sheet.png --json sheet.json on the same "
        "frames as PNG files with\ntransparency, at each --png-level, against its floor "
        "(png_limit: libpng reads each frame into its cell and\nwrites the sheet with its "
        "defaults, on one core), all whole processes. Sizes in KiB; bound = the sheet's\n"
        "pixels plus 32 MiB a core; same = every sheet decoded is the floor's, pixel for "
        "pixel.\n");
    const char *format = "%-5s | %7s %7s | %7s %5s %7s %5s | %7s %5s %7s %5s | %7s %5s %7s %5s | "
                         "%5s %5s | %s\n";
    std::printf(format, "", "floor", "", "default", "", "", "", "fast", "", "", "", "best", "", "",
                "", "peak", "bound", "same");
    std::printf(format, "", "ms", "KiB", "ms", "ratio", "KiB", "ratio", "ms", "ratio", "KiB",
                "ratio", "ms", "ratio", "KiB", "ratio", "MiB", "MiB", "pixels");
}

void printPngJobRow(const Workload &workload, const PngJobFigures &figures)
{
    std::printf("%-5s | %7.1f %7.0f |", qPrintable(workload.name), figures.floor.ms,
                double(figures.floorBytes) / 1024);
    for (int level : {1, 0, 2})
        std::printf(" %7.1f %4.2fx %7.0f %4.2fx |", figures.levels[level].ms,
                    figures.levels[level].ms / figures.floor.ms,
                    double(figures.bytes[level]) / 1024,
                    double(figures.bytes[level]) / double(figures.floorBytes));
    const double sheetMiB = double(workload.sheetWidth()) * workload.sheetHeight() * 4 / (1 << 20);
    std::printf(" %5.0f %5.0f | %s\n", double(figures.levels[1].peakKiB) / 1024,
                sheetMiB + 32.0 * std::thread::hardware_concurrency(),
                figures.samePixels ? "yes" : "NO");
}
