// quorbel-sheet: the desktop program's sheet without the windows, its options, its messages and
// exit statuses, and the files it leaves.

#include "batch/sheetcommand.h"
#include "support/bitmaps.h"
#include "support/framefolders.h"
#include "support/navigatorsteps.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// Runs the command in this process, as its main() would.
Run sheet(const QStringList &arguments)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = runSheetCommand(QStringList{u"quorbel-sheet"_s} + arguments, out, err);
    out.flush();
    err.flush();
    return run;
}

// Frames whose pixels tell their number, named by names, all 16 x 16 unless sizes says else.
bool writeFolder(const QString &folder, const QStringList &names, const QList<QSize> &sizes = {})
{
    QDir().mkpath(folder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QSize size = sizes.value(i, QSize(16, 16));
        if (!testbitmaps::writeFile(QDir(folder).filePath(names.at(i)),
                                    testbitmaps::numberedFrame(int(i), size.width(), size.height())))
            return false;
    }
    return true;
}

// The frame a cell of the sheet shows, told by its top-left pixel's red channel.
int frameAt(const QImage &sheet, int x, int y)
{
    return (qRed(sheet.pixel(x, y)) - 15) / 16;
}

} // namespace

class TestSheetCommand : public QObject
{
    Q_OBJECT

private slots:
    void sameSheetAsTheDesktopProgram_data();
    void sameSheetAsTheDesktopProgram();
    void gridOptions_data();
    void gridOptions();
    void naturalOrder();
    void jsonRectanglesShowTheirFrames();
    void pngReadsBackAsTheBitmap();
    void warningsAndStrict();
    void errorsWriteNothing_data();
    void errorsWriteNothing();
    void checkReadsEveryFrameAndWritesNothing();
    void helpAndTheRealExecutable();
};

void TestSheetCommand::sameSheetAsTheDesktopProgram_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<bool>("mixedSizes");
    QTest::newRow("8 frames, 2 rows") << 8 << u"2"_s << false << false;
    QTest::newRow("8 frames, 2 rows, inverted") << 8 << u"2"_s << true << false;
    QTest::newRow("7 frames, 2 rows: a black cell") << 7 << u"2"_s << false << false;
    QTest::newRow("10 frames, 3 rows: one left out") << 10 << u"3"_s << false << false;
    QTest::newRow("5 frames, 2 rows: half to even") << 5 << u"2"_s << true << false;
    QTest::newRow("frames of other sizes") << 6 << u"2"_s << false << true;
}

// Both paths on the same folder write the same bytes.
void TestSheetCommand::sameSheetAsTheDesktopProgram()
{
    QFETCH(int, frames);
    QFETCH(QString, rows);
    QFETCH(bool, invert);
    QFETCH(bool, mixedSizes);
    QTemporaryDir work;
    const QString folder = work.filePath(u"frames"_s);
    const QStringList names = steps::walkNames(frames); // case differs from name to name
    QList<QSize> sizes;
    if (mixedSizes)
        sizes = {{16, 16}, {24, 12}, {8, 8}, {16, 16}, {20, 20}, {16, 16}};
    QVERIFY(writeFolder(folder, names, sizes));

    TestApp app;
    QVERIFY(steps::drawSheet(app, work.path(), folder, rows, invert));
    const QString desktop = work.filePath(u"desktop.bmp"_s);
    steps::saveSheet(app, desktop);
    QCOMPARE(app.messages, QStringList());

    const QString batch = work.filePath(u"batch.bmp"_s);
    QStringList arguments{folder, u"--rows"_s, rows, u"-o"_s, batch};
    if (invert)
        arguments << u"--invert"_s;
    const Run run = sheet(arguments);
    QCOMPARE(run.status, 0);
    QVERIFY(!steps::readAll(batch).isEmpty());
    QCOMPARE(steps::readAll(batch), steps::readAll(desktop));
}

void TestSheetCommand::gridOptions_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<QSize>("sheetSize");
    QTest::newRow("--columns 3, 7 frames: 3 rows") << 7 << QStringList{u"--columns"_s, u"3"_s}
                                                   << QSize(48, 48);
    QTest::newRow("--columns more than frames") << 3 << QStringList{u"--columns"_s, u"9"_s}
                                                << QSize(48, 16);
    QTest::newRow("--max-width 70, 10 frames: 3 rows of 4") << 10
        << QStringList{u"--max-width"_s, u"70"_s} << QSize(64, 48);
    QTest::newRow("--max-width 64, 8 frames: 2 rows of 4") << 8
        << QStringList{u"--max-width"_s, u"64"_s} << QSize(64, 32);
    QTest::newRow("--max-width wide enough for one row") << 5
        << QStringList{u"--max-width"_s, u"4096"_s} << QSize(80, 16);
}

// Columns and a width limit lay out every frame, in order, in the fewest rows that fit.
void TestSheetCommand::gridOptions()
{
    QFETCH(int, frames);
    QFETCH(QStringList, grid);
    QFETCH(QSize, sheetSize);
    QTemporaryDir work;
    QVERIFY(writeFolder(work.filePath(u"f"_s), steps::walkNames(frames)));
    const QString out = work.filePath(u"s.bmp"_s);
    const Run run = sheet(QStringList{work.filePath(u"f"_s), u"-o"_s, out} + grid);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    const QImage image = testbitmaps::readBmp24(steps::readAll(out));
    QCOMPARE(image.size(), sheetSize);
    const int perRow = sheetSize.width() / 16;
    for (int frame = 0; frame < frames; ++frame)
        QCOMPARE(frameAt(image, frame % perRow * 16, frame / perRow * 16), frame);
}

void TestSheetCommand::naturalOrder()
{
    QTemporaryDir work;
    const QStringList names{u"frame1.bmp"_s, u"frame2.bmp"_s, u"Frame10.bmp"_s, u"frame010b.bmp"_s};
    QVERIFY(writeFolder(work.filePath(u"f"_s), names));
    const QString out = work.filePath(u"s.bmp"_s);
    auto order = [&](const QStringList &more) {
        const Run run = sheet(QStringList{work.filePath(u"f"_s), u"--rows"_s, u"1"_s, u"-o"_s, out}
                              + more);
        const QImage image = testbitmaps::readBmp24(steps::readAll(out));
        QList<int> frames;
        for (int cell = 0; run.status == 0 && cell < 4; ++cell)
            frames.append(frameAt(image, cell * 16, 0));
        return frames;
    };
    // As text, digits compare one by one: frame010b, frame1, Frame10, frame2.
    QCOMPARE(order({}), (QList<int>{3, 0, 2, 1}));
    QCOMPARE(order({u"--order"_s, u"natural"_s}), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(order({u"--order"_s, u"natural"_s, u"--invert"_s}), (QList<int>{3, 2, 1, 0}));
}

// Each rectangle of the JSON file, parsed back, covers exactly its frame's pixels on the sheet.
void TestSheetCommand::jsonRectanglesShowTheirFrames()
{
    QTemporaryDir work;
    const QStringList names = steps::walkNames(6);
    QVERIFY(writeFolder(work.filePath(u"f"_s), names, {{16, 16}, {16, 16}, {8, 12}}));
    const QString out = work.filePath(u"s.bmp"_s);
    const QString json = work.filePath(u"s.json"_s);
    QCOMPARE(sheet({work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"-o"_s, out, u"--json"_s, json})
                 .status,
             0);
    const QImage image = testbitmaps::readBmp24(steps::readAll(out));
    const QJsonObject root = QJsonDocument::fromJson(steps::readAll(json)).object();
    const QJsonObject meta = root.value(u"meta"_s).toObject();
    QCOMPARE(meta.value(u"image"_s).toString(), u"s.bmp"_s);
    QCOMPARE(meta.value(u"size"_s).toObject().value(u"w"_s).toInt(), image.width());
    QCOMPARE(meta.value(u"size"_s).toObject().value(u"h"_s).toInt(), image.height());
    const QJsonObject frames = root.value(u"frames"_s).toObject();
    QCOMPARE(frames.keys().size(), 6);
    for (int i = 0; i < names.size(); ++i) {
        const QJsonObject entry = frames.value(names.at(i)).toObject();
        const QJsonObject rect = entry.value(u"frame"_s).toObject();
        const QRect r(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                      rect.value(u"w"_s).toInt(), rect.value(u"h"_s).toInt());
        QCOMPARE(r.size(), i == 2 ? QSize(8, 12) : QSize(16, 16));
        QCOMPARE(entry.value(u"rotated"_s).toBool(), false);
        for (int y = 0; y < r.height(); ++y) {
            for (int x = 0; x < r.width(); ++x)
                QCOMPARE(image.pixel(r.x() + x, r.y() + y), testbitmaps::frameColour(i, x, y));
        }
    }
}

void TestSheetCommand::pngReadsBackAsTheBitmap()
{
    QTemporaryDir work;
    QVERIFY(writeFolder(work.filePath(u"f"_s), steps::walkNames(6)));
    const QString bmp = work.filePath(u"s.bmp"_s);
    const QString png = work.filePath(u"s.png"_s);
    QCOMPARE(sheet({work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"-o"_s, bmp}).status, 0);
    QCOMPARE(sheet({work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"--png"_s, u"-o"_s, png}).status,
             0);
    QImageReader reader(png);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage fromPng = reader.read().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(fromPng, testbitmaps::readBmp24(steps::readAll(bmp)).convertToFormat(QImage::Format_RGB32));
}

// Frames left out and frames of another size are named; only --strict fails on them.
void TestSheetCommand::warningsAndStrict()
{
    QTemporaryDir work;
    const QStringList names = steps::walkNames(10);
    QList<QSize> sizes(10, QSize(16, 16));
    sizes[4] = QSize(12, 16);
    QVERIFY(writeFolder(work.filePath(u"f"_s), names, sizes));
    const QString out = work.filePath(u"s.bmp"_s);
    const QStringList arguments{work.filePath(u"f"_s), u"--rows"_s, u"3"_s, u"-o"_s, out};
    const QString expected =
        u"warning: 1 frames left out, the grid of 3 rows of 3 has 9 cells: Walk10.bmp\n"
        "warning: 1 frames differ in size from the first, 16x16: WALK05.bmp is 12x16\n"_s;

    const Run plain = sheet(arguments);
    QCOMPARE(plain.err, expected);
    QCOMPARE(plain.out, u"%1: 9 frames, 3 rows of 3, 48x48\n"_s.arg(out));
    QCOMPARE(plain.status, 0);
    const Run strict = sheet(arguments + QStringList{u"--strict"_s});
    QCOMPARE(strict.err, expected);
    QCOMPARE(strict.status, 1);
    QVERIFY(QFile::exists(out));
}

void TestSheetCommand::errorsWriteNothing_data()
{
    QTest::addColumn<QString>("case_");
    QTest::addColumn<QString>("message"); // %1: the work folder
    QTest::newRow("frame that is no bitmap") << u"garbled"_s << u"walk03.bmp: Invalid picture481\n"_s;
    QTest::newRow("frame cut short") << u"cut"_s << u"walk03.bmp: Invalid picture481\n"_s;
    QTest::newRow("folder that does not exist") << u"no folder"_s
                                                << u"%1/nowhere: Path not found76\n"_s;
    QTest::newRow("folder without frames") << u"empty"_s << u"%1/empty: no .bmp frames\n"_s;
    QTest::newRow("output folder missing") << u"no output folder"_s
                                           << u"%1/gone/s.bmp: Path not found76\n"_s;
    QTest::newRow("output folder refuses new files") << u"refusing output folder"_s
                                                     << u"%2/s.bmp: Path/File access error75\n"_s;
    QTest::newRow("grid of no columns") << u"too many rows"_s
                                        << u"6 frames in 13 rows round to no frame a row\n"_s;
    QTest::newRow("no grid given") << u"no grid"_s
        << u"quorbel-sheet: give one of --rows, --columns and --max-width\nTry quorbel-sheet --help\n"_s;
    QTest::newRow("rows not a number") << u"bad rows"_s
        << u"quorbel-sheet: --rows takes a whole number from 1 to 32767\nTry quorbel-sheet --help\n"_s;
}

// An error says what failed, returns 2 and leaves every file as it was: no sheet half written,
// no temporary file left behind.
void TestSheetCommand::errorsWriteNothing()
{
    QFETCH(QString, case_);
    QFETCH(QString, message);
    QTemporaryDir work;
    const QString frames = work.filePath(u"f"_s);
    QVERIFY(writeFolder(frames, steps::walkNames(6)));
    QVERIFY(QDir(work.path()).mkdir(u"empty"_s));
    const QString out = work.filePath(u"s.bmp"_s);
    QVERIFY(testbitmaps::writeFile(out, "the previous sheet"));
    const QString broken = QDir(frames).filePath(u"walk03.bmp"_s);
    if (case_ == u"garbled"_s)
        QVERIFY(testbitmaps::writeFile(broken, "This is not a picture."));
    if (case_ == u"cut"_s)
        QVERIFY(testbitmaps::writeFile(broken, testbitmaps::numberedFrame(2, 16, 16).left(300)));
    QString folder = frames;
    if (case_ == u"no folder"_s)
        folder = work.filePath(u"nowhere"_s);
    if (case_ == u"empty"_s)
        folder = work.filePath(u"empty"_s);
    QStringList grid{u"--rows"_s, case_ == u"bad rows"_s ? u"two"_s : u"2"_s};
    if (case_ == u"too many rows"_s)
        grid = {u"--rows"_s, u"13"_s};
    if (case_ == u"no grid"_s)
        grid.clear();
    const QString refusing = testfolders::folderRefusingNewFiles();
    if (case_ == u"refusing output folder"_s && refusing.isEmpty())
        QSKIP("no folder here refuses new files");
    QString target = case_ == u"no output folder"_s ? work.filePath(u"gone/s.bmp"_s) : out;
    if (case_ == u"refusing output folder"_s)
        target = QDir(refusing).filePath(u"s.bmp"_s);
    const QStringList before = steps::entries(work.path());

    const Run run = sheet(QStringList{folder, u"-o"_s, target, u"--json"_s, work.filePath(u"s.json"_s)} + grid);

    QCOMPARE(run.err, QString(message).replace(u"%1"_s, work.path()).replace(u"%2"_s, refusing));
    QCOMPARE(run.out, QString());
    QCOMPARE(run.status, 2);
    QCOMPARE(steps::readAll(out), QByteArray("the previous sheet"));
    QCOMPARE(steps::entries(work.path()), before);
}

void TestSheetCommand::checkReadsEveryFrameAndWritesNothing()
{
    QTemporaryDir work;
    const QString frames = work.filePath(u"f"_s);
    QVERIFY(writeFolder(frames, steps::walkNames(6)));
    const QStringList arguments{frames, u"--rows"_s, u"2"_s, u"--check"_s};
    const Run good = sheet(arguments);
    QCOMPARE(good.status, 0);
    QCOMPARE(good.out, u"%1: 6 frames read, 2 rows of 3, 48x32\n"_s.arg(frames));
    QVERIFY(testbitmaps::writeFile(QDir(frames).filePath(u"WALK02.bmp"_s), "not a picture"));
    QVERIFY(testbitmaps::writeFile(QDir(frames).filePath(u"WALK05.bmp"_s), QByteArray()));
    const Run bad = sheet(arguments);
    QCOMPARE(bad.err, u"WALK02.bmp: Invalid picture481\nWALK05.bmp: Invalid picture481\n"_s);
    QCOMPARE(bad.status, 2);
    QCOMPARE(steps::entries(work.path()), QStringList{u"f"_s});
}

// The help names every option with an example; the installed program behaves as the function.
void TestSheetCommand::helpAndTheRealExecutable()
{
    const Run help = sheet({u"--help"_s});
    QCOMPARE(help.status, 0);
    for (const QString &option : {u"--rows"_s, u"--columns"_s, u"--max-width"_s, u"--output"_s,
                                  u"--invert"_s, u"--order"_s, u"--png"_s, u"--json"_s,
                                  u"--check"_s, u"--strict"_s}) {
        QVERIFY2(help.out.contains(option + u' '), qPrintable(option));
        if (option != u"--output"_s && option != u"--strict"_s && option != u"--rows"_s)
            QVERIFY2(help.out.contains(u"quorbel-sheet walk"_s) || help.out.contains(u"quorbel-sheet run"_s),
                     qPrintable(option));
    }

    QTemporaryDir work;
    QVERIFY(writeFolder(work.filePath(u"f"_s), steps::walkNames(4)));
    const QString program = QStringLiteral(QUORBEL_SHEET_PROGRAM);
    QProcess process;
    process.start(program, {work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"-o"_s, work.filePath(u"s.bmp"_s)});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
             u"%1: 4 frames, 2 rows of 2, 32x32\n"_s.arg(work.filePath(u"s.bmp"_s)));
    process.start(program, {work.filePath(u"nowhere"_s), u"--rows"_s, u"2"_s, u"--check"_s});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
             work.filePath(u"nowhere"_s) + u": Path not found76\n"_s);
}

QTEST_MAIN(TestSheetCommand)
#include "tst_sheetcommand.moc"
