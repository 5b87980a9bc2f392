#include "core/sheetcompose.h"

#include "core/bitmapfile.h"

namespace quorbel {

Composition composeSheet(const QStringList &frames, const SheetGrid &grid, Picture &sheet)
{
    Composition done;
    BitmapReader reader;
    for (qsizetype k = 0; k < frames.size(); ++k) {
        try {
            reader.read(frames.at(k), done.lastFrame);
        } catch (const RuntimeError &error) {
            throw FrameFailure{k, error};
        }
        copyPicture(done.lastFrame, sheet, grid.cellAt(k));
        done.frameSizes.append(done.lastFrame.size());
    }
    return done;
}

Shortfall shortfallOf(const QStringList &names, const SheetGrid &grid, const QList<QSize> &sizes)
{
    Shortfall shortfall;
    shortfall.leftOut = names.mid(grid.cells());
    for (qsizetype k = 0; k < sizes.size(); ++k) {
        if (sizes.at(k) != grid.cell)
            shortfall.otherSize.append({names.at(k), sizes.at(k)});
    }
    return shortfall;
}

} // namespace quorbel
