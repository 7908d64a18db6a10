#include "desktop/message_box.h"

#include "desktop/user_interface.h"

namespace platform {

void showMessage(const QString& text)
{
    userInterface().messageBox(text);
}

} // namespace platform
