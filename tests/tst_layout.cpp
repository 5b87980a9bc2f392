// What the user sees of the windows as designed: the controls' places, texts, first states and
// tab order; the main window's menus; the About window, which exists at most once and can be
// closed and opened again without disturbing the other windows.

#include "app/frmabout.h"
#include "navigator/frmdynamic.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/folderwalk.h"
#include "support/framefolders.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// The controls by name: the Navigator's, and About's labels ("About.Label1" ...) while it is open.
QHash<QString, QWidget *> controls()
{
    frmDynamic &n = frmDynamic::instance();
#define NAMED(control) {QStringLiteral(#control), n.control}
    QHash<QString, QWidget *> all{
        NAMED(Drive1), NAMED(Dir1), NAMED(File1), NAMED(Frame1), NAMED(Label1),
        NAMED(lblXSource), NAMED(Label6), NAMED(lblFramesPerRow), NAMED(Label2),
        NAMED(lblYSource), NAMED(Label5), NAMED(lblFinalSize), NAMED(Label4),
        NAMED(lblNumOfFrames), NAMED(chkInvert), NAMED(Label3), NAMED(cboNumOfRows),
        NAMED(cmdDraw), NAMED(cmdSave), NAMED(picWork), NAMED(picFinal)};
#undef NAMED
    if (platform::isFormLoaded<frmAbout>()) {
        for (size_t i = 0; i < frmAbout::instance().labels.size(); ++i)
            all.insert(u"About.Label%1"_s.arg(i + 1), frmAbout::instance().labels[i]);
    }
    return all;
}

int countAboutWindows(TestApp &app)
{
    const auto isAbout = [](const QMdiSubWindow *w) {
        return w->windowTitle() == u"About Brannoc's Q.R.B."_s;
    };
    return int(std::ranges::count_if(app.main().workspace()->subWindowList(), isAbout));
}

// What the Navigator and the preview windows show, to compare before and after About.
auto otherWindows()
{
    const frmDynamic &n = frmDynamic::instance();
    const QMdiSubWindow *work = frmPicWork::instance().window();
    const QMdiSubWindow *sheet = frmPicFinal::instance().window();
    return std::tuple(folderwalk::valueLabels() + testfolders::entries(*n.cboNumOfRows)
                          << n.Dir1->path(),
                      n.cmdDraw->isEnabled(), n.cmdSave->isEnabled(),
                      frmPicWork::instance().picWork->picture(),
                      frmPicFinal::instance().picFinal->picture(),
                      QList<QRect>{n.window()->geometry(), work->geometry(), sheet->geometry()},
                      n.window()->isVisible() && work->isVisible() && sheet->isVisible());
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlPlacesAndCaptions_data();
    void controlPlacesAndCaptions();
    void navigatorWindowAndFirstStates();
    void mainWindowCaptionAndMenus();
    void aboutWindowOpensOnce();
    void closingAboutLeavesTheOtherWindowsAlone();

private:
    std::optional<QTemporaryDir> m_work;
    std::optional<TestApp> m_app;
};

// Every test starts the program in an empty folder, and none expects a message.
void tst_Layout::init()
{
    m_work.emplace();
    m_app.emplace();
    testfolders::startWith(*m_app, m_work->path(), m_work->path());
}

void tst_Layout::cleanup()
{
    const QStringList messages = m_app->messages;
    m_app.reset();
    m_work.reset();
    QCOMPARE(messages, QStringList());
}

void tst_Layout::controlPlacesAndCaptions_data()
{
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<bool>("insideFrame");
    QTest::addColumn<QString>("caption");

    const auto row = [](const char *name, QRect pixels, bool insideFrame, const char16_t *text) {
        QTest::newRow(name) << pixels << insideFrame << QString::fromUtf16(text);
    };
    row("Drive1", {8, 8, 137, 21}, false, u"");
    row("Dir1", {8, 32, 137, 96}, false, u"");
    row("File1", {152, 8, 153, 123}, false, u"");
    row("Frame1", {312, 8, 209, 121}, false, u"Image Info");
    row("Label1", {8, 16, 33, 17}, true, u"Orig X");
    row("lblXSource", {40, 16, 49, 17}, true, u"XSource");
    row("Label6", {96, 16, 57, 17}, true, u"Fr. per Row");
    row("lblFramesPerRow", {152, 16, 49, 17}, true, u"FperR");
    row("Label2", {8, 40, 33, 17}, true, u"Orig Y");
    row("lblYSource", {40, 40, 49, 17}, true, u"YSource");
    row("Label5", {96, 40, 33, 17}, true, u"Final");
    row("lblFinalSize", {128, 40, 73, 17}, true, u"Final XY");
    row("Label4", {8, 64, 33, 17}, true, u"Frames");
    row("lblNumOfFrames", {40, 64, 49, 17}, true, u"Frames");
    row("chkInvert", {96, 64, 81, 17}, true, u"Invert Order");
    row("Label3", {8, 88, 33, 17}, true, u"Rows");
    row("cboNumOfRows", {40, 88, 49, 21}, true, u"");
    row("cmdDraw", {528, 8, 57, 33}, false, u"&Draw");
    row("cmdSave", {528, 88, 57, 33}, false, u"&Save");
    // The work pictures lie outside the 593x134 client area, so the user never sees them.
    row("picWork", {600, 8, 0, 0}, false, u"");
    row("picFinal", {8, 144, 0, 0}, false, u"");
    row("About.Label1", {8, 8, 385, 17}, false, u"");
    row("About.Label2", {16, 40, 361, 49}, false,
        u"This program is a utility designed for the creation of SS/Continuum (sprite) based "
        u"animation images. Its purpose is to take a series of individial .bmp files and combine "
        u"them into one larger .bmp for use in-game.");
    row("About.Label3", {16, 96, 361, 17}, false,
        u"1.Take all the frames of your animation and put them into a folder alone.");
    row("About.Label4", {16, 120, 361, 17}, false, u"2.Using QRB navigate to that folder.");
    row("About.Label5", {16, 144, 361, 33}, false,
        u"3.Choose the number of rows you want in the final BMP and QRB will Calculate the "
        u"Frames per row.");
    row("About.Label6", {16, 184, 361, 33}, false,
        u"4.Click Draw and QRB will Create a new image comprised of all the bmp's in the "
        u"folder.");
    row("About.Label7", {16, 224, 361, 17}, false,
        u"5.Click save and......alla peanut butter an' jelly san'diches.....<poof>");
    row("About.Label8", {16, 248, 361, 33}, false,
        u"For best results, make sure you only have the proper frames for the animation in the "
        u"said folder. and no others.");
    row("About.Label9", {16, 288, 361, 57}, false,
        u"Disclaimer: This program is Use at your own risk. I will not be held resposible for "
        u"any Damages that result from the use/mis-use of QRB or any files it Interacts with. "
        u"It is free from harmfull code and viri to the best of my knowledge and ability, and i "
        u"maintian that it is totaly safe to use.");
}

void tst_Layout::controlPlacesAndCaptions()
{
    QFETCH(QRect, pixels);
    QFETCH(bool, insideFrame);
    QFETCH(QString, caption);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const bool onAbout = name.startsWith(u"About."_s);
    if (onAbout)
        m_app->main().mnuAbout->trigger();
    const frmDynamic &navigator = frmDynamic::instance();

    QWidget *const control = controls().value(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(),
             insideFrame ? navigator.Frame1
                         : (onAbout ? frmAbout::instance().client() : navigator.client()));
    QCOMPARE(control->geometry(), pixels);
    QVERIFY(control->isVisible());
    // The text of a label, button or check box, the title of a frame, nothing for the rest.
    QCOMPARE(control->property(qobject_cast<QGroupBox *>(control) ? "title" : "text").toString(),
             caption);
    if (onAbout) {
        const auto *label = static_cast<const QLabel *>(control);
        QVERIFY(label->alignment() & Qt::AlignHCenter);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->frameShape(), QFrame::NoFrame);
    }
}

void tst_Layout::navigatorWindowAndFirstStates()
{
    const frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(navigator.window()->windowTitle(), u"Navigator"_s);
    QCOMPARE(navigator.client()->size(), QSize(593, 134));
    // A fixed border: the user cannot resize it, and it has no minimize or maximize button.
    QCOMPARE(navigator.window()->minimumSize(), navigator.window()->maximumSize());
    QVERIFY(!(navigator.window()->windowFlags()
              & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(navigator.left(), 0.0);
    QCOMPARE(navigator.top(), 0.0);

    QCOMPARE(navigator.chkInvert->value(), 0);
    QCOMPARE(navigator.cboNumOfRows->text(), u"1"_s);
    QVERIFY(!navigator.cboNumOfRows->isEditable());
    for (int i = 0; i < navigator.cboNumOfRows->count(); ++i)
        QCOMPARE(navigator.cboNumOfRows->itemData(i).toInt(), 0);
    QCOMPARE(navigator.File1->pattern(), u"*.bmp"_s);
    QCOMPARE(navigator.dlgCommon.flags(), 2);
    for (const platform::PictureBox *picture : {navigator.picWork, navigator.picFinal})
        QCOMPARE(QSizeF(picture->scaleWidth(), picture->scaleHeight()), QSizeF(0, 0));

    // Tab order, from Save round the focus chain back to it.
    const QHash<QString, QWidget *> named = controls();
    QStringList order;
    QWidget *widget = navigator.cmdSave;
    do {
        if (navigator.client()->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus))
            order.append(named.key(widget, QString::fromLatin1(widget->metaObject()->className())));
        widget = widget->nextInFocusChain();
    } while (widget != navigator.cmdSave && order.size() <= 30);

    QCOMPARE(order, u"cmdSave cmdDraw picWork File1 Dir1 Drive1 picFinal cboNumOfRows chkInvert"_s
                        .split(u' '));
}

void tst_Layout::mainWindowCaptionAndMenus()
{
    frmMain &main = m_app->main();
    QCOMPARE(main.windowTitle(), QString());
    const QList<QAction *> bar = main.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), u"&File"_s);
    QCOMPARE(bar.at(0)->menu(), main.mnuFile);
    QCOMPARE(bar.at(1), main.mnuAbout);
    QCOMPARE(main.mnuAbout->text(), u"&About"_s);
    QVERIFY(!main.mnuAbout->menu());
    QCOMPARE(main.mnuFile->actions().value(0), main.mnuExit);
    QCOMPARE(main.mnuExit->text(), u"Exit"_s);
    // About is not shown until it is chosen.
    QCOMPARE(countAboutWindows(*m_app), 0);
}

void tst_Layout::aboutWindowOpensOnce()
{
    m_app->main().mnuAbout->trigger();

    const frmAbout &about = frmAbout::instance();
    QCOMPARE(about.client()->size(), QSize(400, 391));
    QCOMPARE(about.window()->minimumSize(), about.window()->maximumSize());
    QVERIFY(about.window()->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(about.window()->windowFlags()
              & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    // Ten texts and nothing to press.
    QCOMPARE(about.client()->findChildren<QLabel *>().size(), 10);
    QVERIFY(about.client()->findChildren<QAbstractButton *>().isEmpty());

    const QLabel *contact = about.labels.at(9);
    QCOMPARE(contact->geometry(), QRect(72, 352, 249, 33));
    QVERIFY(contact->alignment() & Qt::AlignHCenter);
    QVERIFY(contact->wordWrap());
    static const QRegularExpression contactLine(
        u"^[^\\s@]+@[^\\s@]+ ICQ:[0-9]+\\(vovirovaz\\) "
        u"\"Let never again a ship set be assembled by hand\"$"_s);
    QVERIFY2(contactLine.match(contact->text()).hasMatch(), qPrintable(contact->text()));

    // Chosen again after another window came to the front: the same window, brought forward.
    frmDynamic::instance().show();
    QCOMPARE(m_app->main().workspace()->activeSubWindow(), frmDynamic::instance().window());
    m_app->main().mnuAbout->trigger();
    QCOMPARE(countAboutWindows(*m_app), 1);
    QCOMPARE(&frmAbout::instance(), &about);
    QVERIFY(about.window()->isVisible());
    QCOMPARE(m_app->main().workspace()->activeSubWindow(), about.window());
}

void tst_Layout::closingAboutLeavesTheOtherWindowsAlone()
{
    const QString frames = m_work->filePath(u"frames"_s);
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(4)));
    frmDynamic::instance().Dir1->setPath(frames);
    frmDynamic::instance().cmdDraw->click();
    QVERIFY(!frmPicFinal::instance().picFinal->picture().isNull());
    const auto before = otherWindows();
    m_app->main().mnuAbout->trigger();
    const auto aboutTexts = [] {
        QStringList texts;
        for (const QLabel *label : frmAbout::instance().labels)
            texts.append(label->text());
        return texts;
    };
    const QStringList texts = aboutTexts();

    // Its close box: the window unloads.
    frmAbout::instance().window()->close();

    QCOMPARE(countAboutWindows(*m_app), 0);
    QVERIFY(otherWindows() == before);

    // Choosing About again loads the window afresh, with the same texts.
    m_app->main().mnuAbout->trigger();
    QCOMPARE(countAboutWindows(*m_app), 1);
    QVERIFY(frmAbout::instance().window()->isVisible());
    QCOMPARE(aboutTexts(), texts);
    QVERIFY(otherWindows() == before);

    // Closing the main window then unloads About with the rest.
    m_app->close();
    QVERIFY(!platform::isFormLoaded<frmAbout>());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
