// The last-folder file quorbel.ini: how start-up reads (or first creates) it, and what closing
// the main window or File > Exit leave in it.

#include "app/varmodule.h"
#include "navigator/frmdynamic.h"
#include "platform/appfolder.h"
#include "platform/messagebox.h"
#include "support/framefolders.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using testfolders::settingsLine;

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void startUpReadsTheFirstLine_data();
    void startUpReadsTheFirstLine();
    void unwritableApplicationFolderReportsEveryStep();
    void failedWriteKeepsTheStoredFile_data();
    void failedWriteKeepsTheStoredFile();
    void leavingStoresOnlyOnClose_data();
    void leavingStoresOnlyOnClose();
};

void tst_Settings::startUpReadsTheFirstLine_data()
{
    // <app> and <work> stand for the temporary application and working folders.
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("lastPath");

    const QStringList none;
    QTest::newRow("first run creates the file with the application folder")
        << false << "<app>\r\n" << none << "<app>";
    QTest::newRow("zero-byte file") << true << "" << QStringList{u"Error in GetiniData"_s} << "";
    QTest::newRow("empty first line") << true << "\r\n" << none << "";
    QTest::newRow("several lines, only the first counts")
        << true << "<work>\r\nsecond line\r\nthird line\r\n" << none << "<work>";
    QTest::newRow("bare line feed") << true << "<work>\n" << none << "<work>";
    QTest::newRow("spaces and quotes kept") << true << " \"<work>\" \r\n" << none << " \"<work>\" ";
    QTest::newRow("last line without line end") << true << "<work>" << none << "<work>";
}

void tst_Settings::startUpReadsTheFirstLine()
{
    QFETCH(bool, fileExists);
    QFETCH(QString, content);
    QFETCH(QStringList, messages);
    QFETCH(QString, lastPath);
    TestApp app;
    QTemporaryDir work;
    const auto fill = [&](QString text) {
        return text.replace(u"<app>"_s, app.appFolder()).replace(u"<work>"_s, work.path());
    };
    if (fileExists)
        app.writeIni(fill(content).toLocal8Bit());

    app.start(work.path());

    QCOMPARE(app.takeMessages(), messages);
    QCOMPARE(varModule::LastPath, fill(lastPath));
    // Start-up leaves an existing file alone; on a first run it holds the application folder.
    QCOMPARE(app.iniBytes(), fill(content).toLocal8Bit());

    // Closing rewrites the file with the one folder shown, whatever it held before.
    const QString shown = frmDynamic::instance().Dir1->path();
    app.close();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(app.iniBytes(), settingsLine(shown));
}

void tst_Settings::unwritableApplicationFolderReportsEveryStep()
{
    TestApp app;
    const QString refusing = testfolders::folderRefusingNewFiles();
    if (refusing.isEmpty())
        QSKIP("No folder under /proc refuses new files on this machine");
    platform::setApplicationFolder(refusing);
    QTemporaryDir work;
    // A message shown while the Navigator exists is recorded with a mark: none should be.
    platform::setMessageBoxHandler([&](const QString &text) {
        app.messages.append(text + (platform::isFormLoaded<frmDynamic>() ? u" (late)"_s : u""_s));
    });

    app.start(work.path());

    QCOMPARE(app.takeMessages(), (QStringList{u"Error in CreateINI"_s, u"Error in GetiniData"_s}));
    QCOMPARE(varModule::LastPath, QString());
    // Start-up goes on past the failures: the Navigator opens where the program was started.
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QCOMPARE(frmDynamic::instance().Dir1->path(), work.path());

    app.close();
    QCOMPARE(app.messages, QStringList{u"Error in WriteNewini"_s});
    QVERIFY(!QFile::exists(refusing + u"/quorbel.ini"_s));
}

void tst_Settings::failedWriteKeepsTheStoredFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("read-only file (chattr +i)") << u"immutable"_s;
    QTest::newRow("write cut short by a file-size limit") << u"size limit"_s;
    // A file system of one page, which the stored file already fills.
    QTest::newRow("disk full") << u"full volume"_s;
}

void tst_Settings::failedWriteKeepsTheStoredFile()
{
    QFETCH(QString, obstacle);
    TestApp app;
    std::optional<testfolders::SmallVolume> volume;
    if (obstacle == u"full volume"_s && !volume.emplace(app.appFolder(), 4).holds())
        QSKIP("a small file system cannot be mounted here (that needs root)");
    QTemporaryDir work;
    const QString later = work.filePath(u"a folder with a longer name than before"_s);
    QVERIFY(QDir().mkpath(later));
    const QByteArray stored = settingsLine(work.path());
    app.writeIni(stored);
    std::optional<testfolders::ImmutableFile> lock;
    if (obstacle == u"immutable"_s && !lock.emplace(app.iniPath()).holds())
        QSKIP("chattr +i cannot make the settings file read-only here");

    app.start(work.path());
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(varModule::LastPath, work.path());
    // The Navigator moves on, so closing tries to store a different folder.
    frmDynamic::instance().Dir1->setPath(later);
    if (obstacle != u"size limit"_s) {
        app.close();
    } else {
        // A size limit far below the new line makes the write fail part way, as on a full disk.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit limited{8, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        app.close();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }

    QCOMPARE(varModule::LastPath, later);
    QCOMPARE(app.messages, QStringList{u"Error in WriteNewini"_s});
    QCOMPARE(app.iniBytes(), stored);
    // No half-written file is left beside the settings.
    QCOMPARE(QDir(app.appFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{u"quorbel.ini"_s});
}

void tst_Settings::leavingStoresOnlyOnClose_data()
{
    QTest::addColumn<bool>("leaveByExit");
    QTest::newRow("closing the main window stores the folder shown") << false;
    QTest::newRow("File > Exit stores nothing") << true;
}

void tst_Settings::leavingStoresOnlyOnClose()
{
    QFETCH(bool, leaveByExit);
    TestApp app;
    QTemporaryDir work;
    const QString start = work.filePath(u"start"_s);
    const QString later = work.filePath(u"later"_s);
    QVERIFY(testfolders::writeFrames(start, testfolders::frameNames(2)));
    QVERIFY(testfolders::writeFrames(later, testfolders::frameNames(3)));
    testfolders::startWith(app, start, work.path());
    QCOMPARE(frmDynamic::instance().Dir1->path(), start);
    frmDynamic::instance().Dir1->setPath(later);
    // Changing folders during a run leaves the file and LastPath alone.
    QCOMPARE(app.iniBytes(), settingsLine(start));
    QCOMPARE(varModule::LastPath, start);

    if (leaveByExit) {
        app.main().mnuExit->trigger();
        app.discard();
    } else {
        app.close();
    }

    QCOMPARE(app.exitRequested, leaveByExit);
    QCOMPARE(varModule::LastPath, leaveByExit ? start : later);
    QCOMPARE(app.iniBytes(), settingsLine(leaveByExit ? start : later));
    QCOMPARE(app.messages, QStringList());
}

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
