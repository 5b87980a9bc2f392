// Times the work a user waits for on a large animation: walking into its folder, Draw and Save,
// and the pieces behind them (reading frames, ordering names), with their ratios against the
// simpler ways of doing the same. Run: build/bench/quorbel_bench [frames] [frame size]

#include "app/frmmain.h"
#include "navigator/frmdynamic.h"
#include "navigator/textorder.h"
#include "platform/appfolder.h"
#include "platform/bmpdecoder.h"
#include "platform/bmpencoder.h"
#include "platform/eventguard.h"
#include "platform/messagebox.h"
#include "platform/savedialog.h"
#include "preview/frmpicfinal.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray frameFile(int index, int size)
{
    QImage frame(size, size, QImage::Format_RGB32);
    frame.fill(QColor::fromHsv((index * 7) % 360, 200, 220));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    platform::encodeBmp24(frame, buffer);
    return buffer.data();
}

void line(const char *what, double ms, const char *unit = "ms")
{
    std::printf("%-46s %10.1f %s\n", what, ms, unit);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int size = argc > 2 ? std::atoi(argv[2]) : 32;

    QTemporaryDir appFolder;
    QTemporaryDir folder;
    platform::setApplicationFolder(appFolder.path());
    QStringList messages;
    platform::setMessageBoxHandler([&messages](const QString &text) { messages.append(text); });
    const QString sheetPath = folder.filePath(QStringLiteral("sheet.out"));
    platform::setSaveDialogAnswerer([&](const platform::SaveDialogRequest &) { return sheetPath; });

    for (int i = 0; i < frames; ++i) {
        QFile file(folder.filePath(QStringLiteral("frame%1.bmp").arg(i, 5, 10, QLatin1Char('0'))));
        file.open(QIODevice::WriteOnly);
        file.write(frameFile(i, size));
    }
    std::printf("%d frames of %d x %d pixels\n", frames, size, size);

    frmMain mainWindow;
    platform::runEvent([&] { mainWindow.MDIForm_Load(); });
    frmDynamic &navigator = frmDynamic::instance();

    line("walk into the folder", milliseconds([&] { navigator.Dir1->setPath(folder.path()); }));
    const int rows = std::max(1, int(std::sqrt(double(frames))));
    navigator.cboNumOfRows->addItem(QString::number(rows));
    navigator.cboNumOfRows->setText(QString::number(rows));
    navigator.cboNumOfRows_Click();
    std::printf("%-46s %10s\n", "sheet", qPrintable(navigator.lblFinalSize->text()));
    line("Draw", milliseconds([&] { navigator.cmdDraw_Click(); }));
    line("Save", milliseconds([&] { navigator.cmdSave_Click(); }));
    line("repaint the Final window",
         milliseconds([&] { frmPicFinal::instance().window()->grab(); }));
    if (!messages.isEmpty())
        std::printf("messages: %s\n", qPrintable(messages.join(QStringLiteral(" | "))));

    const QByteArray sample = frameFile(1, size);
    const int decodes = 2000;
    const double ours = milliseconds([&] {
        for (int i = 0; i < decodes; ++i)
            platform::decodeBmp(sample);
    });
    const double qt = milliseconds([&] {
        for (int i = 0; i < decodes; ++i) {
            QBuffer buffer;
            buffer.setData(sample);
            QImageReader(&buffer, "bmp").read();
        }
    });
    line("decode one frame, Quorbel's reader", ours * 1000 / decodes, "us");
    line("decode one frame, Qt's reader", qt * 1000 / decodes, "us");
    line("ratio Qt / Quorbel", qt / ours, "x");

    QStringList names;
    for (int i = 0; i < frames; ++i)
        names.append(QStringLiteral("Frame%1.bmp").arg(QRandomGenerator::global()->generate() % 100000));
    names.removeDuplicates();
    QStringList fast = names;
    QStringList plain = names;
    const double sorted = milliseconds(
        [&] { sortNames(fast, SortDirection::Ascending, Qt::CaseInsensitive); });
    const double selection = milliseconds(
        [&] { selectionSort(plain, SortDirection::Ascending, Qt::CaseInsensitive); });
    line("order the names", sorted);
    line("order the names, plain selection sort", selection);
    line("ratio selection / ordered", selection / sorted, "x");
    std::printf("%-46s %10s\n", "same order", fast == plain ? "yes" : "NO");

    line("peak resident memory", double(peakResidentKiB()) / 1024.0, "MiB");
    return 0;
}
