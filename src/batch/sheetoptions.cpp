#include "batch/sheetoptions.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

const QCommandLineOption Rows(u"rows"_s, u"rows"_s, u"N"_s);
const QCommandLineOption Columns(u"columns"_s, u"columns"_s, u"N"_s);
const QCommandLineOption MaxWidth(u"max-width"_s, u"max width"_s, u"PX"_s);
const QCommandLineOption Output(QStringList{u"o"_s, u"output"_s}, u"output"_s, u"SHEET"_s);
const QCommandLineOption Invert(u"invert"_s, u"invert"_s);
const QCommandLineOption Order(u"order"_s, u"order"_s, u"ORDER"_s);
const QCommandLineOption Png(u"png"_s, u"png"_s);
const QCommandLineOption Json(u"json"_s, u"json"_s, u"FILE"_s);
const QCommandLineOption Check(u"check"_s, u"check"_s);
const QCommandLineOption Strict(u"strict"_s, u"strict"_s);
const QCommandLineOption Help(QStringList{u"h"_s, u"help"_s}, u"help"_s);
const QCommandLineOption Version(u"version"_s, u"version"_s);

// A whole number from 1 to the largest a 16-bit count holds, as the desktop program's are.
bool readCount(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 1 && value <= 32767;
}

} // namespace

std::variant<SheetOptions, QString> parseSheetOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(
        {Rows, Columns, MaxWidth, Output, Invert, Order, Png, Json, Check, Strict, Help, Version});
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

    const int grids = int(parser.isSet(Rows)) + int(parser.isSet(Columns))
        + int(parser.isSet(MaxWidth));
    if (grids != 1)
        return u"give one of --rows, --columns and --max-width"_s;
    const QCommandLineOption &grid =
        parser.isSet(Rows) ? Rows : parser.isSet(Columns) ? Columns : MaxWidth;
    options.grid = parser.isSet(Rows)      ? SheetOptions::Grid::Rows
        : parser.isSet(Columns)            ? SheetOptions::Grid::Columns
                                           : SheetOptions::Grid::MaxWidth;
    if (!readCount(parser.value(grid), options.gridValue))
        return u"--%1 takes a whole number from 1 to 32767"_s.arg(grid.names().constFirst());

    const QString order = parser.value(Order);
    if (!order.isEmpty() && order != u"text"_s && order != u"natural"_s)
        return u"--order is text or natural"_s;
    options.naturalOrder = order == u"natural"_s;
    options.invert = parser.isSet(Invert);
    options.png = parser.isSet(Png);
    options.json = parser.value(Json);
    options.check = parser.isSet(Check);
    options.strict = parser.isSet(Strict);
    options.output = parser.value(Output);
    if (options.output.isEmpty() && !options.check)
        return u"give the sheet's name with -o, or --check"_s;
    return options;
}

QString sheetHelp()
{
    return uR"(Usage: quorbel-sheet FOLDER (--rows N | --columns N | --max-width PX) -o SHEET [options]

Composes the .bmp frames of FOLDER into one sprite sheet, as Quorbel's Draw and Save do:
the same frames in the same order, the same grid, a black background, a 24-bit bitmap. Where
Quorbel stops at 32767 pixels a side, this command goes on.

Grid (give one):
  --rows N          N rows; the frames per row are the frame count over N, rounded half to
                    even, exactly as in Quorbel, so a grid too small leaves frames out.
                    Example: quorbel-sheet walk --rows 2 -o walk.bmp
  --columns N       N frames a row; the rows follow, rounded up, so no frame is left out.
                    Example: quorbel-sheet walk --columns 8 -o walk.bmp
  --max-width PX    the fewest rows whose sheet is at most PX wide, no frame left out, the
                    frames shared out evenly over those rows.
                    Example: quorbel-sheet run --max-width 2048 -o run.bmp

Options:
  -o, --output SHEET  the sheet to write, replaced whole or not at all.
  --invert            the frames in reverse order (Quorbel's "Invert Order").
                      Example: quorbel-sheet walk --rows 1 --invert -o back.bmp
  --order ORDER       text (default): Quorbel's order, names compared without regard to
                      case; natural: numbers in names compare as numbers, frame2 before
                      frame10. Example: quorbel-sheet walk --rows 2 --order natural -o w.bmp
  --png               write the sheet as PNG (with Qt's writer) instead of a bitmap.
                      Example: quorbel-sheet walk --rows 2 --png -o walk.png
  --json FILE         also write each frame's name and rectangle in the "frames"/"meta" hash
                      layout game engines import. Example:
                      quorbel-sheet walk --rows 2 -o walk.bmp --json walk.json
  --check             read and check every frame; write nothing.
                      Example: quorbel-sheet walk --rows 2 --check
  --strict            treat warnings (frames left out, frames of another size) as failures.
  -h, --help          show this text.
  --version           show the version.

Exit status: 0 done; 1 with --strict, when there were warnings; 2 on an error, such as a
frame that cannot be read ("walk07.bmp: Invalid picture481"); then nothing is written.
)"_s;
}
