#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The files of a folder that a wildcard pattern selects: regular files that are not hidden,
// matched without regard to letter case. The file list and the enumeration both use this,
// so they never disagree on which files match.
enum class Order { Sorted, FileSystem };
QStringList matchingFiles(const QString &folder, const QString &pattern, Order order);

// The visible subfolders of a folder (symbolic links to folders included), sorted by name
// without regard to case.
QStringList subfolders(const QString &folder);

// The program's one folder enumeration. Dir(pattern) starts a new listing of folder + pattern
// and returns the first name; Dir() returns the next. Both return "" once every match has been
// returned, and continuing after that is error 5.
QString Dir(const QString &pathPattern);
QString Dir();

} // namespace platform
