// The default system beep, sounded when a control refuses a key or a step.
#pragma once

namespace desktop {

// Sounds the beep, through the installed user interface.
void systemBeep();

} // namespace desktop
