// Frames and sheets beyond memory, met through real allocations: the Navigator runs in a child
// process (support/memorycapped.cpp) whose memory is capped.

#include "support/frames.h"
#include "support/bmpkinds.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the child showed: its messages, then whether Save is enabled.
QStringList drawCapped(int headroomMiB, const QString &folder, const QString &rows)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Under AddressSanitizer the same cap holds for each allocation instead (ignored otherwise).
    const QString asan = environment.value(u"ASAN_OPTIONS"_s);
    environment.insert(u"ASAN_OPTIONS"_s,
        asan + u":allocator_may_return_null=1:max_allocation_size_mb="_s
            + QString::number(headroomMiB));
    child.setProcessEnvironment(environment);
    child.start(
        QStringLiteral(QUORBEL_MEMORYCAPPED), { QString::number(headroomMiB), folder, rows });
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0)
        return { u"child failed: "_s + QString::fromLocal8Bit(child.readAllStandardError()) };
    return QString::fromLocal8Bit(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestMemory : public QObject {
    Q_OBJECT

private slots:
    void hugeFrameRefusedWithoutAllocating_data();
    void hugeFrameRefusedWithoutAllocating();
    void sheetBeyondMemory_data();
    void sheetBeyondMemory();
};

void TestMemory::hugeFrameRefusedWithoutAllocating_data()
{
    QTest::addColumn<QString>("crafted");
    const QDir folder(QString::fromUtf8(QUORBEL_TEST_DATA "/crafted"));
    const QStringList files = folder.entryList({ u"*.bmp"_s }, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), qPrintable(folder.path()));
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << folder.filePath(file);
}

// Each crafted file claims a picture far beyond a frame and holds a few KiB. With 64 MiB to
// spare, any attempt to allocate the claimed picture would fail as "Out of memory7"; the reader
// must refuse it as an invalid picture first, when the folder shows it as the first frame, and
// again when Draw reaches it.
void TestMemory::hugeFrameRefusedWithoutAllocating()
{
    QFETCH(QString, crafted);
    QTemporaryDir folder;
    QVERIFY(QFile::copy(crafted, folder.filePath(u"a.bmp"_s)));
    QVERIFY(testframes::writeFile(folder.filePath(u"b.bmp"_s), testframes::frameFile(1, {16, 16})));

    QCOMPARE(drawCapped(64, folder.path(), u"1"_s),
        (QStringList {
            u"Invalid picture481"_s, u"Unable to Draw, check yer files."_s, u"Save disabled"_s }));
}

void TestMemory::sheetBeyondMemory_data()
{
    QTest::addColumn<int>("headroomMiB");
    QTest::addColumn<QStringList>("shown");
    // 30 frames of 1000 x 2000 pixels in one row: a sheet of 30000 x 2000 pixels, 172 MiB, while
    // a frame takes under 6 MiB.
    QTest::newRow("no room for the sheet")
        << 128 << QStringList { u"Not Enough Ram to Create Final"_s, u"Save disabled"_s };
    QTest::newRow("room for the sheet") << 1024 << QStringList { u"Save enabled"_s };
}

void TestMemory::sheetBeyondMemory()
{
    QFETCH(int, headroomMiB);
    QFETCH(QStringList, shown);
    QTemporaryDir folder;
    // Run-length frames that are all black: a few bytes each on disk.
    const QByteArray frame = bmpkinds::rle(1000, 2000, 8, "0001");
    for (int i = 0; i < 30; ++i)
        QVERIFY(testframes::writeFile(folder.filePath(u"f%1.bmp"_s.arg(i, 2, 10, QLatin1Char('0'))), frame));

    QCOMPARE(drawCapped(headroomMiB, folder.path(), u"1"_s), shown);
}

QTEST_GUILESS_MAIN(TestMemory)
#include "tst_memory.moc"
