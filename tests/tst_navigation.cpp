// Walking drives and folders in the Navigator: which files the file list shows, what picking a
// drive or opening a folder entry runs, a drive that is not ready, and how Save follows the
// frame count of each new folder.

#include "navigator/frmdynamic.h"
#include "platform/lists.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"
#include "support/framefolders.h"
#include "support/navigatorsteps.h"

#include <QAbstractItemModel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using testfolders::appendedRows;
using testfolders::designRows;
using testfolders::entries;
using testfolders::startWith;

namespace {

QStringList fileList()
{
    const QAbstractItemModel *model = frmDynamic::instance().File1->model();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

// The folder each entry of the folder list opens, in the order shown.
QStringList folderEntries()
{
    const platform::DirListBox &list = *frmDynamic::instance().Dir1;
    QStringList folders;
    for (int row = 0; row < list.count(); ++row)
        folders.append(list.item(row)->data(Qt::UserRole).toString());
    return folders;
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
    void largeFolderFillsTheListsInOneBatch();
    void shownFolderVanishes_data();
    void shownFolderVanishes();
};

void tst_Navigation::fileListShowsOnlyVisibleBitmapFiles()
{
    QTemporaryDir work;
    TestApp app;
    const QString folder = work.filePath(u"mixed"_s);
    QVERIFY(testfolders::writeFrames(
        folder, u"WALK.BMP a.Bmp b.bmp Cat.bmp .hidden.bmp a.bmp.txt a.bm bmp"_s.split(u' ')));
    QVERIFY(QDir(folder).mkdir(u"x.bmp"_s));
    // A link counts as what it points to: a frame, a folder, or nothing at all.
    QVERIFY(QFile::link(QDir(folder).filePath(u"b.bmp"_s), QDir(folder).filePath(u"link.bmp"_s)));
    QVERIFY(QFile::link(work.filePath(u"gone.bmp"_s), QDir(folder).filePath(u"dangling.bmp"_s)));
    QVERIFY(QFile::link(work.path(), QDir(folder).filePath(u"up.bmp"_s)));
    QCOMPARE(mkfifo(QFile::encodeName(QDir(folder).filePath(u"pipe.bmp"_s)).constData(), 0600), 0);
    frmDynamic &navigator = startWith(app, work.path(), work.path());

    navigator.Dir1->setPath(folder);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(fileList(), u"a.Bmp b.bmp Cat.bmp link.bmp WALK.BMP"_s.split(u' '));
    QCOMPARE(folderEntries().mid(folderEntries().indexOf(folder) + 1),
             QStringList({QDir(folder).filePath(u"up.bmp"_s), QDir(folder).filePath(u"x.bmp"_s)}));
    QCOMPARE(navigator.lblNumOfFrames->text(), u"5"_s);
    // The first entry of the list (frame 1, a.Bmp) is the frame shown.
    QCOMPARE(navigator.File1->fileName(), u"a.Bmp"_s);
    QCOMPARE(frmPicWork::instance().picWork->picture().pixel(0, 0),
             testbitmaps::frameColour(1, 0, 0));
}

void tst_Navigation::pickingADriveRunsTheFolderChangeOnce()
{
    QTemporaryDir work;
    QTemporaryDir volume;
    QVERIFY(testfolders::writeFrames(volume.path(), testfolders::frameNames(2)));
    TestApp app;
    frmDynamic &navigator = startWith(app, work.path(), work.path(), {u"/"_s, volume.path()});
    QCOMPARE(entries(*navigator.Drive1), (QStringList{u"/"_s, volume.path()}));
    QCOMPARE(navigator.Drive1->drive(), work.path());

    // The user steps the closed drive list on to the next volume.
    QTest::keyClick(navigator.Drive1, Qt::Key_Down);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.Drive1->currentText(), volume.path());
    QCOMPARE(navigator.Drive1->drive(), volume.path());
    QCOMPARE(navigator.Dir1->path(), volume.path());
    QCOMPARE(fileList(), testfolders::frameNames(2));
    // One folder change: one run of row counts after the design entries.
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(2));
    QCOMPARE(folderwalk::valueLabels(), (QStringList{u"4"_s, u"3"_s, u"2"_s, u"2"_s, u"8x3"_s}));
}

void tst_Navigation::driveNotReadyLeavesTheListsWhereTheyWere()
{
    QTemporaryDir work;
    const QString frames = work.filePath(u"frames"_s);
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(3)));
    // A listed volume whose root cannot be opened, like an empty removable drive.
    const QString notReady = work.filePath(u"not-ready"_s);
    TestApp app;
    frmDynamic &navigator = startWith(app, frames, work.path(), {u"/"_s, notReady});
    const QStringList rowsAndLabels = entries(*navigator.cboNumOfRows) + folderwalk::valueLabels();
    const QImage picture = frmPicWork::instance().picWork->picture();
    QVERIFY(!picture.isNull());

    QTest::keyClick(navigator.Drive1, Qt::Key_Down);

    QCOMPARE(app.messages, QStringList{u"Path not found76"_s});
    QVERIFY(platform::isFormLoaded<frmDynamic>() && platform::isFormLoaded<frmPicWork>()
            && platform::isFormLoaded<frmPicFinal>());
    QVERIFY(navigator.window()->isVisible() && frmPicWork::instance().window()->isVisible()
            && frmPicFinal::instance().window()->isVisible());
    QCOMPARE(navigator.Drive1->currentText(), u"/"_s);
    QCOMPARE(navigator.Drive1->drive(), frames);
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(navigator.File1->path(), frames);
    QCOMPARE(fileList(), testfolders::frameNames(3));
    QCOMPARE(entries(*navigator.cboNumOfRows) + folderwalk::valueLabels(), rowsAndLabels);
    QCOMPARE(frmPicWork::instance().picWork->picture(), picture);
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
    const QString frames = volume.filePath(u"anim/walk"_s);
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(3)));
    TestApp app;
    frmDynamic &navigator = startWith(app, frames, work.path(), {u"/"_s, volume.path()});

    QCOMPARE(navigator.Drive1->currentText(), volume.path());
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(fileList(), testfolders::frameNames(3));
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(3));

    // Back on the first volume, and then on this one again: the user finds the same folder.
    navigator.Dir1->setPath(work.path());
    QCOMPARE(navigator.Drive1->currentText(), u"/"_s);
    QTest::keyClick(navigator.Drive1, Qt::Key_Down);
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(app.messages, QStringList());
}

// Walking up out of a volume mounted inside another used to land on the outer volume's root.
void tst_Navigation::leavingAVolumeUpwardsKeepsTheChosenFolder()
{
    QTemporaryDir work;
    const QString media = work.filePath(u"media"_s);
    const QString mounted = media + u"/stick"_s;
    QVERIFY(testfolders::writeFrames(mounted, testfolders::frameNames(2)));
    TestApp app;
    frmDynamic &navigator = startWith(app, mounted, work.path(), {u"/"_s, mounted});
    QCOMPARE(navigator.Drive1->currentText(), mounted);
    const int rowsBefore = navigator.cboNumOfRows->count();

    navigator.Dir1->setPath(media);

    QCOMPARE(navigator.Dir1->path(), media);
    QCOMPARE(navigator.File1->path(), media);
    QCOMPARE(navigator.Drive1->currentText(), u"/"_s);
    QCOMPARE(navigator.lblNumOfFrames->text(), u"0"_s);
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
    QTemporaryDir work;
    TestApp app;
    const QString drawn = work.filePath(u"drawn"_s);
    const QString next = work.filePath(u"next"_s);
    QVERIFY(testfolders::writeFrames(drawn, testfolders::frameNames(3)));
    QVERIFY(testfolders::writeFrames(next, testfolders::frameNames(framesInNextFolder)));
    frmDynamic &navigator = startWith(app, drawn, work.path());
    // Only a Draw enables Save.
    QVERIFY(!navigator.cmdSave->isEnabled());
    navigator.cmdDraw->click();
    QVERIFY(navigator.cmdSave->isEnabled());

    navigator.Dir1->setPath(next);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.lblNumOfFrames->text(), QString::number(framesInNextFolder));
    QCOMPARE(navigator.cmdSave->isEnabled(), saveEnabled);
    QCOMPARE(navigator.cmdDraw->isEnabled(), framesInNextFolder >= 2);
}

void tst_Navigation::activatingAFolderEntryOpensIt()
{
    QTemporaryDir work;
    TestApp app;
    const QString sub = work.filePath(u"Walk cycle"_s);
    const QString another = work.filePath(u"another"_s);
    QVERIFY(testfolders::writeFrames(sub, testfolders::frameNames(2)));
    QVERIFY(QDir().mkdir(another));
    frmDynamic &navigator = startWith(app, work.path(), work.path());

    // Down into a subfolder: its entry is made current and Enter pressed.
    QVERIFY(folderwalk::activateFolder(sub));

    QCOMPARE(navigator.Dir1->path(), sub);
    QCOMPARE(navigator.File1->path(), sub);
    QCOMPARE(fileList(), testfolders::frameNames(2));
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(2));
    // The list shows the ancestors down to the new folder, which is current and last.
    const QStringList down = folderEntries();
    QCOMPARE(down.mid(down.size() - 2), (QStringList{work.path(), sub}));
    QCOMPARE(navigator.Dir1->currentRow(), down.size() - 1);

    // Back up through the ancestor's entry above it.
    QVERIFY(folderwalk::activateFolder(work.path()));

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.Dir1->path(), work.path());
    QCOMPARE(navigator.File1->path(), work.path());
    QCOMPARE(fileList(), QStringList());
    QCOMPARE(navigator.lblNumOfFrames->text(), u"0"_s);
    // The folder, current, then its subfolders in name order.
    QCOMPARE(folderEntries().mid(navigator.Dir1->currentRow()),
             (QStringList{work.path(), another, sub}));
}

// Thousands of frames must not mean thousands of list updates, each with its own repaint.
void tst_Navigation::largeFolderFillsTheListsInOneBatch()
{
    QTemporaryDir work;
    TestApp app;
    const QString folder = work.filePath(u"many"_s);
    QStringList names;
    for (int i = 1; i <= 600; ++i)
        names.append(u"f%1.bmp"_s.arg(i, 4, 10, QLatin1Char('0')));
    QVERIFY(testfolders::writeFrames(folder, names));
    frmDynamic &navigator = startWith(app, work.path(), work.path());
    QSignalSpy fileResets(navigator.File1->model(), &QAbstractItemModel::modelReset);
    QSignalSpy fileInserts(navigator.File1->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy rowInserts(navigator.cboNumOfRows->model(), &QAbstractItemModel::rowsInserted);
    const int rowsBefore = navigator.cboNumOfRows->count();

    navigator.Dir1->setPath(folder);

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(fileList(), names);
    QCOMPARE(fileResets.count(), 1);
    QCOMPARE(fileInserts.count(), 0);
    QCOMPARE(rowInserts.count(), 1);
    QCOMPARE(navigator.cboNumOfRows->count(), rowsBefore + 600);
    QCOMPARE(navigator.cboNumOfRows->itemText(rowsBefore + 599), u" 600"_s);
}

void tst_Navigation::shownFolderVanishes_data()
{
    QTest::addColumn<bool>("renamed"); // else deleted
    QTest::newRow("deleted") << false;
    QTest::newRow("renamed") << true;
}

// The folder the Navigator shows (and started in) is deleted or renamed behind its back: Save
// into it, Draw and reopening it each say what failed, and the user walks on to a folder that
// exists, where everything works again.
void tst_Navigation::shownFolderVanishes()
{
    QFETCH(bool, renamed);
    QTemporaryDir work;
    TestApp app;
    const QString shown = work.filePath(u"frames"_s);
    const QString moved = work.filePath(u"moved"_s);
    QVERIFY(testfolders::writeFrames(shown, testfolders::frameNames(3)));
    frmDynamic &navigator = startWith(app, shown, work.path(), {u"/"_s});
    navigator.cmdDraw->click();
    QVERIFY(navigator.cmdSave->isEnabled());
    QCOMPARE(app.takeMessages(), QStringList());

    QVERIFY(renamed ? QDir().rename(shown, moved) : QDir(shown).removeRecursively());

    // Save proposes the first frame's name in the vanished start folder.
    app.saveAnswer = shown + u"/frame1.bmp"_s;
    navigator.cmdSave->click();
    QCOMPARE(app.dialogFileName, *app.saveAnswer);
    QCOMPARE(app.takeMessages(), (QStringList{u"File not Saved"_s, u"Path not found76"_s}));
    QVERIFY(navigator.cmdSave->isEnabled());

    navigator.cmdDraw->click();
    QCOMPARE(app.takeMessages(), QStringList{u"Unable to Draw, check yer files."_s});
    QVERIFY(!navigator.cmdSave->isEnabled());

    // Enter on the vanished folder's own entry cannot open it.
    QVERIFY(folderwalk::activateFolder(shown));
    QCOMPARE(app.takeMessages(), QStringList{u"Path not found76"_s});
    QCOMPARE(navigator.Dir1->path(), shown);

    // Up to the parent, which exists: no frames there.
    QVERIFY(folderwalk::activateFolder(work.path()));
    QCOMPARE(app.takeMessages(), QStringList());
    QCOMPARE(navigator.Dir1->path(), work.path());
    QCOMPARE(navigator.File1->path(), work.path());
    QCOMPARE(folderwalk::figures(), u"0|0|0|0|0x0"_s);
    QVERIFY(!navigator.cmdDraw->isEnabled());
    QVERIFY(!navigator.cmdSave->isEnabled());
    QCOMPARE(folderEntries().mid(navigator.Dir1->currentRow()),
             renamed ? QStringList({work.path(), moved}) : QStringList{work.path()});
    QCOMPARE(steps::entries(work.path()), renamed ? QStringList{u"moved"_s} : QStringList());

    if (renamed) { // the frames under their new folder name draw again
        QVERIFY(folderwalk::activateFolder(moved));
        navigator.cmdDraw->click();
        QCOMPARE(app.messages, QStringList());
        QVERIFY(navigator.cmdSave->isEnabled());
        QCOMPARE(steps::entries(moved), testfolders::frameNames(3));
    }
}

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
