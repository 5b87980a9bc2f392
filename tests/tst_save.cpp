#include "navigator/frmdynamic.h"
#include "support/bitmaps.h"
#include "support/framefolders.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// "" when the file at path holds the 128 x 64 sheet of the eight walk frames in two rows.
QString walkSheetDifference(const QString &path, bool inverted = false)
{
    return steps::imageDifference(testbitmaps::readBmp24(steps::readAll(path)), {128, 64},
                                  steps::gridColours(8, inverted, 4, 32, 32, 8));
}

} // namespace

// Save: the name the dialog proposes, the bitmap written, and files that survive every save that
// fails or is cancelled.
class TestSave : public QObject
{
    Q_OBJECT

private slots:
    void savesSheet_data();
    void savesSheet();
    void failedOrCancelledSaveLeavesFilesAlone_data();
    void failedOrCancelledSaveLeavesFilesAlone();
    void savedFileIsPlain24BitBitmap_data();
    void savedFileIsPlain24BitBitmap();
};

void TestSave::savesSheet_data()
{
    QTest::addColumn<bool>("startInFrames"); // the program started in the frames' folder
    QTest::addColumn<bool>("invert");
    QTest::addColumn<bool>("folderChange"); // a folder of 3 frames opened after the Draw
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("proposed");

    QTest::newRow("ascending: the first name proposed")
        << true << false << false << u"<out>/sheet.bmp"_s << u"Walk01.bmp"_s;
    QTest::newRow("Invert Order: the last name proposed")
        << true << true << false << u"<out>/sheet.bmp"_s << u"WALK08.bmp"_s;
    // The user confirmed the overwrite prompt: the first frame's file now holds the sheet.
    QTest::newRow("accepting the proposal replaces the first frame")
        << true << false << false << u"<frames>/Walk01.bmp"_s << u"Walk01.bmp"_s;
    QTest::newRow("frames elsewhere: proposed in the start folder all the same")
        << false << false << false << u"<out>/sheet.bmp"_s << u"Walk01.bmp"_s;
    QTest::newRow("name without extension saved as is")
        << false << false << false << u"<out>/sheet"_s << u"Walk01.bmp"_s;
    // The frame list is emptied but the sheet kept: nothing follows the separator.
    QTest::newRow("folder changed after the Draw: the earlier sheet saved")
        << false << false << true << u"<out>/previous.bmp"_s << QString();
}

void TestSave::savesSheet()
{
    QFETCH(bool, startInFrames);
    QFETCH(bool, invert);
    QFETCH(bool, folderChange);
    QFETCH(QString, answer);
    QFETCH(QString, proposed);
    TestApp app;
    QTemporaryDir frames, other, later, out;
    const QString start = startInFrames ? frames.path() : other.path();
    answer.replace(u"<out>"_s, out.path()).replace(u"<frames>"_s, frames.path());
    QVERIFY(steps::writeFrames(frames.path(), steps::walkNames(), 32, 32, steps::scrambled));
    QVERIFY(steps::drawSheet(app, start, frames.path(), u"2"_s, invert));
    if (folderChange) {
        QVERIFY(steps::writeFrames(later.path(), {u"x1.bmp"_s, u"x2.bmp"_s, u"x3.bmp"_s}, 16, 16));
        steps::openFolder(later.path());
    }

    app.saveAnswer = answer;
    steps::navigator().cmdSave->click();

    QCOMPARE(app.dialogsShown, 1);
    QCOMPARE(app.dialogFileName, start + u'/' + proposed);
    QCOMPARE(app.dialogFilter, u"BMP(*.bmp)|*.bmp"_s);
    QVERIFY(app.dialogPromptsOverwrite);
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(walkSheetDifference(answer, invert), QString());
    const QStringList written{QFileInfo(answer).fileName()};
    QCOMPARE(steps::entries(out.path()), answer.startsWith(out.path()) ? written : QStringList());
    QCOMPARE(steps::entries(frames.path()).size(), 8);
    QCOMPARE(steps::entries(other.path()), QStringList());
    if (folderChange) { // a folder of fewer than two frames disables Save
        QTemporaryDir single;
        QVERIFY(steps::writeFrames(single.path(), {u"only.bmp"_s}, 16, 16));
        steps::openFolder(single.path());
        QVERIFY(!steps::navigator().cmdSave->isEnabled());
    }
}

void TestSave::failedOrCancelledSaveLeavesFilesAlone_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("existing"); // the target holds an older file
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("messages"); // a pattern for the messages, one a line

    // The proposal names an existing file; cancelling writes nothing and needs no message.
    QTest::newRow("cancelled") << u"<out>/Walk01.bmp"_s << true << u"cancel"_s << QString();
    // Root ignores permission bits, so the immutable attribute makes the target read-only.
    QTest::newRow("read-only target") << u"<out>/locked.bmp"_s << true << u"immutable"_s
                                      << u"File not Saved\nPermission denied70"_s;
    // A file size limit makes the write fail half way (the sheet takes 24630 bytes).
    QTest::newRow("write failing half way") << u"<out>/sheet.bmp"_s << true << u"size limit"_s
                                            << u"File not Saved\nPath/File access error75"_s;
    // A file system of 16 KiB really fills up while the sheet is written.
    QTest::newRow("disk full") << u"<out>/sheet.bmp"_s << true << u"full volume"_s
                               << u"File not Saved\nDisk full61"_s;
    QTest::newRow("missing folder") << u"<out>/nowhere/sheet.bmp"_s << false << QString()
                                    << u"File not Saved\nPath not found76"_s;
    // /proc refuses new files even to root; only the form of the second message is fixed.
    QTest::newRow("folder that refuses new files")
        << u"/proc/quorbel-sheet.bmp"_s << false << QString()
        << u"File not Saved\n[^\\n0-9]+[0-9]+"_s;
}

void TestSave::failedOrCancelledSaveLeavesFilesAlone()
{
    QFETCH(QString, target);
    QFETCH(bool, existing);
    QFETCH(QString, obstacle);
    QFETCH(QString, messages);
    TestApp app;
    QTemporaryDir frames, out;
    std::optional<testfolders::SmallVolume> volume;
    if (obstacle == u"full volume"_s && !volume.emplace(out.path(), 16).holds())
        QSKIP("a small file system cannot be mounted here (that needs root)");
    target.replace(u"<out>"_s, out.path());
    const QByteArray original = testbitmaps::numberedFrame(9, 3, 3);
    QVERIFY(!existing || testbitmaps::writeFile(target, original));
    QVERIFY(steps::writeFrames(frames.path(), steps::walkNames(), 32, 32, steps::scrambled));
    QVERIFY(steps::drawSheet(app, out.path(), frames.path()));

    app.saveAnswer = obstacle == u"cancel"_s ? std::nullopt : std::optional<QString>(target);
    std::optional<testfolders::ImmutableFile> lock;
    if (obstacle == u"immutable"_s && !lock.emplace(target).holds()) {
        if (geteuid() == 0)
            QSKIP("chattr +i is unavailable here, and as root a mode of 0444 does not stop writes");
        QVERIFY(QFile::setPermissions(target,
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    rlimit unlimited{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    rlimit limited = unlimited;
    limited.rlim_cur = obstacle == u"size limit"_s ? 4096 : unlimited.rlim_cur;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    steps::navigator().cmdSave->click();
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(app.dialogsShown, 1);
    const QString shown = app.messages.join(u'\n');
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(messages));
    QVERIFY2(pattern.match(shown).hasMatch(), qPrintable(shown));
    if (existing)
        QCOMPARE(steps::readAll(target), original);
    else
        QVERIFY(!QFile::exists(target));
    const QStringList kept{QFileInfo(target).fileName()};
    QCOMPARE(steps::entries(out.path()), existing ? kept : QStringList());
    QVERIFY(steps::navigator().cmdSave->isEnabled());
}

void TestSave::savedFileIsPlain24BitBitmap_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<int>("frames");
    QTest::newRow("128 x 64: rows need no padding") << QSize(32, 32) << 8;
    QTest::newRow("21 x 10: rows padded from 63 to 64 bytes") << QSize(7, 5) << 6;
    QTest::newRow("10 x 6: rows padded from 30 to 32 bytes") << QSize(5, 3) << 4;
}

// Byte for byte the plain bottom-up 24-bit bitmap that the tests' own writer makes of the sheet
// (54 bytes of headers, no palette, blue-green-red, rows padded with zeros), but for the image
// size and resolution fields at bytes 34 to 45, which are free.
void TestSave::savedFileIsPlain24BitBitmap()
{
    QFETCH(QSize, frameSize);
    QFETCH(int, frames);
    TestApp app;
    QTemporaryDir start, folder, out;
    const int w = frameSize.width(), h = frameSize.height();
    QVERIFY(steps::writeFrames(folder.path(), steps::walkNames(frames), w, h));
    QVERIFY(steps::drawSheet(app, start.path(), folder.path()));
    steps::saveSheet(app, QDir(out.path()).filePath(u"sheet.bmp"_s));
    QCOMPARE(app.messages, QStringList());

    const QByteArray bytes = steps::readAll(QDir(out.path()).filePath(u"sheet.bmp"_s));
    const QByteArray expected = testbitmaps::bmp24(
        frames / 2 * w, 2 * h, steps::gridColours(frames, false, frames / 2, w, h, frames));
    QCOMPARE(bytes.size(), expected.size());
    QCOMPARE(bytes.left(34).toHex(' '), expected.left(34).toHex(' '));
    QCOMPARE(bytes.mid(46), expected.mid(46));
}

QTEST_MAIN(TestSave)
#include "tst_save.moc"
