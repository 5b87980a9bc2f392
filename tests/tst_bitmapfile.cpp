#include "platform/bitmapfile.h"
#include "platform/bmpencoder.h"
#include "platform/runtimeerror.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using platform::RuntimeError;
namespace err = platform::err;

namespace {

// The number of the error the call raises, or 0 when it succeeds.
template <typename Call> int errorNumber(Call call)
{
    try {
        call();
    } catch (const RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// Whole-file reads and writes for fixtures and checks.
QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A few independent lines that read a 24-bit bottom-up bitmap, so saving is not checked by
// Quorbel's own decoder.
quint32 field(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes[at + i]);
    return value;
}
QRgb savedPixel(const QByteArray &bytes, int x, int y)
{
    const int width = int(field(bytes, 18, 4));
    const int height = int(field(bytes, 22, 4));
    const int stride = (width * 3 + 3) & ~3;
    const int at = int(field(bytes, 10, 4)) + (height - 1 - y) * stride + x * 3;
    return qRgb(uchar(bytes[at + 2]), uchar(bytes[at + 1]), uchar(bytes[at]));
}

// Three by two, partly see-through, so the padding, the row order and the dropped alpha show.
QImage smallImage()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x10, 0x20, 0x30, 0x80));
    image.setPixel(1, 0, qRgb(0xFF, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0xFF, 0));
    image.setPixel(0, 1, qRgb(0, 0, 0xFF));
    image.setPixel(1, 1, qRgb(0xFF, 0xFF, 0xFF));
    image.setPixel(2, 1, qRgba(0x40, 0x50, 0x60, 0));
    return image;
}

// About 270 KB as a bitmap: more than the file size limit below lets through.
QImage largeImage()
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(qRgb(0x12, 0x34, 0x56));
    return image;
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
    void loadsPixels();
    void savesExactBytes();
    void savesUnderExactName();
    void refusesImageWithoutPixels_data();
    void refusesImageWithoutPixels();
    void saveErrors_data();
    void saveErrors();
    void readOnlyTargetStaysUnchanged();
    void failedWriteLeavesOldFile();
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
    QTest::newRow("missing file") << QStringLiteral("absent.bmp") << err::FileNotFound;
    QTest::newRow("missing folder") << QStringLiteral("nowhere/absent.bmp") << err::PathNotFound;
    QTest::newRow("text file named .bmp") << QStringLiteral("x.bmp") << err::InvalidPicture;
    QTest::newRow("empty file") << QStringLiteral("empty.bmp") << err::InvalidPicture;
    QTest::newRow("folder") << QStringLiteral("folder.bmp") << err::PermissionDenied;
}

void TestBitmapFile::loadErrors()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QVERIFY(writeAll(path(QStringLiteral("x.bmp")), "This is not a picture.\r\n"));
    QVERIFY(writeAll(path(QStringLiteral("empty.bmp")), {}));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.bmp")));
    QCOMPARE(errorNumber([&] { platform::loadBitmapFile(path(name)); }), error);
}

void TestBitmapFile::loadsPixels()
{
    // 2x1, 24 bits, one row padded from 6 to 8 bytes.
    const QByteArray file = QByteArray::fromHex("424d3e00000000000000360000002800000002000000"
                                                "010000000100180000000000080000000000000000000000"
                                                "0000000000000000"
                                                "0000ff112233"
                                                "0000");
    QVERIFY(writeAll(path(QStringLiteral("two.bmp")), file));
    const QImage image = platform::loadBitmapFile(path(QStringLiteral("two.bmp")));
    QCOMPARE(image.size(), QSize(2, 1));
    QCOMPARE(image.pixel(0, 0), qRgb(0xFF, 0, 0));
    QCOMPARE(image.pixel(1, 0), qRgb(0x33, 0x22, 0x11));
}

void TestBitmapFile::savesExactBytes()
{
    const QString target = path(QStringLiteral("small.bmp"));
    platform::saveBitmapFile(smallImage(), target);
    const QByteArray saved = readAll(target);
    const QByteArray expected
        = QByteArray::fromHex("424d"
                              "4e000000"
                              "00000000"
                              "36000000" // signature, file size 78, pixel offset 54
                              "28000000"
                              "03000000"
                              "02000000"
                              "0100"
                              "1800" // info header, 3x2 bottom-up, 24 bits
                              "00000000"
                              "18000000"
                              "130b0000"
                              "130b0000" // uncompressed, 24 bytes, 2835 px/m
                              "00000000"
                              "00000000" // no palette
                              "ff0000"
                              "ffffff"
                              "605040"
                              "000000" // bottom row first, padded to 12 bytes
                              "302010"
                              "0000ff"
                              "00ff00"
                              "000000");
    QCOMPARE(saved.toHex(), expected.toHex());

    const QImage image = smallImage();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            QCOMPARE(savedPixel(saved, x, y), image.pixel(x, y) | 0xFF000000);
    QCOMPARE(entries(), QStringList { QStringLiteral("small.bmp") });
}

void TestBitmapFile::savesUnderExactName()
{
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 50, 200));
    platform::saveBitmapFile(image, path(QStringLiteral("sheet")));
    QCOMPARE(entries(), QStringList { QStringLiteral("sheet") });
    const QByteArray saved = readAll(path(QStringLiteral("sheet")));
    QCOMPARE(saved.size(), 54 + 5 * 24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            QCOMPARE(savedPixel(saved, x, y), image.pixel(x, y));
}

void TestBitmapFile::refusesImageWithoutPixels_data()
{
    QTest::addColumn<QImage>("image");
    QTest::newRow("null") << QImage();
    QTest::newRow("zero wide") << QImage(0, 5, QImage::Format_RGB32);
    QTest::newRow("zero high") << QImage(5, 0, QImage::Format_RGB32);
}

void TestBitmapFile::refusesImageWithoutPixels()
{
    QFETCH(QImage, image);
    QCOMPARE(
        errorNumber([&] { platform::saveBitmapFile(image, path(QStringLiteral("empty.bmp"))); }),
        err::InvalidPropertyValue);
    QCOMPARE(entries(), QStringList());
}

void TestBitmapFile::saveErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/sheet.bmp") << err::PathNotFound;
    QTest::newRow("folder as target") << QStringLiteral("folder.bmp") << err::PermissionDenied;
}

void TestBitmapFile::saveErrors()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.bmp")));
    QCOMPARE(errorNumber([&] { platform::saveBitmapFile(smallImage(), path(name)); }), error);
    QCOMPARE(entries(), QStringList { QStringLiteral("folder.bmp") });
}

// Root ignores permission bits, so the immutable attribute makes the file truly read-only.
void TestBitmapFile::readOnlyTargetStaysUnchanged()
{
    const QString target = path(QStringLiteral("locked.bmp"));
    const QByteArray original("original bytes that must survive");
    QVERIFY(writeAll(target, original));

    const QString chattr = QStandardPaths::findExecutable(QStringLiteral("chattr"));
    const bool immutable
        = !chattr.isEmpty() && QProcess::execute(chattr, { QStringLiteral("+i"), target }) == 0;
    const auto unlock = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(chattr, { QStringLiteral("-i"), target });
    });
    if (!immutable) {
        if (geteuid() == 0)
            QSKIP("chattr +i is unavailable here, and as root a mode of 0444 does not stop writes");
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    QCOMPARE(errorNumber([&] { platform::saveBitmapFile(smallImage(), target); }),
        err::PermissionDenied);
    QCOMPARE(readAll(target), original);
    QCOMPARE(entries(), QStringList { QStringLiteral("locked.bmp") });
}

// A file size limit makes the write of the temporary fail half-way; the old file must not notice.
void TestBitmapFile::failedWriteLeavesOldFile()
{
    const QString target = path(QStringLiteral("sheet.bmp"));
    const QByteArray original("the previous sheet");
    QVERIFY(writeAll(target, original));
    const QImage image = largeImage();

    rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int error = errorNumber([&] { platform::saveBitmapFile(image, target); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(error, err::PathFileAccessError);
    QCOMPARE(readAll(target), original);
    QCOMPARE(entries(), QStringList { QStringLiteral("sheet.bmp") });
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

    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        QSKIP("no /dev/full to stand for a full disk");
    QCOMPARE(errorNumber([&] { platform::encodeBmp24(largeImage(), full); }), err::DiskFull);
}

QTEST_GUILESS_MAIN(TestBitmapFile)
#include "tst_bitmapfile.moc"
