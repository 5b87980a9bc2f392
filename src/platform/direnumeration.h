#pragma once

#include <QString>

namespace platform {

// The program's one folder enumeration, with the files the file list shows, in the file system's
// own order. Dir(pattern) starts a new listing of folder + pattern and returns the first name;
// Dir() returns the next. Both return "" once every match has been returned, and continuing
// after that is error 5.
QString Dir(const QString &pathPattern);
QString Dir();

} // namespace platform
