// Walking drives and folders in the Navigator: which files the file list shows, what picking a
// drive or opening a folder entry runs, a drive that is not ready, and how Save follows the
// frame count of each new folder.

#include "navigator/frmdynamic.h"
#include "platform/lists.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/framefolders.h"
#include "support/testapp.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using testfolders::appendedRows;
using testfolders::designRows;
using testfolders::entries;

namespace {

QByteArray settingsLine(const QString &folder)
{
    return folder.toLocal8Bit() + "\r\n";
}

QStringList fileList()
{
    const QAbstractItemModel *model = frmDynamic::instance().File1->model();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

QStringList valueLabels()
{
    const frmDynamic &navigator = frmDynamic::instance();
    return {navigator.lblXSource->text(), navigator.lblYSource->text(),
            navigator.lblNumOfFrames->text(), navigator.lblFramesPerRow->text(),
            navigator.lblFinalSize->text()};
}

// The row of the directory list's entry that opens the folder.
int dirEntryFor(const QString &folder)
{
    const platform::DirListBox &list = *frmDynamic::instance().Dir1;
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->data(Qt::UserRole).toString() == folder)
            return row;
    }
    return -1;
}

// Every window the user had is still there.
bool allWindowsLoaded()
{
    return platform::isFormLoaded<frmDynamic>() && platform::isFormLoaded<frmPicWork>()
        && platform::isFormLoaded<frmPicFinal>() && frmDynamic::instance().window()->isVisible()
        && frmPicWork::instance().window()->isVisible()
        && frmPicFinal::instance().window()->isVisible();
}

} // namespace

class tst_Navigation : public QObject
{
    Q_OBJECT

private slots:
    void fileListShowsOnlyVisibleBitmapFiles();
    void pickingADriveRunsTheFolderChangeOnce();
    void driveNotReadyLeavesTheListsWhereTheyWere();
    void storedFolderOnAnotherVolumeIsKept();
    void leavingAVolumeUpwardsKeepsTheChosenFolder();
    void saveFollowsTheFrameCountOfTheNextFolder_data();
    void saveFollowsTheFrameCountOfTheNextFolder();
    void activatingAFolderEntryOpensIt();
};

void tst_Navigation::fileListShowsOnlyVisibleBitmapFiles()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString folder = work.filePath(QStringLiteral("mixed"));
    QVERIFY(testfolders::writeFrames(folder, {QStringLiteral("WALK.BMP"), QStringLiteral("a.Bmp"),
                                              QStringLiteral("b.bmp"), QStringLiteral("Cat.bmp"),
                                              QStringLiteral(".hidden.bmp"),
                                              QStringLiteral("a.bmp.txt"), QStringLiteral("a.bm"),
                                              QStringLiteral("bmp")}));
    QVERIFY(QDir(folder).mkdir(QStringLiteral("x.bmp")));
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic::instance().Dir1->setPath(folder);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(fileList(), (QStringList{QStringLiteral("a.Bmp"), QStringLiteral("b.bmp"),
                                      QStringLiteral("Cat.bmp"), QStringLiteral("WALK.BMP")}));
    QCOMPARE(frmDynamic::instance().lblNumOfFrames->text(), QStringLiteral("4"));
    // The first entry of the list is the frame that is shown.
    QCOMPARE(frmDynamic::instance().File1->fileName(), QStringLiteral("a.Bmp"));
    QCOMPARE(frmPicWork::instance().picWork->picture().pixel(0, 0),
             testbitmaps::frameColour(1, 0, 0));
}

void tst_Navigation::pickingADriveRunsTheFolderChangeOnce()
{
    QTemporaryDir work;
    QTemporaryDir volume;
    QVERIFY(work.isValid());
    QVERIFY(volume.isValid());
    QVERIFY(testfolders::writeFrames(volume.path(), testfolders::frameNames(2)));
    platform::setVolumeLister([&] { return QStringList{QStringLiteral("/"), volume.path()}; });
    TestApp app;
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    platform::DriveListBox &drives = *navigator.Drive1;
    QCOMPARE(entries(drives), (QStringList{QStringLiteral("/"), volume.path()}));
    QCOMPARE(drives.currentText(), QStringLiteral("/"));
    QCOMPARE(drives.drive(), work.path());
    QCOMPARE(drives.currentIndex(), 0);
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows());

    // The user steps the closed drive list on to the next volume.
    QTest::keyClick(&drives, Qt::Key_Down);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(drives.currentIndex(), 1);
    QCOMPARE(drives.drive(), volume.path());
    QCOMPARE(navigator.Dir1->path(), volume.path());
    QCOMPARE(navigator.File1->path(), volume.path());
    QCOMPARE(fileList(), testfolders::frameNames(2));
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(2));
    QCOMPARE(valueLabels(), (QStringList{QStringLiteral("4"), QStringLiteral("3"),
                                         QStringLiteral("2"), QStringLiteral("2"),
                                         QStringLiteral("8x3")}));
    QVERIFY(navigator.cmdDraw->isEnabled());
}

void tst_Navigation::driveNotReadyLeavesTheListsWhereTheyWere()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString frames = work.filePath(QStringLiteral("frames"));
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(3)));
    // A listed volume whose root cannot be opened, like an empty removable drive.
    const QString notReady = work.filePath(QStringLiteral("not-ready"));
    platform::setVolumeLister([&] { return QStringList{QStringLiteral("/"), notReady}; });
    TestApp app;
    app.writeIni(settingsLine(frames));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(navigator.Dir1->path(), frames);
    const QStringList rowsBefore = entries(*navigator.cboNumOfRows);
    const QStringList labelsBefore = valueLabels();
    const QImage shownBefore = frmPicWork::instance().picWork->picture();
    QVERIFY(!shownBefore.isNull());

    QTest::keyClick(navigator.Drive1, Qt::Key_Down);

    QCOMPARE(app.messages, QStringList{QStringLiteral("Path not found76")});
    QVERIFY(allWindowsLoaded());
    QCOMPARE(navigator.Drive1->drive(), frames);
    QCOMPARE(navigator.Drive1->currentText(), QStringLiteral("/"));
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(navigator.File1->path(), frames);
    QCOMPARE(fileList(), testfolders::frameNames(3));
    QCOMPARE(entries(*navigator.cboNumOfRows), rowsBefore);
    QCOMPARE(valueLabels(), labelsBefore);
    QCOMPARE(frmPicWork::instance().picWork->picture(), shownBefore);
    QVERIFY(navigator.cmdDraw->isEnabled());

    // The lists still work: the user can go on to another folder.
    navigator.Dir1->setPath(work.path());
    QCOMPARE(navigator.File1->path(), work.path());
    QCOMPARE(app.messages.size(), 1);
}

// A stored folder on another volume than the working folder used to reopen at that volume's
// root, losing the folder the user had left.
void tst_Navigation::storedFolderOnAnotherVolumeIsKept()
{
    QTemporaryDir work;
    QTemporaryDir volume;
    QVERIFY(work.isValid());
    QVERIFY(volume.isValid());
    const QString frames = volume.filePath(QStringLiteral("anim/walk"));
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(3)));
    platform::setVolumeLister([&] { return QStringList{QStringLiteral("/"), volume.path()}; });
    TestApp app;
    app.writeIni(settingsLine(frames));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.Drive1->currentText(), volume.path());
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(fileList(), testfolders::frameNames(3));
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(3));

    // Back on the first volume, and then on this one again: the user finds the same folder.
    navigator.Dir1->setPath(work.path());
    QCOMPARE(navigator.Drive1->currentText(), QStringLiteral("/"));
    QTest::keyClick(navigator.Drive1, Qt::Key_Down);
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(app.messages, QStringList());
}

// Walking up out of a volume mounted inside another used to land on the outer volume's root.
void tst_Navigation::leavingAVolumeUpwardsKeepsTheChosenFolder()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString mounted = work.filePath(QStringLiteral("media/stick"));
    QVERIFY(testfolders::writeFrames(mounted, testfolders::frameNames(2)));
    platform::setVolumeLister([&] { return QStringList{QStringLiteral("/"), mounted}; });
    TestApp app;
    app.writeIni(settingsLine(mounted));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(navigator.Drive1->currentText(), mounted);
    const int rowsBefore = navigator.cboNumOfRows->count();

    navigator.Dir1->setPath(work.filePath(QStringLiteral("media")));

    QCOMPARE(navigator.Dir1->path(), work.filePath(QStringLiteral("media")));
    QCOMPARE(navigator.File1->path(), work.filePath(QStringLiteral("media")));
    QCOMPARE(navigator.Drive1->currentText(), QStringLiteral("/"));
    QCOMPARE(navigator.lblNumOfFrames->text(), QStringLiteral("0"));
    QCOMPARE(navigator.cboNumOfRows->count(), rowsBefore);
    QCOMPARE(app.messages, QStringList());
}

void tst_Navigation::saveFollowsTheFrameCountOfTheNextFolder_data()
{
    QTest::addColumn<int>("framesInNextFolder");
    QTest::addColumn<bool>("saveEnabled");

    QTest::newRow("one frame disables Save") << 1 << false;
    QTest::newRow("no frame disables Save") << 0 << false;
    QTest::newRow("two frames keep Save") << 2 << true;
    QTest::newRow("five frames keep Save") << 5 << true;
}

void tst_Navigation::saveFollowsTheFrameCountOfTheNextFolder()
{
    QFETCH(int, framesInNextFolder);
    QFETCH(bool, saveEnabled);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString drawn = work.filePath(QStringLiteral("drawn"));
    const QString next = work.filePath(QStringLiteral("next"));
    QVERIFY(testfolders::writeFrames(drawn, testfolders::frameNames(3)));
    QVERIFY(testfolders::writeFrames(next, testfolders::frameNames(framesInNextFolder)));
    app.writeIni(settingsLine(drawn));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    // Only a Draw enables Save.
    QVERIFY(!navigator.cmdSave->isEnabled());
    navigator.cmdDraw->click();
    QCOMPARE(app.messages, QStringList());
    QVERIFY(navigator.cmdSave->isEnabled());

    navigator.Dir1->setPath(next);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.lblNumOfFrames->text(), QString::number(framesInNextFolder));
    QCOMPARE(navigator.cmdSave->isEnabled(), saveEnabled);
    QCOMPARE(navigator.cmdDraw->isEnabled(), framesInNextFolder >= 2);
}

void tst_Navigation::activatingAFolderEntryOpensIt()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString sub = work.filePath(QStringLiteral("Walk cycle"));
    QVERIFY(testfolders::writeFrames(sub, testfolders::frameNames(2)));
    QVERIFY(QDir(work.path()).mkdir(QStringLiteral("another")));
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    platform::DirListBox &folders = *navigator.Dir1;

    // Down into a subfolder: select its entry and press Enter.
    const int subEntry = dirEntryFor(sub);
    QVERIFY(subEntry >= 0);
    folders.setCurrentRow(subEntry);
    QTest::keyClick(&folders, Qt::Key_Return);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(folders.path(), sub);
    QCOMPARE(navigator.File1->path(), sub);
    QCOMPARE(fileList(), testfolders::frameNames(2));
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(2));
    QVERIFY(navigator.cmdDraw->isEnabled());
    // The new folder lists its ancestors, itself last among them.
    QCOMPARE(folders.currentItem()->data(Qt::UserRole).toString(), sub);

    // Back up through the ancestor's entry, which the list shows above the folder.
    const int parentEntry = dirEntryFor(work.path());
    QVERIFY(parentEntry >= 0);
    QVERIFY(parentEntry < folders.currentRow());
    emit folders.itemActivated(folders.item(parentEntry));

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(folders.path(), work.path());
    QCOMPARE(navigator.File1->path(), work.path());
    QCOMPARE(fileList(), QStringList());
    QCOMPARE(navigator.lblNumOfFrames->text(), QStringLiteral("0"));
    QVERIFY(!navigator.cmdDraw->isEnabled());
    QVERIFY(dirEntryFor(sub) >= 0);
    QVERIFY(dirEntryFor(work.filePath(QStringLiteral("another"))) >= 0);
}

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
