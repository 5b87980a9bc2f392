#pragma once

#include <QString>

namespace platform {

// The folder of the running executable; tests point it elsewhere.
QString applicationFolder();
void setApplicationFolder(const QString &folder);

// The user's own folder for this program's settings (QStandardPaths::AppConfigLocation, such as
// ~/.config/Quorbel), created when missing; tests point it elsewhere.
QString configurationFolder();
void setConfigurationFolder(const QString &folder);

// Whether a new file can be made in the folder, found out by making one: permission bits, a
// read-only volume and an immutable folder all answer alike, for root as for any user.
bool acceptsNewFiles(const QString &folder);

// A folder joined with a name, with no second separator after a root such as "/".
QString joinPath(const QString &folder, const QString &name);

} // namespace platform
