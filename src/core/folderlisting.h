#pragma once

#include <QString>
#include <QStringList>

namespace quorbel {

// The files of a folder that any of the wildcard patterns selects: regular files that are not
// hidden, matched without regard to letter case. The file list, the enumeration and
// quorbel-sheet all use this, so they never disagree on which files match.
enum class Order { Sorted, FileSystem };
QStringList matchingFiles(const QString &folder, const QStringList &patterns, Order order);
// Names in the order the file list shows them: by name without regard to case.
QStringList sortedByName(QStringList names);
// The name the file list shows first, found without sorting the rest; none of an empty list.
QString firstByName(const QStringList &names);

// The visible subfolders of a folder (symbolic links to folders included), sorted by name
// without regard to case.
QStringList subfolders(const QString &folder);

} // namespace quorbel
