#include "batch/composesheet.h"

#include "platform/bitmapfile.h"
#include "platform/picturecopy.h"
#include "platform/runtimeerror.h"

#include <QDir>

namespace {

// Loads a frame into the reused image, or throws FrameError naming it.
void loadFrame(const SheetPlan &plan, qsizetype index, QImage &frame)
{
    const QString &name = plan.names.at(index);
    try {
        platform::loadBitmapFile(QDir(plan.folder).filePath(name), frame);
    } catch (const platform::RuntimeError &error) {
        throw FrameError{name, error.descriptionAndNumber()};
    }
}

} // namespace

ComposedSheet composeSheet(const SheetPlan &plan)
{
    ComposedSheet sheet;
    sheet.image = platform::blackPicture(plan.sheetSize());
    if (sheet.image.isNull())
        platform::raise(platform::err::OutOfMemory);
    QImage frame;
    for (qsizetype k = 0; k < plan.drawn(); ++k) {
        loadFrame(plan, k, frame);
        const int x = int(k % plan.perRow) * plan.cell.width();
        const int y = int(k / plan.perRow) * plan.cell.height();
        platform::copyPicture(frame, sheet.image, x, y);
        const QRect own(QPoint(x, y), frame.size());
        sheet.rects.append(own.intersected(QRect(QPoint(x, y), plan.cell)));
        sheet.frameSizes.append(frame.size());
    }
    return sheet;
}

QList<FrameError> checkFrames(const SheetPlan &plan, QList<QSize> &sizes)
{
    QList<FrameError> errors;
    QImage frame;
    for (qsizetype k = 0; k < plan.drawn(); ++k) {
        try {
            loadFrame(plan, k, frame);
            sizes.append(frame.size());
        } catch (const FrameError &error) {
            errors.append(error);
            sizes.append(QSize());
        }
    }
    return errors;
}
