#pragma once

#include <QStringList>
#include <QTextStream>

// Runs quorbel-sheet on these arguments, the program's name first: what it did goes to out,
// warnings and errors to err. Returns the exit status: 0 done, 1 when --strict met a warning,
// 2 on an error, after which nothing has been written.
int runSheetCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
