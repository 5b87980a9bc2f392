#include "navigator/frmdynamic.h"
#include "platform/messagebox.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bitmaps.h"
#include "support/folderwalk.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testbitmaps::frameColour;

namespace {

constexpr QRgb black = 0xff000000u;

QString sizeText(QSize size)
{
    return u"%1x%2"_s.arg(size.width()).arg(size.height());
}

auto numbered(int frame)
{
    return [frame](int x, int y) { return frameColour(frame, x, y); };
}

// Neither preview window was handed a picture.
bool previewsEmpty()
{
    return steps::hasNoPixels(frmPicWork::instance().picWork->picture())
        && steps::hasNoPixels(frmPicFinal::instance().picFinal->picture());
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// Should Draw ever open a named pipe for reading, it would wait for a writer for ever. After a
// minute this opens the pipe's write end and closes it again, which ends such a wait, so the test
// fails instead of hanging.
class PipeWatchdog
{
public:
    explicit PipeWatchdog(const QString &pipe)
        : m_pipe(pipe.toLocal8Bit())
        , m_thread([this] { watch(); })
    {
    }
    ~PipeWatchdog() { stop(); }
    PipeWatchdog(const PipeWatchdog &) = delete;
    PipeWatchdog &operator=(const PipeWatchdog &) = delete;

    // True when the watchdog had to release a reader.
    bool stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_released;
    }

private:
    void watch()
    {
        using namespace std::chrono_literals;
        std::unique_lock lock(m_mutex);
        std::chrono::milliseconds wait = 60s;
        while (!m_wake.wait_for(lock, wait, [this] { return m_stopped; })) {
            const int writer = ::open(m_pipe.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) { // only succeeds while someone has the pipe open for reading
                m_released = true;
                ::close(writer);
            }
            wait = 100ms;
        }
    }

    QByteArray m_pipe;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    bool m_released = false;
    std::thread m_thread;
};

} // namespace

// Draw: the frames of the folder painted into the sheet cell by cell in name order, the previews
// handed the results, and Save offered only for a sheet painted whole.
class TestDraw : public QObject
{
    Q_OBJECT

private slots:
    void paintsGrid_data();
    void paintsGrid();
    void drawWithoutWholeSheet_data();
    void drawWithoutWholeSheet();
    void framesOfOtherSizesAndDepths();
    void drawShowsTheBusyCursorAndPaintsNothingHidden();
};

void TestDraw::paintsGrid_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("side"); // of the square frames
    QTest::addColumn<QString>("rows");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<int>("perRow");

    QTest::newRow("walk cycle of 8 in 2 rows") << 8 << 32 << u"2"_s << false << 4;
    QTest::newRow("walk cycle of 8 in 2 rows, Invert Order") << 8 << 32 << u"2"_s << true << 4;
    // Frames beyond the grid are left out; cells beyond the frames stay black.
    QTest::newRow("10 in 4 rows: the last two left out") << 10 << 16 << u"4"_s << false << 2;
    QTest::newRow("10 in 3 rows: the last left out") << 10 << 16 << u"3"_s << false << 3;
    QTest::newRow("5 in 2 rows: the fifth left out") << 5 << 16 << u"2"_s << false << 2;
    QTest::newRow("7 in 2 rows: the eighth cell black") << 7 << 16 << u"2"_s << false << 4;
    QTest::newRow("10 in 6 rows: the sixth row black") << 10 << 16 << u"6"_s << false << 2;
    QTest::newRow("8 in 11 rows: one per row, three black") << 8 << 16 << u"11"_s << false << 1;
}

void TestDraw::paintsGrid()
{
    QFETCH(int, frames);
    QFETCH(int, side);
    QFETCH(QString, rows);
    QFETCH(bool, invert);
    QFETCH(int, perRow);
    const QSize size(perRow * side, rows.toInt() * side);
    const int painted = qMin(frames, perRow * rows.toInt());

    TestApp app;
    QTemporaryDir start, folder, out;
    const QStringList names = steps::walkNames(frames);
    QVERIFY(steps::writeFrames(folder.path(), names, side, side, steps::scrambled));
    steps::startIn(app, start.path());
    frmDynamic &nav = steps::navigator();
    steps::openFolder(folder.path());
    const QString one = QString::number(side);
    const QString count = QString::number(frames);
    QCOMPARE(folderwalk::valueLabels(),
             QStringList({one, one, count, count, sizeText({frames * side, side})}));
    steps::pickRows(rows);
    QCOMPARE(nav.lblFramesPerRow->text(), QString::number(perRow));
    QCOMPARE(nav.lblFinalSize->text(), sizeText(size));
    QVERIFY(nav.cmdDraw->isEnabled());
    QVERIFY(!nav.cmdSave->isEnabled());

    nav.chkInvert->setChecked(invert);
    nav.cmdDraw->click();

    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());
    QStringList sorted = names;
    if (invert)
        std::reverse(sorted.begin(), sorted.end());
    QCOMPARE(nav.FileNames, sorted);

    const auto sheet = steps::gridColours(frames, invert, perRow, side, side, painted);
    QCOMPARE(steps::imageDifference(nav.picFinal->image(), size, sheet), QString());
    frmPicFinal &final = frmPicFinal::instance();
    QCOMPARE(steps::imageDifference(final.picFinal->picture(), size, sheet), QString());
    // The "Final" window shows the very pixels Save writes: a large sheet is held once.
    QCOMPARE(final.picFinal->picture().constBits(), nav.picFinal->image().constBits());
    QCOMPARE(final.width(), 15.0 * size.width() + 100);
    QCOMPARE(final.height(), 15.0 * size.height() + 400);
    // The "Input" window shows the frame painted last.
    frmPicWork &input = frmPicWork::instance();
    const int last = invert ? frames - painted : painted - 1;
    QCOMPARE(steps::imageDifference(input.picWork->picture(), {side, side}, numbered(last)),
             QString());
    QCOMPARE(input.width(), 15.0 * side + 100);
    QCOMPARE(input.height(), 15.0 * side + 400);

    const QImage saved = steps::saveSheet(app, QDir(out.path()).filePath(u"sheet.bmp"_s));
    QCOMPARE(steps::imageDifference(saved, size, sheet), QString());
    QCOMPARE(app.messages, QStringList());

    // Drawing again with nothing changed rebuilds the same sheet.
    nav.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::imageDifference(nav.picFinal->image(), size, sheet), QString());
}

void TestDraw::drawWithoutWholeSheet_data()
{
    QTest::addColumn<int>("startFrames"); // in the folder the program starts in
    QTest::addColumn<int>("frames");
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("perRow");
    QTest::addColumn<QString>("breakage"); // done between a first Draw and the one tested
    QTest::addColumn<QString>("message"); // "" when the Draw completes
    QTest::addColumn<int>("painted"); // cells painted; -1: not even a sheet was made

    const QString unable = u"Unable to Draw, check yer files."_s;
    const QSize cell(16, 16);
    // 0.5 frames per row or fewer rounds to none: a sheet 0 pixels wide, which Draw completes
    // and Save cannot write.
    QTest::newRow("4 frames, entry \" 8\" from an earlier folder")
        << 8 << 4 << cell << u" 8"_s << 0 << QString() << QString() << -1;
    QTest::newRow("3 frames, design entry 23")
        << 0 << 3 << cell << u"23"_s << 0 << QString() << QString() << -1;
    // The list then holds an empty name, sorted first: the very first load fails.
    QTest::newRow("frame deleted after the folder was counted")
        << 0 << 4 << cell << u"2"_s << 2 << u"delete"_s << unable << 0;
    QTest::newRow("frame that is no bitmap")
        << 0 << 4 << cell << u"2"_s << 2 << u"garble"_s << unable << 2;
    QTest::newRow("frame of zero bytes")
        << 0 << 4 << cell << u"2"_s << 2 << u"zero bytes"_s << unable << 2;
    // Only regular files are frames, so what took a frame's place is never opened: the list
    // holds an empty name, as for a deleted frame, and a pipe cannot make Draw wait.
    QTest::newRow("frame turned into a folder")
        << 0 << 4 << cell << u"2"_s << 2 << u"folder"_s << unable << 0;
    QTest::newRow("frame turned into a named pipe")
        << 0 << 4 << cell << u"2"_s << 2 << u"pipe"_s << unable << 0;
    QTest::newRow("frame turned into a dangling symbolic link")
        << 0 << 4 << cell << u"2"_s << 2 << u"dangling link"_s << unable << 0;
    // The sheet is made before any frame is read: none was loaded or painted.
    QTest::newRow("not enough memory for the sheet")
        << 0 << 4 << cell << u"2"_s << 2 << u"memory"_s << u"Not Enough Ram to Create Final"_s
        << -1;
    // The 82nd frame lands at x = 32400; the next step would put x at 32800, beyond what a
    // coordinate holds.
    QTest::newRow("sheet beyond the coordinate limit")
        << 0 << 100 << QSize(400, 1) << u"1"_s << 100 << QString() << unable << 82;
}

// A sheet that failed half way is never offered for saving as if it were whole, even when an
// earlier Draw had enabled Save; an empty sheet is offered, but cannot be written.
void TestDraw::drawWithoutWholeSheet()
{
    QFETCH(int, startFrames);
    QFETCH(int, frames);
    QFETCH(QSize, frameSize);
    QFETCH(QString, rows);
    QFETCH(int, perRow);
    QFETCH(QString, breakage);
    QFETCH(QString, message);
    QFETCH(int, painted);
    TestApp app;
    QTemporaryDir start, folder, out;
    const QStringList names = steps::walkNames(frames);
    QVERIFY(steps::writeFrames(start.path(), steps::walkNames(startFrames), 16, 16));
    QVERIFY(steps::writeFrames(folder.path(), names, frameSize.width(), frameSize.height(),
                               steps::scrambled));
    const bool drawn = steps::drawSheet(app, start.path(), folder.path(), rows);
    frmDynamic &nav = steps::navigator();
    const QSize size(perRow * frameSize.width(), rows.trimmed().toInt() * frameSize.height());
    QCOMPARE(nav.lblFramesPerRow->text(), QString::number(perRow));
    QCOMPARE(nav.lblFinalSize->text(), sizeText(size));
    if (!breakage.isEmpty()) {
        QVERIFY(drawn);
        const QString broken = QDir(folder.path()).filePath(names.at(2));
        if (breakage == u"delete"_s)
            QVERIFY(QFile::remove(broken));
        if (breakage == u"garble"_s)
            QVERIFY(testbitmaps::writeFile(broken, "This is not a picture.\r\n"));
        if (breakage == u"zero bytes"_s)
            QVERIFY(testbitmaps::writeFile(broken, QByteArray()));
        if (breakage == u"folder"_s)
            QVERIFY(QFile::remove(broken) && QDir().mkdir(broken));
        if (breakage == u"pipe"_s)
            QVERIFY(QFile::remove(broken)
                    && mkfifo(QFile::encodeName(broken).constData(), 0600) == 0);
        if (breakage == u"dangling link"_s)
            QVERIFY(QFile::remove(broken)
                    && QFile::link(QDir(folder.path()).filePath(u"gone.bmp"_s), broken));
        // Room for a frame, not for the sheet.
        platform::setPictureMemoryLimit(breakage == u"memory"_s ? 16 * 16 * 4 : 0);
        std::optional<PipeWatchdog> watchdog;
        if (breakage == u"pipe"_s)
            watchdog.emplace(broken);
        nav.cmdDraw->click();
        QVERIFY2(!watchdog || !watchdog->stop(), "Draw waited on a named pipe");
        platform::setPictureMemoryLimit(0);
    }

    QCOMPARE(app.takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(nav.cmdSave->isEnabled(), message.isEmpty());
    QVERIFY(previewsEmpty());
    if (painted < 0) {
        QVERIFY(steps::hasNoPixels(nav.picWork->picture()));
        QVERIFY(steps::hasNoPixels(nav.picFinal->image()));
    } else { // what was painted before the failure stays on the Navigator's sheet
        const auto sheet = steps::gridColours(frames, false, perRow, frameSize.width(),
                                              frameSize.height(), painted);
        QCOMPARE(steps::imageDifference(nav.picFinal->image(), size, sheet), QString());
    }

    // A disabled Save shows no dialog; an empty sheet cannot be written.
    app.saveAnswer = QDir(out.path()).filePath(u"sheet.bmp"_s);
    nav.cmdSave->click();
    QCOMPARE(app.dialogsShown, message.isEmpty() ? 1 : 0);
    const QStringList notSaved{u"File not Saved"_s, u"Invalid property value380"_s};
    QCOMPARE(app.messages, message.isEmpty() ? notSaved : QStringList());
    QCOMPARE(steps::entries(out.path()), QStringList());
}

// Each frame is painted at its own size at its cell's corner: a larger one spills into the next
// cells until later frames cover it and is cut at the sheet's edge, a smaller one leaves the rest
// of its cell black, and a 32-bit frame's alpha byte plays no part.
void TestDraw::framesOfOtherSizesAndDepths()
{
    const QList<QRgb> bPalette{qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200),
                               qRgb(250, 250, 5)};
    const QList<QRgb> fPalette{qRgb(255, 128, 0), qRgb(0, 128, 255), qRgb(128, 0, 255)};
    const auto bIndex = [](int x, int y) { return quint8((x / 8 + y / 8) % 4); };
    const auto fIndex = [](int x, int y) { return quint8((x + y) % 3); };
    const auto b = [&](int x, int y) { return bPalette.at(bIndex(x, y)); };
    const auto e = [](int x, int y) { return qRgb(40 + x * 8, 200, 100 + y * 8); };
    const auto f = [&](int x, int y) { return fPalette.at(fIndex(x, y)); };
    struct Frame
    {
        int side;
        std::function<QRgb(int, int)> colour;
        QByteArray bytes;
    };
    const QList<Frame> frames{{32, numbered(0), testbitmaps::numberedFrame(0, 32, 32)},
                              {48, b, testbitmaps::bmp8(48, 48, bPalette, bIndex)},
                              {32, numbered(2), testbitmaps::numberedFrame(2, 32, 32)},
                              {32, numbered(3), testbitmaps::numberedFrame(3, 32, 32)},
                              {16, e, testbitmaps::bmp32(16, 16, e, 0)},
                              {48, f, testbitmaps::bmp8(48, 48, fPalette, fIndex)}};
    TestApp app;
    QTemporaryDir start, folder, out;
    for (int n = 0; n < frames.size(); ++n) // a.bmp ... f.bmp
        QVERIFY(testbitmaps::writeFile(QDir(folder.path()).filePath(QChar(u'a' + n) + u".bmp"_s),
                                       frames.at(n).bytes));
    QVERIFY(steps::drawSheet(app, start.path(), folder.path()));
    // The first frame gives the cell size.
    QCOMPARE(folderwalk::valueLabels(),
             QStringList({u"32"_s, u"32"_s, u"6"_s, u"3"_s, u"96x64"_s}));

    // The expected sheet, painted here pixel by pixel in the same order.
    QImage expected(96, 64, QImage::Format_RGB32);
    expected.fill(black);
    for (int n = 0; n < frames.size(); ++n) {
        const QPoint corner((n % 3) * 32, (n / 3) * 32);
        for (int y = 0; y < frames.at(n).side; ++y)
            for (int x = 0; x < frames.at(n).side; ++x)
                if (expected.rect().contains(corner + QPoint(x, y)))
                    expected.setPixel(corner + QPoint(x, y), frames.at(n).colour(x, y));
    }
    const QImage saved = steps::saveSheet(app, QDir(out.path()).filePath(u"mixed.bmp"_s));
    QCOMPARE(steps::imageDifference(saved, {96, 64},
                                    [&](int x, int y) { return expected.pixel(x, y); }),
             QString());
    // The "Input" window shows the last frame at its own size.
    frmPicWork &input = frmPicWork::instance();
    QCOMPARE(steps::imageDifference(input.picWork->picture(), {48, 48}, f), QString());
    QCOMPARE(input.width(), 15.0 * 48 + 100);
}

// The event loop waits while a Draw runs, so the busy cursor is what tells the user it works; it
// is gone again before a message. The Navigator's own work pictures, outside its client area,
// are never painted.
void TestDraw::drawShowsTheBusyCursorAndPaintsNothingHidden()
{
    TestApp app;
    QTemporaryDir folder;
    const QStringList names = steps::walkNames(4);
    QVERIFY(steps::writeFrames(folder.path(), names, 16, 16));
    QVERIFY(steps::drawSheet(app, folder.path(), folder.path()));
    frmDynamic &nav = steps::navigator();
    QCOMPARE(app.takeMessages(), QStringList());
    QCoreApplication::processEvents();

    auto cursorNow = [] {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        return cursor ? cursor->shape() : Qt::ArrowCursor;
    };
    QList<Qt::CursorShape> seen;
    platform::PictureBox &finalBox = *frmPicFinal::instance().picFinal;
    const auto refit = finalBox.onChange;
    finalBox.onChange = [&] {
        seen.append(cursorNow());
        refit();
    };
    platform::setMessageBoxHandler([&](const QString &text) {
        seen.append(cursorNow());
        app.messages.append(text);
    });
    PaintCounter workPaints(nav.picWork);
    PaintCounter sheetPaints(nav.picFinal);

    nav.cmdDraw->click();
    QCoreApplication::processEvents();
    QCOMPARE(app.takeMessages(), QStringList());
    QVERIFY(seen.contains(Qt::WaitCursor));
    QCOMPARE(cursorNow(), Qt::ArrowCursor);

    seen.clear();
    QVERIFY(testbitmaps::writeFile(QDir(folder.path()).filePath(names.at(3)), "no picture"));
    nav.cmdDraw->click();
    QCOMPARE(app.takeMessages(), QStringList{u"Unable to Draw, check yer files."_s});
    QCOMPARE(seen.last(), Qt::ArrowCursor);
    QCOMPARE(cursorNow(), Qt::ArrowCursor);

    QCOMPARE(workPaints.paints + sheetPaints.paints, 0);
}

QTEST_MAIN(TestDraw)
#include "tst_draw.moc"
