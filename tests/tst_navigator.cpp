// The Navigator as a user meets it: start-up at the stored folder and the settings file, walking
// folders and volumes, the figures of each frame set, the first frame shown, the "Input" and
// "Final" windows, the captions and the About window; the order of the frames on the sheet, how
// names sort in every locale, and how GetFiles reads them from a folder changed since it was
// counted.

#include "app/frmabout.h"
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
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

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
        // Relative to the working folder ("" is the folder itself); fileAt is a file standing where
        // a stored folder was.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("fileAt");
        QTest::newRow("another folder") << u"frames"_s << u"frames"_s << QString();
        QTest::newRow("the working folder: no folder change")
            << QString() << QString() << QString();
        QTest::newRow("deleted two levels deep") << u"kept/gone/deeper"_s << u"kept"_s << QString();
        QTest::newRow("replaced by a file") << u"kept/gone/deeper"_s << u"kept"_s << u"kept/gone"_s;
    }

    void startUp()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, fileAt);
        TestApp app;
        QTemporaryDir work;
        const auto at = [&](const QString &path) { return QDir(work.path()).filePath(path); };
        QVERIFY(writeFrames(at(shown), walkNames(3), {{5, 4}}));
        QVERIFY(writeFile(at(shown) + u"/notes.txt"_s, "not a frame")); // the pattern comes first
        QVERIFY(fileAt.isEmpty() || writeFile(at(fileAt), "a file now"));
        const bool change = !shown.isEmpty();

        frmDynamic &nav = app.startIn(QDir::cleanPath(at(stored)), work.path());

        QCOMPARE(app.messages, QStringList());
        QCOMPARE(nav.Dir1->path(), QDir::cleanPath(at(shown)));
        QCOMPARE(rowChoices(), expectedRowChoices({change ? 3 : 0}));
        QCOMPARE(figures(),
                 change ? u"5|4|3|3|15x4"_s : u"XSource|YSource|Frames|FperR|Final XY"_s);
        QCOMPARE(nav.cmdDraw->isEnabled(), change);
        QCOMPARE(frmPicWork::instance().picWork->picture().size(),
                 change ? QSize(5, 4) : QSize(0, 0));
        QVERIFY(allWindowsVisible());
        app.close(); // the folder shown is the one stored for the next start
        QCOMPARE(readAll(app.iniPath()), QDir::cleanPath(at(shown)).toLocal8Bit() + "\r\n");
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
        row("several lines: the first counts", "", u"<work>\r\nsecond\r\n"_s, {}, u"<work>"_s);
        row("bare line feed", "", u"<work>\n"_s, {}, u"<work>"_s);
        row("spaces and quotes kept", "", u" \"<work>\" \r\n"_s, {}, u" \"<work>\" "_s);
        row("no line end", "", u"<work>"_s, {}, u"<work>"_s);
        // As an installed copy's: the file goes to the user's configuration folder.
        row("application folder refusing new files", "refusing", u"-"_s, {}, u"<app>"_s);
        row("configuration folder refusing too", "refusing too", u"-"_s,
            u"Error in CreateINI|Error in GetiniData"_s, {});
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

    void nextFolder_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("brokenFirst"); // a.bmp, which is no picture, comes first
        QTest::newRow("no frame") << 0 << false;
        QTest::newRow("one frame") << 1 << false;
        QTest::newRow("two frames") << 2 << false;
        QTest::newRow("five frames") << 5 << false;
        // The folder change goes on, measuring the frame the Draw left shown.
        QTest::newRow("five frames, the first no picture") << 5 << true;
    }

    // After a Draw, a folder of fewer than two frames empties every picture and disables Draw and
    // Save; one of more keeps Save, for the sheet drawn before.
    void nextFolder()
    {
        QFETCH(int, frames);
        QFETCH(bool, brokenFirst);
        TestApp app;
        QTemporaryDir drawn, next;
        QVERIFY(writeFrames(drawn.path(), walkNames(8)));
        QVERIFY(writeFrames(next.path(), walkNames(frames) + u"notes.txt a.bmp.bak"_s.split(u' ')));
        QVERIFY(!brokenFirst || writeFile(next.filePath(u"a.bmp"_s), "plain text, no picture\n"));
        frmDynamic &nav = app.startIn(drawn.path());
        QVERIFY(!nav.cmdSave->isEnabled());
        QVERIFY(steps::draw(app, u"1"_s));
        const QStringList rowsBefore = rowChoices();
        const quorbel::Picture shown = frmPicWork::instance().picWork->picture();

        nav.Dir1->setPath(next.path());

        QCOMPARE(app.takeMessages(),
                 brokenFirst ? QStringList{u"Invalid picture481"_s} : QStringList());
        QCOMPARE(nav.cmdSave->isEnabled(), frames >= 2);
        QCOMPARE(nav.cmdDraw->isEnabled(), frames >= 2);
        frames += brokenFirst;
        if (frames >= 2) {
            QCOMPARE(figures(), u"16|16|%1|%1|%2x16"_s.arg(frames).arg(16 * frames));
            QCOMPARE(nav.FileNames, QStringList(frames, QString())); // for the next Draw to fill
            QVERIFY(!brokenFirst || frmPicWork::instance().picWork->picture() == shown);
            // Save writes the sheet drawn before, proposed under no name in the start folder.
            const QImage sheet = steps::save(app, next.filePath(u"earlier"_s));
            QCOMPARE(app.dialogFileName, drawn.path() + u'/');
            QCOMPARE(imageDifference(sheet, paintFrames(8, {16, 16}, 8, 1)), QString());
            return;
        }
        QCOMPARE(figures(), u"0|0|%1|0|0x0"_s.arg(frames));
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

    void figuresFollowTheRowPicks_data()
    {
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shown");
        // Frames of 12 x 7 pixels, so swapped width and height show.
        QTest::newRow("8 in 1 row") << 8 << u"1"_s << u"12|7|8|8|96x7"_s;
        QTest::newRow("8 in 2 rows") << 8 << u"2"_s << u"12|7|8|4|48x14"_s;
        QTest::newRow("5 in 2 rows: 2.5 -> 2") << 5 << u"2"_s << u"12|7|5|2|24x14"_s;
        QTest::newRow("7 in 2 rows: 3.5 -> 4") << 7 << u"2"_s << u"12|7|7|4|48x14"_s;
        QTest::newRow("8 in entry 11: 0.73 -> 1") << 8 << u"11"_s << u"12|7|8|1|12x77"_s;
        QTest::newRow("8 in entry 23: 0.35 -> 0") << 8 << u"23"_s << u"12|7|8|0|0x161"_s;
        QTest::newRow("4 in an earlier run's \" 8\": 0.5 -> 0")
            << 4 << u" 8"_s << u"12|7|4|0|0x56"_s;
    }

    void figuresFollowTheRowPicks()
    {
        QFETCH(int, frames);
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        TestApp app;
        QTemporaryDir earlier, first, second;
        QVERIFY(writeFrames(earlier.path(), walkNames(8), {{5, 5}}));
        QVERIFY(writeFrames(first.path(), walkNames(frames), {{12, 7}}));
        QVERIFY(writeFrames(second.path(), walkNames(frames), {{12, 7}}));
        frmDynamic &nav = app.start();
        nav.Dir1->setPath(earlier.path());

        nav.Dir1->setPath(first.path());
        steps::pickRows(entry);
        QCOMPARE(figures(), shown);
        nav.Dir1->setPath(second.path()); // the pick stays, and measuring finds the same
        QCOMPARE(figures(), shown);
        QCOMPARE(rowChoices(), expectedRowChoices({8, frames, frames}));
        QCOMPARE(app.messages, QStringList());
    }

    // One matching file more than a 16-bit count holds; empty ones, as the count fails first.
    void tooManyFramesOverflowWithoutLosingAnything()
    {
        TestApp app;
        QTemporaryDir frames;
        const QString huge = frames.filePath(u"huge"_s);
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
    }

    void captionsReadWhole_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("Navigator") << false;
        QTest::newRow("About") << true;
    }

    // Every caption of the form, in the form's own font, fits the box its control leaves for it:
    // on one line, but where a label wraps.
    void captionsReadWhole()
    {
        QFETCH(bool, about);
        TestApp app;
        const platform::Form *form = &app.start();
        if (about) {
            app.main().mnuAbout->trigger();
            form = &frmAbout::instance();
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
    }

    // The About command loads one window, brings it forward when chosen again and leaves the rest
    // alone; its close box unloads it. File > Exit then ends at once, storing no folder.
    void aboutAndExit()
    {
        TestApp app;
        QTemporaryDir frames, later;
        QVERIFY(writeFrames(frames.path(), walkNames(4)));
        frmDynamic &nav = app.startIn(frames.path());
        QVERIFY(steps::draw(app, u"2"_s));
        const auto others = [&] {
            return std::tuple(figures(), rowChoices(), nav.cmdSave->isEnabled(),
                              frmPicFinal::instance().picFinal->picture(),
                              nav.window()->geometry());
        };
        const auto before = others();
        const auto aboutWindows = [&] {
            return app.main().workspace()->subWindowList().size() - 3;
        };
        app.main().mnuAbout->trigger();
        nav.show();
        app.main().mnuAbout->trigger();
        QCOMPARE(aboutWindows(), 1);
        QCOMPARE(app.main().workspace()->activeSubWindow(), frmAbout::instance().window());
        frmAbout::instance().window()->close();
        QCOMPARE(aboutWindows(), 0);
        QVERIFY(others() == before);
        nav.Dir1->setPath(later.path());
        app.main().mnuExit->trigger();
        QVERIFY(app.exitRequested);
        app.discard();
        QCOMPARE(readAll(app.iniPath()), frames.path().toLocal8Bit() + "\r\n");
        QCOMPARE(app.messages, QStringList());
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
            {"empty name first", {u"b,,a", u",a,b"}},
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
            // Names that are not valid UTF-16 never come from a disk; they still sort as ever.
            const QString lone = QString(QChar(0x3C2)) + QChar(0xDCB1);
            const QString wide = QString(QChar(0x3C2)) + QChar(0xFF41);
            QTest::addRow("%s: a lone surrogate", l) << QString::fromLatin1(l) << wide + u',' + lone
                                                     << true << false << lone + u',' + wide;
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
        QTest::newRow("8 of 8, sorted") << 8 << none << none << 8 << 0 << walk;
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
        const int size = frames < 2 ? 0 : frames;
        for (const QString &name : std::as_const(removed))
            QVERIFY(QFile::remove(folder.filePath(name)));
        QVERIFY(writeFrames(folder.path(), added));

        quorbel::Int16 numoffiles = quorbel::Int16(count), last = -1;
        QCOMPARE(errorNumber([&] { last = nav.GetFiles(numoffiles); }), error);
        QCOMPARE(numoffiles, quorbel::Int16(count));
        QCOMPARE(nav.FileNames.size(), size);
        if (error != 0)
            return;
        QCOMPARE(last, quorbel::Int16(count - 1));
        QCOMPARE(nav.FileNames, expected);
    }

    // Started as a desktop user starts it, on a real X server with a window manager (desktop.sh
    // runs this alone there), the keyboard works at once, with no click. The stored folder
    // holds frames, so Draw is the first enabled control in tab order: Enter and
    // Alt+D draw, Alt+S saves.
    void keyboardWorksFromTheStart()
    {
        const QString why = qEnvironmentVariable("QUORBEL_NO_DESKTOP", u"not run by desktop.sh"_s);
        if (QGuiApplication::platformName() != u"xcb"_s)
            QSKIP(qPrintable(u"no X server with a window manager: "_s + why));
        TestApp app;
        QTemporaryDir frames;
        QVERIFY(writeFrames(frames.path(), walkNames(3), {{8, 6}}));
        frmDynamic &nav = app.startIn(frames.path());
        QWindow *window = app.main().windowHandle();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(app.main().workspace()->activeSubWindow(), nav.window());
        QTRY_COMPARE(QApplication::focusWidget(), nav.cmdDraw);
        const quorbel::Picture &shown = frmPicFinal::instance().picFinal->picture();

        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(shown.size(), QSize(24, 6));
        frmPicFinal::instance().picFinal->setPicture({}); // so that the next Draw shows
        QTest::keyClick(window, Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(shown.size(), QSize(24, 6)); // the access key clicks animated
        app.saveAnswer = frames.filePath(u"sheet.bmp"_s);
        QTest::keyClick(window, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(app.dialogsShown, 1);
        QCOMPARE(imageDifference(shown, QImage(*app.saveAnswer, "BMP")), QString());
        QCOMPARE(app.messages, QStringList());
    }
};

QTEST_MAIN(TestNavigator)
#include "tst_navigator.moc"
