#include "platform/bitmapfile.h"
#include "platform/bmpdecoder.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int InvalidPicture = platform::err::InvalidPicture;
using Refusals = QMap<QString, int>; // file name -> error number

// What reading every file of a folder twice gave.
struct FolderOutcome {
    int files = 0;
    QStringList loaded;
    Refusals refused;
    QStringList unstable; // a second read gave other pixels or another outcome
    QStringList crashed; // anything but an image or a numbered error
};

// One read: the image, or the error number in refusal.
struct Read {
    QImage image;
    int refusal = 0;
    bool crashed = false;
};

Read readOnce(const QString &path)
{
    Read read;
    try {
        read.image = platform::loadBitmapFile(path);
    } catch (const platform::RuntimeError &error) {
        read.refusal = error.number();
    } catch (...) {
        read.crashed = true;
    }
    return read;
}

// A crash proper (a signal) would end this test run, which fails it just the same.
FolderOutcome readFolder(const QDir &folder)
{
    FolderOutcome outcome;
    for (const QString &name : folder.entryList({ u"*.bmp"_s }, QDir::Files, QDir::Name)) {
        ++outcome.files;
        const Read first = readOnce(folder.filePath(name));
        const Read second = readOnce(folder.filePath(name));
        if (first.crashed || second.crashed) {
            outcome.crashed << name;
            continue;
        }
        if (first.refusal != second.refusal || first.image != second.image)
            outcome.unstable << name;
        if (first.refusal)
            outcome.refused.insert(name, first.refusal);
        else
            outcome.loaded << name;
    }
    return outcome;
}

Refusals refusedWith(int number, const QStringList &names)
{
    Refusals refused;
    for (const QString &name : names)
        refused.insert(name, number);
    return refused;
}

// Questionable files refused for holding no sprite frame: OS/2 Huffman 1D or RLE24 compression,
// an embedded JPEG or PNG, 64 bits per pixel.
const QStringList RefusedQuestionable = { u"pal1huffmsb.bmp"_s, u"rgb24jpeg.bmp"_s,
    u"rgb24png.bmp"_s, u"rgb24rle24.bmp"_s, u"rgba64.bmp"_s };
// Bad files that still describe a whole picture, so they load: they get wrong only fields the
// reader ignores or cuts to fit (sizes, densities, a palette count larger than its room), or use
// indexes past the palette (black) or a colour channel without bits (0).
const QStringList LoadedBad = { u"badbitssize.bmp"_s, u"baddens1.bmp"_s, u"baddens2.bmp"_s,
    u"badfilesize.bmp"_s, u"badpalettesize.bmp"_s, u"pal8badindex.bmp"_s, u"rgb16-880.bmp"_s };
// Bad files refused: impossible header fields, run-length data that leaves the picture or stops
// short, a picture far beyond any frame, pixel data cut short.
const QStringList RefusedBad = { u"badbitcount.bmp"_s, u"badheadersize.bmp"_s, u"badplanes.bmp"_s,
    u"badrle.bmp"_s, u"badrle4.bmp"_s, u"badrle4bis.bmp"_s, u"badrle4ter.bmp"_s, u"badrlebis.bmp"_s,
    u"badrleter.bmp"_s, u"badwidth.bmp"_s, u"reallybig.bmp"_s, u"rletopdown.bmp"_s,
    u"shortfile.bmp"_s };

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

// The shared bitmap corpus: which files load and which are refused with which number, read twice
// each, and every file that loads compared with its reference rendering.
class TestBmpCorpus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void figures_data();
    void figures();
    void matchesReference_data();
    void matchesReference();

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

void TestBmpCorpus::figures_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("files");
    QTest::addColumn<QStringList>("loadedExceptions"); // loaded: every file but these
    QTest::addColumn<Refusals>("refused");

    QTest::newRow("bmpsuite/g") << u"bmpsuite/g"_s << 27 << QStringList() << Refusals();
    QTest::newRow("bmpsuite/q") << u"bmpsuite/q"_s << 41 << RefusedQuestionable
                                << refusedWith(InvalidPicture, RefusedQuestionable);
    QTest::newRow("bmpsuite/b") << u"bmpsuite/b"_s << 20 << RefusedBad
                                << refusedWith(InvalidPicture, RefusedBad);
    // A bitmap array is a container, not a bitmap, and every crafted file claims more pixels than
    // its data or any frame holds.
    QTest::newRow("bmpsuite/x") << u"bmpsuite/x"_s << 1 << QStringList { u"ba-bm.bmp"_s }
                                << refusedWith(InvalidPicture, { u"ba-bm.bmp"_s });
    const QStringList crafted
        = QDir(m_corpus.filePath(u"crafted"_s)).entryList({ u"*.bmp"_s }, QDir::Files);
    QTest::newRow("crafted") << u"crafted"_s << 12 << crafted
                             << refusedWith(InvalidPicture, crafted);
}

void TestBmpCorpus::figures()
{
    QFETCH(QString, folder);
    QFETCH(int, files);
    QFETCH(QStringList, loadedExceptions);
    QFETCH(Refusals, refused);
    const QDir dir(m_corpus.filePath(folder));
    QStringList loaded = dir.entryList({ u"*.bmp"_s }, QDir::Files, QDir::Name);
    for (const QString &name : loadedExceptions)
        loaded.removeOne(name);

    const FolderOutcome outcome = readFolder(dir);

    QStringList refusals;
    for (auto it = outcome.refused.cbegin(); it != outcome.refused.cend(); ++it)
        refusals << it.key() + u' ' + QString::number(it.value());
    qInfo("%s: %d files, %d loaded, %d refused, %d crashed, %d read differently twice",
        qPrintable(folder), outcome.files, int(outcome.loaded.size()), int(outcome.refused.size()),
        int(outcome.crashed.size()), int(outcome.unstable.size()));
    qInfo("  loaded: %s", qPrintable(outcome.loaded.join(u", "_s)));
    qInfo("  refused: %s", qPrintable(refusals.join(u", "_s)));
    QCOMPARE(outcome.files, files);
    QCOMPARE(outcome.crashed, QStringList());
    QCOMPARE(outcome.unstable, QStringList());
    QCOMPARE(outcome.loaded, loaded);
    QCOMPARE(outcome.refused, refused);
}

void TestBmpCorpus::matchesReference_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &folder : { u"bmpsuite/g"_s, u"bmpsuite/q"_s }) {
        for (const QString &file :
            QDir(m_corpus.filePath(folder)).entryList({ u"*.bmp"_s }, QDir::Files, QDir::Name)) {
            if (!RefusedQuestionable.contains(file))
                QTest::newRow(qPrintable(folder + u'/' + file)) << folder + u'/' + file;
        }
    }
}

// Every good file pixel-exact; questionable files that load, wherever a reference exists.
void TestBmpCorpus::matchesReference()
{
    QFETCH(QString, name);
    const QImage decoded = platform::loadBitmapFile(m_corpus.filePath(name));
    QCOMPARE(decoded.format(), platform::PictureFormat);

    const QString key = name.mid(name.indexOf(u'/') + 1); // "g/pal8.bmp"
    QStringList refs;
    for (const QJsonValue &ref : m_notes.value(key).toObject().value(u"refs"_s).toArray())
        refs << ref.toString();
    // Where the references differ in what fills skipped pixels, only the black one applies.
    if (!refs.filter(u"-b."_s).isEmpty())
        refs = refs.filter(u"-b."_s);
    if (refs.isEmpty() && key.startsWith(u"q/"))
        QSKIP("bmpsuite gives no reference rendering for this file");
    QVERIFY2(!refs.isEmpty(), "a good file has no reference");
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
    QFAIL(qPrintable(misses.join(u"; "_s)));
}

QTEST_GUILESS_MAIN(TestBmpCorpus)
#include "tst_bmpcorpus.moc"
