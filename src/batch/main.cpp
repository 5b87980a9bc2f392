// quorbel-sheet: Quorbel's sheet from the command line, for build scripts.

#include "batch/sheetcommand.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

// No QCoreApplication: the command needs none of its services, and going without saves a good
// part of a millisecond on every start, which a build script running it for each of many
// animations pays each time.
int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runSheetCommand(arguments, out, err);
}
