#include "platform/bitmapfile.h"
#include "platform/bmpdecoder.h"
#include "platform/bmpencoder.h"
#include "platform/runtimeerror.h"
#include "support/bitmaps.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using platform::loadBitmapFile;
using platform::saveBitmapFile;
namespace err = platform::err;

namespace {

// The number of the error the call raises, or 0 when it succeeds.
template <typename Call> int errorNumber(Call call)
{
    try {
        call();
    } catch (const platform::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Three by two, partly see-through, so the padding, the row order and the dropped alpha show.
const QRgb SmallPixels[] = { qRgba(0x10, 0x20, 0x30, 0x80), qRgb(0xFF, 0, 0), qRgb(0, 0xFF, 0),
    qRgb(0, 0, 0xFF), qRgb(0xFF, 0xFF, 0xFF), qRgba(0x40, 0x50, 0x60, 0) };
QImage smallImage()
{
    return QImage(reinterpret_cast<const uchar *>(SmallPixels), 3, 2, QImage::Format_ARGB32).copy();
}

} // namespace

// Loading and saving bitmap files: error numbers, the exact saved bytes, and an old file that
// survives every failed save.
class TestBitmapFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadErrors_data();
    void loadErrors();
    void loadingIntoAnImageReusesItsBuffer();
    void savesExactBytes_data();
    void savesExactBytes();
    void saveErrors_data();
    void saveErrors();
    void readOnlyTargetStaysUnchanged();
    void failedWriteLeavesOldFile();
    void replacementKeepsLinkAndPermissions();
    void encoderWriteFailures();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBitmapFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestBitmapFile::loadErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("missing file") << u"absent.bmp"_s << err::FileNotFound;
    QTest::newRow("missing folder") << u"nowhere/absent.bmp"_s << err::PathNotFound;
    QTest::newRow("text file named .bmp") << u"x.bmp"_s << err::InvalidPicture;
    QTest::newRow("empty file") << u"empty.bmp"_s << err::InvalidPicture;
    QTest::newRow("folder") << u"folder.bmp"_s << err::PermissionDenied;
    // Opening a pipe for reading would wait for a writer forever; it is refused instead.
    QTest::newRow("named pipe") << u"pipe.bmp"_s << err::PathFileAccessError;
    QTest::newRow("dangling link") << u"dangling.bmp"_s << err::FileNotFound;
}

void TestBitmapFile::loadErrors()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QVERIFY(testbitmaps::writeFile(path(u"x.bmp"_s), "This is not a picture.\r\n"));
    QVERIFY(testbitmaps::writeFile(path(u"empty.bmp"_s), {}));
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder.bmp"_s));
    QCOMPARE(mkfifo(QFile::encodeName(path(u"pipe.bmp"_s)).constData(), 0600), 0);
    QVERIFY(QFile::link(path(u"gone.bmp"_s), path(u"dangling.bmp"_s)));
    QCOMPARE(errorNumber([&] { loadBitmapFile(path(name)); }), error);
}

// Frame after frame of one size decodes into the same buffer; a refused file leaves the image
// of the last good one usable.
void TestBitmapFile::loadingIntoAnImageReusesItsBuffer()
{
    QVERIFY(testbitmaps::writeFile(path(u"1.bmp"_s), testbitmaps::numberedFrame(1, 5, 3)));
    QVERIFY(testbitmaps::writeFile(path(u"2.bmp"_s), testbitmaps::numberedFrame(2, 5, 3)));
    QImage image;
    loadBitmapFile(path(u"1.bmp"_s), image);
    const uchar *buffer = image.constBits();
    loadBitmapFile(path(u"2.bmp"_s), image);
    QCOMPARE(image.constBits(), buffer);
    QCOMPARE(image.pixel(4, 2), testbitmaps::frameColour(2, 4, 2));
    QCOMPARE(image, loadBitmapFile(path(u"2.bmp"_s)));

    const QImage shared = image; // a picture still shown elsewhere is never written over
    loadBitmapFile(path(u"1.bmp"_s), image);
    QVERIFY(image.constBits() != shared.constBits());
    QCOMPARE(shared.pixel(4, 2), testbitmaps::frameColour(2, 4, 2));
    QCOMPARE(image.pixel(4, 2), testbitmaps::frameColour(1, 4, 2));
}

void TestBitmapFile::savesExactBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("with extension") << u"small.bmp"_s;
    QTest::newRow("without extension") << u"sheet"_s;
}

// Saved under exactly the name given, in exactly these bytes, which load back the same.
void TestBitmapFile::savesExactBytes()
{
    QFETCH(QString, name);
    saveBitmapFile(smallImage(), path(name));
    const QByteArray saved = readAll(path(name));
    QCOMPARE(saved.toHex(' '),
        QByteArray::fromHex("424d 4e000000 00000000 36000000" // size 78, pixels at 54
                            "28000000 03000000 02000000 0100 1800" // 3x2 bottom-up, 24 bits
                            "00000000 18000000 130b0000 130b0000" // uncompressed, 24 bytes, 2835/m
                            "00000000 00000000" // no palette
                            "ff0000 ffffff 605040 000000" // bottom row first, padded to 12 bytes
                            "302010 0000ff 00ff00 000000")
            .toHex(' '));
    const QImage opaque = smallImage().convertToFormat(platform::PictureFormat);
    QCOMPARE(testbitmaps::readBmp24(saved).convertToFormat(platform::PictureFormat), opaque);
    QCOMPARE(loadBitmapFile(path(name)), opaque);
    QCOMPARE(entries(), QStringList { name });
}

void TestBitmapFile::saveErrors_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    const auto rgb = QImage::Format_RGB32;
    QTest::newRow("null image") << QImage() << u"new.bmp"_s << err::InvalidPropertyValue;
    QTest::newRow("zero wide") << QImage(0, 5, rgb) << u"new.bmp"_s << err::InvalidPropertyValue;
    QTest::newRow("zero high") << QImage(5, 0, rgb) << u"new.bmp"_s << err::InvalidPropertyValue;
    QTest::newRow("missing folder") << smallImage() << u"nowhere/sheet.bmp"_s << err::PathNotFound;
    QTest::newRow("folder as target") << smallImage() << u"folder.bmp"_s << err::PermissionDenied;
}

// A refused save creates nothing.
void TestBitmapFile::saveErrors()
{
    QFETCH(QImage, image);
    QFETCH(QString, name);
    QFETCH(int, error);
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder.bmp"_s));
    QCOMPARE(errorNumber([&] { saveBitmapFile(image, path(name)); }), error);
    QCOMPARE(entries(), QStringList { u"folder.bmp"_s });
}

// Root ignores permission bits, so the immutable attribute makes the file truly read-only.
void TestBitmapFile::readOnlyTargetStaysUnchanged()
{
    const QString target = path(u"locked.bmp"_s);
    QVERIFY(testbitmaps::writeFile(target, "original bytes that must survive"));
    const QString chattr = QStandardPaths::findExecutable(u"chattr"_s);
    const bool immutable = !chattr.isEmpty() && QProcess::execute(chattr, { u"+i"_s, target }) == 0;
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(chattr, { u"-i"_s, target });
    });
    if (!immutable && geteuid() == 0)
        QSKIP("chattr +i is unavailable here, and as root a mode of 0444 does not stop writes");
    QVERIFY(immutable || QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
    QCOMPARE(errorNumber([&] { saveBitmapFile(smallImage(), target); }), err::PermissionDenied);
    QCOMPARE(readAll(target), "original bytes that must survive");
    QCOMPARE(entries(), QStringList { u"locked.bmp"_s });
}

// A file size limit makes the write of the temporary fail half-way; the old file must not notice.
void TestBitmapFile::failedWriteLeavesOldFile()
{
    const QString target = path(u"sheet.bmp"_s);
    QVERIFY(testbitmaps::writeFile(target, "the previous sheet"));
    const QImage image = smallImage().scaled(300, 300); // about 270 KB as a bitmap
    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int error = errorNumber([&] { saveBitmapFile(image, target); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(error, err::PathFileAccessError);
    QCOMPARE(readAll(target), "the previous sheet");
    QCOMPARE(entries(), QStringList { u"sheet.bmp"_s });
}

// A save replaces the file a link points to, keeps the link, and keeps the old file's mode.
void TestBitmapFile::replacementKeepsLinkAndPermissions()
{
    const QString real = path(u"real.bmp"_s);
    QVERIFY(testbitmaps::writeFile(real, "the previous sheet"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(real, mode));
    QVERIFY(QFile::link(real, path(u"link.bmp"_s)));

    saveBitmapFile(smallImage(), path(u"link.bmp"_s));

    QCOMPARE(QFileInfo(path(u"link.bmp"_s)).symLinkTarget(), real);
    QCOMPARE(loadBitmapFile(real), smallImage().convertToFormat(platform::PictureFormat));
    QCOMPARE(QFile::permissions(real) & 0x7077, mode); // owner, group and others
    QCOMPARE(entries(), (QStringList{u"link.bmp"_s, u"real.bmp"_s}));
}

void TestBitmapFile::encoderWriteFailures()
{
    QBuffer untouched;
    QVERIFY(untouched.open(QIODevice::WriteOnly));
    QCOMPARE(errorNumber([&] { platform::encodeBmp24(QImage(), untouched); }),
        err::InvalidPropertyValue);
    QCOMPARE(untouched.size(), 0);

    QBuffer readOnly;
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QCOMPARE(errorNumber([&] { platform::encodeBmp24(smallImage(), readOnly); }),
        err::PathFileAccessError);

    QFile full(u"/dev/full"_s);
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("no /dev/full to stand for a full disk");
    QCOMPARE(errorNumber([&] { platform::encodeBmp24(smallImage().scaled(300, 300), full); }),
        err::DiskFull);
    // A picture whose rows need no padding goes to the file straight from memory.
    const QImage picture = smallImage().scaled(300, 300).convertToFormat(platform::PictureFormat);
    QCOMPARE(errorNumber([&] { platform::encodeBmp24(picture, full); }), err::DiskFull);
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
