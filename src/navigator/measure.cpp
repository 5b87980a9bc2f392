// The figures of the frame set, the grid of the sheet and the row choices.

#include "navigator/frmdynamic.h"
#include "core/grid.h"

using namespace platform;
using namespace quorbel;

namespace {

// The row count an entry of the rows list stands for: the number in its text, leading blanks
// ignored.
Int16 rowCount(const QString &entryText)
{
    return toInt16(entryText.trimmed().toDouble());
}

} // namespace

void frmDynamic::MeasureFrameSet()
{
    const bool measuring = File1->listCount() > 1;
    if (measuring) {
        XSource = toInt32(picWork->scaleWidth());
        YSource = toInt32(picWork->scaleHeight());
        NumOfFrames = File1->listCount();
        NumOfRows = rowCount(cboNumOfRows->text());
        FramesPerRow = framesPerRow(NumOfFrames, NumOfRows);
        // Both products are checked before either is stored, so an overflow leaves the sheet
        // size and every label as they were.
        const Int32 width = checkedMul<Int32>(XSource, FramesPerRow);
        const Int32 height = checkedMul<Int32>(YSource, NumOfRows);
        FinalX = width;
        FinalY = height;
    } else {
        XSource = 0;
        YSource = 0;
        NumOfFrames = File1->listCount();
        NumOfRows = rowCount(cboNumOfRows->text());
        FramesPerRow = 0;
        FinalX = 0;
        FinalY = 0;
    }
    lblXSource->setText(QString::number(XSource));
    lblYSource->setText(QString::number(YSource));
    lblNumOfFrames->setText(QString::number(NumOfFrames));
    ShowGrid();
    if (measuring)
        FileNames = QStringList(NumOfFrames, QString());
    else
        cmdDraw->setEnabled(false);
}

void frmDynamic::cboNumOfRows_Click()
{
    NumOfRows = rowCount(cboNumOfRows->text());
    FramesPerRow = framesPerRow(NumOfFrames, NumOfRows);
    FinalX = checkedMul<Int32>(XSource, FramesPerRow);
    FinalY = checkedMul<Int32>(YSource, NumOfRows);
    ShowGrid();
}

void frmDynamic::ShowGrid()
{
    lblFramesPerRow->setText(QString::number(FramesPerRow));
    lblFinalSize->setText(QString::number(FinalX) + u'x' + QString::number(FinalY));
}

void frmDynamic::FillRowChoices()
{
    const Int16 last = NumOfFrames;
    QStringList entries;
    for (Int16 rows = 1; rows <= last; rows = checkedAdd<Int16>(rows, 1)) {
        // The leading blank stands where a sign would.
        entries.append(u' ' + QString::number(rows));
        if (rows == last)
            break;
    }
    // Appended in one batch: thousands of frames would otherwise mean thousands of list updates.
    cboNumOfRows->addItems(entries);
}

void frmDynamic::UpdateDrawButton()
{
    cmdDraw->setEnabled(NumOfFrames >= 2);
}
