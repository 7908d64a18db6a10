// Modal notices that are not errors ("Bad Day ", "Bad Month"): the text, one OK
// button, no icon, captioned with the application title. The handler that shows
// one waits for it to close and then carries on.
#pragma once

#include <QString>

namespace desktop {

// Shows the notice modally, through the installed user interface.
void showMessage(const QString& text);

} // namespace desktop
