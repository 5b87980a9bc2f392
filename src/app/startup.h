#pragma once

#include "app/frmmain.h"

#include <memory>

// Starts the program as the process does: the main window's load (settings, then the
// Navigator, at openedPath's folder when one is given), then the main window shown. The event
// loop is the caller's to run.
std::unique_ptr<frmMain> startQuorbel(const QString &openedPath = {});
