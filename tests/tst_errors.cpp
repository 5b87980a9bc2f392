// Numbered run-time errors and what the user reads of them: the checked arithmetic behind the
// figures, Draw and the window sizes (out of 16 or 32 bits, or without a value, is error 6 instead
// of a wrapped number; fractions round half to even), errors that meet no trap, and every file
// Quorbel writes (the sheet from Save or quorbel-sheet, the settings file at closing) meeting real
// obstacles: each write refused with its message, the old file left exactly as it was, with no
// temporary file beside it.

#include "batch/sheetcommand.h"
#include "core/checkedmath.h"
#include "core/replacefile.h"
#include "platform/eventguard.h"
#include "support/faults.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>

using namespace platform;
using namespace quorbel;
using namespace Qt::StringLiterals;
using namespace testframes;

namespace {

constexpr double Error6 = std::numeric_limits<double>::quiet_NaN(); // as an expected result

const std::map<QByteArray, std::function<double(double, double)>> operations = {
    {"add16", [](double a, double b) { return checkedAdd<Int16>(Int16(a), Int16(b)); }},
    {"mul16", [](double a, double b) { return checkedMul<Int16>(Int16(a), Int16(b)); }},
    {"add32", [](double a, double b) { return checkedAdd<Int32>(Int32(a), Int32(b)); }},
    {"mul32", [](double a, double b) { return checkedMul<Int32>(Int32(a), Int32(b)); }},
    {"toInt16", [](double a, double) { return toInt16(a); }},
    {"toInt32", [](double a, double) { return toInt32(a); }},
    {"addFloat", [](double a, double b) { return checkedAdd(float(a), float(b)); }},
};

void row(const QByteArray &operation, double a, double b, double result)
{
    QTest::addRow("%s(%.12g, %.12g)", operation.constData(), a, b) << operation << a << b << result;
}

} // namespace

class TestErrors : public QObject
{
    Q_OBJECT

private slots:
    void arithmetic_data()
    {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("result");
        // The limits of both widths: reached, and passed by one or by a rounded half.
        for (const int bits : {16, 32}) {
            const double max = bits == 16 ? 32767 : 2147483647.0, min = -max - 1;
            const QByteArray add = "add" + QByteArray::number(bits),
                             to = "toInt" + QByteArray::number(bits);
            row(add, max - 1, 1, max);
            row(add, max, 1, Error6);
            row(add, min, -1, Error6);
            row("mul" + QByteArray::number(bits), min, -1, Error6);
            row(to, max + 0.5, 0, Error6);
            row(to, min - 0.5, 0, min); // the even neighbour is the minimum itself
            row(to, Error6, 0, Error6);
        }
        row("mul16", 256, 257, Error6); // would wrap to a small value
        row("toInt16", -2.5, 0, -2);
        row("toInt16", 1.5, 0, 2);
        // Single precision, as the window sizes are summed.
        row("addFloat", 3e38, 1e38, Error6);
    }

    void arithmetic()
    {
        QFETCH(QByteArray, operation);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, result);
        double value = Error6;
        QCOMPARE(testframes::errorNumber([&] { value = operations.at(operation)(a, b); }),
                 std::isnan(result) ? 6 : 0);
        if (!std::isnan(result))
            QCOMPARE(value, result);
    }

    // The user reads the description immediately followed by the number, whatever failed, and the
    // program goes on; runAllThenRaise runs the rest after a failure, then raises it.
    void untrappedErrorsBecomeOneMessage()
    {
        TestApp app;
        QStringList ran;
        runEvent([] { quorbel::raise(err::PathNotFound); });
        runEvent([] { throw std::bad_alloc(); });
        runEvent([] { throw 42; });
        runEvent([&] {
            runAllThenRaise([] { quorbel::raise(err::Overflow); }, [&] { ran.append(u"rest"_s); });
            ran.append(u"after"_s);
        });
        QCOMPARE(app.messages,
                 (QStringList{u"Path not found76"_s, u"Out of memory7"_s, u"Internal error51"_s,
                              u"Overflow6"_s}));
        QCOMPARE(ran, QStringList{u"rest"_s});
    }

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
        row("Save onto a full disk", "save", "full volume", notSaved + u"Disk full61"_s);
        row("Save into a missing folder", "save", "missing folder",
            notSaved + u"Path not found76"_s);
        // Only the form of the second message is fixed.
        row("Save into a folder refusing new files", "save", "refusing folder",
            notSaved + u"[^\\n0-9]+[0-9]+"_s);
        row("settings file read-only", "settings", "immutable", settings);
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

    // quorbel-sheet's pages and JSON take their names one rename after another: a rename refused
    // names its own file, the files before it are new, it and those after stay old, and no new
    // file is left beside them.
    void aSetOfFilesNamesTheOneItCouldNotPlace()
    {
        QTemporaryDir out;
        const QStringList names{u"walk-1.png"_s, u"walk-2.png"_s, u"walk.json"_s};
        std::optional<FileFailure> failure;
        {
            FileSet files;
            for (const QString &name : names) {
                QVERIFY(writeFile(out.filePath(name), "old"));
                files.add(out.filePath(name), 3, [](const ByteSink &sink) { sink({"new"}); });
            }
            // A folder in walk-2.png's place meanwhile, which no rename replaces.
            QVERIFY(QFile::remove(out.filePath(names[1])) && QDir(out.path()).mkdir(names[1]));
            try {
                files.commit();
            } catch (const FileFailure &caught) {
                failure = caught;
            }
        }
        QVERIFY(failure);
        QCOMPARE(failure->path, out.filePath(names[1]));
        QCOMPARE(failure->error.number(), int(err::PermissionDenied));
        QCOMPARE(readAll(out.filePath(names[0])), "new");
        QCOMPARE(readAll(out.filePath(names[2])), "old");
        QCOMPARE(entries(out.path()), names);
    }
};

QTEST_MAIN(TestErrors)
#include "tst_errors.moc"
