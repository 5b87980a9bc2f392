#include "batch/sheetcommand.h"

#include "batch/atlasjson.h"
#include "batch/sheetplan.h"
#include "core/bitmapfile.h"
#include "core/pngfile.h"
#include "core/replacefile.h"
#include "core/sheetcompose.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using namespace quorbel;

namespace {

constexpr int Done = 0;
constexpr int Warned = 1;
constexpr int Failed = 2;

QString sizeText(QSize size)
{
    return u"%1x%2"_s.arg(size.width()).arg(size.height());
}

// The warnings a sheet earns: frames the grid leaves out, frames of another size than the first.
QStringList warnings(const SheetPlan &plan, const QList<QSize> &sizes)
{
    const Shortfall shortfall = shortfallOf(plan.names, plan.grid, sizes);
    QStringList found;
    if (!shortfall.leftOut.isEmpty())
        found.append(u"%1 frames left out, the grid of %2 rows of %3 has %4 cells: %5"_s
                         .arg(shortfall.leftOut.size())
                         .arg(plan.grid.rows)
                         .arg(plan.grid.perRow)
                         .arg(plan.grid.cells())
                         .arg(shortfall.leftOut.join(u", "_s)));
    QStringList otherSize;
    for (const auto &[name, size] : shortfall.otherSize)
        otherSize.append(name + u" is "_s + sizeText(size));
    if (!otherSize.isEmpty())
        found.append(u"%1 frames differ in size from the first, %2: %3"_s.arg(otherSize.size())
                         .arg(sizeText(plan.grid.cell), otherSize.join(u", "_s)));
    return found;
}

void writePng(const Picture &sheet, const QString &path)
{
    replaceFile(path, 0, [&sheet](const ByteSink &sink) { encodePng(sheet, sink); });
}

void writeBytes(const QByteArray &bytes, const QString &path)
{
    replaceFile(path, bytes.size(), [&bytes](const ByteSink &sink) { sink({QByteArrayView(bytes)}); });
}

int finish(const QStringList &found, const SheetOptions &options, QTextStream &err)
{
    for (const QString &warning : found)
        err << "warning: " << warning << '\n';
    return options.strict && !found.isEmpty() ? Warned : Done;
}

// Every frame the grid draws is read, and every one that cannot be is named.
int check(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    QList<QSize> sizes;
    bool failed = false;
    BitmapReader reader;
    Picture frame;
    for (const QString &name : plan.drawn()) {
        try {
            reader.read(QDir(plan.folder).filePath(name), frame);
            sizes.append(frame.size());
        } catch (const RuntimeError &error) {
            err << name << ": " << error.descriptionAndNumber() << '\n';
            sizes.append(QSize());
            failed = true;
        }
    }
    if (failed)
        return Failed;
    out << plan.folder << ": " << sizes.size() << " frames read, " << plan.grid.rows
        << " rows of " << plan.grid.perRow << ", " << sizeText(plan.grid.sheetSize()) << '\n';
    return finish(warnings(plan, sizes), options, err);
}

int write(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    const SheetGrid &grid = plan.grid;
    Composition composed;
    Picture sheet;
    try {
        sheet = Picture(grid.sheetSize());
        QStringList paths;
        for (const QString &name : plan.drawn())
            paths.append(QDir(plan.folder).filePath(name));
        composed = composeSheet(paths, grid, sheet);
    } catch (const FrameFailure &failure) {
        err << plan.names.at(failure.index) << ": " << failure.error.descriptionAndNumber() << '\n';
        return Failed;
    } catch (const std::bad_alloc &) {
        err << "no room for a sheet of " << sizeText(grid.sheetSize()) << ": "
            << RuntimeError(err::OutOfMemory).descriptionAndNumber() << '\n';
        return Failed;
    }
    QString writing = options.output;
    try {
        if (options.png)
            writePng(sheet, options.output);
        else
            saveBitmapFile(sheet, options.output);
        writing = options.json;
        if (!options.json.isEmpty())
            writeBytes(atlasJson(plan, composed.frameSizes, QFileInfo(options.output).fileName()),
                       options.json);
    } catch (const RuntimeError &error) {
        err << writing << ": " << error.descriptionAndNumber() << '\n';
        return Failed;
    }
    out << options.output << ": " << composed.frameSizes.size() << " frames, " << grid.rows
        << " rows of " << grid.perRow << ", " << sizeText(sheet.size()) << '\n';
    return finish(warnings(plan, composed.frameSizes), options, err);
}

} // namespace

int runSheetCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const auto parsed = parseSheetOptions(arguments);
    if (const QString *mistake = std::get_if<QString>(&parsed)) {
        err << "quorbel-sheet: " << *mistake << "\nTry quorbel-sheet --help\n";
        return Failed;
    }
    const SheetOptions &options = std::get<SheetOptions>(parsed);
    if (options.help) {
        out << sheetHelp();
        return Done;
    }
    if (options.version) {
        out << "quorbel-sheet " QUORBEL_VERSION "\n";
        return Done;
    }
    const auto planned = planSheet(options);
    if (const QString *problem = std::get_if<QString>(&planned)) {
        err << *problem << '\n';
        return Failed;
    }
    const SheetPlan &plan = std::get<SheetPlan>(planned);
    return options.check ? check(plan, options, out, err) : write(plan, options, out, err);
}
