// What the user sees of the windows as designed: the Navigator's controls, their places, texts,
// first states and tab order; the main window's menus; the About window, which exists at most
// once and can be closed and opened again without disturbing the other windows.

#include "app/frmabout.h"
#include "navigator/frmdynamic.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"
#include "support/framefolders.h"
#include "support/testapp.h"

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

using testfolders::designRows;
using testfolders::entries;

namespace {

const QString aboutCaption = QStringLiteral("About Brannoc's Q.R.B.");

QByteArray settingsLine(const QString &folder)
{
    return folder.toLocal8Bit() + "\r\n";
}

QHash<QString, QWidget *> navigatorControls()
{
    frmDynamic &n = frmDynamic::instance();
    return {
        {QStringLiteral("Drive1"), n.Drive1},
        {QStringLiteral("Dir1"), n.Dir1},
        {QStringLiteral("File1"), n.File1},
        {QStringLiteral("Frame1"), n.Frame1},
        {QStringLiteral("Label1"), n.Label1},
        {QStringLiteral("lblXSource"), n.lblXSource},
        {QStringLiteral("Label6"), n.Label6},
        {QStringLiteral("lblFramesPerRow"), n.lblFramesPerRow},
        {QStringLiteral("Label2"), n.Label2},
        {QStringLiteral("lblYSource"), n.lblYSource},
        {QStringLiteral("Label5"), n.Label5},
        {QStringLiteral("lblFinalSize"), n.lblFinalSize},
        {QStringLiteral("Label4"), n.Label4},
        {QStringLiteral("lblNumOfFrames"), n.lblNumOfFrames},
        {QStringLiteral("chkInvert"), n.chkInvert},
        {QStringLiteral("Label3"), n.Label3},
        {QStringLiteral("cboNumOfRows"), n.cboNumOfRows},
        {QStringLiteral("cmdDraw"), n.cmdDraw},
        {QStringLiteral("cmdSave"), n.cmdSave},
        {QStringLiteral("picWork"), n.picWork},
        {QStringLiteral("picFinal"), n.picFinal},
    };
}

QString nameOf(const QWidget *control)
{
    const QHash<QString, QWidget *> controls = navigatorControls();
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        if (it.value() == control)
            return it.key();
    }
    return QString::fromLatin1(control->metaObject()->className());
}

// The caption a control shows, whichever kind of control it is.
QString captionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frame->title();
    return QString();
}

int countAboutWindows(TestApp &app)
{
    int count = 0;
    for (const QMdiSubWindow *window :
         app.main().workspace()->subWindowList()) {
        if (window->windowTitle() == aboutCaption)
            ++count;
    }
    return count;
}

// What the Navigator and the preview windows show, to compare before and after About.
struct OtherWindows
{
    QString folder;
    QStringList labels;
    QStringList rows;
    bool drawEnabled = false;
    bool saveEnabled = false;
    QImage input;
    QImage final;
    QRect navigatorFrame, inputFrame, finalFrame;
    bool allVisible = false;

    static OtherWindows now()
    {
        frmDynamic &n = frmDynamic::instance();
        return {n.Dir1->path(),
                {n.lblXSource->text(), n.lblYSource->text(), n.lblNumOfFrames->text(),
                 n.lblFramesPerRow->text(), n.lblFinalSize->text()},
                entries(*n.cboNumOfRows),
                n.cmdDraw->isEnabled(),
                n.cmdSave->isEnabled(),
                frmPicWork::instance().picWork->picture(),
                frmPicFinal::instance().picFinal->picture(),
                n.window()->geometry(),
                frmPicWork::instance().window()->geometry(),
                frmPicFinal::instance().window()->geometry(),
                n.window()->isVisible() && frmPicWork::instance().window()->isVisible()
                    && frmPicFinal::instance().window()->isVisible()};
    }
    bool operator==(const OtherWindows &) const = default;
};

char *toString(const OtherWindows &windows)
{
    return QTest::toString(windows.folder + u' ' + windows.labels.join(u',') + u' '
                           + QString::number(windows.rows.size()));
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT

private slots:
    void navigatorControlPlacesAndCaptions_data();
    void navigatorControlPlacesAndCaptions();
    void navigatorWindowAndFirstStates();
    void tabOrder();
    void workPicturesLieOutsideTheClientArea();
    void mainWindowCaptionAndMenus();
    void aboutLabels_data();
    void aboutLabels();
    void aboutWindowAndContactLine();
    void aboutChosenTwiceGivesOneWindow();
    void closingAboutLeavesTheOtherWindowsAlone();
};

void tst_Layout::navigatorControlPlacesAndCaptions_data()
{
    QTest::addColumn<bool>("insideFrame");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<bool>("hasCaption");
    QTest::addColumn<QString>("caption");

    const auto row = [](const char *name, bool insideFrame, QRect pixels, const char16_t *text) {
        QTest::newRow(name) << insideFrame << pixels << (text != nullptr)
                            << (text ? QString::fromUtf16(text) : QString());
    };
    row("Drive1", false, {8, 8, 137, 21}, nullptr);
    row("Dir1", false, {8, 32, 137, 96}, nullptr);
    row("File1", false, {152, 8, 153, 123}, nullptr);
    row("Frame1", false, {312, 8, 209, 121}, u"Image Info");
    row("Label1", true, {8, 16, 33, 17}, u"Orig X");
    row("lblXSource", true, {40, 16, 49, 17}, u"XSource");
    row("Label6", true, {96, 16, 57, 17}, u"Fr. per Row");
    row("lblFramesPerRow", true, {152, 16, 49, 17}, u"FperR");
    row("Label2", true, {8, 40, 33, 17}, u"Orig Y");
    row("lblYSource", true, {40, 40, 49, 17}, u"YSource");
    row("Label5", true, {96, 40, 33, 17}, u"Final");
    row("lblFinalSize", true, {128, 40, 73, 17}, u"Final XY");
    row("Label4", true, {8, 64, 33, 17}, u"Frames");
    row("lblNumOfFrames", true, {40, 64, 49, 17}, u"Frames");
    row("chkInvert", true, {96, 64, 81, 17}, u"Invert Order");
    row("Label3", true, {8, 88, 33, 17}, u"Rows");
    row("cboNumOfRows", true, {40, 88, 49, 21}, nullptr);
    row("cmdDraw", false, {528, 8, 57, 33}, u"&Draw");
    row("cmdSave", false, {528, 88, 57, 33}, u"&Save");
}

void tst_Layout::navigatorControlPlacesAndCaptions()
{
    QFETCH(bool, insideFrame);
    QFETCH(QRect, pixels);
    QFETCH(bool, hasCaption);
    QFETCH(QString, caption);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QWidget *const control = navigatorControls().value(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control);
    QCOMPARE(control->parentWidget(),
             insideFrame ? static_cast<QWidget *>(navigator.Frame1) : navigator.client());
    QCOMPARE(control->geometry(), pixels);
    QVERIFY(control->isVisible());
    if (hasCaption)
        QCOMPARE(captionOf(control), caption);
}

void tst_Layout::navigatorWindowAndFirstStates()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QCOMPARE(navigator.caption(), QStringLiteral("Navigator"));
    QCOMPARE(navigator.window()->windowTitle(), QStringLiteral("Navigator"));
    QCOMPARE(navigator.client()->size(), QSize(593, 134));
    QVERIFY(navigator.window()->isVisible());
    // A fixed border: the user cannot resize it, and it has no minimize or maximize button.
    QCOMPARE(navigator.window()->minimumSize(), navigator.window()->maximumSize());
    QVERIFY(!(navigator.window()->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(navigator.window()->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(navigator.left(), 0.0);
    QCOMPARE(navigator.top(), 0.0);

    QCOMPARE(navigator.chkInvert->isChecked(), false);
    QCOMPARE(navigator.chkInvert->value(), 0);
    QVERIFY(!navigator.cmdDraw->isEnabled());
    QVERIFY(!navigator.cmdSave->isEnabled());
    QCOMPARE(entries(*navigator.cboNumOfRows), designRows());
    QCOMPARE(navigator.cboNumOfRows->currentIndex(), 0);
    QCOMPARE(navigator.cboNumOfRows->text(), QStringLiteral("1"));
    QVERIFY(!navigator.cboNumOfRows->isEditable());
    for (int i = 0; i < navigator.cboNumOfRows->count(); ++i)
        QCOMPARE(navigator.cboNumOfRows->itemData(i).toInt(), 0);
    QCOMPARE(navigator.File1->pattern(), QStringLiteral("*.bmp"));
    QCOMPARE(navigator.dlgCommon.flags(), 2);
    QCOMPARE(app.messages, QStringList());
}

void tst_Layout::tabOrder()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmDynamic &navigator = frmDynamic::instance();
    QWidget *const client = navigator.client();
    QStringList order;
    QWidget *widget = navigator.cmdSave;
    do {
        if (client->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus))
            order.append(nameOf(widget));
        widget = widget->nextInFocusChain();
    } while (widget != navigator.cmdSave && order.size() <= 30);

    QCOMPARE(order, (QStringList{QStringLiteral("cmdSave"), QStringLiteral("cmdDraw"),
                                 QStringLiteral("picWork"), QStringLiteral("File1"),
                                 QStringLiteral("Dir1"), QStringLiteral("Drive1"),
                                 QStringLiteral("picFinal"), QStringLiteral("cboNumOfRows"),
                                 QStringLiteral("chkInvert")}));
}

void tst_Layout::workPicturesLieOutsideTheClientArea()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    const frmDynamic &navigator = frmDynamic::instance();
    const QSize client = navigator.client()->size();
    QCOMPARE(navigator.picWork->parentWidget(), navigator.client());
    QCOMPARE(navigator.picWork->geometry(), QRect(600, 8, 0, 0));
    QVERIFY(navigator.picWork->x() >= client.width());
    QCOMPARE(navigator.picWork->scaleWidth(), 0.0f);
    QCOMPARE(navigator.picWork->scaleHeight(), 0.0f);
    QCOMPARE(navigator.picFinal->parentWidget(), navigator.client());
    QCOMPARE(navigator.picFinal->geometry(), QRect(8, 144, 0, 0));
    QVERIFY(navigator.picFinal->y() >= client.height());
    QCOMPARE(navigator.picFinal->scaleWidth(), 0.0f);
    QCOMPARE(navigator.picFinal->scaleHeight(), 0.0f);
}

void tst_Layout::mainWindowCaptionAndMenus()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    frmMain &main = app.main();
    QCOMPARE(main.windowTitle(), QString());
    const QList<QAction *> bar = main.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), QStringLiteral("&File"));
    QCOMPARE(bar.at(0)->menu(), main.mnuFile);
    QCOMPARE(bar.at(1)->text(), QStringLiteral("&About"));
    QCOMPARE(bar.at(1), main.mnuAbout);
    QVERIFY(!main.mnuAbout->menu());
    QVERIFY(!main.mnuFile->actions().isEmpty());
    QCOMPARE(main.mnuFile->actions().at(0), main.mnuExit);
    QCOMPARE(main.mnuExit->text(), QStringLiteral("Exit"));
    QVERIFY(!main.mnuExit->menu());
    // About is not shown until it is chosen.
    QVERIFY(!platform::isFormLoaded<frmAbout>());
    QCOMPARE(countAboutWindows(app), 0);
}

void tst_Layout::aboutLabels_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, int index, QRect pixels, const char16_t *text) {
        QTest::newRow(name) << index << pixels << QString::fromUtf16(text);
    };
    row("Label1", 0, {8, 8, 385, 17}, u"");
    row("Label2", 1, {16, 40, 361, 49},
        u"This program is a utility designed for the creation of SS/Continuum (sprite) based "
        u"animation images. Its purpose is to take a series of individial .bmp files and combine "
        u"them into one larger .bmp for use in-game.");
    row("Label3", 2, {16, 96, 361, 17},
        u"1.Take all the frames of your animation and put them into a folder alone.");
    row("Label4", 3, {16, 120, 361, 17}, u"2.Using QRB navigate to that folder.");
    row("Label5", 4, {16, 144, 361, 33},
        u"3.Choose the number of rows you want in the final BMP and QRB will Calculate the "
        u"Frames per row.");
    row("Label6", 5, {16, 184, 361, 33},
        u"4.Click Draw and QRB will Create a new image comprised of all the bmp's in the "
        u"folder.");
    row("Label7", 6, {16, 224, 361, 17},
        u"5.Click save and......alla peanut butter an' jelly san'diches.....<poof>");
    row("Label8", 7, {16, 248, 361, 33},
        u"For best results, make sure you only have the proper frames for the animation in the "
        u"said folder. and no others.");
    row("Label9", 8, {16, 288, 361, 57},
        u"Disclaimer: This program is Use at your own risk. I will not be held resposible for "
        u"any Damages that result from the use/mis-use of QRB or any files it Interacts with. "
        u"It is free from harmfull code and viri to the best of my knowledge and ability, and i "
        u"maintian that it is totaly safe to use.");
}

void tst_Layout::aboutLabels()
{
    QFETCH(int, index);
    QFETCH(QRect, pixels);
    QFETCH(QString, text);

    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());
    app.main().mnuAbout->trigger();
    QVERIFY(platform::isFormLoaded<frmAbout>());

    const frmAbout &about = frmAbout::instance();
    const QLabel *label = about.labels.at(size_t(index));
    QVERIFY(label);
    QCOMPARE(label->parentWidget(), about.client());
    QCOMPARE(label->geometry(), pixels);
    QCOMPARE(label->text(), text);
    QVERIFY(label->alignment() & Qt::AlignHCenter);
    QVERIFY(label->wordWrap());
    QCOMPARE(label->frameShape(), QFrame::NoFrame);
    QVERIFY(label->isVisible());
}

void tst_Layout::aboutWindowAndContactLine()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());
    app.main().mnuAbout->trigger();

    QCOMPARE(app.messages, QStringList());
    const frmAbout &about = frmAbout::instance();
    QCOMPARE(about.caption(), aboutCaption);
    QCOMPARE(about.client()->size(), QSize(400, 391));
    QCOMPARE(about.window()->minimumSize(), about.window()->maximumSize());
    QVERIFY(about.window()->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(about.window()->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.window()->windowFlags() & Qt::WindowMaximizeButtonHint));
    // Ten texts and nothing to press.
    QCOMPARE(about.client()->findChildren<QLabel *>().size(), 10);
    QVERIFY(about.client()->findChildren<QAbstractButton *>().isEmpty());

    const QLabel *contact = about.labels.at(9);
    QCOMPARE(contact->geometry(), QRect(72, 352, 249, 33));
    QVERIFY(contact->alignment() & Qt::AlignHCenter);
    QVERIFY(contact->wordWrap());
    static const QRegularExpression contactLine(QStringLiteral(
        "^[^\\s@]+@[^\\s@]+ ICQ:[0-9]+\\(vovirovaz\\) "
        "\"Let never again a ship set be assembled by hand\"$"));
    QVERIFY2(contactLine.match(contact->text()).hasMatch(), qPrintable(contact->text()));
}

void tst_Layout::aboutChosenTwiceGivesOneWindow()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    app.writeIni(settingsLine(work.path()));
    app.start(work.path());

    app.main().mnuAbout->trigger();
    QCOMPARE(countAboutWindows(app), 1);
    const frmAbout *first = &frmAbout::instance();
    // Another window comes to the front in between.
    frmDynamic::instance().show();
    QCOMPARE(app.main().workspace()->activeSubWindow(), frmDynamic::instance().window());

    app.main().mnuAbout->trigger();

    QCOMPARE(app.messages, QStringList());
    QCOMPARE(countAboutWindows(app), 1);
    QCOMPARE(&frmAbout::instance(), first);
    QVERIFY(first->window()->isVisible());
    QCOMPARE(app.main().workspace()->activeSubWindow(), first->window());
}

void tst_Layout::closingAboutLeavesTheOtherWindowsAlone()
{
    TestApp app;
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString frames = work.filePath(QStringLiteral("frames"));
    QVERIFY(testfolders::writeFrames(frames, testfolders::frameNames(4)));
    app.writeIni(settingsLine(frames));
    app.start(work.path());
    frmDynamic::instance().cmdDraw->click();
    QVERIFY(!frmPicFinal::instance().picFinal->picture().isNull());
    const OtherWindows before = OtherWindows::now();

    app.main().mnuAbout->trigger();
    QCOMPARE(countAboutWindows(app), 1);
    // Its close box: the window unloads.
    frmAbout::instance().window()->close();

    QCOMPARE(app.messages, QStringList());
    QVERIFY(!platform::isFormLoaded<frmAbout>());
    QCOMPARE(countAboutWindows(app), 0);
    QCOMPARE(OtherWindows::now(), before);

    // A third About loads the window afresh, with the same texts.
    app.main().mnuAbout->trigger();
    QVERIFY(platform::isFormLoaded<frmAbout>());
    QCOMPARE(countAboutWindows(app), 1);
    QVERIFY(frmAbout::instance().window()->isVisible());
    QCOMPARE(frmAbout::instance().labels.at(1)->text().left(17), QStringLiteral("This program is a"));
    QVERIFY(frmAbout::instance().labels.at(9)->text().endsWith(
        QStringLiteral("\"Let never again a ship set be assembled by hand\"")));
    QCOMPARE(OtherWindows::now(), before);

    // Closing the main window then unloads About with the rest and stores the folder.
    app.close();
    QVERIFY(!platform::isFormLoaded<frmAbout>());
    QCOMPARE(app.iniBytes(), settingsLine(frames));
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
