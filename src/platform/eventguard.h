#pragma once

#include <functional>

namespace platform {

// Runs one user or platform event's handler. A run-time error that no handler trapped ends
// here, where the event entered: the user reads its description and number, and the program
// keeps running with every window loaded.
void runEvent(const std::function<void()> &handler);

} // namespace platform
