#include "platform/bitmapfile.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>

using platform::RuntimeError;

namespace {

// The questionable files Quorbel refuses, with the reason: kinds no sprite frame is stored in.
const QHash<QString, QString> RefusedQuestionable = {
    { QStringLiteral("pal1huffmsb.bmp"), QStringLiteral("OS/2 Huffman 1D compression") },
    { QStringLiteral("rgb24jpeg.bmp"), QStringLiteral("embedded JPEG") },
    { QStringLiteral("rgb24png.bmp"), QStringLiteral("embedded PNG") },
    { QStringLiteral("rgb24rle24.bmp"), QStringLiteral("OS/2 RLE24 compression") },
    { QStringLiteral("rgba64.bmp"), QStringLiteral("64 bits per pixel") },
};

// The bad files that still describe a whole picture, so they load: the sizes and densities
// they get wrong are fields the reader ignores, a palette count larger than the room before the
// pixels is cut to that room, indexes past the palette are black, and a colour channel without
// bits reads as 0.
const QStringList LoadedBad = {
    QStringLiteral("badbitssize.bmp"),
    QStringLiteral("baddens1.bmp"),
    QStringLiteral("baddens2.bmp"),
    QStringLiteral("badfilesize.bmp"),
    QStringLiteral("badpalettesize.bmp"),
    QStringLiteral("pal8badindex.bmp"),
    QStringLiteral("rgb16-880.bmp"),
};

// How far a channel may stray from the reference. This file stores 11-bit values that are not
// the nearest ones to its 8-bit source picture (red 1690 of 2047 is 210.53 of 255, drawn as 210),
// so a reader that rounds exactly is one off on 128 of its pixels.
int tolerance(const QString &name)
{
    return name == QStringLiteral("q/rgb32-111110.bmp") ? 1 : 0;
}

bool sameColour(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Empty when the decoded image shows the reference: the same size and the same colour at every
// pixel the reference paints fully opaque. Frames ignore alpha, and a reference pixel that is
// partly see-through does not say which colour is stored beneath it.
QString referenceMismatch(const QImage &decoded, const QImage &reference, int tolerance)
{
    if (decoded.size() != reference.size())
        return QStringLiteral("size %1x%2, reference %3x%4")
            .arg(decoded.width())
            .arg(decoded.height())
            .arg(reference.width())
            .arg(reference.height());
    const QImage ref = reference.convertToFormat(QImage::Format_ARGB32);
    int compared = 0;
    for (int y = 0; y < ref.height(); ++y) {
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb want = ref.pixel(x, y);
            if (qAlpha(want) != 255)
                continue;
            ++compared;
            const QRgb got = reinterpret_cast<const QRgb *>(decoded.constScanLine(y))[x];
            if (qAlpha(got) != 255 || !sameColour(got, want, tolerance))
                return QStringLiteral("pixel (%1,%2) is %3, reference %4")
                    .arg(x)
                    .arg(y)
                    .arg(got, 8, 16, QLatin1Char('0'))
                    .arg(want, 8, 16, QLatin1Char('0'));
        }
    }
    return compared > 0 ? QString() : QStringLiteral("reference has no opaque pixel");
}

} // namespace

// Runs the decoder over the shared bitmap corpus: good and questionable files against their
// reference renderings, bad and hostile files for refusals with the right number.
class TestBmpCorpus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void goodFilesMatchReferences_data();
    void goodFilesMatchReferences();
    void questionableFiles_data();
    void questionableFiles();
    void hostileFiles_data();
    void hostileFiles();
    void cleanupTestCase();

private:
    static void addColumns();
    void addRows(const QString &folder, const std::function<bool(const QString &)> &refused);
    // Loads the file; on success it must match one of its references, if it has any.
    void check(const QString &name, bool refused);

    QDir m_corpus;
    QJsonObject m_notes;
    int m_loaded = 0;
    int m_refused = 0;
};

void TestBmpCorpus::initTestCase()
{
    const QString root = qEnvironmentVariable("QUORBEL_CORPUS");
    if (root.isEmpty() || !QDir(root).exists(QStringLiteral("bmpsuite/g")))
        QSKIP("QUORBEL_CORPUS does not name the shared bitmap corpus; nothing to compare against");
    m_corpus = QDir(root);
    QFile notes(m_corpus.filePath(QStringLiteral("bmpsuite/html/bmpnotes.json")));
    QVERIFY(notes.open(QIODevice::ReadOnly));
    m_notes = QJsonDocument::fromJson(notes.readAll()).object();
    QVERIFY(!m_notes.isEmpty());
}

void TestBmpCorpus::addColumns()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
}

void TestBmpCorpus::addRows(
    const QString &folder, const std::function<bool(const QString &)> &refused)
{
    const QStringList files = QDir(m_corpus.filePath(folder))
                                  .entryList({ QStringLiteral("*.bmp") }, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), qPrintable(folder));
    for (const QString &file : files) {
        const QString name = folder + u'/' + file;
        QTest::newRow(qPrintable(name)) << name << refused(file);
    }
}

void TestBmpCorpus::check(const QString &name, bool refused)
{
    const QString path = m_corpus.filePath(name);
    QImage decoded;
    try {
        decoded = platform::loadBitmapFile(path);
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), platform::err::InvalidPicture);
        QVERIFY2(refused, "refused a file that should load");
        ++m_refused;
        return;
    }
    QVERIFY2(!refused, "loaded a file that should be refused");
    ++m_loaded;
    QCOMPARE(decoded.format(), QImage::Format_RGB32);

    const QString key = name.mid(name.indexOf(u'/') + 1); // "g/pal8.bmp"
    QStringList refs;
    for (const QJsonValue &ref :
        m_notes.value(key).toObject().value(QStringLiteral("refs")).toArray())
        refs << ref.toString();
    // Where the references differ in what fills skipped pixels, only the black one applies.
    const QStringList black = refs.filter(QStringLiteral("-b."));
    if (!black.isEmpty())
        refs = black;
    if (refs.isEmpty())
        return;
    QStringList misses;
    for (const QString &ref : refs) {
        const QImage reference(m_corpus.filePath(QStringLiteral("bmpsuite/html/") + ref));
        QVERIFY2(!reference.isNull(), qPrintable(ref));
        const QString miss = referenceMismatch(decoded, reference, tolerance(key));
        if (miss.isEmpty())
            return;
        misses << ref + QStringLiteral(": ") + miss;
    }
    QFAIL(qPrintable(misses.join(QStringLiteral("; "))));
}

void TestBmpCorpus::goodFilesMatchReferences_data()
{
    addColumns();
    addRows(QStringLiteral("bmpsuite/g"), [](const QString &) { return false; });
}

void TestBmpCorpus::goodFilesMatchReferences()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    check(name, refused);
}

void TestBmpCorpus::questionableFiles_data()
{
    addColumns();
    addRows(QStringLiteral("bmpsuite/q"),
        [](const QString &file) { return RefusedQuestionable.contains(file); });
}

void TestBmpCorpus::questionableFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    check(name, refused);
}

void TestBmpCorpus::hostileFiles_data()
{
    addColumns();
    addRows(QStringLiteral("bmpsuite/b"),
        [](const QString &file) { return !LoadedBad.contains(file); });
    // A bitmap array is a container, not a bitmap, and every crafted file claims more pixels
    // than its data or any frame holds.
    addRows(QStringLiteral("bmpsuite/x"), [](const QString &) { return true; });
    addRows(QStringLiteral("crafted"), [](const QString &) { return true; });
}

void TestBmpCorpus::hostileFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    check(name, refused);
}

void TestBmpCorpus::cleanupTestCase()
{
    qInfo("corpus: %d files loaded, %d refused", m_loaded, m_refused);
}

QTEST_GUILESS_MAIN(TestBmpCorpus)
#include "tst_bmpcorpus.moc"
