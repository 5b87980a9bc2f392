#pragma once

#include "core/checkedmath.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/lists.h"
#include "platform/picturebox.h"
#include "platform/savedialog.h"

#include <QStringList>

// The Navigator: walks drives and folders, shows the figures of the frame set in the current
// folder, offers the row count and "Invert Order", and composes and saves the sheet.
class frmDynamic : public platform::Form
{
public:
    frmDynamic();

    static frmDynamic &instance() { return platform::formInstance<frmDynamic>(); }

    // Event handlers.
    void Drive1_Change();
    void Dir1_Change();
    void cboNumOfRows_Click();
    void cmdDraw_Click();
    void cmdSave_Click();

    // Fills FileNames with the folder's frame names, sorted ascending; returns the last index
    // filled.
    quorbel::Int16 GetFiles(quorbel::Int16 &Numoffiles);
    // Sorts in place, ascending or descending, with or without regard to case, into exactly the
    // order the selection sort of core/textorder.h gives, ties included.
    static void SortArray(QStringList &ListArray, bool bAscending, bool bCaseSensitive);

    platform::DriveListBox *Drive1; // the volumes
    platform::DirListBox *Dir1; // the folders
    platform::FileListBox *File1; // the frames, "*.bmp"
    platform::Frame *Frame1; // "Image Info"
    platform::Label *Label1; // "Orig X"
    platform::Label *lblXSource;
    platform::Label *Label6; // "Fr. per Row"
    platform::Label *lblFramesPerRow;
    platform::Label *Label2; // "Orig Y"
    platform::Label *lblYSource;
    platform::Label *Label5; // "Final"
    platform::Label *lblFinalSize;
    platform::Label *Label4; // "Frames"
    platform::Label *lblNumOfFrames;
    platform::CheckBox *chkInvert;
    platform::Label *Label3; // "Rows"
    platform::DropDownList *cboNumOfRows;
    platform::CommandButton *cmdDraw;
    platform::CommandButton *cmdSave;
    platform::PictureBox *picWork; // the frame, measured; never seen
    platform::PictureBox *picFinal; // the sheet Draw paints and Save writes; never seen
    platform::CommonDialog dlgCommon; // the save dialog

    // The frame set of the current folder and the grid of the sheet.
    quorbel::Int32 XSource = 0;
    quorbel::Int32 YSource = 0;
    quorbel::Int16 NumOfFrames = 0;
    quorbel::Int16 NumOfRows = 0;
    quorbel::Int16 FramesPerRow = 0;
    quorbel::Int32 FinalX = 0;
    quorbel::Int32 FinalY = 0;
    // Frame names in painting order; empty until a folder of two or more frames is measured.
    QStringList FileNames;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void MeasureFrameSet();
    void FillRowChoices();
    void UpdateDrawButton();
    // Frames per row, then the sheet size, width first.
    void ShowGrid();
    void ClearPictures();
    void PreviewFirstFrame();
    void InvertOrder();
};
