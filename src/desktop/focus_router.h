// Enter and exit events for the controls AND the containers (panels, group
// boxes, radio groups) of one form. Qt only tells a widget that it gained or
// lost the focus; the form's handlers need to know when the focus comes into a
// container from outside and when it leaves it.
//
// When the focus moves inside the form from control A to control B, the exit
// handlers run first, from A outwards up to (not including) the nearest
// widget that holds both, then the enter handlers, from that widget inwards
// down to B. Focus moving between two controls of one container runs neither
// of the container's handlers.
//
// Only moves inside the form count. Focus going to another window (of this or
// another program) runs no exit; when it comes back to the control that had it,
// no enter runs. If it comes back to a different control (an activation handler
// moved it), the move is routed from the control that last had the focus.
//
// Every handler runs through runHandler. A handler that moves the focus itself
// ends the move in progress: the rest of its exits and enters are not run, and
// the new move is routed from where the focus had got to.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <unordered_map>

namespace desktop {

class FocusRouter : public QObject {
public:
    explicit FocusRouter(QWidget* form);
    ~FocusRouter() override;

    // Handlers for `control` (any widget inside the form, container or not).
    // An empty function removes the handler.
    void setEnterHandler(QWidget* control, std::function<void()> handler);
    void setExitHandler(QWidget* control, std::function<void()> handler);

    // The widget inside the form that last had the focus (kept while another
    // window has it), or nullptr.
    QWidget* activeControl() const { return active_; }

private:
    struct Handlers {
        std::function<void()> enter;
        std::function<void()> exit;
    };

    Handlers& handlersFor(QWidget* control);
    void focusChanged(QWidget* old, QWidget* now);
    void moveTo(QWidget* target);
    void run(const std::function<void()>& handler);

    QPointer<QWidget> form_;
    QPointer<QWidget> active_;
    std::unordered_map<QWidget*, Handlers> handlers_;
    unsigned moveSerial_ = 0;
};

} // namespace desktop
