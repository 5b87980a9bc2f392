// Draw: composing the sheet from the frames of the current folder.

#include "navigator/frmdynamic.h"
#include "navigator/grid.h"

#include "platform/appfolder.h"
#include "platform/busycursor.h"
#include "platform/messagebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"


using namespace platform;

namespace {

// A coordinate moves on by a frame's width or height: the sum is formed in 32 bits and must
// still fit the 16-bit coordinate.
Int16 advance(Int16 coordinate, Int32 step)
{
    return checkedResult<Int16>(checkedAdd<Int32>(coordinate, step));
}

void reportDrawFailure(int number)
{
    MsgBox(number == err::CantCreatePersistentPicture
               ? QStringLiteral("Not Enough Ram to Create Final")
               : QStringLiteral("Unable to Draw, check yer files."));
}

} // namespace

void frmDynamic::cmdDraw_Click()
{
    BusyCursor busy;
    try {
        ClearPictures();
        Int16 numoffiles = NumOfFrames;
        GetFiles(numoffiles);
        if (chkInvert->value() == 1)
            InvertOrder();

        // The whole sheet is allocated before the first frame is read, so a shortage of memory
        // shows at once.
        picFinal->setBoxHeight(float(FinalY));
        picFinal->setBoxWidth(float(FinalX));

        Int16 x = 0;
        Int16 y = 0;
        Int16 k = 0;
        const Int16 rows = NumOfRows;
        for (int row = 1; row <= rows; ++row) {
            const Int16 perRow = framesPerRow(NumOfFrames, NumOfRows);
            for (int column = 1; column <= perRow; ++column) {
                // A grid with more cells than frames leaves the cells after the last frame black.
                if (k >= FileNames.size())
                    break;
                picWork->loadPicture(joinPath(Dir1->path(), FileNames.at(k)));
                picFinal->paintPicture(picWork->image(), x, y);
                x = advance(x, XSource);
                k = checkedAdd<Int16>(k, 1);
            }
            x = 0;
            y = advance(y, YSource);
        }

        frmPicWork::instance().picWork->setPicture(picWork->image());
        frmPicFinal::instance().picFinal->setPicture(picFinal->image());
        cmdSave->setEnabled(true);
    } catch (...) {
        // A sheet that failed half way is never offered for saving as if it were whole.
        cmdSave->setEnabled(false);
        busy.end();
        reportDrawFailure(currentError().number());
    }
}
