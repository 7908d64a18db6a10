#include "desktop/system_beep.h"

#include "desktop/user_interface.h"

namespace platform {

void systemBeep()
{
    userInterface().beep();
}

} // namespace platform
