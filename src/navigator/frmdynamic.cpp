#include "navigator/frmdynamic.h"

#include "settings/varmodule.h"
#include "platform/appfolder.h"
#include "platform/eventguard.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The nearest folder that still exists on the way up from a stored folder, so that a folder
// deleted since the last run opens its parent instead of failing; the application folder when
// nothing of it is left.
QString nearestExistingFolder(const QString &stored)
{
    if (stored.isEmpty())
        return stored;
    for (QString folder = QDir::cleanPath(QFileInfo(stored).absoluteFilePath());;) {
        if (QFileInfo(folder).isDir())
            return folder;
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return platform::applicationFolder();
}

} // namespace

frmDynamic::frmDynamic() : Form(QStringLiteral("Navigator"), {8895, 2010}, false)
{
    using namespace platform;
    using namespace quorbel;
    QWidget *const form = client();
    const Label::Style value = Label::Style::Bordered;

    Drive1 = place(new DriveListBox(form), 120, 120, 2055, 315);
    Dir1 = place(new DirListBox(form), 120, 480, 2055, 1440);
    File1 = place(new FileListBox(form), 2280, 120, 2295, 1845);

    Frame1 = place(new Frame(form, QStringLiteral("Image Info")), 4680, 120, 3135, 1815);
    Label1 = place(new Label(Frame1, QStringLiteral("Orig X")), 120, 240, 495, 255);
    lblXSource = place(new Label(Frame1, QStringLiteral("XSource"), value), 600, 240, 735, 255);
    Label6 = place(new Label(Frame1, QStringLiteral("Fr. per Row")), 1440, 240, 855, 255);
    lblFramesPerRow = place(new Label(Frame1, QStringLiteral("FperR"), value), 2280, 240, 735, 255);
    Label2 = place(new Label(Frame1, QStringLiteral("Orig Y")), 120, 600, 495, 255);
    lblYSource = place(new Label(Frame1, QStringLiteral("YSource"), value), 600, 600, 735, 255);
    Label5 = place(new Label(Frame1, QStringLiteral("Final")), 1440, 600, 495, 255);
    lblFinalSize =
        place(new Label(Frame1, QStringLiteral("Final XY"), value), 1920, 600, 1095, 255);
    Label4 = place(new Label(Frame1, QStringLiteral("Frames")), 120, 960, 495, 255);
    lblNumOfFrames = place(new Label(Frame1, QStringLiteral("Frames"), value), 600, 960, 735, 255);
    chkInvert = place(new CheckBox(Frame1, QStringLiteral("Invert Order")), 1440, 960, 1215, 255);
    Label3 = place(new Label(Frame1, QStringLiteral("Rows")), 120, 1320, 495, 255);
    cboNumOfRows = place(new DropDownList(Frame1), 600, 1320, 735, 315);
    for (const char16_t *rows :
         {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10", u"11", u"23"})
        cboNumOfRows->addItem(QString::fromUtf16(rows), 0);

    cmdDraw = place(new CommandButton(form, QStringLiteral("&Draw")), 7920, 120, 855, 495);
    cmdDraw->setEnabled(false);
    cmdSave = place(new CommandButton(form, QStringLiteral("&Save")), 7920, 1320, 855, 495);
    cmdSave->setEnabled(false);

    // The work pictures lie outside the client area, so the user never sees them.
    picWork = new PictureBox(form, *this, PictureBox::Border::None, Qt::black);
    picWork->move(toPixels(9000), toPixels(120));
    picFinal = new PictureBox(form, *this, PictureBox::Border::None, Qt::black);
    picFinal->move(toPixels(120), toPixels(2160));

    setTabOrder(
        {cmdSave, cmdDraw, picWork, File1, Dir1, Drive1, picFinal, cboNumOfRows, chkInvert});

    Drive1->onChange = [this] { Drive1_Change(); };
    Dir1->onChange = [this] { Dir1_Change(); };
    cboNumOfRows->onClick = [this] { cboNumOfRows_Click(); };
    cmdDraw->onClick = [this] { cmdDraw_Click(); };
    cmdSave->onClick = [this] { cmdSave_Click(); };
}

void frmDynamic::Form_Load()
{
    dlgCommon.setFlags(platform::CommonDialog::OverwritePrompt);
    cboNumOfRows->setText(QStringLiteral("1"));
    File1->setPattern(QStringLiteral("*.bmp"));
    // An error in the stored folder's frame set must not leave the Navigator half set up.
    platform::runAllThenRaise(
        [this] {
            const QString startedIn = Dir1->path();
            Dir1->setPath(nearestExistingFolder(varModule::LastPath));
            // The folder the list starts in raises no change, yet its frames are measured and
            // shown as those of any folder walked into, so Draw works at once.
            if (Dir1->path() == startedIn)
                Dir1_Change();
        },
        [this] {
            setScaleMode(platform::ScaleMode::Pixels);
            frmPicWork::instance().show();
            frmPicFinal::instance().show();
        });
}

void frmDynamic::Drive1_Change()
{
    Dir1->setPath(Drive1->drive());
}

void frmDynamic::Dir1_Change()
{
    File1->setPath(Dir1->path());
    Drive1->setDrive(Dir1->path());
    MeasureFrameSet();
    if (File1->listCount() < 2) {
        ClearPictures();
        cmdSave->setEnabled(false);
        return;
    }
    PreviewFirstFrame();
    MeasureFrameSet();
    FillRowChoices();
    UpdateDrawButton();
}

void frmDynamic::Form_Unload()
{
    varModule::LastPath = Dir1->path();
}
