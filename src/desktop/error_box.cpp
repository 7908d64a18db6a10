#include "desktop/error_box.h"

#include "desktop/user_interface.h"

namespace desktop {

QString errorBoxText(const QString& message)
{
    return message + QLatin1Char('.');
}

void showErrorBox(const QString& message)
{
    userInterface().errorBox(errorBoxText(message));
}

} // namespace desktop
