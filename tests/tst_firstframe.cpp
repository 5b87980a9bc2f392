// What the pictures and figures hold after a folder change: the first frame of a folder of
// frames, the previous pictures when that frame cannot be read, and nothing for a folder of
// fewer than two frames.

#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"

#include <QTest>

using namespace folderwalk;
using namespace Qt::StringLiterals;

class FirstFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void firstFrameShownTwiceThenKeptWhenUnreadable_data();
    void firstFrameShownTwiceThenKeptWhenUnreadable();
    void folderVanishingBetweenTheTwoLoads();
    void fewerThanTwoFilesEmptyEverything_data();
    void fewerThanTwoFilesEmptyEverything();
};

void FirstFrameTest::firstFrameShownTwiceThenKeptWhenUnreadable_data()
{
    QTest::addColumn<bool>("framesShownBefore");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("rows");
    // Measured from the work picture: the earlier folder's first frame, or nothing at all.
    QTest::newRow("after a folder of frames")
        << true << u"20|12|4|4|80x12"_s << expectedRowChoices({3, 4});
    QTest::newRow("with nothing shown yet") << false << u"0|0|4|4|0x0"_s << expectedRowChoices({4});
}

void FirstFrameTest::firstFrameShownTwiceThenKeptWhenUnreadable()
{
    QFETCH(bool, framesShownBefore);
    QFETCH(QString, shown);
    QFETCH(QStringList, rows);
    Session s;
    const QString walk = makeFolder(s.root, u"walk"_s);
    // Case-blind, "walk1" sorts first; by character codes "WALK3" would. Made neither first nor
    // last, it is not first in an unsorted listing either.
    QVERIFY(writeFrames(walk, {u"Walk2.bmp"_s}, 20, 12, 2));
    QVERIFY(writeFrames(walk, {u"walk1.bmp"_s}, 20, 12, 1));
    QVERIFY(writeFrames(walk, {u"WALK3.BMP"_s}, 20, 12, 3));
    const QString broken = makeFolder(s.root, u"broken"_s);
    QVERIFY(testbitmaps::writeFile(broken + u"/a.bmp"_s, "plain text, no picture\n"));
    QVERIFY(writeFrames(broken, {u"b.bmp"_s, u"c.bmp"_s, u"d.bmp"_s}, 16, 8));
    frmDynamic &nav = s.start();
    const frmPicWork &input = frmPicWork::instance();
    if (framesShownBefore) {
        nav.Dir1->setPath(walk);
        QCOMPARE(nav.File1->currentIndex().row(), 0);
        QCOMPARE(nav.File1->fileName(), u"walk1.bmp"_s);
        QCOMPARE(frameMismatch(nav.picWork->picture(), 1, 20, 12), QString());
        QCOMPARE(frameMismatch(input.picWork->picture(), 1, 20, 12), QString());
        // Two loads of the file, not one picture shared by both boxes.
        QVERIFY(nav.picWork->picture().cacheKey() != input.picWork->picture().cacheKey());
        QCOMPARE(twipsSize(input), QSizeF(400, 580));
    }
    const QImage workBefore = nav.picWork->picture(), inputBefore = input.picWork->picture();
    const QSizeF inputSize = twipsSize(input);

    nav.Dir1->setPath(broken);

    QCOMPARE(s.app.messages, QStringList{u"Invalid picture481"_s});
    QCOMPARE(nav.File1->fileName(), u"a.bmp"_s); // the entry that failed stays selected
    QCOMPARE(figures(), shown); // the folder change went on
    QCOMPARE(rowChoices(), rows);
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(nav.picWork->picture(), workBefore);
    QCOMPARE(input.picWork->picture(), inputBefore);
    QCOMPARE(twipsSize(input), inputSize);
}

void FirstFrameTest::folderVanishingBetweenTheTwoLoads()
{
    Session s;
    const QString earlier = frameFolder(s.root, u"earlier"_s, 2, 10, 10, 7);
    const QString doomed = frameFolder(s.root, u"doomed"_s, 3, 16, 8);
    frmDynamic &nav = s.start();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    nav.Dir1->setPath(earlier);
    nav.cmdDraw->click();
    QVERIFY2(!finalWindow.picFinal->picture().isNull(), "Draw showed no sheet to be emptied");
    s.app.takeMessages();

    // Another program removes the folder between the Navigator's load of the first frame and
    // the Input window's own: the work picture's change is the one moment a test can reach.
    bool removed = false;
    nav.picWork->onChange = [&] {
        if (!removed && !nav.picWork->picture().isNull())
            removed = QDir(doomed).removeRecursively();
    };
    nav.Dir1->setPath(doomed);
    nav.picWork->onChange = {};
    QVERIFY(removed);

    QCOMPARE(s.app.messages, QStringList());
    QVERIFY(nav.picWork->picture().isNull());
    QVERIFY(finalWindow.picFinal->picture().isNull());
    // The Input window keeps the earlier folder's last drawn frame.
    QCOMPARE(frameMismatch(input.picWork->picture(), 8, 10, 10), QString());
    QCOMPARE(twipsSize(input), QSizeF(250, 550));
    QCOMPARE(figures(), u"0|0|3|3|0x0"_s);
}

void FirstFrameTest::fewerThanTwoFilesEmptyEverything_data()
{
    QTest::addColumn<QStringList>("frames");
    QTest::newRow("exactly one matching file") << QStringList{u"only.bmp"_s};
    QTest::newRow("no matching file") << QStringList();
}

void FirstFrameTest::fewerThanTwoFilesEmptyEverything()
{
    QFETCH(QStringList, frames);
    Session s;
    const QString eight = frameFolder(s.root, u"eight"_s, 8, 32, 32);
    const QString small = makeFolder(s.root, u"small"_s);
    // Pictures too, but with names the file pattern does not match.
    QVERIFY(writeFrames(small, frames + QStringList{u"notes.txt"_s, u"only.bmp.bak"_s}, 16, 16));
    frmDynamic &nav = s.start();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    const QList<const platform::PictureBox *> boxes{nav.picWork, nav.picFinal, input.picWork,
                                                    finalWindow.picFinal};
    nav.Dir1->setPath(eight);
    nav.cmdDraw->click();
    for (const platform::PictureBox *box : boxes)
        QVERIFY(!box->image().isNull() && box->scaleWidth() > 0);
    QVERIFY(nav.cmdSave->isEnabled());
    const QStringList rowsBefore = rowChoices();

    nav.Dir1->setPath(small);

    QCOMPARE(s.app.messages, QStringList());
    QCOMPARE(figures(), u"0|0|%1|0|0x0"_s.arg(frames.size()));
    QVERIFY(!nav.cmdDraw->isEnabled());
    QVERIFY(!nav.cmdSave->isEnabled());
    QCOMPARE(nav.FileNames, numberedNames(8)); // as Draw filled them
    QCOMPARE(rowChoices(), rowsBefore);
    for (const platform::PictureBox *box : boxes) {
        QVERIFY(box->picture().isNull() && box->image().isNull());
        QCOMPARE(QSizeF(box->scaleWidth(), box->scaleHeight()), QSizeF(0, 0));
    }
    QCOMPARE(nav.picWork->size(), QSize(0, 0));
    QCOMPARE(nav.picFinal->size(), QSize(0, 0));
}

QTEST_MAIN(FirstFrameTest)
#include "tst_firstframe.moc"
