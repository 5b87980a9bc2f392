#pragma once

#include <QString>

// The program-wide state shared by the main window, the Navigator and Save.
namespace varModule {

// The folder the Navigator showed last: read from the settings file at start, stored back when
// the Navigator unloads, written to the settings file when the main window unloads.
extern QString LastPath;

} // namespace varModule
