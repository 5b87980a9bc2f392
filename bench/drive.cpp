#include "bench/drive.h"

#include "app/frmmain.h"
#include "navigator/frmdynamic.h"
#include "platform/appfolder.h"
#include "platform/eventguard.h"
#include "platform/messagebox.h"
#include "platform/savedialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Milliseconds of one step a user takes, until the screen shows its result.
double timed(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The high-water mark of this process's own memory. getrusage() would not do: Linux carries
// its maximum over from the parent that started this process.
long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

QString PhaseTimes::toString() const
{
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(walkIn)
        .arg(rows)
        .arg(draw)
        .arg(save)
        .arg(job)
        .arg(peakKiB);
}

std::optional<PhaseTimes> PhaseTimes::parse(const QString &text)
{
    const QStringList fields = text.split(u' ');
    if (fields.size() != 6)
        return std::nullopt;
    return PhaseTimes{fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble(),
                      fields[3].toDouble(), fields[4].toDouble(), fields[5].toLong()};
}

PhaseTimes medianTurn(QList<PhaseTimes> turns)
{
    std::sort(turns.begin(), turns.end(),
              [](const PhaseTimes &a, const PhaseTimes &b) { return a.job < b.job; });
    PhaseTimes median = turns.at(turns.size() / 2);
    for (const PhaseTimes &turn : std::as_const(turns))
        median.peakKiB = std::max(median.peakKiB, turn.peakKiB);
    return median;
}

int driveQuorbel(int argc, char *argv[])
{
    QTemporaryDir appFolder;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(appFolder.path()));
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString rowEntry = u' ' + QString::fromLocal8Bit(argv[3]);
    const QString sheet = QString::fromLocal8Bit(argv[4]);
    const int rounds = std::max(1, std::atoi(argv[5]));
    const QString outside = QFileInfo(folder).absolutePath();

    platform::setApplicationFolder(appFolder.path());
    QStringList messages;
    platform::setMessageBoxHandler([&messages](const QString &text) { messages.append(text); });
    platform::setSaveDialogAnswerer([&](const platform::SaveDialogRequest &) { return sheet; });

    frmMain mainWindow;
    platform::runEvent([&] { mainWindow.MDIForm_Load(); });
    frmDynamic &navigator = frmDynamic::instance();
    QCoreApplication::processEvents();

    QList<double> walkIn, rows, draw, save, job;
    for (int round = 0; round <= rounds; ++round) {
        navigator.Dir1->setPath(outside);
        QCoreApplication::processEvents();
        const double w = timed([&] { navigator.Dir1->setPath(folder); });
        const double r = timed([&] {
            const int entry = navigator.cboNumOfRows->findText(rowEntry);
            navigator.cboNumOfRows->setCurrentIndex(entry);
            emit navigator.cboNumOfRows->activated(entry);
        });
        const double d = timed([&] { navigator.cmdDraw->click(); });
        const double s = timed([&] { navigator.cmdSave->click(); });
        if (round == 0)
            continue; // the warm-up round fills the page cache
        walkIn.append(w);
        rows.append(r);
        draw.append(d);
        save.append(s);
        job.append(w + r + d + s);
    }
    if (!messages.isEmpty()) {
        std::fprintf(stderr, "Quorbel said: %s\n",
                     qPrintable(messages.join(QStringLiteral(" | "))));
        return 1;
    }
    const PhaseTimes times{median(walkIn), median(rows), median(draw),
                           median(save),   median(job),  peakResidentKiB()};
    std::printf("%s\n", qPrintable(times.toString()));
    return 0;
}
