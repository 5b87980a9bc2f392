#include "batch/sheetplan.h"

#include "core/folderlisting.h"
#include "core/naturalorder.h"
#include "core/runtimeerror.h"
#include "core/textorder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace quorbel;

namespace {

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

} // namespace

// "Invalid picture (error 481)": readable where the desktop program's messages join the two.
QString readable(const RuntimeError &error)
{
    return u"%1 (error %2)"_s.arg(error.description()).arg(error.number());
}

QStringList pathsOf(const QString &folder, const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths.append(QDir(folder).filePath(name));
    return paths;
}

std::variant<SheetPlan, QString> planSheet(const SheetOptions &options)
{
    const QFileInfo folder(options.folder);
    if (!folder.exists())
        return options.folder + u": "_s + readable(RuntimeError(err::PathNotFound));
    if (!folder.isDir())
        return options.folder + u": not a folder of frames"_s;
    // The folder is listed once.
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
    const PlanLayout layOut =
        options.layout == SheetOptions::Layout::Packed ? planPacked : planGrid;
    if (const auto problem = layOut(plan, options, listed))
        return *problem;
    return plan;
}
