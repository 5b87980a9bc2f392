// Times the whole job a user waits for, walking into a folder of frames, picking the rows, Draw
// and Save, on the real program offscreen, against the practical limit of the same job (the
// practical_limit program beside this one) and, where it is installed, ImageMagick's montage.
// Every sheet is checked byte for byte against the practical limit's. Then quorbel-sheet's PNG
// job against its own floor (pngjob.h), and how long ordering a large folder takes with and
// without names equal but for case (nameorder.h).
//
// Run: quorbel_bench [S|M|L|XL|W|1k|4k|16k|32k|names ...] [--rounds N] [--turns T]
// [--no-montage] (no workload names: S to W and names). With --drive FOLDER ROWS SHEET ROUNDS it
// is the child that drives Quorbel for one workload, so each workload's peak memory is its own.
// quorbel-sheet and the floors are timed as whole processes, started afresh for every round.

#include "bench/drive.h"
#include "bench/nameorder.h"
#include "bench/pngjob.h"
#include "bench/processes.h"
#include "bench/workload.h"
#include "core/bitmapfile.h"
#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <thread>

namespace {

struct Options
{
    QList<Workload> workloads;
    int rounds = 5;
    int turns = 3;
    bool montage = true;
    // The name-order rows, 20,000 frames and the most the desktop program takes.
    bool names = false;
};

struct Figures
{
    PhaseTimes quorbel;
    ProcessTimes batch;
    ProcessTimes floorProcess;
    bool sameBatchSheet = false;
    double limit = 0;
    double montage = 0;
    bool sameSheet = false;
    QString montageSheet = QStringLiteral("-");
};

// Wall-clock milliseconds of one montage run, or 0 when montage is not installed or failed.
double timeMontage(const Workload &workload, const QStringList &frames, const QString &sheet)
{
    const QString montage = QStandardPaths::findExecutable(QStringLiteral("montage"));
    if (montage.isEmpty())
        return 0;
    const QStringList arguments =
        QStringList{QStringLiteral("-mode"),
                    QStringLiteral("concatenate"),
                    QStringLiteral("-tile"),
                    QStringLiteral("%1x%2").arg(workload.framesPerRow()).arg(workload.rows),
                    QStringLiteral("-background"),
                    QStringLiteral("black")}
        + frames + QStringList{QStringLiteral("BMP3:") + sheet};
    QElapsedTimer timer;
    timer.start();
    return run(montage, arguments) ? double(timer.nsecsElapsed()) / 1e6 : 0;
}

bool sameFile(const QString &a, const QString &b)
{
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly) || first.size() == 0
        || first.size() != second.size())
        return false;
    constexpr qint64 Chunk = 1 << 20;
    while (!first.atEnd()) {
        if (first.read(Chunk) != second.read(Chunk))
            return false;
    }
    return true;
}

// montage writes its own kind of bitmap, so its sheet is compared by pixels, not bytes.
bool samePixels(const QString &a, const QString &b)
{
    try {
        return quorbel::loadBitmapFile(a) == quorbel::loadBitmapFile(b);
    } catch (const quorbel::RuntimeError &) {
        return false;
    }
}

std::optional<Figures> measure(const Workload &workload, const Options &options)
{
    // The frames' folder sits alone in a folder without bitmaps, where the Navigator steps out
    // to between rounds; the sheets go elsewhere.
    QTemporaryDir root;
    const QDir sheets(root.filePath(QStringLiteral("sheets")));
    sheets.mkpath(QStringLiteral("."));
    const QString folder = root.filePath(QStringLiteral("frames/") + workload.name);
    const QStringList frames = writeFrames(workload, folder);
    const QString ours = sheets.filePath(QStringLiteral("quorbel.bmp"));
    const QString limitSheet = sheets.filePath(QStringLiteral("limit.bmp"));
    const QString rounds = QString::number(options.rounds);
    const QString rows = QString::number(workload.rows);

    // They all take turns, several times over, and each keeps its median turn: on a shared
    // machine a slow spell then falls on all of them alike instead of on whichever ran in it.
    QList<PhaseTimes> quorbelTurns;
    QList<ProcessTimes> batchTurns, floorTurns;
    QList<double> limitTurns;
    const QString batchSheet = sheets.filePath(QStringLiteral("batch.bmp"));
    const QString floorSheet = sheets.filePath(QStringLiteral("floor.bmp"));
    for (int turn = 0; turn < options.turns; ++turn) {
        const auto driven = run(besideMe(QStringLiteral("quorbel_bench")),
                                {QStringLiteral("--drive"), folder, rows, ours, rounds});
        const auto limit =
            run(besideMe(QStringLiteral("practical_limit")), {folder, rows, limitSheet, rounds});
        const auto batch =
            timeProcess(besideMe(QStringLiteral("../src/quorbel-sheet")),
                        {folder, QStringLiteral("--rows"), rows, QStringLiteral("-o"), batchSheet},
                        options.rounds);
        const auto floor =
            timeProcess(besideMe(QStringLiteral("practical_limit")),
                        {folder, rows, floorSheet, QStringLiteral("0")}, options.rounds);
        const auto phases = driven ? PhaseTimes::parse(*driven) : std::nullopt;
        if (!phases || !limit || !batch || !floor)
            return std::nullopt;
        quorbelTurns.append(*phases);
        limitTurns.append(limit->toDouble());
        batchTurns.append(*batch);
        floorTurns.append(*floor);
    }
    Figures figures;
    figures.quorbel = medianTurn(quorbelTurns);
    figures.batch = medianTurn(batchTurns);
    figures.floorProcess = medianTurn(floorTurns);
    std::sort(limitTurns.begin(), limitTurns.end());
    figures.limit = limitTurns.at(limitTurns.size() / 2);
    figures.sameSheet = sameFile(ours, limitSheet);
    figures.sameBatchSheet = sameFile(batchSheet, limitSheet);
    const QString montageSheet = sheets.filePath(QStringLiteral("montage.bmp"));
    if (options.montage)
        figures.montage = timeMontage(workload, frames, montageSheet);
    if (figures.montage > 0)
        figures.montageSheet = samePixels(montageSheet, limitSheet) ? QStringLiteral("same")
                                                                    : QStringLiteral("differs");
    return figures;
}

std::optional<Options> parseOptions(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--rounds") && i + 1 < arguments.size())
            options.rounds = qMax(1, arguments.at(++i).toInt());
        else if (argument == QLatin1String("--turns") && i + 1 < arguments.size())
            options.turns = qMax(1, arguments.at(++i).toInt());
        else if (argument == QLatin1String("--no-montage"))
            options.montage = false;
        else if (argument == QLatin1String("names"))
            options.names = true;
        else if (const auto workload = findWorkload(argument))
            options.workloads.append(*workload);
        else
            return std::nullopt;
    }
    if (options.workloads.isEmpty() && !options.names) {
        options.workloads = allWorkloads();
        options.names = true;
    }
    return options;
}

void printHeading()
{
    const char *format = "%-5s %6s %7s %4s %9s | %7s %5s %7s %7s %7s | %7s %5s | %7s %7s %5s | %7s "
                         "%6s | %5s %5s %5s | %-5s %s\n";
    std::printf(format, "", "frames", "frame", "rows", "sheet", "walk-in", "rows", "Draw", "Save",
                "job", "floor", "ratio", "sheet", "floor", "ratio", "montage", "mont/Q", "peak",
                "peak", "sheet", "same", "montage");
    std::printf(format, "", "", "", "", "", "ms", "ms", "ms", "ms", "ms", "ms", "", "process",
                "process", "", "ms", "", "MiB", "MiB", "MiB", "bytes", "pixels");
}

void printRow(const Workload &workload, const Figures &figures)
{
    const PhaseTimes &q = figures.quorbel;
    const QString frame = QStringLiteral("%1x%1").arg(workload.frameSize);
    const QString sheet =
        QStringLiteral("%1x%2").arg(workload.sheetWidth()).arg(workload.sheetHeight());
    const bool montage = figures.montage > 0;
    const QString montageTime = montage ? QString::number(figures.montage, 'f', 1) : u"-"_qs;
    const QString montageRatio =
        montage ? QString::number(figures.montage / q.job, 'f', 1) + u'x' : u"-"_qs;
    const ProcessTimes &b = figures.batch;
    std::printf("%-5s %6d %7s %4d %9s | %7.1f %5.1f %7.1f %7.1f %7.1f | %7.1f %4.2fx | %7.1f "
                "%7.1f %4.2fx | %7s %6s | %5.0f %5.0f %5.0f | %-5s %s\n",
                qPrintable(workload.name), workload.frames, qPrintable(frame), workload.rows,
                qPrintable(sheet), q.walkIn, q.rows, q.draw, q.save, q.job, figures.limit,
                q.job / figures.limit, b.ms, figures.floorProcess.ms,
                b.ms / figures.floorProcess.ms, qPrintable(montageTime), qPrintable(montageRatio),
                double(q.peakKiB) / 1024.0, double(b.peakKiB) / 1024.0,
                double(workload.sheetBytes()) / (1 << 20),
                figures.sameSheet && figures.sameBatchSheet ? "yes" : "NO",
                qPrintable(figures.montageSheet));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 6 && qstrcmp(argv[1], "--drive") == 0)
        return driveQuorbel(argc, argv);

    QCoreApplication application(argc, argv);
    const auto options = parseOptions(application.arguments());
    if (!options) {
        std::fprintf(stderr,
                     "usage: quorbel_bench [S|M|L|XL|W|1k|4k|16k|32k|names ...] [--rounds N] "
                     "[--turns T] [--no-montage]\n");
        return 2;
    }
    std::printf(
        "Median of %d turns of %d rounds, page cache warm, on %u cores. job = the desktop's "
        "walk-in + rows + Draw + Save;\nfloor = the same job on one core with nothing but "
        "system calls and copies (practical_limit), in its own process\nwithout its start; "
        "then quorbel-sheet and the floor again, each as a whole process started afresh.\n"
        "peak = peak resident memory of the desktop program and of quorbel-sheet; same = every "
        "sheet byte for byte the floor's.\n",
        options->turns, options->rounds, std::thread::hardware_concurrency());
    bool allSame = true;
    const auto failed = [](const QString &what) {
        std::printf("%s failed\n", qPrintable(what));
        return 1;
    };
    if (!options->workloads.isEmpty())
        printHeading();
    for (const Workload &workload : options->workloads) {
        const auto figures = measure(workload, *options);
        if (!figures)
            return failed(workload.name);
        printRow(workload, *figures);
        std::fflush(stdout);
        allSame = allSame && figures->sameSheet && figures->sameBatchSheet;
    }
    if (!options->workloads.isEmpty())
        printPngJobHeading();
    for (const Workload &workload : options->workloads) {
        const auto figures = measurePngJob(workload, options->rounds, options->turns);
        if (!figures)
            return failed(workload.name);
        printPngJobRow(workload, *figures);
        std::fflush(stdout);
        allSame = allSame && figures->samePixels;
    }
    if (options->names)
        printNameOrderHeading();
    for (const int frames : options->names ? QList<int>{20000, 32767} : QList<int>()) {
        const auto figures = measureNameOrder(frames, options->rounds, options->turns);
        if (!figures)
            return failed(QString::number(frames));
        printNameOrderRow(*figures);
        std::fflush(stdout);
    }
    return allSame ? 0 : 1;
}
