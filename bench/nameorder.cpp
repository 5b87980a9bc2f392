#include "bench/nameorder.h"

#include "bench/workload.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

std::optional<NameOrderFigures> measureNameOrder(int frames, int rounds, int turns)
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("frames/names"));
    const Workload workload{QStringLiteral("names"), frames, 16, 100};
    writeFrames(workload, folder);
    // The second frame renamed after the first, in capitals: f0001.bmp and F0001.bmp.
    const QString second = QDir(folder).filePath(QStringLiteral("f0002.bmp"));
    const QString tied = QDir(folder).filePath(QStringLiteral("F0001.bmp"));
    const QString rows = QString::number(workload.rows);
    const QString sheet = root.filePath(QStringLiteral("sheet.bmp"));
    QList<ProcessTimes> sheetTurns[2];
    QList<PhaseTimes> desktopTurns[2];
    for (int turn = 0; turn < turns; ++turn) {
        for (int tie = 0; tie < 2; ++tie) {
            const bool renamed =
                tie ? QFile::rename(second, tied) : turn == 0 || QFile::rename(tied, second);
            if (!renamed)
                return std::nullopt;
            const auto batch = timeProcess(
                besideMe(QStringLiteral("../src/quorbel-sheet")),
                {folder, QStringLiteral("--rows"), rows, QStringLiteral("-o"), sheet}, rounds);
            const auto driven =
                run(besideMe(QStringLiteral("quorbel_bench")),
                    {QStringLiteral("--drive"), folder, rows, sheet, QString::number(rounds)});
            const auto phases = driven ? PhaseTimes::parse(*driven) : std::nullopt;
            if (!batch || !phases)
                return std::nullopt;
            sheetTurns[tie].append(*batch);
            desktopTurns[tie].append(*phases);
        }
    }
    NameOrderFigures figures;
    figures.frames = frames;
    for (int tie = 0; tie < 2; ++tie) {
        figures.sheet[tie] = medianTurn(sheetTurns[tie]);
        figures.desktop[tie] = medianTurn(desktopTurns[tie]);
    }
    return figures;
}

void printNameOrderHeading()
{
    std::printf("\nName order: a folder of 16x16 frames drawn in 100 rows, as it is and with one "
                "pair of names equal but\nfor case (f0001.bmp, F0001.bmp), whose order the sort "
                "keeps as its selection sort always placed them.\nquorbel-sheet as a whole "
                "process; the desktop's job is walk-in, rows, Draw and Save.\n");
    const char *format = "%6s | %9s %9s %5s | %9s %9s %5s\n";
    std::printf(format, "", "sheet ms", "", "", "job ms", "", "");
    std::printf(format, "frames", "no tie", "tie", "ratio", "no tie", "tie", "ratio");
}

void printNameOrderRow(const NameOrderFigures &figures)
{
    std::printf("%6d | %9.1f %9.1f %4.2fx | %9.1f %9.1f %4.2fx\n", figures.frames,
                figures.sheet[0].ms, figures.sheet[1].ms, figures.sheet[1].ms / figures.sheet[0].ms,
                figures.desktop[0].job, figures.desktop[1].job,
                figures.desktop[1].job / figures.desktop[0].job);
}
