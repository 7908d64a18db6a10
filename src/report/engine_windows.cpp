#include "report/engine_windows.h"

namespace report {

namespace {
EngineWindows& installed()
{
    static EngineWindows windows;
    return windows;
}
} // namespace

EngineWindows installEngineWindows(EngineWindows windows)
{
    EngineWindows previous = std::move(installed());
    installed() = std::move(windows);
    return previous;
}

const EngineWindows& engineWindows()
{
    return installed();
}

} // namespace report
