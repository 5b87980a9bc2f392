#include "batch/sheetcommand.h"

#include "batch/atlasjson.h"
#include "batch/composesheet.h"
#include "batch/sheetplan.h"
#include "platform/bitmapfile.h"
#include "platform/fileerrors.h"
#include "platform/replacefile.h"
#include "platform/runtimeerror.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QImageWriter>

using namespace Qt::StringLiterals;

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
    QStringList found;
    const QStringList leftOut = plan.leftOut();
    if (!leftOut.isEmpty())
        found.append(u"%1 frames left out, the grid of %2 rows of %3 has %4 cells: %5"_s
                         .arg(leftOut.size())
                         .arg(plan.rows)
                         .arg(plan.perRow)
                         .arg(plan.cells())
                         .arg(leftOut.join(u", "_s)));
    QStringList otherSize;
    for (qsizetype k = 0; k < sizes.size(); ++k) {
        if (sizes.at(k).isValid() && sizes.at(k) != plan.cell)
            otherSize.append(plan.names.at(k) + u" is "_s + sizeText(sizes.at(k)));
    }
    if (!otherSize.isEmpty())
        found.append(u"%1 frames differ in size from the first, %2: %3"_s.arg(otherSize.size())
                         .arg(sizeText(plan.cell), otherSize.join(u", "_s)));
    return found;
}

void writePng(const QImage &image, const QString &path)
{
    platform::replaceFile(path, 0, [&image](QFileDevice &file) {
        QImageWriter writer(&file, "png");
        if (!writer.write(image))
            platform::raise(platform::writeError(file));
    });
}

void writeBytes(const QByteArray &bytes, const QString &path)
{
    platform::replaceFile(path, bytes.size(), [&bytes](QFileDevice &file) {
        if (file.write(bytes) != bytes.size())
            platform::raise(platform::writeError(file));
    });
}

int finish(const QStringList &found, const SheetOptions &options, QTextStream &err)
{
    for (const QString &warning : found)
        err << "warning: " << warning << '\n';
    return options.strict && !found.isEmpty() ? Warned : Done;
}

int check(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    QList<QSize> sizes;
    const QList<FrameError> errors = checkFrames(plan, sizes);
    for (const FrameError &error : errors)
        err << error.name << ": " << error.message << '\n';
    if (!errors.isEmpty())
        return Failed;
    out << plan.folder << ": " << sizes.size() << " frames read, " << plan.rows << " rows of "
        << plan.perRow << ", " << sizeText(plan.sheetSize()) << '\n';
    return finish(warnings(plan, sizes), options, err);
}

int write(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    ComposedSheet sheet;
    try {
        sheet = composeSheet(plan);
    } catch (const FrameError &error) {
        err << error.name << ": " << error.message << '\n';
        return Failed;
    } catch (const platform::RuntimeError &error) {
        err << "no room for a sheet of " << sizeText(plan.sheetSize()) << ": "
            << error.descriptionAndNumber() << '\n';
        return Failed;
    }
    QString writing = options.output;
    try {
        if (options.png)
            writePng(sheet.image, options.output);
        else
            platform::saveBitmapFile(sheet.image, options.output);
        writing = options.json;
        if (!options.json.isEmpty())
            writeBytes(atlasJson(plan, sheet, QFileInfo(options.output).fileName()), options.json);
    } catch (const platform::RuntimeError &error) {
        err << writing << ": " << error.descriptionAndNumber() << '\n';
        return Failed;
    }
    out << options.output << ": " << sheet.rects.size() << " frames, " << plan.rows
        << " rows of " << plan.perRow << ", " << sizeText(sheet.image.size()) << '\n';
    return finish(warnings(plan, sheet.frameSizes), options, err);
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
