#include "batch/sheetoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QCommandLineOption Rows(u"rows"_s, u"rows"_s, u"N"_s);
const QCommandLineOption Columns(u"columns"_s, u"columns"_s, u"N"_s);
const QCommandLineOption MaxWidth(u"max-width"_s, u"max width"_s, u"PX"_s);
const QCommandLineOption MaxHeight(u"max-height"_s, u"max height"_s, u"PX"_s);
const QCommandLineOption Trim(u"trim"_s, u"trim"_s);
const QCommandLineOption Layout(u"layout"_s, u"layout"_s, u"LAYOUT"_s);
const QCommandLineOption Pot(u"pot"_s, u"pot"_s);
const QCommandLineOption NoAlias(u"no-alias"_s, u"no alias"_s);
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
const QCommandLineOption Data(u"data"_s, u"data"_s, u"LAYOUT"_s);
const QCommandLineOption Animation(u"animation"_s, u"animation"_s, u"NAME"_s);
const QCommandLineOption Image(u"image"_s, u"image"_s, u"NAME"_s);
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
    parser.addOptions({Rows,        Columns, MaxWidth,    MaxHeight, Trim,   Layout,    Pot,
                       NoAlias,     Output,  Invert,      Order,     Frames, Padding,   Extrude,
                       Transparent, Png,     Compression, Json,      Data,   Animation, Image,
                       Check,       Strict,  Help,        Version});
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

    const QString layout = parser.value(Layout);
    if (!layout.isEmpty() && layout != u"grid"_s && layout != u"packed"_s)
        return u"--layout is grid or packed"_s;
    const bool packed = layout == u"packed"_s;
    options.layout = packed ? SheetOptions::Layout::Packed : SheetOptions::Layout::Grid;
    if (packed && (parser.isSet(Rows) || parser.isSet(Columns)))
        return u"--layout packed places the frames itself: leave out --rows and --columns"_s;
    if (packed && parser.isSet(Trim))
        return u"--layout packed trims every frame by itself: leave out --trim"_s;
    if (!packed
        && int(parser.isSet(Rows)) + int(parser.isSet(Columns)) + int(parser.isSet(MaxWidth)) != 1)
        return u"give one of --rows, --columns and --max-width, or --layout packed"_s;
    for (const QCommandLineOption &packing : {Pot, NoAlias}) {
        if (parser.isSet(packing) && !packed)
            return u"--%1 shapes a packed sheet: give --layout packed too"_s.arg(
                packing.names().constLast());
    }
    options.grid = parser.isSet(Rows) ? SheetOptions::Grid::Rows
        : parser.isSet(Columns)       ? SheetOptions::Grid::Columns
                                      : SheetOptions::Grid::MaxWidth;
    // Every count the desktop program keeps is 16-bit; a sheet may be wider than it draws. A
    // packed sheet stays within what most graphics cards load unless told otherwise.
    const bool byWidth = options.grid == SheetOptions::Grid::MaxWidth;
    const int packedLimit = packed ? 4096 : 0;
    const auto grid = number(parser,
                             parser.isSet(Rows) ? Rows
                                 : byWidth      ? MaxWidth
                                                : Columns,
                             1, byWidth ? 1 << 20 : 32767, packedLimit);
    const auto padding = number(parser, Padding, 0, 4096, 0);
    const auto extrude = number(parser, Extrude, 0, 4096, 0);
    const auto maxHeight = number(parser, MaxHeight, 1, 1 << 20, packedLimit);
    for (const auto *value : {&grid, &padding, &extrude, &maxHeight}) {
        if (const QString *mistake = std::get_if<QString>(value))
            return *mistake;
    }
    options.gridValue = std::get<int>(grid);
    options.padding = std::get<int>(padding);
    options.extrude = std::get<int>(extrude);
    options.maxHeight = std::get<int>(maxHeight);
    if (options.maxHeight > 0 && options.grid == SheetOptions::Grid::Rows)
        return u"--max-height cuts the grid into pages of whole rows: give it with --columns or "
               u"--max-width"_s;

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
    for (const QCommandLineOption &shaping : {Data, Animation, Image}) {
        if (parser.isSet(shaping) && options.json.isEmpty())
            return u"--%1 shapes the JSON: give --json FILE too"_s.arg(shaping.names().constLast());
    }
    const QString data = parser.value(Data);
    if (!data.isEmpty() && data != u"hash"_s && data != u"array"_s && data != u"multiatlas"_s)
        return u"--data is hash, array or multiatlas"_s;
    options.data = data == u"array"_s ? SheetOptions::Data::Array
        : data == u"multiatlas"_s     ? SheetOptions::Data::MultiAtlas
                                      : SheetOptions::Data::Hash;
    options.animation = parser.value(Animation);
    options.image = parser.value(Image);
    if (options.toStandardOutput() && !options.json.isEmpty() && options.image.isEmpty())
        return u"-o - writes the sheet to standard output, so the JSON cannot name its file: give "
               u"--image NAME, the name the game engine loads it by"_s;
    if (!options.image.isEmpty() && !options.toStandardOutput())
        return u"--image names a sheet written to standard output; the JSON names %1 itself"_s.arg(
            options.output);
    if (parser.isSet(Transparent)) {
        const QString colour = parser.value(Transparent);
        bool ok = false;
        options.transparent = colour.toUInt(&ok, 16);
        if (colour.size() != 6 || !ok)
            return u"--transparent takes a colour as six hex digits, RRGGBB, such as 000000"_s;
        if (!options.png && !options.check)
            return u"--transparent needs a PNG sheet: a bitmap sheet has no transparency"_s;
    }
    options.alias = !parser.isSet(NoAlias);
    options.powerOfTwo = parser.isSet(Pot);
    options.trim = parser.isSet(Trim);
    if (options.trim && options.framePatterns.contains(u"*.bmp"_s) && !options.transparent)
        return u"--trim cuts away transparent borders, and bitmap frames have no transparency: "
               u"give --transparent RRGGBB, the colour around them"_s;
    return options;
}

QString sheetHelp()
{
    return uR"help(Usage: quorbel-sheet FOLDER (--rows N | --columns N | --max-width PX) -o SHEET [options]
       quorbel-sheet FOLDER --layout packed -o SHEET [options]

Composes the frames of FOLDER into one sprite sheet, as Quorbel's Draw and Save do: the same
frames in the same order, the same grid, a black background. Where Quorbel stops at 32767
pixels a side, this command goes on. Or packs them: each frame trimmed to itself, the frames
placed as tightly as they go, frames alike stored once.

Grid (give one):
  --rows N            N rows; the frames per row are the frame count over N, rounded half to
                      even, exactly as in Quorbel, so a grid too small leaves frames out.
                      e.g. quorbel-sheet walk --rows 2 -o walk.bmp
  --columns N         N frames a row; the rows follow, rounded up, so no frame is left out.
                      e.g. quorbel-sheet walk --columns 8 -o walk.bmp
  --max-width PX      the fewest rows whose sheet, padding and extrusion included, is at most
                      PX wide, no frame left out, the frames shared out evenly over those rows.
                      e.g. quorbel-sheet run --max-width 2048 -o run.png
  --max-height PX     with --columns or --max-width: pages of whole rows, none higher than PX,
                      the first frames on the first page. -o run.png then writes run-1.png,
                      run-2.png, ..., and --json run.json one JSON a page; one page keeps the
                      names as given. All pages are replaced, or none. Pages an earlier run
                      left beyond these (run-3.png, ...) stay, named in a warning.
                      e.g. quorbel-sheet run --max-width 4096 --max-height 4096 -o run.png

Packed (instead of the grid):
  --layout LAYOUT     grid (default) or packed: each frame cut to its own pixels that show
                      (for bitmaps, those not of the --transparent colour), the pieces packed
                      by MaxRects without turning them, on the smallest sheet that holds them
                      within --max-width and --max-height (4096 each unless given); what does
                      not fit goes on over further pages, the first frames on the first page.
                      Padding and extrusion are the grid's. The JSON tells engines where each
                      frame lies in its original size.
                      e.g. quorbel-sheet run --frames png --layout packed -o run.png --json run.json
  --pot               packed: each side of the sheet a power of two, as older engines want.
                      e.g. quorbel-sheet run --frames png --layout packed --pot -o run.png
  --no-alias          packed: every frame its own rectangle, even where frames are alike;
                      otherwise frames with the same pixels are stored once on each page, and
                      the JSON points all their names at that one rectangle.
                      e.g. quorbel-sheet run --frames png --layout packed --no-alias -o run.png

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
  --trim              cuts away the fully transparent border all frames share, so the cells
                      shrink and the frames stay aligned; the JSON tells engines where each
                      frame lies in its original size. Bitmap frames need --transparent.
                      e.g. quorbel-sheet walk --rows 2 --frames png --trim -o walk.png
  --padding PX        PX pixels between the frames and around them: transparent in a PNG,
                      black in a bitmap.
                      e.g. quorbel-sheet walk --rows 2 --padding 2 -o walk.png
  --extrude PX        each frame's outermost pixels repeated PX times around it, so a game
                      engine's filtering never blends in a neighbour. The ring is the frame's
                      own; the padding lies between the rings. A row of frames W wide, with
                      padding P and extrusion E: P, E, W, E, P, E, W, E, P.
                      e.g. quorbel-sheet walk --rows 2 --padding 2 --extrude 1 -o walk.png
  --transparent RRGGBB
                      pixels of exactly this colour become fully transparent in a PNG.
                      e.g. quorbel-sheet walk --rows 2 --transparent 000000 -o walk.png
  --json FILE         also each frame's name and rectangle, as game engines import them, the
                      sheet named relative to FILE's folder, and the frames in drawing order
                      as an animation.
                      e.g. quorbel-sheet walk --rows 2 -o img/walk.png --json data/walk.json
  --data LAYOUT       how --json lays the frames out: hash (default), "frames" by name; array,
                      "frames" as a list; multiatlas, Phaser's one file for all pages.
                      e.g. quorbel-sheet walk --rows 2 -o walk.png --json walk.json --data array
  --animation NAME    the animation's name in the JSON; the folder's name by default.
                      e.g. quorbel-sheet art/w --rows 2 -o w.png --json w.json --animation walk
  --image NAME        with -o -, the sheet's name as the JSON gives it to the engine.
                      e.g. quorbel-sheet walk --rows 2 --png -o - --json w.json --image w.png
  --check             read and check every frame; write nothing.
                      e.g. quorbel-sheet walk --rows 2 --check
  --strict            warnings (frames left out, frames of another size, pages an earlier
                      run left) fail the run.
                      e.g. quorbel-sheet walk --rows 2 --strict -o walk.bmp
  -h, --help          this text.
  --version           the version.

Exit status: 0 done; 1 with --strict, when there were warnings; 2 on an error, such as a
frame that cannot be read ("quorbel-sheet: walk07.bmp: Invalid picture (error 481)"); then
nothing is written.
)help"_s;
}
