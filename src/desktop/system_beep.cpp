#include "desktop/system_beep.h"

#include "desktop/user_interface.h"

namespace desktop {

void systemBeep()
{
    userInterface().beep();
}

} // namespace desktop
