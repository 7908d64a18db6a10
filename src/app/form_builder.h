// Builds a form from its design: the window's properties, a scrolling surface
// of the design's content size, every control with its place, texts, fonts and
// tab settings, and the tab order. Binding the events to handlers is separate
// (bindEvent), since only the form knows its handlers.
#pragma once

#include "app/form_controls.h"
#include "app/form_design.h"

#include <QFont>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QScrollArea;

namespace desktop {
class FocusRouter;
}

namespace app {

QFont fontFromDesign(const FontDesign& font);

struct BuiltForm {
    FormSurface* surface = nullptr;     // the content, at the top left of the client area
    QScrollArea* scrollArea = nullptr;  // scroll bars only when the client area is smaller
    std::map<std::string, QWidget*> controls;
    std::vector<QWidget*> tabChain;     // every focusable control in tab order

    // The control of that name; throws std::logic_error when the design has none.
    QWidget* control(const std::string& name) const;
    template <class T>
    T* as(const std::string& name) const
    {
        return static_cast<T*>(control(name));
    }
};

// Builds `design` onto `window` (a top-level widget with nothing on it yet).
// Throws std::logic_error for a design that names an unknown parent.
BuiltForm buildForm(QWidget* window, const FormDesign& design);

// Binds one event of the design to `handler`: clicks, text changes and
// activation directly, enter and exit through `router`. Creation is the
// caller's to run once everything is bound. Throws std::logic_error for an
// event that the control's kind does not have.
void bindEvent(QWidget* window, const BuiltForm& form, const FormDesign& design,
               desktop::FocusRouter& router, const EventBinding& binding, std::function<void()> handler);

} // namespace app
