#include "desktop/system_beep.h"

#include <QApplication>

#include <utility>

namespace platform {
namespace {

std::function<void()>& beepHook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void systemBeep()
{
    if (const auto& hook = beepHook())
        hook();
    else
        QApplication::beep();
}

void setSystemBeepHook(std::function<void()> hook)
{
    beepHook() = std::move(hook);
}

} // namespace platform
