#include "core/bitmapfile.h"
#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>
#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

namespace {

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

// Every bitmap of tests/data, read twice: both reads give what expected.txt holds, which was
// checked against BMP Suite's reference renderings when it was written. A crash proper (a signal)
// ends the run, which fails it just the same.
class TestBmpCorpus : public QObject
{
    Q_OBJECT

private slots:
    void everyFileAsExpected()
    {
        QFile file(Data.filePath(u"expected.txt"_s));
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
        QMap<QString, QString> expected; // path under tests/data -> outcome
        for (const QString &line :
             QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith(u'#'))
                expected.insert(line.section(u' ', 0, 0), line.section(u' ', 1));
        }
        QStringList onDisk;
        QDirIterator it(Data.path(), {u"*.bmp"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            onDisk << Data.relativeFilePath(it.next());
        QStringList wrong;
        for (const QString &path : onDisk + expected.keys()) {
            if (!onDisk.contains(path) || !expected.contains(path))
                wrong << path + u": in only one of tests/data and expected.txt"_s;
        }
        QMap<QString, std::array<int, 2>> figures; // folder -> files loaded, files refused
        for (auto [path, want] : expected.asKeyValueRange()) {
            const QString first = readOutcome(Data.filePath(path));
            const QString second = readOutcome(Data.filePath(path));
            if (first != want || second != first)
                wrong << u"%1: expected %2, read %3, then %4"_s.arg(path, want, first, second);
            ++figures[path.section(u'/', 0, -2)][first.startsWith(u"refused ")];
        }
        for (auto [folder, count] : figures.asKeyValueRange())
            qInfo("%s: %d files, %d loaded, %d refused", qPrintable(folder), count[0] + count[1],
                  count[0], count[1]);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestBmpCorpus)
#include "tst_bmpcorpus.moc"
