// Start-up: the settings are read before the Navigator exists, and the Navigator then opens at
// the stored folder (or its nearest surviving ancestor), running the folder change there once,
// or not at all when it already shows that folder.

#include "app/varmodule.h"
#include "navigator/frmdynamic.h"
#include "platform/messagebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"
#include "support/framefolders.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using testfolders::appendedRows;
using testfolders::designRows;
using testfolders::entries;

namespace {

bool allWindowsVisible()
{
    return frmDynamic::instance().window()->isVisible()
        && frmPicWork::instance().window()->isVisible()
        && frmPicFinal::instance().window()->isVisible();
}

} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT

private slots:
    void navigatorOpensAtTheStoredFolder_data();
    void navigatorOpensAtTheStoredFolder();
    void settingsMessagesComeBeforeTheNavigator();
    void storedFolderFailingAtLoadStillShowsEveryWindow();
};

void tst_StartUp::navigatorOpensAtTheStoredFolder_data()
{
    // Folders relative to the working folder ("" is the working folder itself); the frames lie
    // in the folder shown; fileAt, when given, is a file standing where a stored folder was.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("fileAt");
    QTest::addColumn<bool>("folderChangeRuns");

    QTest::newRow("another folder") << "frames" << "frames" << "" << true;
    QTest::newRow("the working folder") << "" << "" << "" << false;
    QTest::newRow("deleted two levels deep") << "kept/gone/deeper" << "kept" << "" << true;
    QTest::newRow("replaced by a file") << "kept/gone/deeper" << "kept" << "kept/gone" << true;
}

void tst_StartUp::navigatorOpensAtTheStoredFolder()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, fileAt);
    QFETCH(bool, folderChangeRuns);
    TestApp app;
    QTemporaryDir work;
    const auto at = [&](const QString &path) {
        return path.isEmpty() ? work.path() : work.filePath(path);
    };
    QVERIFY(testfolders::writeFrames(at(shown), testfolders::frameNames(3), 5, 4));
    // Not a frame: the load's folder change must already see only ".bmp" files.
    QVERIFY(testbitmaps::writeFile(at(shown) + u"/notes.txt"_s, "not a frame"));
    if (!fileAt.isEmpty())
        QVERIFY(testbitmaps::writeFile(at(fileAt), "a file now"));

    frmDynamic &navigator = testfolders::startWith(app, at(stored), work.path());

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(varModule::LastPath, at(stored));
    QCOMPARE(navigator.Dir1->path(), at(shown));
    QCOMPARE(navigator.File1->path(), at(shown));
    QCOMPARE(navigator.File1->listCount(), 3);
    // A folder change appends one run of row counts and leaves the entry "1" picked.
    QCOMPARE(entries(*navigator.cboNumOfRows),
             designRows() + appendedRows(folderChangeRuns ? 3 : 0));
    QCOMPARE(navigator.cboNumOfRows->currentIndex(), 0);
    const QStringList measured{u"5"_s, u"4"_s, u"3"_s, u"3"_s, u"15x4"_s};
    const QStringList design{u"XSource"_s, u"YSource"_s, u"Frames"_s, u"FperR"_s, u"Final XY"_s};
    QCOMPARE(folderwalk::valueLabels(), folderChangeRuns ? measured : design);
    QCOMPARE(navigator.cmdDraw->isEnabled(), folderChangeRuns);
    QVERIFY(!navigator.cmdSave->isEnabled());
    QCOMPARE(frmPicWork::instance().picWork->picture().size(),
             folderChangeRuns ? QSize(5, 4) : QSize(0, 0));
    // The Navigator's load then carries on to the preview windows.
    QVERIFY(allWindowsVisible());

    // The folder actually shown is the one stored for the next start.
    app.close();
    QCOMPARE(app.iniBytes(), testfolders::settingsLine(at(shown)));
}

void tst_StartUp::settingsMessagesComeBeforeTheNavigator()
{
    TestApp app;
    QTemporaryDir work;
    app.writeIni(QByteArray());
    // A message shown once the Navigator exists is recorded with a mark.
    platform::setMessageBoxHandler([&](const QString &text) {
        app.messages.append(text + (platform::isFormLoaded<frmDynamic>() ? u" (late)"_s : u""_s));
    });

    app.start(work.path());

    QCOMPARE(app.messages, QStringList{u"Error in GetiniData"_s});
    // Start-up carries on past the failure, with LastPath left empty.
    QCOMPARE(varModule::LastPath, QString());
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QVERIFY(allWindowsVisible());
    QCOMPARE(frmDynamic::instance().Dir1->path(), work.path());
}

// An error in the stored folder's frame set used to leave the Navigator hidden and the preview
// windows unopened, on every later start too, since closing stored the same folder again.
void tst_StartUp::storedFolderFailingAtLoadStillShowsEveryWindow()
{
    TestApp app;
    QTemporaryDir work;
    QTemporaryDir elsewhere;
    // More frames than the 16-bit count holds.
    for (int i = 0; i < 32768; ++i) {
        QFile file(work.filePath(u"f%1.bmp"_s.arg(i, 5, 10, QLatin1Char('0'))));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    frmDynamic &navigator = testfolders::startWith(app, work.path(), elsewhere.path());

    QCOMPARE(app.messages, QStringList{u"Overflow6"_s});
    QVERIFY(allWindowsVisible());
    QCOMPARE(frmPicWork::instance().left(), navigator.width());
    QCOMPARE(frmPicFinal::instance().top(), navigator.height());
    // The user can walk on from there.
    QCOMPARE(navigator.Dir1->path(), work.path());
    navigator.Dir1->setPath(elsewhere.path());
    QCOMPARE(navigator.Dir1->path(), elsewhere.path());
    QCOMPARE(app.messages.size(), 1);
}

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
