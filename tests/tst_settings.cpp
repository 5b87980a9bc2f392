// The last-folder file quorbel.ini: how start-up reads (or first creates) it, and what closing
// the main window or File > Exit leave in it.

#include "app/varmodule.h"
#include "navigator/frmdynamic.h"
#include "platform/appfolder.h"
#include "support/framefolders.h"
#include "support/testapp.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// The data rows name the two folders of a run by placeholders, since both are temporary.
QByteArray withFolders(QByteArray text, const QString &appFolder, const QString &workFolder)
{
    return text.replace("<app>", appFolder.toLocal8Bit()).replace("<work>", workFolder.toLocal8Bit());
}

QString withFolders(QString text, const QString &appFolder, const QString &workFolder)
{
    return text.replace(QStringLiteral("<app>"), appFolder)
        .replace(QStringLiteral("<work>"), workFolder);
}

QByteArray settingsLine(const QString &folder)
{
    return folder.toLocal8Bit() + "\r\n";
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void startUpReadsTheFirstLine_data();
    void startUpReadsTheFirstLine();
    void unwritableApplicationFolderReportsEveryStep();
    void readOnlySettingsFileIsReadButNeverRewritten();
    void failedWriteLeavesTheSettingsFileWhole();
    void leavingStoresOnlyOnClose_data();
    void leavingStoresOnlyOnClose();
};

void tst_Settings::startUpReadsTheFirstLine_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expectedMessages");
    QTest::addColumn<QString>("expectedLastPath");
    QTest::addColumn<QByteArray>("expectedFileAfterStart");

    QTest::newRow("first run creates the file with the application folder")
        << false << QByteArray() << QStringList() << QStringLiteral("<app>")
        << QByteArray("<app>\r\n");
    QTest::newRow("zero-byte file")
        << true << QByteArray() << QStringList{QStringLiteral("Error in GetiniData")} << QString()
        << QByteArray();
    QTest::newRow("empty first line")
        << true << QByteArray("\r\n") << QStringList() << QString() << QByteArray("\r\n");
    QTest::newRow("several lines, only the first counts")
        << true << QByteArray("<work>\r\nsecond line\r\nthird line\r\n") << QStringList()
        << QStringLiteral("<work>") << QByteArray("<work>\r\nsecond line\r\nthird line\r\n");
    QTest::newRow("bare line feed")
        << true << QByteArray("<work>\n") << QStringList() << QStringLiteral("<work>")
        << QByteArray("<work>\n");
    QTest::newRow("spaces and quotes kept")
        << true << QByteArray(" \"<work>\" \r\n") << QStringList()
        << QStringLiteral(" \"<work>\" ") << QByteArray(" \"<work>\" \r\n");
    QTest::newRow("last line without line end")
        << true << QByteArray("<work>") << QStringList() << QStringLiteral("<work>")
        << QByteArray("<work>");
}

void tst_Settings::startUpReadsTheFirstLine()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expectedMessages);
    QFETCH(QString, expectedLastPath);
    QFETCH(QByteArray, expectedFileAfterStart);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    if (fileExists) {
        app.writeIni(withFolders(content, app.appFolder(), work.path()));
        QVERIFY(QFile::exists(app.iniPath()));
    }

    app.start(work.path());

    QCOMPARE(app.messages, expectedMessages);
    QCOMPARE(varModule::LastPath, withFolders(expectedLastPath, app.appFolder(), work.path()));
    QCOMPARE(app.iniBytes(), withFolders(expectedFileAfterStart, app.appFolder(), work.path()));

    // A normal close rewrites the file with the one folder the Navigator shows, whatever the
    // file held before.
    const QString shown = frmDynamic::instance().Dir1->path();
    app.takeMessages();
    app.close();
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(app.iniBytes(), settingsLine(shown));
    QCOMPARE(app.iniBytes().count('\n'), 1);
}

void tst_Settings::unwritableApplicationFolderReportsEveryStep()
{
    TestApp app;
    const QString refusing = testfolders::folderRefusingNewFiles();
    if (refusing.isEmpty())
        QSKIP("No folder under /proc refuses new files on this machine");
    platform::setApplicationFolder(refusing);
    QTemporaryDir work;
    QVERIFY(work.isValid());

    app.start(work.path());

    QCOMPARE(app.takeMessages(),
             (QStringList{QStringLiteral("Error in CreateINI"), QStringLiteral("Error in GetiniData")}));
    QCOMPARE(varModule::LastPath, QString());
    // Start-up goes on past the failures: the Navigator opens where the program was started.
    QVERIFY(platform::isFormLoaded<frmDynamic>());
    QCOMPARE(frmDynamic::instance().Dir1->path(), work.path());

    app.close();
    QCOMPARE(app.messages, QStringList{QStringLiteral("Error in WriteNewini")});
    QVERIFY(!QFile::exists(refusing + QStringLiteral("/quorbel.ini")));
}

void tst_Settings::readOnlySettingsFileIsReadButNeverRewritten()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString elsewhere = work.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    const QByteArray stored = settingsLine(work.path());
    app.writeIni(stored);
    testfolders::ImmutableFile immutable(app.iniPath());
    if (!immutable.holds())
        QSKIP("chattr +i cannot make the settings file read-only here");

    app.start(work.path());
    QCOMPARE(app.messages, QStringList());
    QCOMPARE(varModule::LastPath, work.path());

    // The Navigator moves on, so closing tries to store a different folder.
    frmDynamic::instance().Dir1->setPath(elsewhere);
    app.close();

    QCOMPARE(varModule::LastPath, elsewhere);
    QCOMPARE(app.messages, QStringList{QStringLiteral("Error in WriteNewini")});
    QCOMPARE(app.iniBytes(), stored);
    // The failed write leaves no half-written file beside the settings.
    QCOMPARE(filesIn(app.appFolder()), QStringList{QStringLiteral("quorbel.ini")});
}

void tst_Settings::failedWriteLeavesTheSettingsFileWhole()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString later = work.filePath(QStringLiteral("a folder with a longer name than before"));
    QVERIFY(QDir().mkpath(later));
    const QByteArray stored = settingsLine(work.path());
    app.writeIni(stored);
    app.start(work.path());
    QCOMPARE(app.messages, QStringList());
    frmDynamic::instance().Dir1->setPath(later);

    // A file-size limit far below the new line makes the write fail part way, as a full disk
    // would.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    {
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const auto restore = qScopeGuard([&] {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        });
        rlimit limited = saved;
        limited.rlim_cur = 8;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        app.close();
    }

    QCOMPARE(app.messages, QStringList{QStringLiteral("Error in WriteNewini")});
    QCOMPARE(app.iniBytes(), stored);
    QCOMPARE(filesIn(app.appFolder()), QStringList{QStringLiteral("quorbel.ini")});
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
    QVERIFY(work.isValid());
    const QString start = work.filePath(QStringLiteral("start"));
    const QString later = work.filePath(QStringLiteral("later"));
    QVERIFY(testfolders::writeFrames(start, testfolders::frameNames(2)));
    QVERIFY(testfolders::writeFrames(later, testfolders::frameNames(3)));
    app.writeIni(settingsLine(start));

    app.start(work.path());
    QCOMPARE(frmDynamic::instance().Dir1->path(), start);
    frmDynamic::instance().Dir1->setPath(later);
    // Changing folders during a run leaves the file and LastPath alone.
    QCOMPARE(app.iniBytes(), settingsLine(start));
    QCOMPARE(varModule::LastPath, start);

    if (leaveByExit) {
        app.main().mnuExit->trigger();
        QVERIFY(app.exitRequested);
        app.discard();
        QCOMPARE(varModule::LastPath, start);
        QCOMPARE(app.iniBytes(), settingsLine(start));
    } else {
        app.close();
        QVERIFY(!app.exitRequested);
        QCOMPARE(varModule::LastPath, later);
        QCOMPARE(app.iniBytes(), settingsLine(later));
    }
    QCOMPARE(app.messages, QStringList());
}

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
