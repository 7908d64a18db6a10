#include "desktop/message_box.h"

#include "desktop/user_interface.h"

namespace desktop {

void showMessage(const QString& text)
{
    userInterface().messageBox(text);
}

} // namespace desktop
