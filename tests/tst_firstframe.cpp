// What the pictures hold after a folder change: the first frame of a folder of frames, the
// previous pictures when that frame cannot be read, and nothing for a folder of fewer than two.

#include "navigator/frmdynamic.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/bitmaps.h"
#include "support/folderwalk.h"
#include "support/testapp.h"

#include <QTemporaryDir>
#include <QTest>

using namespace folderwalk;

namespace {

QString canonical(const QTemporaryDir &dir)
{
    return QFileInfo(dir.path()).canonicalFilePath();
}

// Starts with the Navigator in an empty folder that is also the stored one: no folder change
// runs at start.
void startIn(TestApp &app, const QString &folder)
{
    app.writeIni(folder.toLocal8Bit() + "\r\n");
    app.start(folder);
}

int selectedRow()
{
    return frmDynamic::instance().File1->currentIndex().row();
}

QString selectedName()
{
    return frmDynamic::instance().File1->fileName();
}

} // namespace

class FirstFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void firstFileInListOrderIsShownTwice();
    void unreadableFirstFrameKeepsThePreviousPictures();
    void folderVanishingBetweenTheTwoLoads();
    void fewerThanTwoFramesEmptyEveryPicture_data();
    void fewerThanTwoFramesEmptyEveryPicture();
};

void FirstFrameTest::firstFileInListOrderIsShownTwice()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString walk = makeFolder(root, QStringLiteral("walk"));
    // Without regard to case "walk1" sorts first; by character codes "WALK3" would, and the
    // file system may list them in any order.
    QVERIFY(writeFrames(walk, {QStringLiteral("Walk2.bmp")}, 20, 12, 2));
    QVERIFY(writeFrames(walk, {QStringLiteral("WALK3.BMP")}, 20, 12, 3));
    QVERIFY(writeFrames(walk, {QStringLiteral("walk1.bmp")}, 20, 12, 1));
    startIn(app, root);
    const frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();

    nav.Dir1->setPath(walk);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(selectedName(), QStringLiteral("walk1.bmp"));
    QCOMPARE(frameMismatch(nav.picWork->picture(), 1, 20, 12), QString());
    QCOMPARE(frameMismatch(input.picWork->picture(), 1, 20, 12), QString());
    QCOMPARE(frameMismatch(input.picWork->image(), 1, 20, 12), QString());
    // Two loads of the file, not one picture shared by both boxes.
    QVERIFY(nav.picWork->picture().cacheKey() != input.picWork->picture().cacheKey());
    QCOMPARE(nav.picWork->scaleWidth(), 20.0f);
    QCOMPARE(nav.picWork->scaleHeight(), 12.0f);
    QCOMPARE(input.width(), 400.0);
    QCOMPARE(input.height(), 580.0);
    QCOMPARE(valueLabels(), QStringList({QStringLiteral("20"), QStringLiteral("12"),
                                         QStringLiteral("3"), QStringLiteral("3"),
                                         QStringLiteral("60x12")}));
}

void FirstFrameTest::unreadableFirstFrameKeepsThePreviousPictures()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString good = frameFolder(root, QStringLiteral("good"), 2, 32, 32, 5);
    const QString broken = makeFolder(root, QStringLiteral("broken"));
    QVERIFY(testbitmaps::writeFile(broken + QStringLiteral("/a.bmp"), "plain text, no picture\n"));
    QVERIFY(writeFrames(broken, {QStringLiteral("b.bmp"), QStringLiteral("c.bmp")}, 16, 8, 1));
    startIn(app, root);
    const frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();
    nav.Dir1->setPath(good);
    QCOMPARE(frameMismatch(nav.picWork->picture(), 5, 32, 32), QString());
    QCOMPARE(app.messages, QStringList());

    nav.Dir1->setPath(broken);

    QCOMPARE(app.messages, QStringList{QStringLiteral("Invalid picture481")});
    // The list still selects the entry that failed.
    QCOMPARE(selectedRow(), 0);
    QCOMPARE(selectedName(), QStringLiteral("a.bmp"));
    QCOMPARE(frameMismatch(nav.picWork->picture(), 5, 32, 32), QString());
    QCOMPARE(frameMismatch(input.picWork->picture(), 5, 32, 32), QString());
    QCOMPARE(input.width(), 580.0);
    QCOMPARE(input.height(), 880.0);
    // The folder change went on and measured the frame the work picture still holds.
    QCOMPARE(valueLabels(), QStringList({QStringLiteral("32"), QStringLiteral("32"),
                                         QStringLiteral("3"), QStringLiteral("3"),
                                         QStringLiteral("96x32")}));
    QCOMPARE(rowChoices(), expectedRowChoices({2, 3}));
    QVERIFY(nav.cmdDraw->isEnabled());
    QCOMPARE(nav.File1->path(), broken);
}

void FirstFrameTest::folderVanishingBetweenTheTwoLoads()
{
    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString earlier = frameFolder(root, QStringLiteral("earlier"), 2, 10, 10, 7);
    const QString doomed = frameFolder(root, QStringLiteral("doomed"), 3, 16, 8, 1);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    nav.Dir1->setPath(earlier);
    nav.cmdDraw->click();
    QVERIFY2(!finalWindow.picFinal->picture().isNull(), "Draw showed no sheet to be emptied");
    QCOMPARE(frameMismatch(input.picWork->picture(), 8, 10, 10), QString());
    app.takeMessages();

    // Another program removes the folder right after the first frame has reached the
    // Navigator's work picture, before the Input window's own load of it. The Navigator's
    // work picture is never watched by the program itself, so its change is the one moment
    // between the two loads a test can reach.
    bool removed = false;
    nav.picWork->onChange = [&] {
        if (!removed && !nav.picWork->picture().isNull())
            removed = QDir(doomed).removeRecursively();
    };
    nav.Dir1->setPath(doomed);
    nav.picWork->onChange = {};
    QVERIFY(removed);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(selectedRow(), 0);
    QVERIFY(nav.picWork->picture().isNull());
    QVERIFY(finalWindow.picFinal->picture().isNull());
    QCOMPARE(finalWindow.width(), 100.0);
    QCOMPARE(finalWindow.height(), 400.0);
    // The Input window keeps the earlier folder's last drawn frame.
    QCOMPARE(frameMismatch(input.picWork->picture(), 8, 10, 10), QString());
    QCOMPARE(input.width(), 250.0);
    QCOMPARE(input.height(), 550.0);
    QCOMPARE(valueLabels(), QStringList({QStringLiteral("0"), QStringLiteral("0"),
                                         QStringLiteral("3"), QStringLiteral("3"),
                                         QStringLiteral("0x0")}));
}

void FirstFrameTest::fewerThanTwoFramesEmptyEveryPicture_data()
{
    QTest::addColumn<int>("frames");
    QTest::newRow("one frame") << 1;
    QTest::newRow("no frame") << 0;
}

void FirstFrameTest::fewerThanTwoFramesEmptyEveryPicture()
{
    QFETCH(int, frames);

    TestApp app;
    QTemporaryDir data;
    const QString root = canonical(data);
    const QString full = frameFolder(root, QStringLiteral("full"), 4, 24, 16);
    const QString sparse = frameFolder(root, QStringLiteral("sparse"), frames, 24, 16);
    startIn(app, root);
    frmDynamic &nav = frmDynamic::instance();
    const frmPicWork &input = frmPicWork::instance();
    const frmPicFinal &finalWindow = frmPicFinal::instance();
    nav.Dir1->setPath(full);
    nav.cmdDraw->click();
    // Every picture holds something before the change.
    QVERIFY(!nav.picWork->picture().isNull());
    QVERIFY(!input.picWork->picture().isNull());
    QVERIFY(!nav.picFinal->image().isNull());
    QVERIFY(!finalWindow.picFinal->picture().isNull());
    QVERIFY(nav.picFinal->scaleWidth() > 0);

    nav.Dir1->setPath(sparse);

    QCOMPARE(app.messages, QStringList());
    for (const platform::PictureBox *box : {nav.picWork, nav.picFinal}) {
        QCOMPARE(box->scaleWidth(), 0.0f);
        QCOMPARE(box->scaleHeight(), 0.0f);
        QCOMPARE(box->size(), QSize(0, 0));
        QVERIFY(box->image().isNull());
    }
    QVERIFY(nav.picWork->picture().isNull());
    QVERIFY(nav.picFinal->picture().isNull());
    QVERIFY(input.picWork->picture().isNull());
    QVERIFY(finalWindow.picFinal->picture().isNull());
    QCOMPARE(input.width(), 100.0);
    QCOMPARE(input.height(), 400.0);
    QCOMPARE(finalWindow.width(), 100.0);
    QCOMPARE(finalWindow.height(), 400.0);
    QVERIFY(!nav.cmdDraw->isEnabled());
    QVERIFY(!nav.cmdSave->isEnabled());
}

QTEST_MAIN(FirstFrameTest)
#include "tst_firstframe.moc"
