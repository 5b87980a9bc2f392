// Start-up: the settings are read before the Navigator exists, and the Navigator then opens at
// the stored folder, running the folder change there once, or not at all when it already shows
// that folder.

#include "app/varmodule.h"
#include "navigator/frmdynamic.h"
#include "platform/appfolder.h"
#include "platform/messagebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/framefolders.h"
#include "support/testapp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <utility>
#include <vector>

using testfolders::appendedRows;
using testfolders::designRows;
using testfolders::entries;

namespace {

QByteArray settingsLine(const QString &folder)
{
    return folder.toLocal8Bit() + "\r\n";
}

// The five value labels as the user reads them.
QStringList valueLabels()
{
    const frmDynamic &navigator = frmDynamic::instance();
    return {navigator.lblXSource->text(), navigator.lblYSource->text(),
            navigator.lblNumOfFrames->text(), navigator.lblFramesPerRow->text(),
            navigator.lblFinalSize->text()};
}

} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT

private slots:
    void storedFolderIsOpenedOnceDuringLoad();
    void storedWorkingFolderRunsNoFolderChange();
    void vanishedStoredFolderOpensAtNearestAncestor_data();
    void vanishedStoredFolderOpensAtNearestAncestor();
    void settingsMessagesComeBeforeTheNavigator_data();
    void settingsMessagesComeBeforeTheNavigator();
    void storedFolderFailingAtLoadStillShowsEveryWindow();
};

void tst_StartUp::storedFolderIsOpenedOnceDuringLoad()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString frames = work.filePath(QStringLiteral("frames"));
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(3), 5, 4));
    // Not a frame: the load's folder change must already see only ".bmp" files.
    QVERIFY(testbitmaps::writeFile(frames + QStringLiteral("/notes.txt"), "not a frame"));
    app.writeIni(settingsLine(frames));

    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.Dir1->path(), frames);
    QCOMPARE(navigator.File1->path(), frames);
    QCOMPARE(navigator.File1->listCount(), 3);
    // One folder change: one run of row counts after the design entries, the entry "1" still
    // picked.
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(3));
    QCOMPARE(navigator.cboNumOfRows->currentIndex(), 0);
    QCOMPARE(valueLabels(), (QStringList{QStringLiteral("5"), QStringLiteral("4"),
                                         QStringLiteral("3"), QStringLiteral("3"),
                                         QStringLiteral("15x4")}));
    QVERIFY(navigator.cmdDraw->isEnabled());
    QVERIFY(!navigator.cmdSave->isEnabled());
    QCOMPARE(frmPicWork::instance().picWork->picture().size(), QSize(5, 4));
    // The Navigator's load then carries on to the preview windows.
    QVERIFY(frmPicWork::instance().window()->isVisible());
    QVERIFY(frmPicFinal::instance().window()->isVisible());
}

void tst_StartUp::storedWorkingFolderRunsNoFolderChange()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    // Frames in the working folder would change every label had a folder change run.
    QVERIFY(testfolders::writeFrames(work.path(), testfolders::frameNames(3)));
    app.writeIni(settingsLine(work.path()));

    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(navigator.Dir1->path(), work.path());
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows());
    QCOMPARE(valueLabels(), (QStringList{QStringLiteral("XSource"), QStringLiteral("YSource"),
                                         QStringLiteral("Frames"), QStringLiteral("FperR"),
                                         QStringLiteral("Final XY")}));
    QVERIFY(!navigator.cmdDraw->isEnabled());
    QVERIFY(!navigator.cmdSave->isEnabled());
    QVERIFY(frmPicWork::instance().picWork->picture().isNull());
}

void tst_StartUp::vanishedStoredFolderOpensAtNearestAncestor_data()
{
    QTest::addColumn<bool>("replacedByFile");

    QTest::newRow("deleted two levels deep") << false;
    QTest::newRow("replaced by a file") << true;
}

void tst_StartUp::vanishedStoredFolderOpensAtNearestAncestor()
{
    QFETCH(bool, replacedByFile);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString kept = work.filePath(QStringLiteral("kept"));
    const QString vanished = kept + QStringLiteral("/gone/deeper");
    QVERIFY(QDir().mkpath(vanished));
    QVERIFY(testfolders::writeFrames(kept, testfolders::frameNames(2)));
    app.writeIni(settingsLine(vanished));
    QVERIFY(QDir(kept + QStringLiteral("/gone")).removeRecursively());
    if (replacedByFile)
        QVERIFY(testbitmaps::writeFile(kept + QStringLiteral("/gone"), "a file now"));

    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(varModule::LastPath, vanished);
    QCOMPARE(navigator.Dir1->path(), kept);
    QCOMPARE(navigator.File1->path(), kept);
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows() + appendedRows(2));
    QCOMPARE(valueLabels(), (QStringList{QStringLiteral("4"), QStringLiteral("3"),
                                         QStringLiteral("2"), QStringLiteral("2"),
                                         QStringLiteral("8x3")}));
    QVERIFY(navigator.cmdDraw->isEnabled());
    QVERIFY(frmPicWork::instance().window()->isVisible());
    QVERIFY(frmPicFinal::instance().window()->isVisible());

    // The folder actually shown is the one stored for the next start.
    app.close();
    QCOMPARE(app.iniBytes(), settingsLine(kept));
}

void tst_StartUp::settingsMessagesComeBeforeTheNavigator_data()
{
    QTest::addColumn<bool>("unwritableFolder");
    QTest::addColumn<QStringList>("expectedMessages");

    QTest::newRow("zero-byte settings file")
        << false << QStringList{QStringLiteral("Error in GetiniData")};
    QTest::newRow("unwritable application folder")
        << true
        << QStringList{QStringLiteral("Error in CreateINI"), QStringLiteral("Error in GetiniData")};
}

void tst_StartUp::settingsMessagesComeBeforeTheNavigator()
{
    QFETCH(bool, unwritableFolder);
    QFETCH(QStringList, expectedMessages);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    if (unwritableFolder) {
        const QString refusing = testfolders::folderRefusingNewFiles();
        if (refusing.isEmpty())
            QSKIP("No folder under /proc refuses new files on this machine");
        platform::setApplicationFolder(refusing);
    } else {
        app.writeIni(QByteArray());
    }
    // Each message notes whether the Navigator existed while the user read it.
    std::vector<std::pair<QString, bool>> shown;
    platform::setMessageBoxHandler([&](const QString &text) {
        shown.emplace_back(text, platform::isFormLoaded<frmDynamic>());
        app.messages.append(text);
    });

    app.start(work.path());

    QCOMPARE(app.messages, expectedMessages);
    QCOMPARE(shown.size(), size_t(expectedMessages.size()));
    for (const auto &[text, navigatorLoaded] : shown) {
        QVERIFY2(!navigatorLoaded, qPrintable(text));
    }
    // Start-up carries on past the failure, with LastPath left empty.
    QCOMPARE(varModule::LastPath, QString());
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QVERIFY(frmDynamic::instance().window()->isVisible());
    QCOMPARE(frmDynamic::instance().Dir1->path(), work.path());
}

// An error in the stored folder's frame set used to leave the Navigator hidden and the preview
// windows unopened, on every later start too, since closing stored the same folder again.
void tst_StartUp::storedFolderFailingAtLoadStillShowsEveryWindow()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    // More frames than the 16-bit count holds.
    for (int i = 0; i < 32768; ++i) {
        QFile file(work.filePath(QStringLiteral("f%1.bmp").arg(i, 5, 10, QLatin1Char('0'))));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const QString start = elsewhere.path();
    app.writeIni(settingsLine(work.path()));

    app.start(start);

    QCOMPARE(app.messages, QStringList{QStringLiteral("Overflow6")});
    frmDynamic &navigator = frmDynamic::instance();
    QVERIFY(navigator.window()->isVisible());
    QVERIFY(frmPicWork::instance().window()->isVisible());
    QVERIFY(frmPicFinal::instance().window()->isVisible());
    QCOMPARE(frmPicWork::instance().left(), navigator.width());
    QCOMPARE(frmPicFinal::instance().top(), navigator.height());
    // The user can walk on from there.
    QCOMPARE(navigator.Dir1->path(), work.path());
    navigator.Dir1->setPath(start);
    QCOMPARE(navigator.Dir1->path(), start);
    QCOMPARE(app.messages.size(), 1);
}

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
