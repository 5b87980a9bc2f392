#pragma once

namespace platform {

// While it lives, until end(), the mouse shows the busy cursor over every window of the program:
// a Draw keeps the event loop waiting, so the program could not show otherwise that it works.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // Gives the usual cursor back early, before a message that waits for the user.
    void end();

private:
    bool m_active = true;
};

} // namespace platform
