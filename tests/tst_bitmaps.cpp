// Bitmap files as Quorbel reads and writes them: every kind of header, pixel format and run-length
// code decoded pixel for pixel, every broken or cut file refused with error 481, the bitmap corpus
// under tests/data as expected.txt records it, which error each unreadable file is, what a save
// through a link leaves, and readers on several threads at once.

#include "core/bitmapfile.h"
#include "core/bmpdecoder.h"
#include "core/framereader.h"
#include "core/picture.h"
#include "core/runtimeerror.h"
#include "support/bmpkinds.h"
#include "support/frames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/stat.h>

using quorbel::decodeBmp;
using quorbel::RuntimeError;
using namespace bmpkinds;
using namespace Qt::StringLiterals;
using namespace testframes;
namespace err = quorbel::err;

namespace {

const QString Refused = QStringLiteral("refused with error 481");

QImage imageFrom(int width, int height, const std::function<QRgb(int)> &colourAt)
{
    QImage image(width, height, QImage::Format_RGB32); // setPixel makes every pixel opaque
    for (int i = 0; i < width * height; ++i)
        image.setPixel(i % width, i / width, colourAt(i));
    return image;
}

// Palette colours by index, one hex digit a pixel, rows top first and apart by spaces; '-' marks
// a pixel the data skips, which must be black.
QImage indexImage(const char *rows)
{
    const QList<QByteArray> lines = QByteArray(rows).split(' ');
    const int width = int(lines[0].size());
    return imageFrom(width, int(lines.size()), [&](int i) {
        const QByteArray digit = lines[i / width].mid(i % width, 1);
        return digit == "-" ? 0 : paletteColour(digit.toInt(nullptr, 16));
    });
}

// Empty when the file decodes to exactly the expected pixels; otherwise what went wrong.
QString decodeMismatch(const QByteArray &file, const QImage &expected)
{
    try {
        return testframes::imageDifference(decodeBmp(file), expected);
    } catch (const RuntimeError &error) {
        return QStringLiteral("refused with error %1").arg(error.number());
    }
}

constexpr int W = 5; // odd, so every bit depth needs row padding
constexpr int H = 3;

// Raw pixel values and the colours they must decode to.
using Samples = QList<std::pair<quint32, QRgb>>;

// A picture repeating the samples.
void addRow(const char *name, Kind kind, int bits, bool topDown, const Samples &samples,
            quint32 compression = 0, const Masks &masks = {}, int colours = 0)
{
    QList<quint32> raws;
    for (const auto &[raw, colour] : samples)
        raws << raw;
    const int height = topDown ? -H : H;
    const QByteArray file =
        bmp(kind, W, height, bits, packRows(raws, W, height, bits), colours, compression, masks);
    QTest::newRow(name) << file << imageFrom(W, H, [&](int i) {
        return samples[i % samples.size()].second;
    });
}

const Samples Rgb24 = {{0x000000, 0x000000}, {0xFFFFFF, 0xFFFFFF}, {0x123456, 0x123456},
                       {0xFF0000, 0xFF0000}, {0x00FF00, 0x00FF00}, {0x0000FF, 0x0000FF},
                       {0x80C0E0, 0x80C0E0}};
// 5-bit channels: 31 is 255, 16 rounds to 132, 8 to 66, 1 to 8; the top bit is unused.
const Samples Rgb555 = {{0x0000, 0x000000}, {0x7FFF, 0xFFFFFF}, {0x7C00, 0xFF0000},
                        {0x03E0, 0x00FF00}, {0x001F, 0x0000FF}, {0x4101, 0x844208},
                        {0x8000, 0x000000}};
const Masks Masks565 = {0xF800, 0x07E0, 0x001F, 0};
// 6-bit green: 32 of 63 rounds to 130; 5-bit blue 15 of 31 to 123.
const Samples Rgb565 = {{0xFFFF, 0xFFFFFF}, {0xF800, 0xFF0000}, {0x07E0, 0x00FF00},
                        {0x001F, 0x0000FF}, {0x840F, 0x84827B}, {0x0000, 0x000000}};
const Masks Masks7187 = {0xFE000000, 0x01FFFF80, 0x0000007F, 0};

const QDir Data(QString::fromUtf8(QUORBEL_TEST_DATA));

// One read in the words of expected.txt: "WxH SHA256" or "refused N".
QString readOutcome(const QString &path)
{
    try {
        const quorbel::Picture picture = quorbel::loadBitmapFile(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (int y = 0; y < picture.height(); ++y) {
            for (const uchar *bgr = picture.constScanLine(y), *end = bgr + 3 * picture.width();
                 bgr != end; bgr += 3) {
                const char rgb[] = {char(bgr[2]), char(bgr[1]), char(bgr[0])};
                hash.addData(QByteArrayView(rgb, 3));
            }
        }
        const QString hex = QString::fromLatin1(hash.result().toHex());
        return u"%1x%2 %3"_s.arg(picture.width()).arg(picture.height()).arg(hex);
    } catch (const quorbel::RuntimeError &error) {
        return u"refused %1"_s.arg(error.number());
    }
}

} // namespace

class TestBitmaps : public QObject
{
    Q_OBJECT

private slots:
    // Bitmaps built here, of what the corpus under tests/data does not hold already.
    void decodesEveryKind_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QImage>("expected");

        addRow("core 24-bit", Kind::Core, 24, false, Rgb24);
        addRow("v5 24-bit top-down", Kind::V5, 24, true, Rgb24);
        addRow("v5 16-bit uncompressed ignores masks", Kind::V5, 16, false, Rgb555, 0, Masks565);
        // A 1-bit red channel is all or nothing; 10-bit green 512 rounds to 128.
        addRow("info 16-bit 1-10-5 bit fields", Kind::Info, 16, false,
               {{0x8000, 0xFF0000}, {512u << 5, 0x008000}, {0xFFFF, 0xFFFFFF}, {0x1F, 0xFF}},
               BitFields, {0x8000, 0x7FE0, 0x001F, 0});
        // A channel 32 bits wide, and two channels with no bits at all, which read as 0.
        addRow("info 32-bit one 32-bit channel", Kind::Info, 32, false,
               {{0xFFFFFFFF, 0xFF0000}, {0x80000000, 0x800000}, {0x7FFFFFFF, 0x7F0000}, {0, 0}},
               BitFields, {0xFFFFFFFF, 0, 0, 0});
        // More colours claimed than fit before the pixels: the rest of the palette stays black.
        QTest::newRow("palette cut short by the pixels")
            << bmp(Kind::Info, W, H, 8, packRows({0, 1, 5}, W, H, 8), 2).replace(46, 4, le(256))
            << imageFrom(W, H, [](int i) { return i % 3 < 2 ? paletteColour(i % 3) : 0; });
        QTest::newRow("1 x 1") << bmp(Kind::Info, 1, 1, 24, packRows({0x123456}, 1, 1, 24))
                               << imageFrom(1, 1, [](int) { return 0x123456; });
        QTest::newRow("rle8") << rle(6, 4, 8, Rle8) << indexImage("-1234- 7----- 55---6 111234");
        QTest::newRow("rle8 delta upwards") << rle(4, 3, 8, Rle8Up) << indexImage("---- ---2 11--");
        QTest::newRow("rle4") << rle(7, 3, 4, Rle4) << indexImage("9ABCD-- 567--89 1213456");
    }

    void decodesEveryKind()
    {
        QFETCH(QByteArray, file);
        QFETCH(QImage, expected);
        QCOMPARE(decodeMismatch(file, expected), QString());
    }

    void refusesBrokenFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        auto info24 = [](int width, int height, int pixelBytes) {
            return bmp(Kind::Info, width, height, 24, QByteArray(pixelBytes, '\x11'));
        };
        const QByteArray good = info24(W, H, 48);
        QCOMPARE(decodeMismatch(good, imageFrom(W, H, [](int) { return 0x111111; })), QString());
        auto field = [&](int at, int bytes, quint32 value) {
            return QByteArray(good).replace(at, bytes, le(value, bytes));
        };
        auto rle8 = [](const char *hex) { return rle(4, 2, 8, hex); };

        QTest::newRow("width 32768") << info24(32768, 1, 32768 * 3);
        QTest::newRow("rle8 over 2^25 pixels") << rle(8193, 4097, 8, "0001");
        QTest::newRow("bit count 64") << field(28, 2, 64);
        QTest::newRow("header size 66") << field(14, 4, 66);
        QTest::newRow("header size 41") << field(14, 4, 41);
        QTest::newRow("pixel offset beyond file") << field(10, 4, 1000);
        QTest::newRow("pixel offset inside header") << field(10, 4, 20);
        QTest::newRow("compression 7") << field(30, 4, 7);
        QTest::newRow("bit fields at 24 bits") << field(30, 4, BitFields);
        QTest::newRow("bit fields without masks") << bmp(Kind::Info, W, H, 16, {}, 0, BitFields);
        QTest::newRow("rle8 run past the right edge") << rle8("05010001");
        QTest::newRow("rle8 absolute past the right edge") << rle8("00050102030102000001");
        QTest::newRow("rle8 delta past the right edge") << rle8("000205000001");
        QTest::newRow("rle8 delta past the top") << rle8("000200030001");
        QTest::newRow("rle8 run above the top") << rle8("0000 0000 01010001");
        QTest::newRow("rle8 line end past the top") << rle8("0000 0000 0000 0001");
        QTest::newRow("rle8 no end of bitmap") << rle8("04010000");
        QTest::newRow("rle8 absolute cut short") << rle8("00040102");
        QTest::newRow("rle8 delta cut short") << rle8("000201");
        QTest::newRow("rle8 with 4-bit pixels") << rle8("04010001").replace(28, 1, "\x04");
        QTest::newRow("rle4 run past the right edge") << rle(3, 1, 4, "04120001");
        QTest::newRow("rle4 absolute past the right edge") << rle(3, 1, 4, "000412340001");
    }

    void refusesBrokenFiles()
    {
        QFETCH(QByteArray, file);
        QCOMPARE(decodeMismatch(file, {}), Refused);
    }

    // Good files of several kinds, with the bytes of final row padding a cut may lose unnoticed.
    void refusesEveryTruncation_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("optionalTail");
        QTest::newRow("info 4-bit") << bmp(Kind::Info, W, H, 4, packRows({11}, W, H, 4), 12) << 1;
        QTest::newRow("core 24-bit")
            << bmp(Kind::Core, W, H, 24, packRows({0x123456}, W, H, 24)) << 1;
        QTest::newRow("info 16-bit bit fields")
            << bmp(Kind::Info, W, H, 16, packRows({0x840F}, W, H, 16), 0, BitFields, Masks565) << 2;
        QTest::newRow("v5 32-bit bit fields top-down, no padding")
            << bmp(Kind::V5, W, -H, 32, packRows({0xDEADBEEF}, W, -H, 32), 0, BitFields, Masks7187)
            << 0;
        QTest::newRow("rle8") << rle(6, 4, 8, Rle8) << 0;
        QTest::newRow("rle4") << rle(7, 3, 4, Rle4) << 0;
    }

    // Every cut of a good file is refused, except one that only loses final row padding.
    void refusesEveryTruncation()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, optionalTail);
        const quorbel::Picture decoded = decodeBmp(file);
        const QImage whole = QImage(decoded.constBits(), decoded.width(), decoded.height(),
                                    decoded.bytesPerLine(), QImage::Format_BGR888)
                                 .copy();
        for (qsizetype length = 0; length < file.size(); ++length) {
            const QString outcome = decodeMismatch(file.left(length), whole);
            QVERIFY2(outcome == (length < file.size() - optionalTail ? Refused : QString()),
                     qPrintable(QStringLiteral("cut at %1 bytes: %2").arg(length).arg(outcome)));
        }
    }

    // Every bitmap of tests/data, read twice: both reads give what expected.txt holds, which was
    // checked against BMP Suite's reference renderings when it was written. A crash proper (a
    // signal) ends the run, which fails it just the same.
    void everyFileAsExpected()
    {
        QFile list(Data.filePath(u"expected.txt"_s));
        QVERIFY2(list.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(list.fileName()));
        QStringList listed, onDisk, wrong;
        for (const QString &line : QString::fromUtf8(list.readAll()).split(u'\n')) {
            const QString path = line.section(u' ', 0, 0), want = line.section(u' ', 1);
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            listed << path;
            const QString first = readOutcome(Data.filePath(path));
            const QString second = readOutcome(Data.filePath(path));
            if (first != want || second != first)
                wrong << u"%1: expected %2, read %3, then %4"_s.arg(path, want, first, second);
        }
        QDirIterator it(Data.path(), {u"*.bmp"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            onDisk << Data.relativeFilePath(it.next());
        onDisk.sort();
        listed.sort();
        QCOMPARE(onDisk, listed);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void loadErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("missing file") << u"absent.bmp"_s << err::FileNotFound;
        QTest::newRow("missing folder") << u"nowhere/absent.bmp"_s << err::PathNotFound;
        QTest::newRow("text file named .bmp") << u"text.bmp"_s << err::InvalidPicture;
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
        QCOMPARE(imageDifference(QImage(real, "BMP"), frameImage(1, {5, 3})), QString());
        QCOMPARE(QFile::permissions(real) & 0x7077, mode);
        QCOMPARE(entries(dir.path()), (QStringList{u"link.bmp"_s, u"real.bmp"_s}));
    }

    // Frames of many sizes, read by readers of their own on several threads at once, come out as
    // one reader alone reads them.
    void readersWorkOnSeveralThreadsAtOnce()
    {
        QTemporaryDir dir;
        QList<quorbel::Picture> alone;
        for (int i = 0; i < 24; ++i) {
            const QString path = dir.filePath(QString::number(i));
            QVERIFY(writeFile(path, frameFile(i, {1 + i * 7 % 41, 1 + i % 37})));
            alone.append(quorbel::loadBitmapFile(path));
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

QTEST_MAIN(TestBitmaps)
#include "tst_bitmaps.moc"
