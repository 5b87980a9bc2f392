#include "navigator/frmdynamic.h"
#include "support/bitmaps.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using testbitmaps::frameColour;

namespace {

QStringList walkNames()
{
    return {QStringLiteral("Walk01.bmp"), QStringLiteral("WALK02.bmp"), QStringLiteral("walk03.bmp"),
            QStringLiteral("walk04.bmp"), QStringLiteral("walk05.bmp"), QStringLiteral("Walk06.bmp"),
            QStringLiteral("walk07.bmp"), QStringLiteral("walk08.bmp")};
}

// The 128 x 64 sheet of the eight walk frames in two rows, frame order[n] in cell n.
QRgb walkSheet(const QList<int> &order, int x, int y)
{
    return frameColour(order.at((y / 32) * 4 + x / 32), x % 32, y % 32);
}

const QList<int> ascending{0, 1, 2, 3, 4, 5, 6, 7};

quint32 field(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes.at(at + i));
    return value;
}

QString join(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

// chattr +i makes a file refuse writes even to root; false when this machine cannot do it.
bool setImmutable(const QString &path, bool on)
{
    const QString chattr = QStandardPaths::findExecutable(QStringLiteral("chattr"));
    return !chattr.isEmpty()
        && QProcess::execute(chattr, {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

} // namespace

// Save: the name the dialog proposes, the bitmap written, and files that survive every save
// that fails or is cancelled.
class TestSave : public QObject
{
    Q_OBJECT

private slots:
    void proposesFirstFrameInStartFolder_data();
    void proposesFirstFrameInStartFolder();
    void acceptingProposedNameReplacesFirstFrame();
    void proposedNameStaysInStartFolder();
    void folderChangeWithoutDrawKeepsPreviousSheet();
    void nameWithoutExtensionSavedAsIs();
    void cancelWritesNothing();
    void readOnlyTargetStaysUnchanged();
    void failedWriteLeavesOldFile();
    void unwritableFolderReported_data();
    void unwritableFolderReported();
    void emptySheetIsNotSaved_data();
    void emptySheetIsNotSaved();
    void savedFileIsPlain24BitBitmap_data();
    void savedFileIsPlain24BitBitmap();

private:
    // Starts in startFolder, opens the frames folder (when another), picks 2 rows and draws.
    void drawWalk(TestApp &app, const QString &startFolder, const QString &framesFolder, bool invert);
};

void TestSave::drawWalk(TestApp &app, const QString &startFolder, const QString &framesFolder,
                        bool invert)
{
    QVERIFY(steps::writeFrames(framesFolder, walkNames(), 32, 32));
    steps::startIn(app, startFolder);
    if (framesFolder != startFolder)
        steps::openFolder(framesFolder);
    steps::pickRows(QStringLiteral("2"));
    steps::navigator().chkInvert->setChecked(invert);
    steps::navigator().cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QVERIFY(steps::navigator().cmdSave->isEnabled());
}

void TestSave::proposesFirstFrameInStartFolder_data()
{
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("ascending: the first name") << false << QStringLiteral("Walk01.bmp");
    QTest::newRow("Invert Order: the last name") << true << QStringLiteral("walk08.bmp");
}

void TestSave::proposesFirstFrameInStartFolder()
{
    QFETCH(bool, invert);
    QFETCH(QString, proposed);
    TestApp app;
    QTemporaryDir frames, out;
    drawWalk(app, frames.path(), frames.path(), invert);
    if (QTest::currentTestFailed())
        return;

    app.saveAnswer = join(out.path(), QStringLiteral("sheet.bmp"));
    steps::navigator().cmdSave->click();

    QCOMPARE(app.dialogsShown, 1);
    QCOMPARE(app.dialogFileName, join(frames.path(), proposed));
    QCOMPARE(app.dialogFilter, QStringLiteral("BMP(*.bmp)|*.bmp"));
    QVERIFY(app.dialogPromptsOverwrite);
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::entries(out.path()), QStringList{QStringLiteral("sheet.bmp")});
    QCOMPARE(steps::entries(frames.path()).size(), 8);

    const QList<int> order = invert ? QList<int>{7, 6, 5, 4, 3, 2, 1, 0} : ascending;
    const QImage saved = testbitmaps::readBmp24(steps::readAll(app.saveAnswer.value()));
    const QString difference = steps::imageDifference(
        saved, {128, 64}, [&order](int x, int y) { return walkSheet(order, x, y); });
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// Saving in the folder the Navigator opened in, under the name proposed: the user confirmed
// the overwrite prompt, and the first frame's file now holds the sheet.
void TestSave::acceptingProposedNameReplacesFirstFrame()
{
    TestApp app;
    QTemporaryDir frames;
    drawWalk(app, frames.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    const QString first = join(frames.path(), QStringLiteral("Walk01.bmp"));
    app.saveAnswer = first;
    steps::navigator().cmdSave->click();

    QCOMPARE(app.dialogFileName, first);
    QVERIFY(app.dialogPromptsOverwrite);
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::entries(frames.path()).size(), 8);
    const QImage saved = testbitmaps::readBmp24(steps::readAll(first));
    const QString difference = steps::imageDifference(
        saved, {128, 64}, [](int x, int y) { return walkSheet(ascending, x, y); });
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// The proposed folder is the one the program started in, not the one the frames came from.
void TestSave::proposedNameStaysInStartFolder()
{
    TestApp app;
    QTemporaryDir start, frames, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    app.saveAnswer = join(out.path(), QStringLiteral("sheet.bmp"));
    steps::navigator().cmdSave->click();

    QCOMPARE(app.dialogFileName, join(start.path(), QStringLiteral("Walk01.bmp")));
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::entries(start.path()), QStringList());
    QVERIFY(!testbitmaps::readBmp24(steps::readAll(app.saveAnswer.value())).isNull());
}

// A folder change empties the frame list but keeps the sheet: Save stays enabled, proposes the
// start folder with no name after the separator, and writes the earlier drawing.
void TestSave::folderChangeWithoutDrawKeepsPreviousSheet()
{
    TestApp app;
    QTemporaryDir start, frames, other, single, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(steps::writeFrames(other.path(),
                               {QStringLiteral("x1.bmp"), QStringLiteral("x2.bmp"), QStringLiteral("x3.bmp")},
                               16, 16));
    steps::openFolder(other.path());
    frmDynamic &nav = steps::navigator();
    QVERIFY(nav.cmdSave->isEnabled());

    app.saveAnswer = join(out.path(), QStringLiteral("previous.bmp"));
    nav.cmdSave->click();
    QCOMPARE(app.dialogFileName, start.path() + QStringLiteral("/"));
    QCOMPARE(app.messages, QStringList());
    const QImage saved = testbitmaps::readBmp24(steps::readAll(app.saveAnswer.value()));
    const QString difference = steps::imageDifference(
        saved, {128, 64}, [](int x, int y) { return walkSheet(ascending, x, y); });
    QVERIFY2(difference.isEmpty(), qPrintable(difference));

    // A folder with fewer than two frames disables it.
    QVERIFY(steps::writeFrames(single.path(), {QStringLiteral("only.bmp")}, 16, 16));
    steps::openFolder(single.path());
    QVERIFY(!nav.cmdSave->isEnabled());
}

void TestSave::nameWithoutExtensionSavedAsIs()
{
    TestApp app;
    QTemporaryDir start, frames, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    app.saveAnswer = join(out.path(), QStringLiteral("sheet"));
    steps::navigator().cmdSave->click();

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::entries(out.path()), QStringList{QStringLiteral("sheet")});
    const QImage saved = testbitmaps::readBmp24(steps::readAll(app.saveAnswer.value()));
    const QString difference = steps::imageDifference(
        saved, {128, 64}, [](int x, int y) { return walkSheet(ascending, x, y); });
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestSave::cancelWritesNothing()
{
    TestApp app;
    QTemporaryDir frames;
    drawWalk(app, frames.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    const QStringList before = steps::entries(frames.path());
    const QByteArray firstFrame = steps::readAll(join(frames.path(), QStringLiteral("Walk01.bmp")));
    app.saveAnswer = std::nullopt;
    steps::navigator().cmdSave->click();

    QCOMPARE(app.dialogsShown, 1);
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(steps::entries(frames.path()), before);
    QCOMPARE(steps::readAll(join(frames.path(), QStringLiteral("Walk01.bmp"))), firstFrame);
    QVERIFY(steps::navigator().cmdSave->isEnabled());
}

// Root ignores permission bits, so the immutable attribute makes the target truly read-only.
void TestSave::readOnlyTargetStaysUnchanged()
{
    TestApp app;
    QTemporaryDir start, frames, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    const QString target = join(out.path(), QStringLiteral("locked.bmp"));
    const QByteArray original = testbitmaps::numberedFrame(9, 3, 3);
    QVERIFY(testbitmaps::writeFile(target, original));
    const bool immutable = setImmutable(target, true);
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            setImmutable(target, false);
    });
    if (!immutable) {
        if (geteuid() == 0)
            QSKIP("chattr +i is unavailable here, and as root a mode of 0444 does not stop writes");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    app.saveAnswer = target;
    steps::navigator().cmdSave->click();

    QCOMPARE(app.messages,
             QStringList({QStringLiteral("File not Saved"), QStringLiteral("Permission denied70")}));
    QCOMPARE(steps::readAll(target), original);
    QCOMPARE(steps::entries(out.path()), QStringList{QStringLiteral("locked.bmp")});
    QVERIFY(steps::navigator().cmdSave->isEnabled());
}

// A file size limit makes the write fail half way; the sheet saved before must not notice.
void TestSave::failedWriteLeavesOldFile()
{
    TestApp app;
    QTemporaryDir start, frames, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    const QString target = join(out.path(), QStringLiteral("sheet.bmp"));
    const QByteArray original = testbitmaps::numberedFrame(3, 4, 4);
    QVERIFY(testbitmaps::writeFile(target, original));
    app.saveAnswer = target;

    // The 128 x 64 sheet takes 24630 bytes.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    steps::navigator().cmdSave->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(app.messages.size(), 2);
    QCOMPARE(app.messages.at(0), QStringLiteral("File not Saved"));
    QCOMPARE(app.messages.at(1), QStringLiteral("Path/File access error75"));
    QCOMPARE(steps::readAll(target), original);
    QCOMPARE(steps::entries(out.path()), QStringList{QStringLiteral("sheet.bmp")});
}

void TestSave::unwritableFolderReported_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message"); // "" where only the form of the message is fixed
    QTest::newRow("missing folder") << QStringLiteral("<out>/nowhere/sheet.bmp")
                                    << QStringLiteral("Path not found76");
    // /proc refuses new files even to root.
    QTest::newRow("folder that refuses new files") << QStringLiteral("/proc/quorbel-sheet.bmp")
                                                   << QString();
}

void TestSave::unwritableFolderReported()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    TestApp app;
    QTemporaryDir start, frames, out;
    drawWalk(app, start.path(), frames.path(), false);
    if (QTest::currentTestFailed())
        return;
    target.replace(QStringLiteral("<out>"), out.path());
    app.saveAnswer = target;
    steps::navigator().cmdSave->click();

    QCOMPARE(app.messages.size(), 2);
    QCOMPARE(app.messages.at(0), QStringLiteral("File not Saved"));
    if (message.isEmpty())
        QVERIFY2(QRegularExpression(QStringLiteral("^\\D+[0-9]+$")).match(app.messages.at(1)).hasMatch(),
                 qPrintable(app.messages.at(1)));
    else
        QCOMPARE(app.messages.at(1), message);
    QVERIFY(!QFile::exists(target));
    QCOMPARE(steps::entries(out.path()), QStringList());
}

void TestSave::emptySheetIsNotSaved_data()
{
    QTest::addColumn<int>("earlierFrames");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("rows");
    QTest::newRow("4 frames, entry \" 8\" from an earlier folder") << 8 << 4 << QStringLiteral(" 8");
    QTest::newRow("3 frames, design entry 23") << 0 << 3 << QStringLiteral("23");
}

// No frame per row gives a sheet 0 pixels wide: Draw completes, but there is nothing to save.
void TestSave::emptySheetIsNotSaved()
{
    QFETCH(int, earlierFrames);
    QFETCH(int, frames);
    QFETCH(QString, rows);
    TestApp app;
    QTemporaryDir start, earlier, folder, out;
    QVERIFY(steps::writeFrames(earlier.path(), walkNames().mid(0, earlierFrames), 16, 16));
    QVERIFY(steps::writeFrames(folder.path(), walkNames().mid(0, frames), 16, 16));
    steps::startIn(app, start.path());
    if (earlierFrames > 0)
        steps::openFolder(earlier.path());
    steps::openFolder(folder.path());
    steps::pickRows(rows);
    frmDynamic &nav = steps::navigator();
    QVERIFY(nav.lblFinalSize->text().startsWith(QStringLiteral("0x")));
    nav.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QVERIFY(nav.cmdSave->isEnabled());

    app.saveAnswer = join(out.path(), QStringLiteral("empty.bmp"));
    nav.cmdSave->click();
    QCOMPARE(app.dialogsShown, 1);
    QCOMPARE(app.messages,
             QStringList({QStringLiteral("File not Saved"), QStringLiteral("Invalid property value380")}));
    QCOMPARE(steps::entries(out.path()), QStringList());
}

void TestSave::savedFileIsPlain24BitBitmap_data()
{
    QTest::addColumn<int>("frameWidth");
    QTest::addColumn<int>("frameHeight");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("sheetWidth");
    QTest::addColumn<int>("sheetHeight");
    QTest::newRow("128 x 64: rows need no padding") << 32 << 32 << 8 << 128 << 64;
    QTest::newRow("21 x 10: rows padded from 63 to 64 bytes") << 7 << 5 << 6 << 21 << 10;
    QTest::newRow("10 x 6: rows padded from 30 to 32 bytes") << 5 << 3 << 4 << 10 << 6;
}

void TestSave::savedFileIsPlain24BitBitmap()
{
    QFETCH(int, frameWidth);
    QFETCH(int, frameHeight);
    QFETCH(int, frames);
    QFETCH(int, sheetWidth);
    QFETCH(int, sheetHeight);
    TestApp app;
    QTemporaryDir start, folder, out;
    const QStringList names = walkNames().mid(0, frames);
    QVERIFY(steps::writeFrames(folder.path(), names, frameWidth, frameHeight));
    steps::startIn(app, start.path());
    steps::openFolder(folder.path());
    steps::pickRows(QStringLiteral("2"));
    steps::navigator().cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    app.saveAnswer = join(out.path(), QStringLiteral("sheet.bmp"));
    steps::navigator().cmdSave->click();
    QCOMPARE(app.messages, QStringList());

    const QByteArray bytes = steps::readAll(app.saveAnswer.value());
    const int stride = (sheetWidth * 3 + 3) / 4 * 4;
    QCOMPARE(bytes.size(), 54 + stride * sheetHeight);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(field(bytes, 2, 4), quint32(bytes.size()));
    QCOMPARE(field(bytes, 10, 4), quint32(54));  // pixels right after the headers, no palette
    QCOMPARE(field(bytes, 14, 4), quint32(40));  // info header
    QCOMPARE(field(bytes, 18, 4), quint32(sheetWidth));
    QCOMPARE(field(bytes, 22, 4), quint32(sheetHeight)); // positive: bottom-up
    QCOMPARE(field(bytes, 26, 2), quint32(1));
    QCOMPARE(field(bytes, 28, 2), quint32(24));
    QCOMPARE(field(bytes, 30, 4), quint32(0));   // uncompressed
    QCOMPARE(field(bytes, 46, 4), quint32(0));   // no colour table

    const int perRow = frames / 2;
    const auto colour = [&](int x, int y) {
        return frameColour((y / frameHeight) * perRow + x / frameWidth, x % frameWidth, y % frameHeight);
    };
    // The first stored row is the sheet's bottom row, blue, green, red, then zero padding.
    for (int x = 0; x < sheetWidth; ++x) {
        const QRgb c = colour(x, sheetHeight - 1);
        QCOMPARE(uchar(bytes.at(54 + x * 3)), uchar(qBlue(c)));
        QCOMPARE(uchar(bytes.at(54 + x * 3 + 1)), uchar(qGreen(c)));
        QCOMPARE(uchar(bytes.at(54 + x * 3 + 2)), uchar(qRed(c)));
    }
    for (int y = 0; y < sheetHeight; ++y)
        for (int pad = sheetWidth * 3; pad < stride; ++pad)
            QCOMPARE(bytes.at(54 + y * stride + pad), '\0');

    const QString difference = steps::imageDifference(testbitmaps::readBmp24(bytes),
                                                      {sheetWidth, sheetHeight}, colour);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(TestSave)
#include "tst_save.moc"
