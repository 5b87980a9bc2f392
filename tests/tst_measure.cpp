// The figures of the frame set and the grid of the sheet, as the Navigator's "Image Info" shows
// them while the user walks folders and picks row counts.

#include "navigator/frmdynamic.h"
#include "platform/form.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bitmaps.h"
#include "support/folderwalk.h"
#include "support/testapp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace folderwalk;

namespace {

QString canonical(const QTemporaryDir &dir)
{
    return QFileInfo(dir.path()).canonicalFilePath();
}

// Starts with the Navigator in an empty folder that is also the stored one, so no folder
// change runs at start and the test's own walks are the only measurements.
void startIn(TestApp &app, const QString &folder)
{
    app.writeIni(folder.toLocal8Bit() + "\r\n");
    app.start(folder);
}

QStringList designCaptions()
{
    return {QStringLiteral("XSource"), QStringLiteral("YSource"), QStringLiteral("Frames"),
            QStringLiteral("FperR"), QStringLiteral("Final XY")};
}

QStringList figures(const char *x, const char *y, const char *frames, const char *perRow,
                    const char *size)
{
    return {QString::fromLatin1(x), QString::fromLatin1(y), QString::fromLatin1(frames),
            QString::fromLatin1(perRow), QString::fromLatin1(size)};
}

} // namespace

class MeasureTest : public QObject
{
    Q_OBJECT

private slots:
    void eightFramesFillOneRowThenTwo();
    void framesPerRowRounding_data();
    void framesPerRowRounding();
    void unreadableFirstFrameMeasuresZeroSize();
    void fewerThanTwoFiles_data();
    void fewerThanTwoFiles();
    void rowChoiceCarriesOverToNextFolder();
    void appendedRowChoicesKeepTheSelection();
    void rowPickBeforeAnyMeasurement();
    void tooManyFramesOverflowWithoutLosingTheFigures();
};

void MeasureTest::eightFramesFillOneRowThenTwo()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString walk = frameFolder(root, QStringLiteral("walk"), 8, 32, 32);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    QCOMPARE(valueLabels(), designCaptions());
    QVERIFY(!nav.cmdDraw->isEnabled());

    nav.Dir1->setPath(walk);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(valueLabels(), figures("32", "32", "8", "8", "256x32"));
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(rowChoices(), expectedRowChoices({8}));
    QCOMPARE(nav.cboNumOfRows->text(), QStringLiteral("1"));
    // Eight names to be filled by Draw, none filled yet.
    QCOMPARE(nav.FileNames, QStringList(8, QString()));

    // The user moves the rows list one entry down, from "1" to "2".
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down);

    QCOMPARE(nav.cboNumOfRows->text(), QStringLiteral("2"));
    QCOMPARE(valueLabels(), figures("32", "32", "8", "4", "128x64"));
    QCOMPARE(nav.NumOfRows, platform::Int16(2));
    QCOMPARE(nav.FramesPerRow, platform::Int16(4));
    QCOMPARE(nav.FinalX, platform::Int32(128));
    QCOMPARE(nav.FinalY, platform::Int32(64));
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(app.messages, QStringList());
}

void MeasureTest::framesPerRowRounding_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("earlierRun"); // frames of a folder visited first, 0 for none
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("labels");

    // Frames of 12 x 7 pixels, so a sheet size with width and height swapped shows.
    QTest::newRow("8 in design entry 1") << 8 << 0 << QStringLiteral("1")
                                        << figures("12", "7", "8", "8", "96x7");
    QTest::newRow("8 in 2 rows") << 8 << 0 << QStringLiteral("2")
                                 << figures("12", "7", "8", "4", "48x14");
    QTest::newRow("5 in 2 rows: 2.5 rounds to 2") << 5 << 0 << QStringLiteral("2")
                                                  << figures("12", "7", "5", "2", "24x14");
    QTest::newRow("7 in 2 rows: 3.5 rounds to 4") << 7 << 0 << QStringLiteral("2")
                                                  << figures("12", "7", "7", "4", "48x14");
    QTest::newRow("8 in 3 rows: 2.67 rounds to 3") << 8 << 0 << QStringLiteral("3")
                                                   << figures("12", "7", "8", "3", "36x21");
    QTest::newRow("8 in design entry 11: 0.73 rounds to 1")
        << 8 << 0 << QStringLiteral("11") << figures("12", "7", "8", "1", "12x77");
    QTest::newRow("8 in design entry 23: 0.35 rounds to 0")
        << 8 << 0 << QStringLiteral("23") << figures("12", "7", "8", "0", "0x161");
    QTest::newRow("4 in an earlier run's entry 8: 0.5 rounds to 0")
        << 4 << 8 << QStringLiteral(" 8") << figures("12", "7", "4", "0", "0x56");
    QTest::newRow("4 in an earlier run's entry 3: 1.33 rounds to 1")
        << 4 << 6 << QStringLiteral(" 3") << figures("12", "7", "4", "1", "12x21");
}

void MeasureTest::framesPerRowRounding()
{
    QFETCH(int, frames);
    QFETCH(int, earlierRun);
    QFETCH(QString, entry);
    QFETCH(QStringList, labels);

    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString first = frameFolder(root, QStringLiteral("first"), frames, 12, 7);
    const QString second = frameFolder(root, QStringLiteral("second"), frames, 12, 7, 20);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    if (earlierRun > 0)
        nav.Dir1->setPath(frameFolder(root, QStringLiteral("earlier"), earlierRun, 5, 5));

    nav.Dir1->setPath(first);
    nav.cboNumOfRows->setText(entry);
    nav.cboNumOfRows_Click();

    QCOMPARE(nav.cboNumOfRows->text(), entry);
    QCOMPARE(valueLabels(), labels);

    // The picked entry stays, so measuring the next folder of as many frames gives the same.
    nav.Dir1->setPath(second);

    QCOMPARE(nav.cboNumOfRows->text(), entry);
    QCOMPARE(valueLabels(), labels);
    QCOMPARE(app.messages, QStringList());
}

void MeasureTest::unreadableFirstFrameMeasuresZeroSize()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString mixed = makeFolder(root, QStringLiteral("mixed"));
    // The first file in the list is text; the Navigator's work picture has held nothing yet.
    QVERIFY(testbitmaps::writeFile(mixed + QStringLiteral("/a.bmp"), "not a picture\r\n"));
    QVERIFY(writeFrames(mixed, {QStringLiteral("b.bmp"), QStringLiteral("c.bmp")}, 12, 7));
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();

    nav.Dir1->setPath(mixed);

    QCOMPARE(app.messages, QStringList{QStringLiteral("Invalid picture481")});
    QVERIFY(nav.picWork->picture().isNull());
    QCOMPARE(valueLabels(), figures("0", "0", "3", "3", "0x0"));
    QCOMPARE(nav.FinalX, platform::Int32(0));
    QCOMPARE(nav.FinalY, platform::Int32(0));
    QCOMPARE(rowChoices(), expectedRowChoices({3}));
    QVERIFY(nav.cmdDraw->isEnabled());
}

void MeasureTest::fewerThanTwoFiles_data()
{
    QTest::addColumn<QStringList>("frameFiles");
    QTest::addColumn<QStringList>("otherFiles");
    QTest::addColumn<QString>("count");

    QTest::newRow("exactly one matching file")
        << QStringList{QStringLiteral("only.bmp")}
        << QStringList{QStringLiteral("notes.txt"), QStringLiteral("only.bmp.bak")}
        << QStringLiteral("1");
    QTest::newRow("no matching file")
        << QStringList() << QStringList{QStringLiteral("readme.txt")} << QStringLiteral("0");
}

void MeasureTest::fewerThanTwoFiles()
{
    QFETCH(QStringList, frameFiles);
    QFETCH(QStringList, otherFiles);
    QFETCH(QString, count);

    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString eight = frameFolder(root, QStringLiteral("eight"), 8, 32, 32);
    const QString small = makeFolder(root, QStringLiteral("small"));
    QVERIFY(writeFrames(small, frameFiles, 16, 16));
    for (const QString &name : otherFiles)
        QVERIFY(testbitmaps::writeFile(small + u'/' + name, testbitmaps::numberedFrame(9, 4, 4)));
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    nav.Dir1->setPath(eight);
    nav.cmdDraw->click();
    // Draw has filled the frame names, which the small folder must leave alone.
    QCOMPARE(nav.FileNames, numberedNames(8));
    QVERIFY(nav.cmdSave->isEnabled());
    const QStringList rowsBefore = rowChoices();

    nav.Dir1->setPath(small);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(valueLabels(), QStringList({QStringLiteral("0"), QStringLiteral("0"), count,
                                         QStringLiteral("0"), QStringLiteral("0x0")}));
    QCOMPARE(nav.FinalX, platform::Int32(0));
    QCOMPARE(nav.FinalY, platform::Int32(0));
    QVERIFY(!nav.cmdDraw->isEnabled());
    QVERIFY(!nav.cmdSave->isEnabled());
    QCOMPARE(nav.FileNames, numberedNames(8));
    QCOMPARE(rowChoices(), rowsBefore);
}

void MeasureTest::rowChoiceCarriesOverToNextFolder()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString six = frameFolder(root, QStringLiteral("six"), 6, 10, 6);
    const QString ten = frameFolder(root, QStringLiteral("ten"), 10, 10, 6);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();

    nav.Dir1->setPath(six);
    nav.cboNumOfRows->setText(QStringLiteral("3"));
    nav.cboNumOfRows_Click();
    QCOMPARE(valueLabels(), figures("10", "6", "6", "2", "20x18"));

    nav.Dir1->setPath(ten);

    QCOMPARE(nav.cboNumOfRows->text(), QStringLiteral("3"));
    QCOMPARE(valueLabels(), figures("10", "6", "10", "3", "30x18"));
    QCOMPARE(nav.NumOfRows, platform::Int16(3));
    QCOMPARE(nav.FileNames, QStringList(10, QString()));
    QCOMPARE(rowChoices(), expectedRowChoices({6, 10}));
}

void MeasureTest::appendedRowChoicesKeepTheSelection()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString first = frameFolder(root, QStringLiteral("first"), 3, 8, 4);
    const QString second = frameFolder(root, QStringLiteral("second"), 3, 8, 4);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    nav.Dir1->setPath(first);
    QCOMPARE(rowChoices(), expectedRowChoices({3}));

    // The " 2" of the first appended run: index 13, right after the 12 design entries and " 1".
    nav.cboNumOfRows->setText(QStringLiteral(" 2"));
    nav.cboNumOfRows_Click();
    QCOMPARE(nav.cboNumOfRows->currentIndex(), 13);
    QCOMPARE(valueLabels(), figures("8", "4", "3", "2", "16x8"));

    nav.Dir1->setPath(second);

    QCOMPARE(rowChoices(), expectedRowChoices({3, 3}));
    QCOMPARE(nav.cboNumOfRows->currentIndex(), 13);
    QCOMPARE(nav.cboNumOfRows->text(), QStringLiteral(" 2"));
    QCOMPARE(valueLabels(), figures("8", "4", "3", "2", "16x8"));
}

void MeasureTest::rowPickBeforeAnyMeasurement()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    frameFolder(root, QStringLiteral("unvisited"), 4, 8, 8);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    QCOMPARE(valueLabels(), designCaptions());

    // From "1" two entries down to "3", each step a pick.
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down);
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down);

    QCOMPARE(nav.cboNumOfRows->text(), QStringLiteral("3"));
    QCOMPARE(nav.NumOfRows, platform::Int16(3));
    QCOMPARE(valueLabels(), QStringList({QStringLiteral("XSource"), QStringLiteral("YSource"),
                                         QStringLiteral("Frames"), QStringLiteral("0"),
                                         QStringLiteral("0x0")}));
    QVERIFY(!nav.cmdDraw->isEnabled());
    QCOMPARE(app.messages, QStringList());
}

void MeasureTest::tooManyFramesOverflowWithoutLosingTheFigures()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString frames = frameFolder(root, QStringLiteral("frames"), 2, 32, 32);
    const QString other = frameFolder(root, QStringLiteral("other"), 3, 16, 8);
    // One more matching file than a 16-bit count holds; the files need no content, since the
    // count fails before any of them is read.
    const QString huge = makeFolder(frames, QStringLiteral("huge"));
    for (int i = 0; i < 32768; ++i) {
        QFile file(huge + QStringLiteral("/f%1.bmp").arg(i, 5, 10, QLatin1Char('0')));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    QVERIFY(activateFolder(frames));
    const QStringList measured = figures("32", "32", "2", "2", "64x32");
    QCOMPARE(valueLabels(), measured);
    QCOMPARE(app.messages, QStringList());

    QVERIFY(activateFolder(huge));

    QCOMPARE(app.messages, QStringList{QStringLiteral("Overflow6")});
    QCOMPARE(valueLabels(), measured);
    QCOMPARE(rowChoices(), expectedRowChoices({2}));
    QVERIFY(app.running());
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QVERIFY(platform::isFormLoaded<frmPicWork>());
    QVERIFY(platform::isFormLoaded<frmPicFinal>());

    // Walking on works as before: up to the empty top folder, then into a folder of frames.
    QVERIFY(activateFolder(root));
    QCOMPARE(valueLabels(), figures("0", "0", "0", "0", "0x0"));
    QVERIFY(activateFolder(other));
    QCOMPARE(valueLabels(), figures("16", "8", "3", "3", "48x8"));
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(app.messages, QStringList{QStringLiteral("Overflow6")});
}

QTEST_MAIN(MeasureTest)
#include "tst_measure.moc"
