// When a form becomes the program's active form.
//
// Qt tells a window it was activated in every case; the forms only want to hear
// of it when they become the program's active form anew: the first time they
// are activated, and when the focus comes back from another non-modal window of
// the program (such as a progress window that took the focus while it was
// shown). A modal window (message box, dialog, preview) hands the focus back
// when it closes without a new activation, and so does coming back from
// another program.
#pragma once

#include <QWidget>

#include <functional>

namespace desktop {

// Runs `handler` (through runHandler) each time `form` becomes the program's
// active form. Replaces an earlier handler; an empty function removes it. The
// registration ends when the form is destroyed.
void setActivationHandler(QWidget* form, std::function<void()> handler);

} // namespace desktop
