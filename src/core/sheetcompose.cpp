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

} // namespace quorbel
