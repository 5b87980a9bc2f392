// quorbel-sheet: Quorbel's sheet from the command line, for build scripts.

#include "batch/sheetcommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORBEL_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runSheetCommand(QCoreApplication::arguments(), out, err);
}
