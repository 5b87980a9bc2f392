#pragma once

#include <QString>

namespace platform {

// The folder of the running executable; tests point it elsewhere.
QString applicationFolder();
void setApplicationFolder(const QString &folder);

// A folder joined with a name, with no second separator after a root such as "/".
QString joinPath(const QString &folder, const QString &name);

} // namespace platform
