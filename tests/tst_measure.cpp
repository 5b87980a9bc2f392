// The figures of the frame set and the grid of the sheet, as the Navigator's "Image Info" shows
// them while the user walks folders and picks row counts.

#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"

#include <QFile>
#include <QTest>

using namespace folderwalk;
using namespace Qt::StringLiterals;

class MeasureTest : public QObject
{
    Q_OBJECT

private slots:
    void eightFramesInOneRowThenTwoThenTheNextFolder();
    void framesPerRowRounding_data();
    void framesPerRowRounding();
    void tooManyFramesOverflowWithoutLosingTheFigures();
};

void MeasureTest::eightFramesInOneRowThenTwoThenTheNextFolder()
{
    Session s;
    const QString walk = frameFolder(s.root, u"walk"_s, 8, 32, 32);
    const QString ten = frameFolder(s.root, u"ten"_s, 10, 16, 8);
    frmDynamic &nav = s.start();
    QCOMPARE(figures(), u"XSource|YSource|Frames|FperR|Final XY"_s);
    QVERIFY(!nav.cmdDraw->isEnabled());
    // Picks before any measurement: "1" two entries down to "3", then back.
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down);
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down);
    QCOMPARE(nav.NumOfRows, platform::Int16(3));
    QCOMPARE(figures(), u"XSource|YSource|Frames|0|0x0"_s);
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Up);
    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Up);

    nav.Dir1->setPath(walk);
    QCOMPARE(figures(), u"32|32|8|8|256x32"_s);
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(rowChoices(), expectedRowChoices({8}));

    QTest::keyClick(nav.cboNumOfRows, Qt::Key_Down); // a pick: "1" -> "2"
    QCOMPARE(figures(), u"32|32|8|4|128x64"_s);
    // Draw works from the stored figures, not from the labels.
    QCOMPARE((QList<int>{nav.NumOfRows, nav.FramesPerRow, nav.FinalX, nav.FinalY}),
             (QList<int>{2, 4, 128, 64}));

    // The pick carries over to the next folder, whose appended run leaves it selected.
    nav.Dir1->setPath(ten);
    QCOMPARE(rowChoices(), expectedRowChoices({8, 10}));
    QCOMPARE(nav.cboNumOfRows->currentIndex(), 1);
    QCOMPARE(figures(), u"16|8|10|5|80x16"_s);
    QCOMPARE(nav.FileNames, QStringList(10, QString())); // one per frame, for Draw to fill
    QCOMPARE(s.app.messages, QStringList());
}

void MeasureTest::framesPerRowRounding_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shown");
    // Frames of 12 x 7 pixels, so swapped width and height show.
    QTest::newRow("5 in 2 rows: 2.5 -> 2") << 5 << u"2"_s << u"12|7|5|2|24x14"_s;
    QTest::newRow("7 in 2 rows: 3.5 -> 4") << 7 << u"2"_s << u"12|7|7|4|48x14"_s;
    QTest::newRow("8 in 3 rows: 2.67 -> 3") << 8 << u"3"_s << u"12|7|8|3|36x21"_s;
    QTest::newRow("8 in entry 11: 0.73 -> 1") << 8 << u"11"_s << u"12|7|8|1|12x77"_s;
    QTest::newRow("8 in entry 23: 0.35 -> 0") << 8 << u"23"_s << u"12|7|8|0|0x161"_s;
    QTest::newRow("4 in the earlier run's \" 8\": 0.5 -> 0") << 4 << u" 8"_s << u"12|7|4|0|0x56"_s;
}

void MeasureTest::framesPerRowRounding()
{
    QFETCH(int, frames);
    QFETCH(QString, entry);
    QFETCH(QString, shown);
    Session s;
    const QString first = frameFolder(s.root, u"first"_s, frames, 12, 7);
    const QString second = frameFolder(s.root, u"second"_s, frames, 12, 7, 20);
    frmDynamic &nav = s.start();
    // A folder of 8 frames first, which appends the run " 1" ... " 8" to the rows list.
    nav.Dir1->setPath(frameFolder(s.root, u"earlier"_s, 8, 5, 5));

    nav.Dir1->setPath(first);
    nav.cboNumOfRows->setText(entry);
    nav.cboNumOfRows_Click();
    QCOMPARE(figures(), shown);
    nav.Dir1->setPath(second); // the pick stays, and measuring finds the same
    QCOMPARE(figures(), shown);
    QCOMPARE(s.app.messages, QStringList());
}

void MeasureTest::tooManyFramesOverflowWithoutLosingTheFigures()
{
    Session s;
    const QString frames = frameFolder(s.root, u"frames"_s, 2, 32, 32);
    const QString other = frameFolder(s.root, u"other"_s, 3, 16, 8);
    // One matching file more than a 16-bit count holds; empty files do, as the count fails
    // before any file is read.
    const QString huge = makeFolder(frames, u"huge"_s);
    for (int i = 0; i < 32768; ++i) {
        QFile file(huge + u"/f%1.bmp"_s.arg(i, 5, 10, QLatin1Char('0')));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    frmDynamic &nav = s.start();
    QVERIFY(activateFolder(frames));
    QVERIFY(activateFolder(huge));

    QCOMPARE(s.app.messages, QStringList{u"Overflow6"_s});
    QCOMPARE(figures(), u"32|32|2|2|64x32"_s);
    QCOMPARE(rowChoices(), expectedRowChoices({2}));
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QVERIFY(platform::isFormLoaded<frmPicWork>());
    QVERIFY(platform::isFormLoaded<frmPicFinal>());
    // Walking on works: up to the empty top folder, then into a folder of frames.
    QVERIFY(activateFolder(s.root));
    QCOMPARE(figures(), u"0|0|0|0|0x0"_s);
    QVERIFY(activateFolder(other));
    QCOMPARE(figures(), u"16|8|3|3|48x8"_s);
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(s.app.messages, QStringList{u"Overflow6"_s});
}

QTEST_MAIN(MeasureTest)
#include "tst_measure.moc"
