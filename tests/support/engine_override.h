// Replaces some of the report engine's windows for one test (the preview that
// would wait for a user, a print dialog) and puts the others back afterwards.
#pragma once

#include "report/engine_windows.h"

#include <functional>

namespace testsupport {

class EngineOverride {
public:
    explicit EngineOverride(const std::function<void(report::EngineWindows&)>& change)
        : previous_(report::engineWindows())
    {
        report::EngineWindows windows = previous_;
        change(windows);
        report::installEngineWindows(std::move(windows));
    }
    ~EngineOverride() { report::installEngineWindows(previous_); }
    EngineOverride(const EngineOverride&) = delete;
    EngineOverride& operator=(const EngineOverride&) = delete;

private:
    report::EngineWindows previous_;
};

} // namespace testsupport
