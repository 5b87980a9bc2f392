// Bitmap files as the forms load and save them: which error each unreadable file is, what a save
// through a link leaves, and readers on several threads at once.

#include "core/bitmapfile.h"
#include "core/framereader.h"
#include "core/runtimeerror.h"
#include "core/picture.h"
#include "support/frames.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace testframes;
namespace err = quorbel::err;

class TestBitmapFile : public QObject
{
    Q_OBJECT

private slots:
    void loadErrors_data()
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

    void loadErrors()
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
        QCOMPARE(errorNumber([&] { quorbel::FrameReader().read(dir.filePath(name), image); }),
                 error);
        if (error == 0)
            QCOMPARE(imageDifference(image, frameImage(2, {5, 3})), QString());
    }

    // Like a text editor's save, a save through a link replaces the file it points to, and the new
    // file keeps the old one's permissions.
    void saveThroughALinkKeepsLinkAndPermissions()
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
    void readersWorkOnSeveralThreadsAtOnce()
    {
        QTemporaryDir dir;
        QList<quorbel::Picture> alone;
        for (int i = 0; i < 24; ++i) {
            QVERIFY(writeFile(dir.filePath(QString::number(i)),
                              frameFile(i, {1 + i * 7 % 41, 1 + i % 37})));
            alone.append(quorbel::loadBitmapFile(dir.filePath(QString::number(i))));
        }
        std::atomic<int> differences = 0;
        const auto reading = [&](int t) {
            quorbel::FrameReader reader;
            quorbel::Picture picture;
            for (int i = t; i < 800; i += 4) {
                reader.read(dir.filePath(QString::number(i % 24)), picture);
                differences += !(picture == alone.at(i % 24));
            }
        };
        {
            std::jthread a(reading, 0), b(reading, 1), c(reading, 2);
            reading(3);
        }
        QCOMPARE(differences.load(), 0);
    }
};

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
