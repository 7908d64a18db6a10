// The application's error box: caption "FStellaro", stop icon, OK button, and the
// error's message followed by one "." (always appended).
#pragma once

#include <QString>
#include <functional>

namespace platform {

// Shows the error box modally (or hands the text to the test hook, if one is set).
void showErrorBox(const QString& message);

// The exact text the box shows for `message`.
QString errorBoxText(const QString& message);

// Tests replace the modal box with a hook that receives the box's full text.
// Pass an empty function to restore the real box.
void setErrorBoxHook(std::function<void(const QString& text)> hook);

} // namespace platform
