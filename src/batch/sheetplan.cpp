#include "batch/sheetplan.h"

#include "batch/naturalorder.h"
#include "navigator/grid.h"
#include "navigator/textorder.h"
#include "platform/bitmapfile.h"
#include "platform/folderlisting.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString FramePattern = u"*.bmp"_s;

QStringList orderedNames(const SheetOptions &options)
{
    // The desktop program sorts the enumeration ascending and, to invert, sorts that descending.
    QStringList names =
        platform::matchingFiles(options.folder, FramePattern, platform::Order::FileSystem);
    if (options.naturalOrder) {
        std::sort(names.begin(), names.end(), naturalLess);
        if (options.invert)
            std::reverse(names.begin(), names.end());
        return names;
    }
    sortNames(names, SortDirection::Ascending, Qt::CaseInsensitive);
    if (options.invert)
        sortNames(names, SortDirection::Descending, Qt::CaseInsensitive);
    return names;
}

qsizetype roundedUp(qsizetype count, qsizetype by)
{
    return (count + by - 1) / by;
}

} // namespace

std::variant<SheetPlan, QString> planSheet(const SheetOptions &options)
{
    if (!QFileInfo(options.folder).isDir())
        return options.folder + u": "_s + platform::errorDescription(platform::err::PathNotFound)
            + QString::number(platform::err::PathNotFound);
    SheetPlan plan;
    plan.folder = options.folder;
    plan.names = orderedNames(options);
    if (plan.names.isEmpty())
        return options.folder + u": no .bmp frames"_s;
    if (plan.names.size() > 32767)
        return options.folder + u": more than 32767 frames"_s;

    const QString first =
        platform::matchingFiles(options.folder, FramePattern, platform::Order::Sorted).value(0);
    try {
        plan.cell = platform::loadBitmapFile(QDir(options.folder).filePath(first)).size();
    } catch (const platform::RuntimeError &error) {
        return first + u": "_s + error.descriptionAndNumber();
    }

    const auto frames = plan.names.size();
    const int value = options.gridValue;
    switch (options.grid) {
    case SheetOptions::Grid::Rows:
        plan.rows = value;
        plan.perRow = framesPerRow(platform::Int16(frames), platform::Int16(value));
        if (plan.perRow == 0)
            return u"%1 frames in %2 rows round to no frame a row"_s.arg(frames).arg(value);
        break;
    case SheetOptions::Grid::Columns:
        plan.perRow = int(std::min<qsizetype>(value, frames));
        plan.rows = int(roundedUp(frames, plan.perRow));
        break;
    case SheetOptions::Grid::MaxWidth: {
        const qsizetype fitting = std::min<qsizetype>(value / plan.cell.width(), frames);
        if (fitting == 0)
            return u"a frame is %1 pixels wide, more than --max-width %2"_s
                .arg(plan.cell.width())
                .arg(value);
        plan.rows = int(roundedUp(frames, fitting));
        plan.perRow = int(roundedUp(frames, plan.rows));
        break;
    }
    }
    return plan;
}
