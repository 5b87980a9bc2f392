#include "batch/sheetcommand.h"

#include "batch/atlasjson.h"
#include "batch/sheetplan.h"
#include "core/bmpencoder.h"
#include "core/framereader.h"
#include "core/layout.h"
#include "core/pngencoder.h"
#include "core/replacefile.h"
#include "core/sheetcompose.h"
#include "core/vectorstate.h"

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

// "1 file", "2 files".
QString fileCount(qsizetype count)
{
    return count == 1 ? u"1 file"_s : u"%1 files"_s.arg(count);
}

// Everything the command says starts with its name, so a build log shows where it came from.
void say(QTextStream &stream, const QString &text)
{
    stream << "quorbel-sheet: " << text << '\n';
}

QString pageText(const SheetPlan &plan, int page)
{
    return plan.pageShapes.at(page) + u", "_s + sizeText(plan.layout.pages.at(page));
}

// The warnings a sheet earns: frames the layout leaves out, frames of another size than the one
// all should have.
QStringList warnings(const SheetPlan &plan, const QList<QSize> &sizes)
{
    const Shortfall shortfall =
        shortfallOf(plan.names, plan.layout.placements.size(), plan.frameSize.value_or(QSize()),
                    plan.frameSize ? sizes : QList<QSize>());
    QStringList found;
    if (!shortfall.leftOut.isEmpty())
        found.append(u"%1 left out, %2: %3"_s.arg(frames(shortfall.leftOut.size()),
                                                  plan.leftOutBecause,
                                                  shortfall.leftOut.join(u", "_s)));
    QStringList otherSize;
    for (const auto &[name, size] : shortfall.otherSize)
        otherSize.append(name + u" is "_s + sizeText(size));
    if (!otherSize.isEmpty())
        found.append(u"%1 in size from the first, %2: %3"_s.arg(
            otherSize.size() == 1 ? u"1 frame differs"_s
                                  : u"%1 frames differ"_s.arg(otherSize.size()),
            sizeText(*plan.frameSize), otherSize.join(u", "_s)));
    return found;
}

void encode(const Picture &sheet, const SheetOptions &options, const ByteSink &sink)
{
    if (options.png)
        encodePng(sheet, sink, options.pngLevel);
    else
        encodeBmp24(sheet, sink);
}

// Standard output is named "-", as on the command line.
void writeToStandardOutput(const Picture &sheet, const SheetOptions &options)
{
    try {
        QFile output;
        if (!output.open(stdout, QIODevice::WriteOnly))
            raise(err::PathFileAccessError);
        encode(sheet, options, [&output](const QList<QByteArrayView> &pieces) {
            for (QByteArrayView piece : pieces) {
                if (output.write(piece.data(), piece.size()) != piece.size())
                    raise(err::PathFileAccessError);
            }
        });
        if (!output.flush())
            raise(err::PathFileAccessError);
    } catch (const RuntimeError &error) {
        throw FileFailure{options.output, error};
    }
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
    QStringList pages;
    for (int page = 0; page < plan.layout.pages.size(); ++page)
        pages.append(pageText(plan, page));
    say(out,
        u"%1: %2 read, %3%4"_s.arg(plan.folder, frames(sizes.size()),
                                   pages.size() == 1 ? QString()
                                                     : u"%1 pages: "_s.arg(pages.size()),
                                   pages.join(u"; "_s)));
    return finish(warnings(plan, sizes), options, err);
}

// The JSON's name for each page: the given one, or its path from the JSON's folder.
QStringList imageNames(const SheetOptions &options, qsizetype pages)
{
    if (!options.image.isEmpty())
        return {options.image};
    const QDir jsonFolder = QFileInfo(options.json).absoluteDir();
    QStringList names;
    for (int page = 0; page < pages; ++page)
        names.append(jsonFolder.relativeFilePath(
            QFileInfo(pagePath(options.output, page, int(pages))).absoluteFilePath()));
    return names;
}

QList<JsonFile> atlasFiles(const SheetPlan &plan, const SheetOptions &options,
                           const QList<Placement> &drawn)
{
    const Atlas atlas{plan.drawn(),
                      drawn,
                      plan.layout.pages,
                      imageNames(options, plan.layout.pages.size()),
                      options.animation.isEmpty()
                          ? QFileInfo(QDir(plan.folder).absolutePath()).fileName()
                          : options.animation,
                      options.png};
    const AtlasLayout layout = options.data == SheetOptions::Data::Array ? arrayAtlas
        : options.data == SheetOptions::Data::MultiAtlas                 ? multiAtlas
                                                                         : hashAtlas;
    return layout(atlas, options.json);
}

// The frames of a page painted, each rectangle once, by the first frame it shows; those that
// share it are placed as planned. What each frame put on the sheet, in drawing order.
QList<Placement> composePage(const SheetPlan &plan, qsizetype first, qsizetype count,
                             Picture &sheet, int extrusion)
{
    QList<qsizetype> painters;
    QStringList paths;
    QList<Placement> placements;
    QList<Picture> held;
    for (qsizetype k = first; k < first + count; ++k) {
        if (plan.layout.painter(k) != k)
            continue;
        painters.append(k);
        paths.append(QDir(plan.folder).filePath(plan.names.at(k)));
        placements.append(plan.layout.placements.at(k));
        held.append(plan.kept.value(k));
    }
    QList<Placement> painted;
    try {
        painted = composeSheet(paths, placements, sheet, extrusion, held).drawn;
    } catch (const FrameFailure &failure) {
        throw FrameFailure{painters.at(failure.index), failure.error};
    }
    QList<Placement> drawn = plan.layout.placements.mid(first, count);
    for (qsizetype i = 0; i < painters.size(); ++i)
        drawn[painters.at(i) - first] = painted.at(i);
    return drawn;
}

// Memory ran short for a page of this size.
struct NoRoom
{
    QSize size;
};

// The pages composed one after another, each handed to `done` with the count of its frames and
// let go before the next is made, so memory holds one page at a time (besides, when packed, the
// frames' pixels kept since measuring). What every frame put on its page, in drawing order.
using PageDone = std::function<void(int page, const Picture &sheet, qsizetype frames)>;
Composition composePages(const SheetPlan &plan, const SheetOptions &options, const PageDone &done)
{
    const SheetLayout &layout = plan.layout;
    Composition composed;
    for (qsizetype page = 0, first = 0; page < layout.pages.size(); ++page) {
        qsizetype count = 0;
        while (first + count < layout.placements.size()
               && layout.placements.at(first + count).page == page)
            ++count;
        // A PNG keeps the frames' transparency, and what no frame covers is see-through.
        Picture sheet;
        try {
            sheet = Picture(layout.pages.at(page),
                            options.png ? Picture::Format::Bgra32 : Picture::Format::Bgr24);
        } catch (const std::bad_alloc &) {
            throw NoRoom{layout.pages.at(page)};
        }
        composed.drawn += composePage(plan, first, count, sheet, options.extrude);
        if (options.transparent)
            makeTransparent(sheet, *options.transparent);
        done(int(page), sheet, count);
        first += count;
    }
    return composed;
}

void addPage(FileSet &files, const QString &path, const Picture &sheet, const SheetOptions &options)
{
    files.add(path, options.png ? 0 : bmp24FileSize(sheet),
              [&](const ByteSink &sink) { encode(sheet, options, sink); });
}

// The JSON files added to the set; their names.
QStringList addJson(FileSet &files, const SheetPlan &plan, const SheetOptions &options,
                    const QList<Placement> &drawn)
{
    QStringList paths;
    for (const JsonFile &json : atlasFiles(plan, options, drawn)) {
        files.add(json.path, json.bytes.size(),
                  [&json](const ByteSink &sink) { sink({json.bytes}); });
        paths.append(json.path);
    }
    return paths;
}

// An earlier run with more pages leaves files this one does not replace; they are never removed,
// since the user did not name them, but said, so that a build can stop on them. For the sheet's
// name and the JSON's, walk-3.png, walk-4.png, ... from the first number this run did not write,
// or from walk-1.png when it wrote the name itself, as long as such files follow one another.
QStringList leftFromEarlier(const SheetOptions &options, const QStringList &written)
{
    QStringList names{options.json};
    if (!options.toStandardOutput())
        names.prepend(options.output);
    QStringList left;
    for (const QString &name : std::as_const(names)) {
        if (name.isEmpty())
            continue;
        int number = 1;
        while (!written.contains(name) && written.contains(numberedPath(name, number)))
            ++number;
        for (; QFileInfo::exists(numberedPath(name, number)); ++number)
            left.append(numberedPath(name, number));
    }
    return left;
}

int fail(QTextStream &err, const QString &what, const RuntimeError &error)
{
    say(err, what + u": "_s + readable(error));
    return Failed;
}

// Every page written beside its target, then the JSON, and only when all are whole do they take
// their names; a sheet for standard output goes there just before.
int write(const SheetPlan &plan, const SheetOptions &options, QTextStream &out, QTextStream &err)
{
    const int pages = int(plan.layout.pages.size());
    if (pages > 1 && options.toStandardOutput()) {
        say(err,
            u"the frames fill %1 pages, each a file of its own: give -o a file name, not -"_s.arg(
                pages));
        return Failed;
    }
    FileSet files;
    QStringList written, said;
    Picture standardOutput;
    // Each page into the set, or held for standard output.
    const PageDone keep = [&](int page, const Picture &sheet, qsizetype count) {
        if (options.toStandardOutput()) {
            standardOutput = sheet;
            return;
        }
        const QString path = pagePath(options.output, page, pages);
        addPage(files, path, sheet, options);
        written.append(path);
        said.append(u"%1: %2, %3"_s.arg(path, frames(count), pageText(plan, page)));
    };
    Composition composed;
    try {
        composed = composePages(plan, options, keep);
        if (!options.json.isEmpty())
            written += addJson(files, plan, options, composed.drawn);
        if (options.toStandardOutput())
            writeToStandardOutput(standardOutput, options);
        files.commit();
    } catch (const FrameFailure &failure) {
        return fail(err, plan.names.at(failure.index), failure.error);
    } catch (const NoRoom &page) {
        return fail(err, u"no room for a sheet of "_s + sizeText(page.size),
                    RuntimeError(err::OutOfMemory));
    } catch (const FileFailure &failure) {
        return fail(err, failure.path, failure.error);
    } catch (const std::bad_alloc &) {
        say(err, readable(RuntimeError(err::OutOfMemory)));
        return Failed;
    }
    for (const QString &line : std::as_const(said)) // where the pages themselves went
        say(out, line);
    QStringList found = warnings(plan, composed.frameSizes());
    if (const QStringList left = leftFromEarlier(options, written); !left.isEmpty())
        found.append(u"%1 left from an earlier run, not of this sheet: %2"_s.arg(
            fileCount(left.size()), left.join(u", "_s)));
    return finish(found, options, err);
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
    // The option parser hashed strings, which leaves this thread's vector state slow to work on.
    clearUpperVectorState();
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
