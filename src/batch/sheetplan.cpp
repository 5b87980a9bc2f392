#include "batch/sheetplan.h"

#include "core/framereader.h"
#include "core/folderlisting.h"
#include "core/naturalorder.h"
#include "core/runtimeerror.h"
#include "core/textorder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

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

// "Invalid picture (error 481)": readable where the desktop program's messages join the two.
QString readable(const RuntimeError &error)
{
    return u"%1 (error %2)"_s.arg(error.description()).arg(error.number());
}

std::variant<SheetPlan, QString> planSheet(const SheetOptions &options)
{
    const QFileInfo folder(options.folder);
    if (!folder.exists())
        return options.folder + u": "_s + readable(RuntimeError(err::PathNotFound));
    if (!folder.isDir())
        return options.folder + u": not a folder of frames"_s;
    // The folder is listed once; the cell comes from the frame the file list would show first.
    const QStringList listed =
        matchingFiles(options.folder, options.framePatterns, Order::FileSystem);
    SheetPlan plan;
    plan.folder = options.folder;
    plan.names = orderedNames(listed, options);
    if (plan.names.isEmpty())
        return options.folder + u": no frames, no file named "_s
            + options.framePatterns.join(u" or "_s);
    if (plan.names.size() > 32767)
        return options.folder + u": more than 32767 frames"_s;

    const QString first = firstByName(listed);
    try {
        FrameReader reader;
        const QString path = QDir(options.folder).filePath(first);
        plan.grid.cell = frameSize(path, reader.load(path));
    } catch (const RuntimeError &error) {
        return first + u": "_s + readable(error);
    }

    SheetGrid &grid = plan.grid;
    grid.padding = options.padding;
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
        // Columns of cell and padding, and the padding that closes the row.
        const qsizetype fitting = std::min<qsizetype>(
            (value - grid.padding) / (grid.cell.width() + grid.padding), frames);
        if (fitting <= 0)
            return u"a frame is %1 pixels wide, with padding more than --max-width %2"_s
                .arg(grid.cell.width())
                .arg(value);
        grid.rows = int(roundedUp(frames, fitting));
        grid.perRow = int(roundedUp(frames, grid.rows));
        break;
    }
    }
    return plan;
}
