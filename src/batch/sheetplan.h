#pragma once

#include "batch/sheetoptions.h"
#include "core/grid.h"
#include "core/layout.h"
#include "core/runtimeerror.h"

#include <QStringList>

#include <algorithm>
#include <variant>

// Which frames go where: the frames of the folder in drawing order, the size of the first, and
// the grid, whose cells are that size or, trimmed, the part of every frame that shows, laid out
// as pages and a placement for each frame it draws.
struct SheetPlan
{
    QString folder;
    QStringList names;
    QSize frameSize;
    quorbel::SheetGrid grid;
    quorbel::SheetLayout layout;

    // The frames the grid draws: every frame, unless it has fewer cells.
    QStringList drawn() const { return names.mid(0, layout.placements.size()); }
    QStringList paths() const;
};

// "Invalid picture (error 481)".
QString readable(const quorbel::RuntimeError &error);

// The plan, or the message that says why there is none. The frames and their order are those of
// the desktop program's Draw, the cell the size of the first frame its file list shows. Trimming
// reads every frame drawn first.
std::variant<SheetPlan, QString> planSheet(const SheetOptions &options);
