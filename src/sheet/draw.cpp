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

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// A long list names its first few and counts the rest, so the message stays on the screen.
constexpr qsizetype NamedAtMost = 5;

// One message for everything the sheet does not show as the frames are.
QString shortfallMessage(const Shortfall &shortfall, QSize cell)
{
    QStringList lines;
    if (const qsizetype count = shortfall.leftOut.size()) {
        QString line = QStringLiteral("%1 %2 left out: %3")
                           .arg(count)
                           .arg(count == 1 ? QStringLiteral("frame") : QStringLiteral("frames"))
                           .arg(shortfall.leftOut.mid(0, NamedAtMost).join(QStringLiteral(", ")));
        if (count > NamedAtMost)
            line += QStringLiteral(" and %1 more").arg(count - NamedAtMost);
        lines.append(line);
    }
    for (const auto &[name, size] : shortfall.otherSize.mid(0, NamedAtMost))
        lines.append(QStringLiteral("%1 is %2, not %3").arg(name, sizeText(size), sizeText(cell)));
    if (const qsizetype more = shortfall.otherSize.size() - NamedAtMost; more > 0)
        lines.append(QStringLiteral("and %1 more of another size").arg(more));
    return lines.join(u'\n');
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
                composed = composeSheet(frames, grid.placements(frames.size()), sheet);
            } catch (const FrameFailure &failure) {
                throw failure.error;
            }
        });
        if (reach.overflows)
            raise(err::Overflow);

        picWork->setPicture(composed.lastFrame);
        frmPicWork::instance().picWork->setPicture(picWork->image());
        frmPicFinal::instance().picFinal->setPicture(picFinal->image());
        // A sheet without pixels cannot be saved, so Save is not offered for it.
        if (picFinal->image().isNull()) {
            cmdSave->setEnabled(false);
            busy.end();
            MsgBox(QStringLiteral("No frame fits the grid: the sheet would be %1 pixels.")
                       .arg(sizeText({FinalX, FinalY})));
            return;
        }
        cmdSave->setEnabled(true);
        const Shortfall shortfall =
            shortfallOf(FileNames, grid.cells(), grid.cell, composed.frameSizes());
        if (!shortfall.isEmpty()) {
            busy.end();
            MsgBox(shortfallMessage(shortfall, grid.cell));
        }
    } catch (...) {
        // A sheet that failed half way is never offered for saving as if it were whole.
        cmdSave->setEnabled(false);
        busy.end();
        reportDrawFailure(currentError().number());
    }
}
