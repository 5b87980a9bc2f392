#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// What quorbel's command line asks for: the folder to open (or a file in it; empty for none),
// or, once the help, the version or a mistake has been printed, the exit status to end with.
struct CommandLine
{
    QString opened;
    std::optional<int> exitStatus;
};

// arguments as main() gets them, the program's name first. Help and the version go to out, a
// mistake to err.
CommandLine readCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err);
