#include "batch/sheetplan.h"

#include "core/folderlisting.h"
#include "core/framemeasure.h"
#include "core/framereader.h"
#include "core/grid.h"

#include <QDir>

using namespace Qt::StringLiterals;
using namespace quorbel;

namespace {

qsizetype roundedUp(qsizetype count, qsizetype by)
{
    return (count + by - 1) / by;
}

// "1 row of 3", "2 rows of 3".
QString rowsText(int rows, int perRow)
{
    return (rows == 1 ? u"1 row"_s : u"%1 rows"_s.arg(rows)) + u" of %1"_s.arg(perRow);
}

// How many frames the grid asked for draws: --rows may have fewer cells than frames.
std::variant<qsizetype, QString> framesDrawn(const SheetOptions &options, qsizetype frames)
{
    if (options.grid != SheetOptions::Grid::Rows)
        return frames;
    const int perRow = framesPerRow(Int16(frames), Int16(options.gridValue));
    if (perRow == 0)
        return u"%1 frames in %2 rows round to no frame a row"_s.arg(frames).arg(options.gridValue);
    return std::min<qsizetype>(frames, qsizetype(perRow) * options.gridValue);
}

// The part of every frame that shows: the union of their bounds, one pixel when none shows.
QRect commonBounds(const QList<FrameMeasure> &measured)
{
    QRect bounds;
    for (const FrameMeasure &frame : measured)
        bounds |= frame.bounds;
    return bounds.isEmpty() ? QRect(0, 0, 1, 1) : bounds;
}

// What makes the cell as wide and as high as it is, to say when it is too large: "Walk01.bmp is
// 16 pixels wide"; trimmed, the frame that reaches furthest both ways, "walk03.png is 20 pixels
// wide, trimmed", or the two that reach furthest one way each, "walk02.png and walk05.png span
// 20 pixels wide, trimmed alike".
struct CellSpan
{
    QString wide;
    QString high;
};

// The frames, in drawing order, trimmed to `area`, the part of every frame that shows: the first
// frame whose shown part reaches from the low edge to the high one, else the first that reaches
// each; the first frame when none shows.
QString trimmedSpan(const QStringList &names, const QList<FrameMeasure> &measured, QRect area,
                    int (QRect::*low)() const, int (QRect::*high)() const, int pixels,
                    const char16_t *side)
{
    const auto alone = [&](qsizetype k) {
        return u"%1 is %2 pixels %3, trimmed"_s.arg(names.at(k)).arg(pixels).arg(side);
    };
    qsizetype from = -1, to = -1;
    for (qsizetype k = 0; k < measured.size(); ++k) {
        const QRect &bounds = measured.at(k).bounds;
        if (bounds.isEmpty())
            continue;
        const bool reachesLow = (bounds.*low)() == (area.*low)();
        const bool reachesHigh = (bounds.*high)() == (area.*high)();
        if (reachesLow && reachesHigh)
            return alone(k);
        from = reachesLow && from < 0 ? k : from;
        to = reachesHigh && to < 0 ? k : to;
    }
    if (from < 0)
        return alone(0);
    return u"%1 and %2 span %3 pixels %4, trimmed alike"_s.arg(names.at(from), names.at(to))
        .arg(pixels)
        .arg(side);
}

CellSpan trimmedCellSpan(const QStringList &names, const QList<FrameMeasure> &measured, QRect area)
{
    return {
        trimmedSpan(names, measured, area, &QRect::left, &QRect::right, area.width(), u"wide"),
        trimmedSpan(names, measured, area, &QRect::top, &QRect::bottom, area.height(), u"high")};
}

// The grid's rows and columns, and its pages, for cells of grid.cell.
std::optional<QString> shapeGrid(SheetGrid &grid, const SheetOptions &options, qsizetype frames,
                                 const CellSpan &span)
{
    const int value = options.gridValue;
    const int padding = grid.padding, ring = 2 * grid.extrusion;
    switch (options.grid) {
    case SheetOptions::Grid::Rows:
        grid.rows = value;
        grid.perRow = framesPerRow(Int16(frames), Int16(value));
        break;
    case SheetOptions::Grid::Columns:
        grid.perRow = int(std::min<qsizetype>(value, frames));
        grid.rows = int(roundedUp(frames, grid.perRow));
        break;
    case SheetOptions::Grid::MaxWidth: {
        // Columns of cell, ring and padding, and the padding that closes the row.
        const qsizetype fitting =
            std::min<qsizetype>((value - padding) / (grid.cell.width() + ring + padding), frames);
        if (fitting <= 0)
            return u"%1, with padding and extrusion more than --max-width %2"_s.arg(span.wide).arg(
                value);
        grid.rows = int(roundedUp(frames, fitting));
        grid.perRow = int(roundedUp(frames, grid.rows));
        break;
    }
    }
    if (options.maxHeight > 0) {
        grid.rowsPerPage = (options.maxHeight - padding) / (grid.cell.height() + ring + padding);
        if (grid.rowsPerPage <= 0)
            return u"%1, with padding and extrusion more than --max-height %2"_s.arg(span.high).arg(
                options.maxHeight);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> planGrid(SheetPlan &plan, const SheetOptions &options,
                                const QStringList &listed)
{
    const auto drawnCount = framesDrawn(options, plan.names.size());
    if (const QString *problem = std::get_if<QString>(&drawnCount))
        return *problem;
    const qsizetype drawn = std::get<qsizetype>(drawnCount);

    // The cell comes from the frame the file list would show first.
    const QString first = firstByName(listed);
    QSize frameSize;
    try {
        FrameReader reader;
        const QString path = QDir(options.folder).filePath(first);
        frameSize = quorbel::frameSize(path, reader.load(path));
    } catch (const RuntimeError &error) {
        return first + u": "_s + readable(error);
    }
    plan.frameSize = frameSize;
    // Untrimmed, every frame is taken to be the first one's size, which composing checks.
    QList<FrameMeasure> measured(drawn, {frameSize, QRect(QPoint(0, 0), frameSize)});
    if (options.trim) {
        try {
            measured =
                measureFrames(pathsOf(plan.folder, plan.names.mid(0, drawn)), options.transparent);
        } catch (const FrameFailure &failure) {
            return plan.names.at(failure.index) + u": "_s + readable(failure.error);
        }
    }
    const QRect area = options.trim ? commonBounds(measured) : measured.first().bounds;

    SheetGrid grid;
    grid.cell = area.size();
    grid.padding = options.padding;
    grid.extrusion = options.extrude;
    const CellSpan span = options.trim
        ? trimmedCellSpan(plan.names, measured, area)
        : CellSpan{u"%1 is %2 pixels wide"_s.arg(first).arg(area.width()),
                   u"%1 is %2 pixels high"_s.arg(first).arg(area.height())};
    if (const auto problem = shapeGrid(grid, options, drawn, span))
        return *problem;
    for (qsizetype k = 0; k < drawn; ++k)
        plan.layout.placements.append(grid.place(k, measured.at(k).size, area));
    for (int page = 0; page < grid.pages(); ++page) {
        plan.layout.pages.append(grid.pageSize(page));
        plan.pageShapes.append(rowsText(grid.rowsOn(page), grid.perRow));
    }
    plan.leftOutBecause =
        u"the grid of %1 has %2 cells"_s.arg(rowsText(grid.rows, grid.perRow)).arg(grid.cells());
    return std::nullopt;
}
