#pragma once

#include "batch/sheetoptions.h"
#include "core/layout.h"
#include "core/picture.h"
#include "core/runtimeerror.h"

#include <QStringList>

#include <optional>
#include <variant>

// Which frames go where: the frames of the folder in drawing order and the layout of those drawn,
// its pages and a placement for each, with what the command says of them.
struct SheetPlan
{
    QString folder;
    QStringList names;
    quorbel::SheetLayout layout;
    // What each page holds, as the command says it: "3 rows of 4", "packed in 9 rectangles".
    QStringList pageShapes;
    // Why frames are left out, when the layout leaves some: "the grid of 3 rows of 3 has 9 cells".
    QString leftOutBecause;
    // The size every frame should have, where the layout takes them all to have one: the first's.
    std::optional<QSize> frameSize;
    // The shown pixels of frames read while planning, held for composing (null: not held).
    QList<quorbel::Picture> kept;

    // The frames the layout draws: every frame, unless it has fewer places.
    QStringList drawn() const { return names.mid(0, layout.placements.size()); }
};

// "Invalid picture (error 481)".
QString readable(const quorbel::RuntimeError &error);

// The plan, or the message that says why there is none. The frames and their order are those of
// the desktop program's Draw.
std::variant<SheetPlan, QString> planSheet(const SheetOptions &options);

// The layouts, one file each behind this one signature: each lays out the plan's frames as the
// options ask, or returns the message that says why it cannot. The grid's cell is the size of
// the first frame the desktop program's file list shows (`listed` is the folder's own order), and
// --trim reads every frame drawn first; the packed layout reads every frame.
using PlanLayout = std::optional<QString> (*)(SheetPlan &plan, const SheetOptions &options,
                                              const QStringList &listed);
std::optional<QString> planGrid(SheetPlan &plan, const SheetOptions &options,
                                const QStringList &listed);
std::optional<QString> planPacked(SheetPlan &plan, const SheetOptions &options,
                                  const QStringList &listed);

QStringList pathsOf(const QString &folder, const QStringList &names);
