#pragma once

#include <QString>
#include <QStringList>

#include <variant>

// What quorbel-sheet was asked to do.
struct SheetOptions
{
    enum class Grid { Rows, Columns, MaxWidth };

    QString folder;
    QString output;
    Grid grid = Grid::Rows;
    int gridValue = 0;
    bool invert = false;
    bool naturalOrder = false;
    bool png = false;
    QString json;
    bool check = false;
    bool strict = false;
    bool help = false;
    bool version = false;
};

// The options, or the message that says what is wrong with the command line.
std::variant<SheetOptions, QString> parseSheetOptions(const QStringList &arguments);

QString sheetHelp();
