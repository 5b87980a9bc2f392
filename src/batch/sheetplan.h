#pragma once

#include "batch/sheetoptions.h"
#include "core/grid.h"
#include "core/runtimeerror.h"

#include <QStringList>

#include <algorithm>
#include <variant>

// Which frames go where: the frames of the folder in drawing order, and the grid whose cells are
// the size of the first frame.
struct SheetPlan
{
    QString folder;
    QStringList names;
    quorbel::SheetGrid grid;

    // The frames the grid draws: every frame, unless it has fewer cells.
    QStringList drawn() const { return names.mid(0, std::min(names.size(), grid.cells())); }
};

// "Invalid picture (error 481)".
QString readable(const quorbel::RuntimeError &error);

// The plan, or the message that says why there is none. The frames and their order are those of
// the desktop program's Draw, the cell the size of the first frame its file list shows.
std::variant<SheetPlan, QString> planSheet(const SheetOptions &options);
