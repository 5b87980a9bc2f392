#pragma once

#include "core/pngencoder.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What quorbel-sheet was asked to do.
struct SheetOptions
{
    // Frames in a grid of cells, or each trimmed to itself and packed.
    enum class Layout { Grid, Packed };
    // What shapes the grid; a packed sheet is shaped by its widest, MaxWidth.
    enum class Grid { Rows, Columns, MaxWidth };
    // How the JSON is laid out: "frames" as a hash by name or as an array, one file a page; or
    // Phaser's multi-atlas, one file for every page.
    enum class Data { Hash, Array, MultiAtlas };

    QString folder;
    // The sheet's file, or "-" for standard output.
    QString output;
    bool png = false; // else a 24-bit bitmap
    quorbel::PngLevel pngLevel = quorbel::PngLevel::Default;
    Layout layout = Layout::Grid;
    Grid grid = Grid::Rows;
    // The rows, the columns or the widest sheet.
    int gridValue = 0;
    // The highest page, 0 for one page of every row.
    int maxHeight = 0;
    // Packed: frames with the same pixels share one rectangle; each side a power of two.
    bool alias = true;
    bool powerOfTwo = false;
    // The transparent border common to all frames cut away.
    bool trim = false;
    bool invert = false;
    bool naturalOrder = false;
    // The frames' file name patterns, "*.bmp" unless other kinds were asked for.
    QStringList framePatterns{QStringLiteral("*.bmp")};
    int padding = 0;
    int extrude = 0;
    // A colour, 0xRRGGBB, that becomes fully transparent.
    std::optional<quint32> transparent;
    QString json;
    Data data = Data::Hash;
    // The animation's name in the JSON, the folder's name unless given.
    QString animation;
    // The sheet as the JSON names it, given when it goes to standard output.
    QString image;
    bool check = false;
    bool strict = false;
    bool help = false;
    bool version = false;

    bool toStandardOutput() const { return output == QStringLiteral("-"); }
};

// The options, or the message that says what is wrong with the command line.
std::variant<SheetOptions, QString> parseSheetOptions(const QStringList &arguments);

QString sheetHelp();
