#include "batch/sheetplan.h"

#include "core/bitmapfile.h"
#include "core/folderlisting.h"
#include "core/naturalorder.h"
#include "core/picture.h"
#include "core/runtimeerror.h"
#include "core/textorder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString FramePattern = u"*.bmp"_s;

using namespace quorbel;

// The desktop program sorts the enumeration ascending and, to invert, sorts that descending.
QStringList orderedNames(QStringList names, const SheetOptions &options)
{
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
        return options.folder + u": "_s + errorDescription(err::PathNotFound)
            + QString::number(err::PathNotFound);
    // The folder is listed once; the cell comes from the frame the file list would show first.
    const QStringList listed = matchingFiles(options.folder, FramePattern, Order::FileSystem);
    SheetPlan plan;
    plan.folder = options.folder;
    plan.names = orderedNames(listed, options);
    if (plan.names.isEmpty())
        return options.folder + u": no .bmp frames"_s;
    if (plan.names.size() > 32767)
        return options.folder + u": more than 32767 frames"_s;

    const QString first = sortedByName(listed).constFirst();
    try {
        plan.grid.cell = loadBitmapFile(QDir(options.folder).filePath(first)).size();
    } catch (const RuntimeError &error) {
        return first + u": "_s + error.descriptionAndNumber();
    }

    SheetGrid &grid = plan.grid;
    const auto frames = plan.names.size();
    const int value = options.gridValue;
    switch (options.grid) {
    case SheetOptions::Grid::Rows:
        grid.rows = value;
        grid.perRow = framesPerRow(Int16(frames), Int16(value));
        if (grid.perRow == 0)
            return u"%1 frames in %2 rows round to no frame a row"_s.arg(frames).arg(value);
        break;
    case SheetOptions::Grid::Columns:
        grid.perRow = int(std::min<qsizetype>(value, frames));
        grid.rows = int(roundedUp(frames, grid.perRow));
        break;
    case SheetOptions::Grid::MaxWidth: {
        const qsizetype fitting = std::min<qsizetype>(value / grid.cell.width(), frames);
        if (fitting == 0)
            return u"a frame is %1 pixels wide, more than --max-width %2"_s
                .arg(grid.cell.width())
                .arg(value);
        grid.rows = int(roundedUp(frames, fitting));
        grid.perRow = int(roundedUp(frames, grid.rows));
        break;
    }
    }
    return plan;
}
