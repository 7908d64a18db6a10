// Modal notices that are not errors ("Bad Day ", "Bad Month"): the text, one OK
// button, no icon, captioned with the application title. The handler that shows
// one waits for it to close and then carries on.
#pragma once

#include <QString>
#include <functional>

namespace platform {

// Shows the notice modally (or hands the text to the test hook, if one is set).
void showMessage(const QString& text);

// Tests replace the modal box with a hook that receives the text.
// Pass an empty function to restore the real box.
void setMessageBoxHook(std::function<void(const QString& text)> hook);

} // namespace platform
