// The Navigator as a user meets it: start-up at the stored folder, one given or dropped, the
// settings file, walking folders and volumes, the folder shown vanishing, each frame set's figures
// and first frame, a folder of too many frames, the captions, About and Exit; the frames' order,
// in every locale, and GetFiles on a folder changed since it was counted.

#include "app/frmabout.h"
#include "batch/sheetcommand.h"
#include "platform/appfolder.h"
#include "platform/lists.h"
#include "platform/picturebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "settings/varmodule.h"
#include "support/faults.h"
#include "support/frames.h"
#include "support/testapp.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <string>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace testframes;
using steps::expectedRowChoices;
using steps::figures;
using steps::rowChoices;
namespace err = quorbel::err;

namespace {

QStringList fileList()
{
    const QAbstractItemModel *model = steps::navigator().File1->model();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

// The folders the entries of the folder list open, from the current folder's entry on.
QStringList foldersFromCurrent()
{
    const QListWidget &list = *steps::navigator().Dir1;
    QStringList folders;
    for (int row = list.currentRow(); row < list.count(); ++row)
        folders.append(list.item(row)->data(Qt::UserRole).toString());
    return folders;
}

// Drops a link on the Navigator's file list as a file manager does: the main window's window hands
// the events to the widget under the point that takes drops.
void dropOnFileList(TestApp &app, const QUrl &url)
{
    QMimeData data;
    data.setUrls({url});
    const QListView *files = steps::navigator().File1;
    const QPoint at = files->mapTo(&app.main(), files->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(app.main().windowHandle(), &enter);
    QApplication::sendEvent(app.main().windowHandle(), &drop);
}

bool allWindowsVisible()
{
    return steps::navigator().window()->isVisible() && frmPicWork::instance().window()->isVisible()
        && frmPicFinal::instance().window()->isVisible();
}

} // namespace

class TestNavigator : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data()
    {
        // Paths relative to the working folder ("" is the folder itself). fileAt is a file standing
        // where a stored folder was. opened is the command line's arguments or, when the row says
        // so, dropped on the main window once it is up; the run ends by closing the main window, or
        // where the row says so by File > Exit, which stores nothing.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("fileAt");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *stored, const char *opened,
                            const char *shown, const char *fileAt = "", const char *message = "") {
            QTest::newRow(name) << QString::fromLatin1(stored) << QString::fromLatin1(fileAt)
                                << QString::fromLatin1(opened) << QString::fromLatin1(shown)
                                << QString::fromLatin1(message);
        };
        row("another folder", "frames", "", "frames");
        row("the working folder, measured all the same", "", "", "");
        row("deleted two levels deep", "kept/gone/deeper", "", "kept");
        row("replaced by a file", "kept/gone/deeper", "", "kept", "kept/gone");
        row("a folder given, then File > Exit", "", "frames", "frames");
        row("a frame given: its folder", "", "frames/WALK02.bmp", "frames");
        row("a folder named like an option, after --", "", "-- -walk", "-walk");
        row("a missing path given", "frames", "gone", "frames", "",
            "gone does not exist; Quorbel opens the folder it showed last.");
        row("a folder dropped", "", "frames", "frames");
        row("a frame dropped: its folder", "", "frames/WALK02.bmp", "frames");
        row("a web link dropped: nothing", "", "https://example.com/frames", "");
    }

    void startUp()
    {
        QFETCH(QString, stored);
        QFETCH(QString, fileAt);
        QFETCH(QString, opened);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        const QString row = QString::fromLatin1(QTest::currentDataTag());
        TestApp app;
        QTemporaryDir work;
        const auto at = [&](const QString &path) { return QDir(work.path()).filePath(path); };
        QVERIFY(writeFrames(at(shown), walkNames(3), {{5, 4}}));
        QVERIFY(writeFile(at(shown) + u"/notes.txt"_s, "not a frame")); // the pattern comes first
        QVERIFY(fileAt.isEmpty() || writeFile(at(fileAt), "a file now"));
        const bool dropped = row.contains(u"dropped"_s);

        frmDynamic &nav =
            app.startIn(QDir::cleanPath(at(stored)), work.path(),
                        dropped ? QStringList() : opened.split(u' ', Qt::SkipEmptyParts));
        if (dropped)
            dropOnFileList(app, QUrl::fromUserInput(opened, work.path()));

        QCOMPARE(app.messages.join(u'|'), message);
        QCOMPARE(nav.Dir1->path(), QDir::cleanPath(at(shown)));
        QCOMPARE(rowChoices(), expectedRowChoices({3}));
        QCOMPARE(figures(), u"5|4|3|3|15x4"_s);
        QVERIFY(nav.cmdDraw->isEnabled());
        QCOMPARE(frmPicWork::instance().picWork->picture().size(), QSize(5, 4));
        QVERIFY(allWindowsVisible());
        // Closing stores the folder shown for the next start; File > Exit stores nothing.
        const bool exit = row.endsWith(u"Exit"_s);
        if (exit)
            app.main().mnuExit->trigger();
        QCOMPARE(app.exitRequested, exit);
        exit ? app.discard() : app.close();
        QCOMPARE(readAll(app.iniPath()),
                 QDir::cleanPath(at(exit ? stored : shown)).toLocal8Bit() + "\r\n");
    }

    void settingsFile_data()
    {
        // <app> and <work> stand for the application and working folders.
        QTest::addColumn<QString>("obstacle"); // "", refusing, refusing too or closed
        QTest::addColumn<QString>("content"); // "-" for no file
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("lastPath");
        const auto row = [](const char *name, const char *obstacle, const QString &content,
                            const QString &messages, const QString &lastPath) {
            QTest::newRow(name) << QString::fromLatin1(obstacle) << content << messages << lastPath;
        };
        row("first run: created with the application folder", "", u"-"_s, {}, u"<app>"_s);
        row("zero bytes", "", {}, u"Error in GetiniData"_s, {});
        row("empty first line", "", u"\r\n"_s, {}, {});
        row("several lines, bare LF: the first", "", u"<work>\nsecond\r\n"_s, {}, u"<work>"_s);
        row("spaces and quotes kept, no line end", "", u" \"<work>\" "_s, {}, u" \"<work>\" "_s);
        // As an installed copy's: the file goes to the user's configuration folder.
        row("application folder refusing new files", "refusing", u"-"_s, {}, u"<app>"_s);
        row("configuration folder refusing too", "refusing too", u"-"_s,
            u"Error in CreateINI|Error in GetiniData"_s, {});
        // A portable copy's folder its user may no longer add to: the file is written in place.
        row("existing writable file in a folder refusing new files", "closed", u"<work>\r\n"_s, {},
            u"<work>"_s);
    }

    // Read before the Navigator exists, whatever it holds; rewritten as one line at closing, beside
    // the executable or else in the user's configuration folder, and nothing else left there.
    void settingsFile()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, content);
        QFETCH(QString, messages);
        QFETCH(QString, lastPath);
        TestApp app;
        QTemporaryDir work;
        QString folder = app.appFolder();
        if (obstacle.startsWith(u"refusing"_s)) {
            if ((folder = faults::folderRefusingNewFiles()).isEmpty())
                QSKIP("no folder refuses new files here");
            platform::setApplicationFolder(folder);
            if (obstacle == u"refusing too"_s)
                platform::setConfigurationFolder(folder);
        }
        const auto fill = [&](QString text) {
            return text.replace(u"<app>"_s, folder).replace(u"<work>"_s, work.path()).toLocal8Bit();
        };
        if (content != u"-"_s)
            app.writeIni(fill(content));
        std::optional<faults::ClosedFolder> closed;
        if (obstacle == u"closed"_s && !closed.emplace(folder).holds)
            QSKIP("permission bits cannot close a folder here");
        const QString kept =
            obstacle == u"refusing"_s ? app.configFolder() + u"/quorbel.ini"_s : app.iniPath();

        frmDynamic &nav = app.start(work.path());
        QCOMPARE(app.messages.join(u'|'), messages);
        QCOMPARE(varModule::LastPath, QString::fromLocal8Bit(fill(lastPath)));
        QVERIFY(allWindowsVisible());
        QCOMPARE(readAll(kept),
                 obstacle == u"refusing too"_s
                     ? QByteArray()
                     : fill(content == u"-"_s ? u"<app>\r\n"_s : content));
        const QString shown = nav.Dir1->path();
        app.close();
        QCOMPARE(QFileInfo::exists(app.configFolder()), obstacle == u"refusing"_s);
        if (obstacle == u"refusing too"_s) {
            QCOMPARE(app.messages.mid(2), QStringList{u"Error in WriteNewini"_s});
            return;
        }
        QCOMPARE(app.messages.join(u'|'), messages);
        QCOMPARE(readAll(kept), shown.toLocal8Bit() + "\r\n");
        QCOMPARE(entries(QFileInfo(kept).path()), QStringList{u"quorbel.ini"_s});
    }

    void fileListShowsOnlyVisibleBitmapFiles()
    {
        TestApp app;
        QTemporaryDir work;
        const QString folder = work.filePath(u"mixed"_s);
        QVERIFY(writeFrames(
            folder, u"a.Bmp b.bmp Cat.bmp WALK.BMP .hidden.bmp a.bmp.txt a.bm bmp"_s.split(u' ')));
        QVERIFY(QDir(folder).mkdir(u"x.bmp"_s));
        // A link counts as what it points to: a frame, a folder, or nothing at all.
        QVERIFY(QFile::link(folder + u"/b.bmp"_s, folder + u"/link.bmp"_s));
        QVERIFY(QFile::link(work.filePath(u"gone.bmp"_s), folder + u"/dangling.bmp"_s));
        QVERIFY(QFile::link(work.path(), folder + u"/up.bmp"_s));
        QCOMPARE(mkfifo(QFile::encodeName(folder + u"/pipe.bmp"_s).constData(), 0600), 0);

        frmDynamic &nav = app.startIn(folder);

        QCOMPARE(fileList(), u"a.Bmp b.bmp Cat.bmp link.bmp WALK.BMP"_s.split(u' '));
        QCOMPARE(foldersFromCurrent(),
                 (QStringList{folder, folder + u"/up.bmp"_s, folder + u"/x.bmp"_s}));
        QCOMPARE(nav.lblNumOfFrames->text(), u"5"_s);
        // The first entry is the frame shown; Draw's enumeration takes the same files.
        QCOMPARE(nav.File1->fileName(), u"a.Bmp"_s);
        QCOMPARE(
            imageDifference(frmPicWork::instance().picWork->picture(), frameImage(0, {16, 16})),
            QString());
        quorbel::Int16 count = 5;
        nav.GetFiles(count);
        QCOMPARE(nav.FileNames, fileList());
        QCOMPARE(app.messages, QStringList());
    }

    // A volume stands for the folder last shown on it, as a drive letter does, or for its root;
    // one whose root cannot be opened, like an empty removable drive, leaves everything as it was.
    void volumesKeepTheirFolders()
    {
        TestApp app;
        QTemporaryDir work, volume, other;
        const QString walk = volume.filePath(u"anim/walk"_s), notReady = work.filePath(u"none"_s);
        QVERIFY(writeFrames(walk, walkNames(3)) && writeFrames(other.path(), walkNames(2)));
        QVERIFY(writeFrames(work.path(), walkNames(4)));
        platform::setVolumeLister([&] {
            return QStringList{u"/"_s, notReady, volume.path(), other.path()};
        });
        frmDynamic &nav = app.startIn(walk, work.path());
        QCOMPARE(nav.Drive1->currentText(), volume.path());
        nav.Dir1->setPath(work.path());
        QCOMPARE(nav.Drive1->currentText(), u"/"_s);
        const QString before = figures() + rowChoices().join(u',');
        // The user steps the closed drive list on: each pick runs the folder change once.
        QTest::keyClick(nav.Drive1, Qt::Key_Down);
        QCOMPARE(app.takeMessages(), QStringList{u"Path not found76"_s});
        QCOMPARE(nav.Drive1->currentText(), u"/"_s);
        QCOMPARE(nav.Dir1->path() + nav.File1->path(), work.path() + work.path());
        QCOMPARE(figures() + rowChoices().join(u','), before);
        QTest::keyClick(nav.Drive1, Qt::Key_End);
        QCOMPARE(nav.Drive1->drive(), other.path());
        QCOMPARE(fileList(), walkNames(2));
        QTest::keyClick(nav.Drive1, Qt::Key_Up);
        QCOMPARE(nav.Dir1->path(), walk);
        QCOMPARE(rowChoices(), expectedRowChoices({3, 4, 2, 3}));
        QCOMPARE(app.messages, QStringList());
    }

    // The folder shown is renamed behind the Navigator's back: Save into it, Draw and reopening it
    // each say what failed, and the user walks on through the folder list's entries, up to the
    // parent and down into the folder's new name, where everything works again.
    void shownFolderVanishes()
    {
        TestApp app;
        QTemporaryDir work;
        const QString shown = work.filePath(u"frames"_s), moved = work.filePath(u"Walk cycle"_s);
        QVERIFY(writeFrames(shown, walkNames(3)) && QDir().mkdir(work.filePath(u"another"_s)));
        frmDynamic &nav = app.startIn(shown);
        QVERIFY(steps::draw(app, u"1"_s));
        QVERIFY(QDir().rename(shown, moved));

        steps::save(app, shown + u"/Walk01.bmp"_s);
        QCOMPARE(app.takeMessages(), (QStringList{u"File not Saved"_s, u"Path not found76"_s}));
        nav.cmdDraw->click();
        QCOMPARE(app.takeMessages(), QStringList{u"Unable to Draw, check yer files."_s});
        QVERIFY(!nav.cmdSave->isEnabled());
        QVERIFY(steps::activateFolder(shown));
        QCOMPARE(app.takeMessages(), QStringList{u"Path not found76"_s});
        QVERIFY(steps::activateFolder(work.path()));
        QCOMPARE(figures(), u"0|0|0|0|0x0"_s);
        QCOMPARE(foldersFromCurrent(),
                 (QStringList{work.path(), work.filePath(u"another"_s), moved}));
        QVERIFY(steps::activateFolder(moved)); // the folder is current and last, below its parent
        QCOMPARE(foldersFromCurrent(), QStringList{moved});
        QVERIFY(steps::draw(app, u"1"_s));
    }

    // One matching file more than a 16-bit count holds (empty ones: the count fails first) is one
    // frame too many for either program.
    void moreThan32767FramesAreRefused()
    {
        TestApp app;
        QTemporaryDir frames;
        const QString huge = frames.filePath(u"huge"_s), sheet = frames.filePath(u"sheet.bmp"_s);
        QVERIFY(writeFrames(frames.path(), walkNames(2), {{32, 32}}) && QDir().mkdir(huge));
        for (int i = 0; i < 32768; ++i)
            QVERIFY(writeFile(huge + u"/f%1.bmp"_s.arg(i), {}));

        // As the stored folder, the Navigator still loads whole, with every window placed.
        frmDynamic &nav = app.startIn(huge);
        QCOMPARE(app.takeMessages(), QStringList{u"Overflow6"_s});
        QVERIFY(allWindowsVisible());
        QCOMPARE(frmPicWork::instance().left(), nav.width());
        // Walked into, it leaves the figures of the folder before.
        QVERIFY(steps::activateFolder(frames.path()) && steps::activateFolder(huge));
        QCOMPARE(app.takeMessages(), QStringList{u"Overflow6"_s});
        QCOMPARE(figures() + rowChoices().join(u','),
                 u"32|32|2|2|64x32"_s + expectedRowChoices({2}).join(u','));

        const auto sheetSays = [&] {
            QString said;
            QTextStream out(&said);
            const int status = runSheetCommand(
                {u"quorbel-sheet"_s, huge, u"--columns"_s, u"8"_s, u"-o"_s, sheet}, out, out);
            return QString::number(status) + u' ' + said;
        };
        QCOMPARE(sheetSays(), u"2 quorbel-sheet: "_s + huge + u": more than 32767 frames\n"_s);
        QVERIFY(QFile::remove(huge + u"/f0.bmp"_s)); // one fewer is counted, then read
        QCOMPARE(sheetSays(), u"2 quorbel-sheet: f1.bmp: Invalid picture (error 481)\n"_s);
        QVERIFY(!QFile::exists(sheet));
    }

    void nextFolder_data()
    {
        // The figures once the folder is shown, measured with the 2 rows the Draw before was made
        // with; then those with another entry of the rows list picked. Frames of 12 x 7 pixels, so
        // swapped width and height show.
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("brokenFirst"); // a.bmp, which is no picture, comes first
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("picked");
        const auto row = [](const char *name, int frames, bool broken, const char *shown,
                            const char *entry = "", const char *picked = "") {
            QTest::newRow(name) << frames << broken << QString::fromLatin1(shown)
                                << QString::fromLatin1(entry) << QString::fromLatin1(picked);
        };
        row("no frame", 0, false, "0|0|0|0|0x0");
        row("one frame", 1, false, "0|0|1|0|0x0");
        row("2 frames; 23: 0.09 -> 0", 2, false, "12|7|2|1|12x14", "23", "12|7|2|0|0x161");
        row("4 frames; \" 8\": 0.5 -> 0", 4, false, "12|7|4|2|24x14", " 8", "12|7|4|0|0x56");
        row("5 frames: 2.5 -> 2; 11: 0.45 -> 0", 5, false, "12|7|5|2|24x14", "11", "12|7|5|0|0x77");
        row("7 frames: 3.5 -> 4; 5: 1.4 -> 1", 7, false, "12|7|7|4|48x14", "5", "12|7|7|1|12x35");
        // The folder change goes on, measuring the frame the Draw left shown.
        row("5 frames, the first no picture", 5, true, "16|16|6|3|48x32", "1", "16|16|6|6|96x16");
    }

    // After a Draw, a folder of fewer than two frames empties every picture and disables Draw and
    // Save; one of more keeps Save, for the sheet drawn before, and the row count picked.
    void nextFolder()
    {
        QFETCH(int, frames);
        QFETCH(bool, brokenFirst);
        QFETCH(QString, shown);
        QFETCH(QString, entry);
        QFETCH(QString, picked);
        TestApp app;
        QTemporaryDir drawn;
        const QString next = drawn.filePath(u"next"_s);
        QVERIFY(writeFrames(drawn.path(), walkNames(8)));
        QVERIFY(
            writeFrames(next, walkNames(frames) + u"notes.txt a.bmp.bak"_s.split(u' '), {{12, 7}}));
        QVERIFY(!brokenFirst || writeFile(next + u"/a.bmp"_s, "plain text, no picture\n"));
        frmDynamic &nav = app.startIn(drawn.path());
        QVERIFY(!nav.cmdSave->isEnabled());
        QVERIFY(steps::draw(app, u"2"_s));
        const QStringList rowsBefore = rowChoices();
        const quorbel::Picture lastFrame = frmPicWork::instance().picWork->picture();

        QVERIFY(steps::activateFolder(next)); // its entry in the folder list

        QCOMPARE(app.takeMessages(),
                 brokenFirst ? QStringList{u"Invalid picture481"_s} : QStringList());
        QCOMPARE(figures(), shown);
        QCOMPARE(nav.cmdSave->isEnabled(), frames >= 2);
        QCOMPARE(nav.cmdDraw->isEnabled(), frames >= 2);
        frames += brokenFirst;
        if (frames >= 2) {
            QCOMPARE(nav.FileNames, QStringList(frames, QString())); // for the next Draw to fill
            QVERIFY(!brokenFirst || frmPicWork::instance().picWork->picture() == lastFrame);
            // Save writes the sheet drawn before, proposed under no name in the start folder.
            const QImage sheet = steps::save(app, next + u"/earlier"_s);
            QCOMPARE(app.dialogFileName, drawn.path() + u'/');
            QCOMPARE(imageDifference(sheet, paintFrames(8, {16, 16}, 4, 2)), QString());
            steps::pickRows(entry);
            QCOMPARE(figures(), picked);
            return;
        }
        QCOMPARE(nav.FileNames, walkNames(8)); // as the Draw left them
        QCOMPARE(rowChoices(), rowsBefore);
        for (const platform::PictureBox *box :
             {nav.picWork, nav.picFinal, frmPicWork::instance().picWork,
              frmPicFinal::instance().picFinal}) {
            QVERIFY(box->picture().isNull() && box->image().isNull());
            QCOMPARE(QSizeF(box->scaleWidth(), box->scaleHeight()), QSizeF(0, 0));
        }
        QCOMPARE(nav.picWork->size() + nav.picFinal->size(), QSize(0, 0));
        // Emptied, "Input" keeps only the allowances for its border and title bar.
        const frmPicWork &input = frmPicWork::instance();
        QCOMPARE(QSizeF(input.width(), input.height()), QSizeF(100, 400));
    }

    void captionsReadWhole_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("Navigator") << false;
        QTest::newRow("About") << true;
    }

    // Every caption of the form, in the form's own font, fits the box its control leaves for it:
    // on one line, but where a label wraps. About, chosen twice, is one window, which its close
    // box unloads.
    void captionsReadWhole()
    {
        QFETCH(bool, about);
        TestApp app;
        const platform::Form *form = &app.start();
        QMdiArea *workspace = app.main().workspace();
        if (about) { // chosen again, it comes forward as the one About window
            app.main().mnuAbout->trigger();
            steps::navigator().show();
            app.main().mnuAbout->trigger();
            form = &frmAbout::instance();
            QCOMPARE(workspace->subWindowList().size(), 4);
            QCOMPARE(workspace->activeSubWindow(), form->window());
        }
        int measured = 0;
        QStringList cut;
        for (QWidget *control : form->client()->findChildren<QWidget *>()) {
            const QFontMetrics metrics = control->fontMetrics();
            QStyleOptionButton option;
            option.initFrom(control);
            QRect box = control->rect();
            QString text;
            int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
            if (auto *label = qobject_cast<QLabel *>(control)) {
                text = label->text();
                box = label->contentsRect();
                if (label->frameWidth() > 0) // Qt indents a framed label's text by half an "x"
                    box.setLeft(box.left() + metrics.horizontalAdvance(u'x') / 2);
                flags = label->alignment() | (label->wordWrap() ? Qt::TextWordWrap : 0);
            } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                text = button->text();
                option.features = button->autoDefault() ? QStyleOptionButton::AutoDefaultButton
                                                        : QStyleOptionButton::None;
                box = control->style()->subElementRect(QStyle::SE_PushButtonContents, &option,
                                                       control);
                flags = Qt::AlignCenter | Qt::TextShowMnemonic;
            } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
                text = check->text();
                box =
                    control->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, control);
            } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
                text = frame->title();
            } else {
                continue;
            }
            ++measured;
            const QRect needed = metrics.boundingRect(box, flags, text);
            if (!box.contains(needed))
                cut.append(text);
        }
        QVERIFY(measured > 0);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; "_s)));
        form->window()->close(); // unloads About; the Navigator's has no close box
        QCOMPARE(workspace->subWindowList().size(), 3);
    }

    void sortsNames_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("names");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("expected");
        const std::pair<const char *, std::array<const char16_t *, 2>> cases[] = {
            {"digits compare as characters", {u"frame1,frame2,frame10", u"frame1,frame10,frame2"}},
            {"case ignored", {u"Walk02,walk01,d,B,c", u"B,c,d,walk01,Walk02"}},
            {"dotted and dotless i", {u"Iz,ia,IB", u"ia,IB,Iz"}},
            {"full stop, digits, letters",
             {u"f1a.b,F.b,f10.b,f1.b,fA.b", u"F.b,f1.b,f10.b,f1a.b,fA.b"}},
            // b and B compare equal; the exchange carries b past B.
            {"a case-only tie", {u"b,B,a", u"a,B,b"}}};
        for (const char *l : {"C", "de_DE", "tr_TR", "sv_SE"}) {
            for (const auto &[name, lists] : cases)
                QTest::addRow("%s: %s", l, name)
                    << QString::fromLatin1(l) << QString::fromUtf16(lists[0]) << true << false
                    << QString::fromUtf16(lists[1]);
            QTest::addRow("%s: descending is a new sort, not a reversal", l)
                << QString::fromLatin1(l) << u"b,Ia,c,a,A"_s << false << false << u"Ia,c,b,a,A"_s;
            QTest::addRow("%s: character codes", l)
                << QString::fromLatin1(l) << u"a,_,Z,b,B"_s << true << true << u"B,Z,_,a,b"_s;
        }
    }

    void sortsNames()
    {
        QFETCH(QString, locale);
        QFETCH(QString, names);
        QFETCH(bool, ascending);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, expected);
        const QLocale previousLocale;
        const std::string previousC = std::setlocale(LC_ALL, nullptr);
        const auto restore = qScopeGuard([&] {
            QLocale::setDefault(previousLocale);
            std::setlocale(LC_ALL, previousC.c_str());
        });
        QLocale::setDefault(QLocale(locale));
        std::setlocale(LC_ALL,
                       (locale == u"C"_s ? locale : locale + u".UTF-8"_s).toUtf8().constData());
        QStringList list = names.split(u',');
        frmDynamic::SortArray(list, ascending, caseSensitive);
        QCOMPARE(list.join(u','), expected);
    }

    // Thousands of short lists full of names equal but for case, sorted both ways, against the
    // plain selection sort that has always ordered the frames.
    void sortingKeepsTheSelectionSortsOrder()
    {
        QRandomGenerator random(21);
        for (int round = 0; round < 4000; ++round) {
            QStringList names;
            for (int i = random.bounded(1, 30); i > 0; --i)
                names.append(QString(u"aAbB"[random.bounded(4)]).repeated(random.bounded(1, 3)));
            const bool ascending = round % 2, caseSensitive = round % 7 == 0;
            QStringList expected = names;
            for (qsizetype i = 0; i + 1 < expected.size(); ++i) {
                qsizetype k = i;
                for (qsizetype j = i + 1; j < expected.size(); ++j) {
                    const int order = QString::compare(expected.at(j), expected.at(k),
                                                       Qt::CaseSensitivity(caseSensitive));
                    k = (ascending ? order < 0 : order > 0) ? j : k;
                }
                expected.swapItemsAt(i, k);
            }
            frmDynamic::SortArray(names, ascending, caseSensitive);
            QCOMPARE(names, expected);
        }
    }

    // A folder of walk frames, changed on disk after the Navigator counted them.
    void getFiles_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("expected");

        const QStringList walk = walkNames(8), none, more{u"walk09.bmp"_s, u"A00.bmp"_s};
        QTest::newRow("one file fewer: an empty name first")
            << 8 << QStringList{walk.at(4)} << none << 8 << 0
            << QStringList{QString()} + walk.mid(0, 4) + walk.mid(5);
        QTest::newRow("two files fewer: the listing asked past its end")
            << 8 << QStringList{walk.at(4), walk.at(0)} << none << 8 << err::InvalidProcedureCall
            << none;
        // One frame leaves the list unsized; a list sized for 3 cannot take 5 names either.
        QTest::newRow("unsized list") << 1 << none << none << 2 << err::SubscriptOutOfRange << none;
        QTest::newRow("more names than the list holds")
            << 3 << none << more << 5 << err::SubscriptOutOfRange << none;
    }

    void getFiles()
    {
        QFETCH(int, frames);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, added);
        QFETCH(int, count);
        QFETCH(int, error);
        QFETCH(QStringList, expected);
        TestApp app;
        QTemporaryDir folder;
        QVERIFY(writeFrames(folder.path(), walkNames(frames), {}, true));
        frmDynamic &nav = app.startIn(folder.path());
        for (const QString &name : std::as_const(removed))
            QVERIFY(QFile::remove(folder.filePath(name)));
        QVERIFY(writeFrames(folder.path(), added));

        quorbel::Int16 numoffiles = quorbel::Int16(count), last = -1;
        QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), error);
        QCOMPARE(numoffiles, quorbel::Int16(count));
        QCOMPARE(nav.FileNames.size(), frames < 2 ? 0 : frames);
        if (error != 0)
            return;
        QCOMPARE(last, quorbel::Int16(count - 1));
        QCOMPARE(nav.FileNames, expected);
    }

    // Started as a desktop user starts it, on a real X server with a window manager (desktop.sh
    // runs this alone there), from a terminal in the folder of frames it also showed last: the
    // frames are measured at once and the keyboard works with no click. Draw is the first enabled
    // control in tab order: Enter and Alt+D draw; Alt+S opens the real save dialog, where a name
    // typed and Enter save the sheet.
    void keyboardWorksFromTheStart()
    {
        const QString why = qEnvironmentVariable("QUORBEL_NO_DESKTOP", u"not run by desktop.sh"_s);
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP(qPrintable(u"no X server with a window manager: "_s + why));
        TestApp app;
        platform::setSaveDialogAnswerer({});
        QTemporaryDir frames;
        QVERIFY(writeFrames(frames.path(), walkNames(8), {{8, 6}}));
        frmDynamic &nav = app.startIn(frames.path(), frames.path());
        QCOMPARE(figures(), u"8|6|8|8|64x6"_s);
        QVERIFY(nav.cmdDraw->isEnabled());
        QWindow *window = app.main().windowHandle();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(app.main().workspace()->activeSubWindow(), nav.window());
        QTRY_COMPARE(QApplication::focusWidget(), nav.cmdDraw);
        const quorbel::Picture &shown = frmPicFinal::instance().picFinal->picture();

        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(shown.size(), QSize(64, 6));
        frmPicFinal::instance().picFinal->setPicture({}); // so that the next Draw shows
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(shown.size(), QSize(64, 6)); // the access key clicks animated
        // The dialog runs its own event loop: the name is typed from there, once it has the focus.
        QTimer typist;
        QObject::connect(&typist, &QTimer::timeout, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || !dialog->isActiveWindow())
                return;
            typist.stop();
            QTest::keySequence(dialog->windowHandle(), QKeySequence::SelectAll);
            for (const char key : std::string_view("sheet.bmp"))
                QTest::keyClick(dialog->windowHandle(), key);
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
        });
        typist.start(50);
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        const QString saved = frames.filePath(u"sheet.bmp"_s);
        QTRY_VERIFY(QFile::exists(saved));
        QCOMPARE(imageDifference(shown, QImage(saved, "BMP")), QString());
        QCOMPARE(app.messages, QStringList());
    }
};

QTEST_MAIN(TestNavigator)
#include "tst_navigator.moc"
