// quorbel-sheet's options, what it says and the exit status a build script acts on, and the files
// it leaves. That it writes the desktop program's very sheet is checked with Draw and Save.

#include "batch/sheetcommand.h"
#include "support/frames.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace testframes;

class TestSheetCommand : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void jsonRectanglesShowTheirFrames();
    void helpAndTheRealProgram();
};

void TestSheetCommand::runs_data()
{
    // <f> is the folder of frames, walk names unless names says otherwise, 16 x 16 but where
    // sizes say otherwise; <s> the sheet, which holds "the previous sheet" before the run.
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QList<int>>("cells"); // the frame in each cell, -1 black; none: not written

    const QStringList six = walkNames(6), ten = walkNames(10);
    const QList<QSize> one{{16, 16}};
    QList<QSize> fifthNarrow(10, QSize(16, 16));
    fifthNarrow[4] = QSize(12, 16);
    const QString usage = u"\nTry quorbel-sheet --help\n"_s;
    QTest::newRow("--columns 3: rows follow") << walkNames(7) << one << u"<f> --columns 3 -o <s>"_s
        << 0 << u"<s>: 7 frames, 3 rows of 3, 48x48\n"_s << QString()
        << QList<int>{0, 1, 2, 3, 4, 5, 6, -1, -1};
    QTest::newRow("--columns beyond the frames") << walkNames(3) << one
        << u"<f> --columns 9 -o <s>"_s << 0 << u"<s>: 3 frames, 1 rows of 3, 48x16\n"_s << QString()
        << QList<int>{0, 1, 2};
    QTest::newRow("--max-width 70: 3 rows of 4") << ten << one << u"<f> --max-width 70 -o <s>"_s
        << 0 << u"<s>: 10 frames, 3 rows of 4, 64x48\n"_s << QString()
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1};
    QTest::newRow("--max-width 64: exactly 4 a row") << walkNames(8) << one
        << u"<f> --max-width 64 -o <s>"_s << 0 << u"<s>: 8 frames, 2 rows of 4, 64x32\n"_s
        << QString() << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    // As text, digits compare one by one: frame010b, frame1, Frame10, frame2.
    const QStringList numbered{u"frame1.bmp"_s, u"frame2.bmp"_s, u"Frame10.bmp"_s,
                               u"frame010b.bmp"_s};
    QTest::newRow("text order") << numbered << one << u"<f> --rows 1 -o <s>"_s << 0
        << u"<s>: 4 frames, 1 rows of 4, 64x16\n"_s << QString() << QList<int>{3, 0, 2, 1};
    QTest::newRow("natural order, inverted") << numbered << one
        << u"<f> --rows 1 --order natural --invert -o <s>"_s << 0
        << u"<s>: 4 frames, 1 rows of 4, 64x16\n"_s << QString() << QList<int>{3, 2, 1, 0};
    const QString warned = u"warning: 1 frames left out, the grid of 3 rows of 3 has 9 cells: "
                           u"Walk10.bmp\nwarning: 1 frames differ in size from the first, 16x16: "
                           u"WALK05.bmp is 12x16\n"_s;
    QTest::newRow("warnings") << ten << fifthNarrow << u"<f> --rows 3 -o <s>"_s << 0
        << u"<s>: 9 frames, 3 rows of 3, 48x48\n"_s << warned
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("warnings, --strict") << ten << fifthNarrow << u"<f> --rows 3 --strict -o <s>"_s
        << 1 << u"<s>: 9 frames, 3 rows of 3, 48x48\n"_s << warned
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("--check") << six << one << u"<f> --rows 2 --check"_s << 0
        << u"<f>: 6 frames read, 2 rows of 3, 48x32\n"_s << QString() << QList<int>();
    // Errors write nothing.
    QTest::newRow("--check of unreadable frames") << six << QList<QSize>{{16, 16}, {0, 0}, {0, 0}, {16, 16}}
        << u"<f> --rows 2 --check"_s << 2 << QString()
        << u"WALK02.bmp: Invalid picture481\nwalk03.bmp: Invalid picture481\n"_s << QList<int>();
    QTest::newRow("frame that is no bitmap") << six << QList<QSize>{{16, 16}, {16, 16}, {0, 0}, {16, 16}}
        << u"<f> --rows 2 -o <s> --json <s>.json"_s << 2 << QString()
        << u"walk03.bmp: Invalid picture481\n"_s << QList<int>();
    QTest::newRow("folder that does not exist") << six << one << u"<f>/nowhere --rows 2 -o <s>"_s
        << 2 << QString() << u"<f>/nowhere: Path not found76\n"_s << QList<int>();
    QTest::newRow("folder without frames") << QStringList() << one << u"<f> --rows 2 -o <s>"_s
        << 2 << QString() << u"<f>: no .bmp frames\n"_s << QList<int>();
    QTest::newRow("grid of no columns") << six << one << u"<f> --rows 13 -o <s>"_s << 2
        << QString() << u"6 frames in 13 rows round to no frame a row\n"_s << QList<int>();
    QTest::newRow("no grid") << six << one << u"<f> -o <s>"_s << 2 << QString()
        << u"quorbel-sheet: give one of --rows, --columns and --max-width"_s + usage << QList<int>();
    QTest::newRow("rows not a number") << six << one << u"<f> --rows two -o <s>"_s << 2
        << QString() << u"quorbel-sheet: --rows takes a whole number from 1 to 32767"_s + usage
        << QList<int>();
    QTest::newRow("no rows at all") << six << one << u"<f> --rows 0 -o <s>"_s << 2 << QString()
        << u"quorbel-sheet: --rows takes a whole number from 1 to 32767"_s + usage << QList<int>();
}

void TestSheetCommand::runs()
{
    QFETCH(QStringList, names);
    QFETCH(QList<QSize>, sizes);
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QList<int>, cells);
    QTemporaryDir work;
    const QString folder = work.filePath(u"f"_s), sheet = work.filePath(u"s.bmp"_s);
    QVERIFY(writeFrames(folder, names, sizes)); // a size of 0 x 0: no bitmap at all
    for (qsizetype i = 0; i < names.size(); ++i)
        QVERIFY(!sizes.value(i, sizes.last()).isEmpty()
                || writeFile(folder + u'/' + names.at(i), "Not one."));
    QVERIFY(writeFile(sheet, "the previous sheet"));
    const auto fill = [&](QString text) {
        return text.replace(u"<f>"_s, folder).replace(u"<s>"_s, sheet);
    };
    const QStringList before = entries(work.path());

    QString printed, complained;
    QTextStream outStream(&printed), errStream(&complained);
    const int exit = runSheetCommand(u"quorbel-sheet "_s.append(fill(arguments)).split(u' '),
                                     outStream, errStream);
    outStream.flush();
    errStream.flush();

    QCOMPARE(complained, fill(err));
    QCOMPARE(printed, fill(out));
    QCOMPARE(exit, status);
    if (cells.isEmpty()) {
        QCOMPARE(readAll(sheet), "the previous sheet");
        QCOMPARE(entries(work.path()), before);
        return;
    }
    const QImage image = readBmp24(readAll(sheet));
    QVERIFY(!image.isNull());
    for (int cell = 0; cell < cells.size(); ++cell) {
        const QPoint corner(cell * 16 % image.width(), cell * 16 / image.width() * 16);
        const QRgb expected = cells.at(cell) < 0 ? qRgb(0, 0, 0) : frameColour(cells.at(cell), 0, 0);
        QCOMPARE(image.pixel(corner), expected);
    }
}

// Each rectangle of the JSON file, parsed back, covers exactly its frame's pixels on the sheet.
void TestSheetCommand::jsonRectanglesShowTheirFrames()
{
    QTemporaryDir work;
    const QStringList names = walkNames(6);
    QVERIFY(writeFrames(work.filePath(u"f"_s), names, {{16, 16}, {16, 16}, {8, 12}, {16, 16}}));
    const QString sheet = work.filePath(u"s.bmp"_s), json = work.filePath(u"s.json"_s);
    QString ignored;
    QTextStream out(&ignored);
    QCOMPARE(runSheetCommand({u"quorbel-sheet"_s, work.filePath(u"f"_s), u"--rows"_s, u"2"_s,
                              u"-o"_s, sheet, u"--json"_s, json},
                             out, out),
             0);
    const QImage image = readBmp24(readAll(sheet));
    const QJsonObject root = QJsonDocument::fromJson(readAll(json)).object();
    const QJsonObject meta = root.value(u"meta"_s).toObject();
    QCOMPARE(meta.value(u"image"_s).toString(), u"s.bmp"_s);
    QCOMPARE(meta.value(u"size"_s).toObject().toVariantMap(),
             (QVariantMap{{u"w"_s, image.width()}, {u"h"_s, image.height()}}));
    const QJsonObject frames = root.value(u"frames"_s).toObject();
    QCOMPARE(frames.keys().size(), 6);
    for (int i = 0; i < names.size(); ++i) {
        const QJsonObject rect = frames.value(names.at(i)).toObject().value(u"frame"_s).toObject();
        const QRect r(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                      rect.value(u"w"_s).toInt(), rect.value(u"h"_s).toInt());
        QCOMPARE(r.size(), i == 2 ? QSize(8, 12) : QSize(16, 16));
        QCOMPARE(imageDifference(image.copy(r), frameImage(i, r.size())), QString());
    }
}

// The help names every option with an example; the program itself behaves as the function.
void TestSheetCommand::helpAndTheRealProgram()
{
    QTemporaryDir work;
    QVERIFY(writeFrames(work.filePath(u"f"_s), walkNames(4)));
    QProcess process;
    process.start(QStringLiteral(QUORBEL_SHEET_PROGRAM), {u"--help"_s});
    QVERIFY(process.waitForFinished());
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(process.exitCode(), 0);
    for (const QString &option : u"--rows --columns --max-width --invert --order --png --json "
                                 u"--check"_s.split(u' '))
        QVERIFY2(help.contains(option + u' '), qPrintable(option));
    process.start(QStringLiteral(QUORBEL_SHEET_PROGRAM),
                  {work.filePath(u"f"_s), u"--rows"_s, u"2"_s, u"--png"_s, u"-o"_s,
                   work.filePath(u"s.png"_s)});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    QImage png(work.filePath(u"s.png"_s), "png");
    QCOMPARE(imageDifference(png, paintSheet({{{16, 16}, framePixels(0)}, {{16, 16}, framePixels(1)},
                                              {{16, 16}, framePixels(2)}, {{16, 16}, framePixels(3)}},
                                             {16, 16}, 2, 2)),
             QString());
}

QTEST_MAIN(TestSheetCommand)
#include "tst_sheetcommand.moc"
