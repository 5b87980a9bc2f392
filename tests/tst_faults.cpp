// Every file Quorbel writes (the sheet from Save or from quorbel-sheet, and the settings file at
// closing) meets real obstacles: each write is refused with its message and leaves the old file
// exactly as it was, with no temporary file beside it.

#include "batch/sheetcommand.h"
#include "support/faults.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace testframes;

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteLeavesTheOldFile_data()
    {
        QTest::addColumn<QString>("writer"); // save, settings or sheet
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("messages"); // a pattern, one message a line

        const QString notSaved = u"File not Saved\n"_s;
        const QString settings = u"Error in WriteNewini"_s;
        const auto row = [](const char *name, const char *writer, const char *obstacle,
                            const QString &messages) {
            QTest::newRow(name) << QString::fromLatin1(writer) << QString::fromLatin1(obstacle)
                                << messages;
        };
        row("Save cancelled", "save", "cancel", QString());
        // Root ignores permission bits, so the immutable attribute makes the target read-only.
        row("Save over a read-only file", "save", "immutable", notSaved + u"Permission denied70"_s);
        row("Save cut short by a file-size limit", "save", "size limit",
            notSaved + u"Path/File access error75"_s);
        row("Save onto a full disk", "save", "full volume", notSaved + u"Disk full61"_s);
        row("Save into a missing folder", "save", "missing folder",
            notSaved + u"Path not found76"_s);
        // Only the form of the second message is fixed.
        row("Save into a folder refusing new files", "save", "refusing folder",
            notSaved + u"[^\\n0-9]+[0-9]+"_s);
        row("settings file read-only", "settings", "immutable", settings);
        row("settings cut short by a file-size limit", "settings", "size limit", settings);
        row("settings onto a full disk", "settings", "full volume", settings);
        row("quorbel-sheet over a read-only file", "sheet", "immutable",
            u"quorbel-sheet: <target>: Permission denied \\(error 70\\)\n"_s);
        row("quorbel-sheet onto a full disk", "sheet", "full volume",
            u"quorbel-sheet: <target>: Disk full \\(error 61\\)\n"_s);
        row("quorbel-sheet into a missing folder", "sheet", "missing folder",
            u"quorbel-sheet: <target>: Path not found \\(error 76\\)\n"_s);
        row("quorbel-sheet into a folder refusing new files", "sheet", "refusing folder",
            u"quorbel-sheet: <target>: Path/File access error \\(error 75\\)\n"_s);
    }

    void failedWriteLeavesTheOldFile()
    {
        QFETCH(QString, writer);
        QFETCH(QString, obstacle);
        QFETCH(QString, messages);
        TestApp app;
        QTemporaryDir frames, out;
        const bool settings = writer == u"settings"_s;
        QString folder = settings ? app.appFolder() : out.path();
        if (obstacle == u"missing folder"_s)
            folder = out.filePath(u"nowhere"_s);
        if (obstacle == u"refusing folder"_s
            && (folder = faults::folderRefusingNewFiles()).isEmpty())
            QSKIP("no folder refuses new files here");
        std::optional<faults::SmallVolume> volume;
        if (obstacle == u"full volume"_s && !volume.emplace(folder, settings ? 4 : 16).holds)
            QSKIP("a small file system cannot be mounted here (that needs root)");
        QVERIFY(writeFrames(frames.path(), walkNames(8), {{32, 32}})); // a sheet of 24630 bytes
        const QString target = settings ? app.iniPath() : QDir(folder).filePath(u"sheet.bmp"_s);
        const bool existing = folder == out.path() || settings;
        if (existing && !settings)
            QVERIFY(writeFile(target, frameFile(9, {3, 3})));
        if (writer != u"sheet"_s) {
            app.startIn(frames.path());
            QVERIFY(steps::draw(app, u"2"_s));
        }
        if (settings) // the Navigator moves on, so closing would store another line
            steps::navigator().Dir1->setPath(out.path());
        const QByteArray original = readAll(target);
        std::optional<faults::ImmutableFile> lock;
        if (obstacle == u"immutable"_s && !lock.emplace(target).holds)
            QSKIP("chattr +i cannot make a file read-only here");

        QString err;
        int status = -1;
        {
            std::optional<faults::FileSizeLimit> limit;
            if (obstacle == u"size limit"_s)
                limit.emplace(settings ? 8 : 4096);
            if (writer == u"save"_s) {
                app.saveAnswer = obstacle == u"cancel"_s ? std::nullopt : std::optional(target);
                steps::navigator().cmdSave->click();
            } else if (settings) {
                app.close();
            } else {
                QTextStream out(&err), errors(&err);
                status = runSheetCommand(
                    {u"quorbel-sheet"_s, frames.path(), u"--rows"_s, u"2"_s, u"-o"_s, target}, out,
                    errors);
            }
        }

        const QString shown = writer == u"sheet"_s ? err : app.messages.join(u'\n');
        const QString pattern = QString(messages).replace(u"<target>"_s, target);
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                     .match(shown)
                     .hasMatch(),
                 qPrintable(shown));
        QCOMPARE(status, writer == u"sheet"_s ? 2 : -1);
        QCOMPARE(readAll(target), original);
        QCOMPARE(QFile::exists(target), existing);
        if (existing)
            QCOMPARE(entries(folder), QStringList{QFileInfo(target).fileName()});
        if (writer == u"save"_s)
            QVERIFY(steps::navigator().cmdSave->isEnabled());
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
