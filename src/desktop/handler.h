// Every event handler that the platform calls (click, enter, exit, change, timer,
// activation) runs through runHandler: an exception ends the handler, shows the
// error box and returns to the event loop. It never unwinds through Qt.
#pragma once

#include <exception>
#include <utility>

namespace desktop {

// Shows the error box for the exception currently being handled.
void reportCurrentException() noexcept;

template <class F>
void runHandler(F&& handler) noexcept
{
    try {
        std::forward<F>(handler)();
    } catch (...) {
        reportCurrentException();
    }
}

// Wraps a callable for QObject::connect: the slot runs through runHandler.
template <class F>
auto handlerSlot(F handler)
{
    return [handler = std::move(handler)](auto&&...) mutable { runHandler(handler); };
}

} // namespace desktop
