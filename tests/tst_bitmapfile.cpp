// Bitmap files as the forms load and save them: which error each unreadable file is, the exact
// bytes of a saved sheet, and what a save through a link leaves.

#include "core/bitmapfile.h"
#include "core/framereader.h"
#include "core/bmpdecoder.h"
#include "core/runtimeerror.h"
#include "core/picture.h"
#include "support/bmpkinds.h"
#include "support/frames.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace testframes;
namespace err = quorbel::err;

class TestBitmapFile : public QObject
{
    Q_OBJECT

private slots:
    void loadErrors_data();
    void loadErrors();
    void savesExactBytes();
    void saveThroughALinkKeepsLinkAndPermissions();
    void readersWorkOnSeveralThreadsAtOnce();
};

void TestBitmapFile::loadErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("missing file") << u"absent.bmp"_s << err::FileNotFound;
    QTest::newRow("missing folder") << u"nowhere/absent.bmp"_s << err::PathNotFound;
    QTest::newRow("text file named .bmp") << u"text.bmp"_s << err::InvalidPicture;
    QTest::newRow("empty file") << u"empty.bmp"_s << err::InvalidPicture;
    QTest::newRow("folder") << u"folder.bmp"_s << err::PermissionDenied;
    // Opening a pipe for reading would wait for a writer for ever; it is refused instead.
    QTest::newRow("named pipe") << u"pipe.bmp"_s << err::PathFileAccessError;
    QTest::newRow("dangling link") << u"dangling.bmp"_s << err::FileNotFound;
    QTest::newRow("a good frame") << u"good.bmp"_s << 0;
}

void TestBitmapFile::loadErrors()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"text.bmp"_s), "This is not a picture.\r\n"));
    QVERIFY(writeFile(dir.filePath(u"empty.bmp"_s), {}));
    QVERIFY(writeFile(dir.filePath(u"good.bmp"_s), frameFile(2, {5, 3})));
    QVERIFY(QDir(dir.path()).mkdir(u"folder.bmp"_s));
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(u"pipe.bmp"_s)).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath(u"gone.bmp"_s), dir.filePath(u"dangling.bmp"_s)));
    // Loaded into an image that holds the last frame, as a Draw loads frame after frame.
    quorbel::Picture image = framePicture(1, {5, 3});
    int raised = 0;
    try {
        quorbel::FrameReader().read(dir.filePath(name), image);
    } catch (const quorbel::RuntimeError &e) {
        raised = e.number();
    }
    QCOMPARE(raised, error);
    if (error == 0)
        QCOMPARE(imageDifference(image, frameImage(2, {5, 3})), QString());
}

// Saved under exactly the name given, in exactly these bytes: rows bottom-up, padded with zeros.
void TestBitmapFile::savesExactBytes()
{
    const quorbel::Picture image = quorbel::decodeBmp(bmpkinds::bmp(
        bmpkinds::Kind::Info, 3, 2, 24,
        bmpkinds::packRows({0x102030, 0xff0000, 0x00ff00, 0x0000ff, 0xffffff, 0x405060}, 3, 2, 24)));
    QTemporaryDir dir;
    quorbel::saveBitmapFile(image, dir.filePath(u"sheet"_s));
    QCOMPARE(readAll(dir.filePath(u"sheet"_s)).toHex(' '),
             QByteArray::fromHex("424d 4e000000 00000000 36000000" // size 78, pixels at 54
                                 "28000000 03000000 02000000 0100 1800" // 3x2 bottom-up, 24 bits
                                 "00000000 18000000 130b0000 130b0000" // 24 bytes, 2835 a metre
                                 "00000000 00000000"                   // no palette
                                 "ff0000 ffffff 605040 000000"         // bottom row first
                                 "302010 0000ff 00ff00 000000")
                 .toHex(' '));
    QCOMPARE(entries(dir.path()), QStringList{u"sheet"_s});
}

// Like a text editor's save, a save through a link replaces the file it points to, and the new
// file keeps the old one's permissions.
void TestBitmapFile::saveThroughALinkKeepsLinkAndPermissions()
{
    QTemporaryDir dir;
    const QString real = dir.filePath(u"real.bmp"_s);
    QVERIFY(writeFile(real, "the previous sheet"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(real, mode));
    QVERIFY(QFile::link(real, dir.filePath(u"link.bmp"_s)));

    quorbel::saveBitmapFile(framePicture(1, {5, 3}), dir.filePath(u"link.bmp"_s));

    QCOMPARE(QFileInfo(dir.filePath(u"link.bmp"_s)).symLinkTarget(), real);
    QCOMPARE(imageDifference(readBmp24(readAll(real)), frameImage(1, {5, 3})), QString());
    QCOMPARE(QFile::permissions(real) & 0x7077, mode);
    QCOMPARE(entries(dir.path()), (QStringList{u"link.bmp"_s, u"real.bmp"_s}));
}

// Frames of many sizes, so every reader's buffer grows and shrinks meanwhile: readers of their
// own on several threads at once read what one reader alone reads.
void TestBitmapFile::readersWorkOnSeveralThreadsAtOnce()
{
    QTemporaryDir dir;
    QStringList paths;
    QList<quorbel::Picture> alone;
    for (int i = 0; i < 24; ++i) {
        paths.append(dir.filePath(QString::number(i)));
        QVERIFY(writeFile(paths.last(), frameFile(i, {1 + i * 7 % 41, 1 + i * 13 % 37})));
        alone.append(quorbel::loadBitmapFile(paths.last()));
    }
    std::atomic<int> differences = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            quorbel::FrameReader reader;
            quorbel::Picture picture;
            for (int round = 0; round < 200; ++round) {
                const int i = (round * 5 + t) % 24;
                reader.read(paths.at(i), picture);
                differences += !(picture == alone.at(i));
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(differences.load(), 0);
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
