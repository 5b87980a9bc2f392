#pragma once

#include <functional>

namespace platform {

// Runs one user or platform event's handler. A run-time error that no handler trapped ends
// here, where the event entered: the user reads its description and number, and the program
// keeps running with every window loaded.
void runEvent(const std::function<void()> &handler);

// Runs first, then rest even when first failed; first's error is raised after rest is done.
void runAllThenRaise(const std::function<void()> &first, const std::function<void()> &rest);

} // namespace platform
