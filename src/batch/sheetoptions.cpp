#include "batch/sheetoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QCommandLineOption Rows(u"rows"_s, u"rows"_s, u"N"_s);
const QCommandLineOption Columns(u"columns"_s, u"columns"_s, u"N"_s);
const QCommandLineOption MaxWidth(u"max-width"_s, u"max width"_s, u"PX"_s);
const QCommandLineOption Output(QStringList{u"o"_s, u"output"_s}, u"output"_s, u"SHEET"_s);
const QCommandLineOption Invert(u"invert"_s, u"invert"_s);
const QCommandLineOption Order(u"order"_s, u"order"_s, u"ORDER"_s);
const QCommandLineOption Frames(u"frames"_s, u"frames"_s, u"LIST"_s);
const QCommandLineOption Padding(u"padding"_s, u"padding"_s, u"PX"_s);
const QCommandLineOption Extrude(u"extrude"_s, u"extrude"_s, u"PX"_s);
const QCommandLineOption Transparent(u"transparent"_s, u"transparent"_s, u"RRGGBB"_s);
const QCommandLineOption Png(u"png"_s, u"png"_s);
const QCommandLineOption Compression(u"png-level"_s, u"png level"_s, u"LEVEL"_s);
const QCommandLineOption Json(u"json"_s, u"json"_s, u"FILE"_s);
const QCommandLineOption Check(u"check"_s, u"check"_s);
const QCommandLineOption Strict(u"strict"_s, u"strict"_s);
const QCommandLineOption Help(QStringList{u"h"_s, u"help"_s}, u"help"_s);
const QCommandLineOption Version(u"version"_s, u"version"_s);

// The option's whole number from lowest to highest, or the message that says what it takes.
std::variant<int, QString> number(const QCommandLineParser &parser,
                                  const QCommandLineOption &option, int lowest, int highest,
                                  int unset)
{
    if (!parser.isSet(option))
        return unset;
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (ok && value >= lowest && value <= highest)
        return value;
    return u"--%1 takes a whole number from %2 to %3"_s.arg(option.names().constLast())
        .arg(lowest)
        .arg(highest);
}

bool samePath(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

std::variant<SheetOptions, QString> parseSheetOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({Rows, Columns, MaxWidth, Output, Invert, Order, Frames, Padding, Extrude,
                       Transparent, Png, Compression, Json, Check, Strict, Help, Version});
    if (!parser.parse(arguments))
        return parser.errorText();

    SheetOptions options;
    options.help = parser.isSet(Help);
    options.version = parser.isSet(Version);
    if (options.help || options.version)
        return options;
    if (parser.positionalArguments().size() != 1)
        return u"give exactly one folder of frames"_s;
    options.folder = parser.positionalArguments().constFirst();

    if (int(parser.isSet(Rows)) + int(parser.isSet(Columns)) + int(parser.isSet(MaxWidth)) != 1)
        return u"give one of --rows, --columns and --max-width"_s;
    options.grid = parser.isSet(Rows) ? SheetOptions::Grid::Rows
        : parser.isSet(Columns)       ? SheetOptions::Grid::Columns
                                      : SheetOptions::Grid::MaxWidth;
    // Every count the desktop program keeps is 16-bit; a sheet may be wider than it draws.
    const bool byWidth = options.grid == SheetOptions::Grid::MaxWidth;
    const auto grid = number(parser,
                             parser.isSet(Rows) ? Rows
                                 : byWidth      ? MaxWidth
                                                : Columns,
                             1, byWidth ? 1 << 20 : 32767, 0);
    const auto padding = number(parser, Padding, 0, 4096, 0);
    const auto extrude = number(parser, Extrude, 0, 4096, 0);
    for (const auto *value : {&grid, &padding, &extrude}) {
        if (const QString *mistake = std::get_if<QString>(value))
            return *mistake;
    }
    options.gridValue = std::get<int>(grid);
    options.padding = std::get<int>(padding);
    options.extrude = std::get<int>(extrude);
    if (options.extrude > options.padding)
        return u"--extrude repeats edges into the padding, so it takes at most --padding %1"_s.arg(
            options.padding);

    const QString order = parser.value(Order);
    if (!order.isEmpty() && order != u"text"_s && order != u"natural"_s)
        return u"--order is text or natural"_s;
    options.naturalOrder = order == u"natural"_s;
    options.invert = parser.isSet(Invert);
    if (parser.isSet(Frames)) {
        options.framePatterns.clear();
        for (const QString &kind : parser.value(Frames).toLower().split(u',')) {
            if ((kind != u"bmp"_s && kind != u"png"_s)
                || options.framePatterns.contains(u"*."_s + kind))
                return u"--frames is bmp, png or bmp,png"_s;
            options.framePatterns.append(u"*."_s + kind);
        }
    }

    options.check = parser.isSet(Check);
    options.strict = parser.isSet(Strict);
    options.json = parser.value(Json);
    options.output = parser.value(Output);
    options.png = parser.isSet(Png);
    if (options.output.isEmpty() && !options.check)
        return u"give the sheet's name with -o (- for standard output), or --check"_s;
    if (!options.output.isEmpty() && !options.toStandardOutput()) {
        const QString suffix = QFileInfo(options.output).suffix().toLower();
        if (suffix == u"bmp"_s && options.png)
            return u"--png asks for PNG, but %1 is named as a bitmap"_s.arg(options.output);
        if (suffix != u"bmp"_s && suffix != u"png"_s)
            return u"%1: the sheet's name ends in .bmp or .png, which says how it is written"_s.arg(
                options.output);
        options.png = suffix == u"png"_s;
    }
    if (parser.isSet(Compression)) {
        // In the order of PngLevel's values.
        const auto level =
            QStringList{u"fast"_s, u"default"_s, u"best"_s}.indexOf(parser.value(Compression));
        if (level < 0)
            return u"--png-level is fast, default or best"_s;
        if (!options.png && !options.check)
            return u"--png-level needs a PNG sheet: a bitmap is not compressed"_s;
        options.pngLevel = quorbel::PngLevel(level);
    }
    if (!options.json.isEmpty() && samePath(options.json, options.output))
        return u"-o and --json name the same file, %1"_s.arg(options.json);
    if (parser.isSet(Transparent)) {
        const QString colour = parser.value(Transparent);
        bool ok = false;
        options.transparent = colour.toUInt(&ok, 16);
        if (colour.size() != 6 || !ok)
            return u"--transparent takes a colour as six hex digits, RRGGBB, such as 000000"_s;
        if (!options.png && !options.check)
            return u"--transparent needs a PNG sheet: a bitmap sheet has no transparency"_s;
    }
    return options;
}

QString sheetHelp()
{
    return uR"help(Usage: quorbel-sheet FOLDER (--rows N | --columns N | --max-width PX) -o SHEET [options]

Composes the frames of FOLDER into one sprite sheet, as Quorbel's Draw and Save do: the same
frames in the same order, the same grid, a black background. Where Quorbel stops at 32767
pixels a side, this command goes on.

Grid (give one):
  --rows N            N rows; the frames per row are the frame count over N, rounded half to
                      even, exactly as in Quorbel, so a grid too small leaves frames out.
                      e.g. quorbel-sheet walk --rows 2 -o walk.bmp
  --columns N         N frames a row; the rows follow, rounded up, so no frame is left out.
                      e.g. quorbel-sheet walk --columns 8 -o walk.bmp
  --max-width PX      the fewest rows whose sheet, padding included, is at most PX wide, no
                      frame left out, the frames shared out evenly over those rows.
                      e.g. quorbel-sheet run --max-width 2048 -o run.png

Options:
  -o, --output SHEET  the sheet, replaced whole or not at all: a .bmp name gives a 24-bit
                      bitmap, a .png name a PNG that keeps the frames' transparency, and -
                      a bitmap (with --png a PNG) on standard output.
                      e.g. quorbel-sheet walk --rows 2 --output walk.png
  --png               PNG on standard output; a .png name needs no --png.
                      e.g. quorbel-sheet walk --rows 2 --png -o - > walk.png
  --png-level LEVEL   how hard a PNG sheet is compressed: default; fast, for trying things
                      out, a larger file sooner; best, the smallest file, slowly, for release
                      builds.
                      e.g. quorbel-sheet walk --rows 2 --png-level best -o walk.png
  --invert            the frames in reverse order (Quorbel's "Invert Order").
                      e.g. quorbel-sheet walk --rows 1 --invert -o back.bmp
  --order ORDER       text (default): Quorbel's order, names compared without regard to
                      case; natural: numbers in names compare as numbers, frame2 before
                      frame10.
                      e.g. quorbel-sheet walk --rows 2 --order natural -o walk.bmp
  --frames LIST       which files are frames: bmp (default), png, or bmp,png. PNG frames
                      keep their transparency.
                      e.g. quorbel-sheet walk --rows 2 --frames png -o walk.png
  --padding PX        PX pixels between the cells and around them: transparent in a PNG,
                      black in a bitmap.
                      e.g. quorbel-sheet walk --rows 2 --padding 2 -o walk.png
  --extrude PX        each frame's outermost pixels repeated PX times into the padding, so a
                      game engine's filtering never blends in a neighbour; at most --padding.
                      e.g. quorbel-sheet walk --rows 2 --padding 2 --extrude 1 -o walk.png
  --transparent RRGGBB
                      pixels of exactly this colour become fully transparent in a PNG.
                      e.g. quorbel-sheet walk --rows 2 --transparent 000000 -o walk.png
  --json FILE         also each frame's name and rectangle, in the "frames"/"meta" hash
                      layout game engines import.
                      e.g. quorbel-sheet walk --rows 2 -o walk.png --json walk.json
  --check             read and check every frame; write nothing.
                      e.g. quorbel-sheet walk --rows 2 --check
  --strict            warnings (frames left out, frames of another size) fail the run.
                      e.g. quorbel-sheet walk --rows 2 --strict -o walk.bmp
  -h, --help          this text.
  --version           the version.

Exit status: 0 done; 1 with --strict, when there were warnings; 2 on an error, such as a
frame that cannot be read ("quorbel-sheet: walk07.bmp: Invalid picture (error 481)"); then
nothing is written.
)help"_s;
}
