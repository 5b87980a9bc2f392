#include "batch/sheetcommand.h"

#include "batch/atlasjson.h"
#include "batch/sheetplan.h"
#include "core/bmpencoder.h"
#include "core/framereader.h"
#include "core/pngencoder.h"
#include "core/replacefile.h"
#include "core/sheetcompose.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

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

// "1 frame", "2 frames".
QString frames(qsizetype count)
{
    return count == 1 ? u"1 frame"_s : u"%1 frames"_s.arg(count);
}

// Everything the command says starts with its name, so a build log shows where it came from.
void say(QTextStream &stream, const QString &text)
{
    stream << "quorbel-sheet: " << text << '\n';
}

// The warnings a sheet earns: frames the grid leaves out, frames of another size than the first.
QStringList warnings(const SheetPlan &plan, const QList<QSize> &sizes)
{
    const Shortfall shortfall = shortfallOf(plan.names, plan.grid, sizes);
    QStringList found;
    if (!shortfall.leftOut.isEmpty())
        found.append(u"%1 left out, the grid of %2 rows of %3 has %4 cells: %5"_s
                         .arg(frames(shortfall.leftOut.size()))
                         .arg(plan.grid.rows)
                         .arg(plan.grid.perRow)
                         .arg(plan.grid.cells())
                         .arg(shortfall.leftOut.join(u", "_s)));
    QStringList otherSize;
    for (const auto &[name, size] : shortfall.otherSize)
        otherSize.append(name + u" is "_s + sizeText(size));
    if (!otherSize.isEmpty())
        found.append(u"%1 in size from the first, %2: %3"_s.arg(
            otherSize.size() == 1 ? u"1 frame differs"_s
                                  : u"%1 frames differ"_s.arg(otherSize.size()),
            sizeText(plan.grid.cell), otherSize.join(u", "_s)));
    return found;
}

void writeBytes(const QByteArray &bytes, const QString &path)
{
    replaceFile(path, bytes.size(), [&bytes](const ByteSink &sink) { sink({bytes}); });
}

// The sheet, as a file replaced whole or on standard output; alongside is written while the
// sheet's new file waits to take its name, so that when it fails the old sheet stays too.
void writeSheet(const Picture &sheet, const SheetOptions &options,
                const std::function<void()> &alongside)
{
    const auto encode = [&](const ByteSink &sink) {
        if (options.png)
            encodePng(sheet, sink, options.pngLevel);
        else
            encodeBmp24(sheet, sink);
    };
    if (!options.toStandardOutput()) {
        replaceFile(options.output, options.png ? 0 : bmp24FileSize(sheet),
                    [&](const ByteSink &sink) {
                        encode(sink);
                        alongside();
                    });
        return;
    }
    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly))
        raise(err::PathFileAccessError);
    encode([&output](const QList<QByteArrayView> &pieces) {
        for (QByteArrayView piece : pieces) {
            if (output.write(piece.data(), piece.size()) != piece.size())
                raise(err::PathFileAccessError);
        }
    });
    if (!output.flush())
        raise(err::PathFileAccessError);
    alongside();
}

int finish(const QStringList &found, const SheetOptions &options, QTextStream &err)
{
    for (const QString &warning : found)
        say(err, u"warning: "_s + warning);
    return options.strict && !found.isEmpty() ? Warned : Done;
}

// Every frame the grid draws is read, and every one that cannot be is named.
int check(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    QList<QSize> sizes;
    bool failed = false;
    FrameReader reader;
    Picture frame;
    for (const QString &name : plan.drawn()) {
        try {
            reader.read(QDir(plan.folder).filePath(name), frame);
            sizes.append(frame.size());
        } catch (const RuntimeError &error) {
            say(err, name + u": "_s + readable(error));
            sizes.append(QSize());
            failed = true;
        }
    }
    if (failed)
        return Failed;
    say(out,
        u"%1: %2 read, %3 rows of %4, %5"_s.arg(plan.folder, frames(sizes.size()))
            .arg(plan.grid.rows)
            .arg(plan.grid.perRow)
            .arg(sizeText(plan.grid.sheetSize())));
    return finish(warnings(plan, sizes), options, err);
}

int write(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    const SheetGrid &grid = plan.grid;
    Composition composed;
    Picture sheet;
    try {
        // A PNG keeps the frames' transparency, and what no frame covers is see-through.
        sheet = Picture(grid.sheetSize(),
                        options.png ? Picture::Format::Bgra32 : Picture::Format::Bgr24);
        QStringList paths;
        for (const QString &name : plan.drawn())
            paths.append(QDir(plan.folder).filePath(name));
        composed = composeSheet(paths, grid, sheet, options.extrude);
    } catch (const FrameFailure &failure) {
        say(err, plan.names.at(failure.index) + u": "_s + readable(failure.error));
        return Failed;
    } catch (const std::bad_alloc &) {
        say(err,
            u"no room for a sheet of %1: %2"_s.arg(sizeText(grid.sheetSize()),
                                                   readable(RuntimeError(err::OutOfMemory))));
        return Failed;
    }
    if (options.transparent)
        makeTransparent(sheet, *options.transparent);
    QString writing = options.output;
    try {
        writeSheet(sheet, options, [&] {
            if (options.json.isEmpty())
                return;
            writing = options.json;
            writeBytes(atlasJson(plan, composed.frameSizes, QFileInfo(options.output).fileName(),
                                 options.png),
                       options.json);
            writing = options.output;
        });
    } catch (const RuntimeError &error) {
        say(err, writing + u": "_s + readable(error));
        return Failed;
    }
    if (!options.toStandardOutput()) // where the sheet itself went
        say(out,
            u"%1: %2, %3 rows of %4, %5"_s.arg(options.output, frames(composed.frameSizes.size()))
                .arg(grid.rows)
                .arg(grid.perRow)
                .arg(sizeText(sheet.size())));
    return finish(warnings(plan, composed.frameSizes), options, err);
}

} // namespace

int runSheetCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const auto parsed = parseSheetOptions(arguments);
    if (const QString *mistake = std::get_if<QString>(&parsed)) {
        say(err, *mistake);
        err << "Try quorbel-sheet --help\n";
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
    if (!options.check && !options.toStandardOutput() && QFileInfo(options.output).isDir()) {
        say(err, options.output + u": a folder; give the sheet's file name"_s);
        return Failed;
    }
    const auto planned = planSheet(options);
    if (const QString *problem = std::get_if<QString>(&planned)) {
        say(err, *problem);
        return Failed;
    }
    const SheetPlan &plan = std::get<SheetPlan>(planned);
    return options.check ? check(plan, options, out, err) : write(plan, options, out, err);
}
