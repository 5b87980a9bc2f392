// Times the whole job a user waits for, walking into a folder of frames, picking the rows, Draw
// and Save, on the real program offscreen, against the practical limit of the same job (the
// practical_limit program beside this one) and, where it is installed, ImageMagick's montage.
// Every sheet is checked byte for byte against the practical limit's. quorbel-sheet also reads the
// same frames as PNG files, for what decoding PNG costs beside bitmaps.
//
// Run: quorbel_bench [S|M|L|XL|W|1k|4k|16k|32k ...] [--rounds N] [--turns T] [--no-montage]
// (no workload names: S to W). With --drive FOLDER ROWS SHEET ROUNDS it is the child that drives
// Quorbel for one workload, so each workload's peak memory is its own. quorbel-sheet and the
// floor are also timed as whole processes, started afresh for every round.

#include "bench/drive.h"
#include "bench/workload.h"
#include "core/bitmapfile.h"
#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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
};

// A program timed as a whole process: the median of its rounds and its peak memory.
struct ProcessTimes
{
    double ms = 0;
    long peakKiB = 0;
};

struct Figures
{
    PhaseTimes quorbel;
    ProcessTimes batch;
    ProcessTimes png;
    ProcessTimes floorProcess;
    bool sameBatchSheet = false;
    double limit = 0;
    double montage = 0;
    bool sameSheet = false;
    QString montageSheet = QStringLiteral("-");
};

QString besideMe(const QString &program)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(program);
}

// Runs a program to its end; its standard output, or nothing when it failed.
std::optional<QString> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

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

// The program timed as a whole process by process_timer, which starts it afresh for each round.
std::optional<ProcessTimes> timeProcess(const QString &program, const QStringList &arguments,
                                        int rounds)
{
    const auto said = run(besideMe(QStringLiteral("process_timer")),
                          QStringList{QString::number(rounds), program} + arguments);
    const QStringList figures = said ? said->split(u' ') : QStringList();
    if (figures.size() != 2)
        return std::nullopt;
    return ProcessTimes{figures.at(0).toDouble(), figures.at(1).toLong()};
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

// The turn whose whole job took the median time, with the highest peak memory of all turns.
PhaseTimes medianTurn(QList<PhaseTimes> turns)
{
    std::sort(turns.begin(), turns.end(),
              [](const PhaseTimes &a, const PhaseTimes &b) { return a.job < b.job; });
    PhaseTimes median = turns.at(turns.size() / 2);
    for (const PhaseTimes &turn : std::as_const(turns))
        median.peakKiB = std::max(median.peakKiB, turn.peakKiB);
    return median;
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
    const QString pngFolder = root.filePath(QStringLiteral("png/") + workload.name);
    writeFrames(workload, pngFolder, true);
    const QString ours = sheets.filePath(QStringLiteral("quorbel.bmp"));
    const QString limitSheet = sheets.filePath(QStringLiteral("limit.bmp"));
    const QString rounds = QString::number(options.rounds);
    const QString rows = QString::number(workload.rows);

    // They all take turns, several times over, and each keeps its median turn: on a shared
    // machine a slow spell then falls on all of them alike instead of on whichever ran in it.
    QList<PhaseTimes> quorbelTurns;
    QList<ProcessTimes> batchTurns, pngTurns, floorTurns;
    QList<double> limitTurns;
    const QString batchSheet = sheets.filePath(QStringLiteral("batch.bmp"));
    const QString floorSheet = sheets.filePath(QStringLiteral("floor.bmp"));
    const QString pngSheet = sheets.filePath(QStringLiteral("png.bmp"));
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
        const auto png =
            timeProcess(besideMe(QStringLiteral("../src/quorbel-sheet")),
                        {pngFolder, QStringLiteral("--frames"), QStringLiteral("png"),
                         QStringLiteral("--rows"), rows, QStringLiteral("-o"), pngSheet},
                        options.rounds);
        const auto phases = driven ? PhaseTimes::parse(*driven) : std::nullopt;
        if (!phases || !limit || !batch || !floor || !png)
            return std::nullopt;
        pngTurns.append(*png);
        quorbelTurns.append(*phases);
        limitTurns.append(limit->toDouble());
        batchTurns.append(*batch);
        floorTurns.append(*floor);
    }
    const auto medianOf = [](QList<ProcessTimes> turns) {
        std::sort(turns.begin(), turns.end(),
                  [](const ProcessTimes &a, const ProcessTimes &b) { return a.ms < b.ms; });
        return turns.at(turns.size() / 2);
    };
    Figures figures;
    figures.quorbel = medianTurn(quorbelTurns);
    figures.batch = medianOf(batchTurns);
    figures.png = medianOf(pngTurns);
    figures.floorProcess = medianOf(floorTurns);
    std::sort(limitTurns.begin(), limitTurns.end());
    figures.limit = limitTurns.at(limitTurns.size() / 2);
    figures.sameSheet = sameFile(ours, limitSheet);
    figures.sameBatchSheet = sameFile(batchSheet, limitSheet) && sameFile(pngSheet, limitSheet);
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
        else if (const auto workload = findWorkload(argument))
            options.workloads.append(*workload);
        else
            return std::nullopt;
    }
    if (options.workloads.isEmpty())
        options.workloads = allWorkloads();
    return options;
}

void printHeading()
{
    const char *format = "%-5s %6s %7s %4s %9s | %7s %5s %7s %7s %7s | %7s %5s | %7s %7s %5s | %7s "
                         "%7s | %7s %6s | %5s %5s %5s | %-5s %s\n";
    std::printf(format, "", "frames", "frame", "rows", "sheet", "walk-in", "rows", "Draw", "Save",
                "job", "floor", "ratio", "sheet", "floor", "ratio", "png", "png/", "montage",
                "mont/Q", "peak", "peak", "sheet", "same", "montage");
    std::printf(format, "", "", "", "", "", "ms", "ms", "ms", "ms", "ms", "ms", "", "process",
                "process", "", "frames", "bmp", "ms", "", "MiB", "MiB", "MiB", "bytes", "pixels");
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
                "%7.1f %4.2fx | %7.1f %6.2fx | %7s %6s | %5.0f %5.0f %5.0f | %-5s %s\n",
                qPrintable(workload.name), workload.frames, qPrintable(frame), workload.rows,
                qPrintable(sheet), q.walkIn, q.rows, q.draw, q.save, q.job, figures.limit,
                q.job / figures.limit, b.ms, figures.floorProcess.ms,
                b.ms / figures.floorProcess.ms, figures.png.ms, figures.png.ms / b.ms,
                qPrintable(montageTime), qPrintable(montageRatio), double(q.peakKiB) / 1024.0,
                double(b.peakKiB) / 1024.0, double(workload.sheetBytes()) / (1 << 20),
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
                     "usage: quorbel_bench [S|M|L|XL|W|1k|4k|16k|32k ...] [--rounds N] "
                     "[--turns T] [--no-montage]\n");
        return 2;
    }
    std::printf(
        "Median of %d turns of %d rounds, page cache warm, on %u cores. job = the desktop's "
        "walk-in + rows + Draw + Save;\nfloor = the same job on one core with nothing but "
        "system calls and copies (practical_limit), in its own process\nwithout its start; "
        "then quorbel-sheet and the floor again, each as a whole process started afresh.\n"
        "png frames = quorbel-sheet on the same frames as PNG files (--frames png), png/bmp its "
        "time against the bitmaps'.\npeak = peak resident memory of the desktop program and of "
        "quorbel-sheet; same = every sheet byte for byte the floor's.\n",
        options->turns, options->rounds, std::thread::hardware_concurrency());
    printHeading();
    bool allSame = true;
    for (const Workload &workload : options->workloads) {
        const auto figures = measure(workload, *options);
        if (!figures) {
            std::printf("%-3s failed\n", qPrintable(workload.name));
            return 1;
        }
        printRow(workload, *figures);
        std::fflush(stdout);
        allSame = allSame && figures->sameSheet && figures->sameBatchSheet;
    }
    return allSame ? 0 : 1;
}
