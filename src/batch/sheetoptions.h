#pragma once

#include "core/pngencoder.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// What quorbel-sheet was asked to do.
struct SheetOptions
{
    enum class Grid { Rows, Columns, MaxWidth };

    QString folder;
    // The sheet's file, or "-" for standard output.
    QString output;
    bool png = false; // else a 24-bit bitmap
    quorbel::PngLevel pngLevel = quorbel::PngLevel::Default;
    Grid grid = Grid::Rows;
    int gridValue = 0;
    bool invert = false;
    bool naturalOrder = false;
    // The frames' file name patterns, "*.bmp" unless other kinds were asked for.
    QStringList framePatterns{QStringLiteral("*.bmp")};
    int padding = 0;
    int extrude = 0;
    // A colour, 0xRRGGBB, that becomes fully transparent.
    std::optional<quint32> transparent;
    QString json;
    bool check = false;
    bool strict = false;
    bool help = false;
    bool version = false;

    bool toStandardOutput() const { return output == QStringLiteral("-"); }
};

// The options, or the message that says what is wrong with the command line.
std::variant<SheetOptions, QString> parseSheetOptions(const QStringList &arguments);

QString sheetHelp();
