// Draw: composing the sheet from the frames of the current folder.

#include "navigator/frmdynamic.h"

#include "core/grid.h"
#include "core/sheetcompose.h"
#include "platform/appfolder.h"
#include "platform/busycursor.h"
#include "platform/messagebox.h"
#include "preview/frmpicfinal.h"
#include "preview/frmpicwork.h"

using namespace platform;
using namespace quorbel;

namespace {

// A coordinate moves on by a frame's width or height: the sum is formed in 32 bits and must
// still fit the 16-bit coordinate.
Int16 advance(Int16 coordinate, Int32 step)
{
    return checkedResult<Int16>(checkedAdd<Int32>(coordinate, step));
}

// How many frames the grid reaches, cell by cell in drawing order, and whether a coordinate left
// its 16 bits on the way: then the Draw ends in an overflow once those frames are painted.
struct Reach
{
    qsizetype frames = 0;
    bool overflows = false;
};

Reach reachOfGrid(qsizetype frames, const SheetGrid &grid)
{
    Reach reach;
    Int16 x = 0;
    Int16 y = 0;
    try {
        for (int row = 1; row <= grid.rows; ++row) {
            for (int column = 1; column <= grid.perRow && reach.frames < frames; ++column) {
                ++reach.frames;
                x = advance(x, grid.cell.width());
            }
            x = 0;
            y = advance(y, grid.cell.height());
        }
    } catch (const RuntimeError &) {
        reach.overflows = true;
    }
    return reach;
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

        const SheetGrid grid{{XSource, YSource}, framesPerRow(NumOfFrames, NumOfRows), NumOfRows};
        // A grid with more cells than frames leaves the cells after the last frame black.
        const Reach reach = reachOfGrid(FileNames.size(), grid);
        QStringList frames;
        for (qsizetype k = 0; k < reach.frames; ++k)
            frames.append(joinPath(Dir1->path(), FileNames.at(k)));
        Composition composed;
        picFinal->paintWith([&](Picture &sheet) {
            try {
                composed = composeSheet(frames, grid, sheet);
            } catch (const FrameFailure &failure) {
                throw failure.error;
            }
        });
        if (reach.overflows)
            raise(err::Overflow);

        picWork->setPicture(composed.lastFrame);
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
