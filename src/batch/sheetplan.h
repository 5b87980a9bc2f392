#pragma once

#include "batch/sheetoptions.h"

#include <QSize>
#include <QStringList>

#include <algorithm>

#include <variant>

// Which frames go where: the frames of the folder in drawing order, the cell every frame starts
// in, and the grid.
struct SheetPlan
{
    QString folder;
    QStringList names;
    QSize cell;
    int perRow = 0;
    int rows = 0;

    qsizetype cells() const { return qsizetype(perRow) * rows; }
    // How many frames the grid draws: every frame, unless it has fewer cells.
    qsizetype drawn() const { return std::min(names.size(), cells()); }
    // The frames the grid has no cell for, from the end of the drawing order.
    QStringList leftOut() const { return names.mid(cells()); }
    QSize sheetSize() const { return {cell.width() * perRow, cell.height() * rows}; }
};

// The plan, or the message that says why there is none. The frames and their order are those of
// the desktop program's Draw, the cell the size of the first frame its file list shows.
std::variant<SheetPlan, QString> planSheet(const SheetOptions &options);
