#include "navigator/frmdynamic.h"

#include "app/varmodule.h"
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

frmDynamic::frmDynamic()
    : Form(QStringLiteral("Navigator"), {8895, 2010}, false)
{
    using platform::Label;
    QWidget *const form = client();

    Drive1 = new platform::DriveListBox(form);
    place(Drive1, 120, 120, 2055, 315);
    Dir1 = new platform::DirListBox(form);
    place(Dir1, 120, 480, 2055, 1440);
    File1 = new platform::FileListBox(form);
    place(File1, 2280, 120, 2295, 1845);

    Frame1 = new platform::Frame(form, QStringLiteral("Image Info"));
    place(Frame1, 4680, 120, 3135, 1815);
    Label1 = new Label(Frame1, QStringLiteral("Orig X"));
    place(Label1, 120, 240, 495, 255);
    lblXSource = new Label(Frame1, QStringLiteral("XSource"), Label::Style::Bordered);
    place(lblXSource, 600, 240, 735, 255);
    Label6 = new Label(Frame1, QStringLiteral("Fr. per Row"));
    place(Label6, 1440, 240, 855, 255);
    lblFramesPerRow = new Label(Frame1, QStringLiteral("FperR"), Label::Style::Bordered);
    place(lblFramesPerRow, 2280, 240, 735, 255);
    Label2 = new Label(Frame1, QStringLiteral("Orig Y"));
    place(Label2, 120, 600, 495, 255);
    lblYSource = new Label(Frame1, QStringLiteral("YSource"), Label::Style::Bordered);
    place(lblYSource, 600, 600, 735, 255);
    Label5 = new Label(Frame1, QStringLiteral("Final"));
    place(Label5, 1440, 600, 495, 255);
    lblFinalSize = new Label(Frame1, QStringLiteral("Final XY"), Label::Style::Bordered);
    place(lblFinalSize, 1920, 600, 1095, 255);
    Label4 = new Label(Frame1, QStringLiteral("Frames"));
    place(Label4, 120, 960, 495, 255);
    lblNumOfFrames = new Label(Frame1, QStringLiteral("Frames"), Label::Style::Bordered);
    place(lblNumOfFrames, 600, 960, 735, 255);
    chkInvert = new platform::CheckBox(Frame1, QStringLiteral("Invert Order"));
    place(chkInvert, 1440, 960, 1215, 255);
    Label3 = new Label(Frame1, QStringLiteral("Rows"));
    place(Label3, 120, 1320, 495, 255);
    cboNumOfRows = new platform::DropDownList(Frame1);
    place(cboNumOfRows, 600, 1320, 735, 315);
    for (const char16_t *rows : {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10",
                                 u"11", u"23"})
        cboNumOfRows->addItem(QString::fromUtf16(rows), 0);

    cmdDraw = new platform::CommandButton(form, QStringLiteral("&Draw"));
    place(cmdDraw, 7920, 120, 855, 495);
    cmdDraw->setEnabled(false);
    cmdSave = new platform::CommandButton(form, QStringLiteral("&Save"));
    place(cmdSave, 7920, 1320, 855, 495);
    cmdSave->setEnabled(false);

    // The work pictures lie outside the client area, so the user never sees them.
    using platform::PictureBox;
    picWork = new PictureBox(form, *this, PictureBox::Border::None, Qt::black);
    picWork->move(toPixels(9000), toPixels(120));
    picFinal = new PictureBox(form, *this, PictureBox::Border::None, Qt::black);
    picFinal->move(toPixels(120), toPixels(2160));

    setTabOrder({cmdSave, cmdDraw, picWork, File1, Dir1, Drive1, picFinal, cboNumOfRows,
                 chkInvert});

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
    platform::runAllThenRaise([this] { Dir1->setPath(nearestExistingFolder(varModule::LastPath)); },
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
