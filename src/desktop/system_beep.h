// The default system beep, sounded when a control refuses a key or a step.
// Tests replace the sound with a hook so that they can count the beeps.
#pragma once

#include <functional>

namespace platform {

// Sounds the beep (or calls the test hook, if one is set).
void systemBeep();

// Replaces the sound with `hook`; an empty function restores the real beep.
void setSystemBeepHook(std::function<void()> hook);

} // namespace platform
