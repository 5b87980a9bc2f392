#include "platform/eventguard.h"

#include "platform/messagebox.h"
#include "core/runtimeerror.h"
#include "core/vectorstate.h"

#include <exception>

namespace platform {

using namespace quorbel;

void runEvent(const std::function<void()> &handler)
{
    clearUpperVectorState();
    try {
        handler();
    } catch (...) {
        MsgBox(currentError().descriptionAndNumber());
    }
}

void runAllThenRaise(const std::function<void()> &first, const std::function<void()> &rest)
{
    std::exception_ptr failure;
    try {
        first();
    } catch (...) {
        failure = std::current_exception();
    }
    rest();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace platform
