#include "platform/bitmapfile.h"
#include "platform/bmpdecoder.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Questionable files refused for holding no sprite frame: OS/2 Huffman 1D or RLE24 compression,
// an embedded JPEG or PNG, 64 bits per pixel.
const QStringList RefusedQuestionable = { u"pal1huffmsb.bmp"_s, u"rgb24rle24.bmp"_s,
    u"rgb24jpeg.bmp"_s, u"rgb24png.bmp"_s, u"rgba64.bmp"_s };
// Bad files that still describe a whole picture, so they load: they get wrong only fields the
// reader ignores or cuts to fit (sizes, densities, a palette count larger than its room), or use
// indexes past the palette (black) or a colour channel without bits (0).
const QStringList LoadedBad = { u"badbitssize.bmp"_s, u"baddens1.bmp"_s, u"baddens2.bmp"_s,
    u"badfilesize.bmp"_s, u"badpalettesize.bmp"_s, u"pal8badindex.bmp"_s, u"rgb16-880.bmp"_s };

// Empty when the decoded image shows the reference: the same size, and the same opaque colour at
// every pixel the reference paints fully opaque (frames ignore alpha, and a partly see-through
// reference pixel does not say which colour is stored beneath it).
QString referenceMismatch(const QImage &decoded, const QImage &reference, int tolerance)
{
    if (decoded.size() != reference.size())
        return u"size %1x%2"_s.arg(decoded.width()).arg(decoded.height());
    const QImage ref = reference.convertToFormat(QImage::Format_ARGB32);
    int compared = 0;
    for (int y = 0; y < ref.height(); ++y) {
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb want = ref.pixel(x, y);
            const QRgb got = decoded.pixel(x, y);
            if (qAlpha(want) != 255)
                continue;
            ++compared;
            if (qAlpha(got) != 255 || qAbs(qRed(got) - qRed(want)) > tolerance
                || qAbs(qGreen(got) - qGreen(want)) > tolerance
                || qAbs(qBlue(got) - qBlue(want)) > tolerance)
                return QString::asprintf("pixel (%d,%d) is %08x, reference %08x", x, y, got, want);
        }
    }
    return compared ? QString() : u"reference has no opaque pixel"_s;
}

} // namespace

// Loads every file of the shared bitmap corpus: those that load must match their reference
// renderings, those refused must be refused with error 481.
class TestBmpCorpus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void corpusFile_data();
    void corpusFile();

private:
    QDir m_corpus;
    QJsonObject m_notes;
};

void TestBmpCorpus::initTestCase()
{
    const QString root = qEnvironmentVariable("QUORBEL_CORPUS");
    if (root.isEmpty() || !QDir(root).exists(u"bmpsuite/g"_s))
        QSKIP("QUORBEL_CORPUS does not name the shared bitmap corpus; nothing to compare against");
    m_corpus = QDir(root);
    QFile notes(m_corpus.filePath(u"bmpsuite/html/bmpnotes.json"_s));
    QVERIFY(notes.open(QIODevice::ReadOnly));
    m_notes = QJsonDocument::fromJson(notes.readAll()).object();
    QVERIFY(!m_notes.isEmpty());
}

void TestBmpCorpus::corpusFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    // Every file of the folder, refused or not as the folder goes unless it is an exception.
    auto add = [&](const QString &folder, bool refused, const QStringList &exceptions = {}) {
        const QStringList files
            = QDir(m_corpus.filePath(folder)).entryList({ u"*.bmp"_s }, QDir::Files, QDir::Name);
        QVERIFY2(!files.isEmpty(), qPrintable(folder));
        for (const QString &file : files)
            QTest::newRow(qPrintable(folder + u'/' + file))
                << folder + u'/' + file << (refused != exceptions.contains(file));
    };
    add(u"bmpsuite/g"_s, false);
    add(u"bmpsuite/q"_s, false, RefusedQuestionable);
    add(u"bmpsuite/b"_s, true, LoadedBad);
    // A bitmap array is a container, not a bitmap, and every crafted file claims more pixels than
    // its data or any frame holds.
    add(u"bmpsuite/x"_s, true);
    add(u"crafted"_s, true);
}

void TestBmpCorpus::corpusFile()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QImage decoded;
    try {
        decoded = platform::loadBitmapFile(m_corpus.filePath(name));
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.number(), platform::err::InvalidPicture);
        QVERIFY2(refused, "refused a file that should load");
        return;
    }
    QVERIFY2(!refused, "loaded a file that should be refused");
    QCOMPARE(decoded.format(), platform::PictureFormat);

    const QString key = name.mid(name.indexOf(u'/') + 1); // "g/pal8.bmp"
    QStringList refs;
    for (const QJsonValue &ref : m_notes.value(key).toObject().value(u"refs"_s).toArray())
        refs << ref.toString();
    // Where the references differ in what fills skipped pixels, only the black one applies.
    if (!refs.filter(u"-b."_s).isEmpty())
        refs = refs.filter(u"-b."_s);
    QVERIFY2(!refs.isEmpty() || !key.startsWith(u"g/"), "a good file has no reference");
    // This file's 11-bit values are not the nearest to its 8-bit source (red 1690 of 2047 is
    // 210.53 of 255, drawn as 210), so exact rounding is one off on 128 of its pixels.
    const int tolerance = key == u"q/rgb32-111110.bmp" ? 1 : 0;
    QStringList misses;
    for (const QString &ref : refs) {
        const QImage reference(m_corpus.filePath(u"bmpsuite/html/"_s + ref));
        QVERIFY2(!reference.isNull(), qPrintable(ref));
        const QString miss = referenceMismatch(decoded, reference, tolerance);
        if (miss.isEmpty())
            return;
        misses << ref + u": "_s + miss;
    }
    QVERIFY2(misses.isEmpty(), qPrintable(misses.join(u"; "_s)));
}

QTEST_GUILESS_MAIN(TestBmpCorpus)
#include "tst_bmpcorpus.moc"
