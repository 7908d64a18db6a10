// The application's error box: caption "FStellaro", stop icon, OK button, and the
// error's message followed by one "." (always appended).
#pragma once

#include <QString>

namespace desktop {

// Shows the error box modally, through the installed user interface.
void showErrorBox(const QString& message);

// The exact text the box shows for `message`.
QString errorBoxText(const QString& message);

} // namespace desktop
