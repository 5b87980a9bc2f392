#include "platform/eventguard.h"

#include "platform/messagebox.h"
#include "platform/runtimeerror.h"

#include <new>

namespace platform {

void runEvent(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        MsgBox(error.descriptionAndNumber());
    } catch (const std::bad_alloc &) {
        MsgBox(RuntimeError(err::OutOfMemory).descriptionAndNumber());
    }
}

} // namespace platform
