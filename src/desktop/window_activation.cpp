#include "desktop/window_activation.h"

#include "desktop/handler.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

#include <unordered_map>

namespace desktop {

namespace {

// Watches every window activation of the program, remembering which window
// was last active and whether it was modal while it was.
class ActivationTracker : public QObject {
public:
    static ActivationTracker& instance()
    {
        // Owned by the application object; made again if a test makes a new one.
        static QPointer<ActivationTracker> tracker;
        if (!tracker)
            tracker = new ActivationTracker(qApp);
        return *tracker;
    }

    void setHandler(QWidget* form, std::function<void()> handler)
    {
        auto it = forms_.find(form);
        if (!handler) {
            if (it != forms_.end())
                forms_.erase(it);
            return;
        }
        if (it == forms_.end()) {
            forms_[form].handler = std::move(handler);
            connect(form, &QObject::destroyed, this, [this, form] { forms_.erase(form); });
        } else {
            it->second.handler = std::move(handler);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow())
            return false;
        if (event->type() == QEvent::WindowActivate)
            activated(w);
        else if (event->type() == QEvent::Hide && !event->spontaneous())
            gone(w);
        return false;
    }

private:
    struct Form {
        std::function<void()> handler;
        bool everActivated = false;
    };

    explicit ActivationTracker(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

    static bool isModalWindow(QWidget* w)
    {
        return w->isModal() || QApplication::activeModalWidget() == w;
    }

    // A non-modal window that had taken the focus from a form goes away: the
    // focus goes back to that form at once, as it does on the desktops this
    // program was made for, rather than whenever (or if ever) the window
    // manager gets round to it, so that a modal window shown right after
    // (the preview) finds the form already active again.
    void gone(QObject* w)
    {
        // Compared by address only: when it is being destroyed, its guard is
        // already cleared.
        if (lastRaw_ != w || lastWasModal_ || forms_.count(static_cast<QWidget*>(w)))
            return;
        // Only when it had taken the focus from the form itself; over a modal
        // window (printing from the preview) the focus goes back to that.
        QWidget* form = before_;
        if (!form || !form->isVisible() || !forms_.count(form) || QApplication::activeModalWidget())
            return;
        form->activateWindow();
        activated(form);
    }

    void activated(QWidget* w)
    {
        // Re-activation of the window that was already the active one: the
        // focus came back from another program.
        if (w == lastRaw_ && lastActive_)
            return;
        const bool previousWasModal = lastWasModal_;
        // A non-modal window that follows another one (one progress window
        // replacing the next) hands the focus back to where the first one took
        // it from.
        const bool lastWasTransient = lastActive_ && !lastWasModal_ && !forms_.count(lastActive_.data());
        const bool thisIsTransient = !isModalWindow(w) && !forms_.count(w);
        if (!(lastWasTransient && thisIsTransient))
            before_ = lastActive_;
        if (lastActive_ && !lastWasModal_ && !forms_.count(lastActive_.data()))
            disconnect(lastActive_.data(), &QObject::destroyed, this, nullptr);
        lastActive_ = w;
        lastRaw_ = w;
        lastWasModal_ = isModalWindow(w);
        if (!lastWasModal_ && !forms_.count(w)) {
            // Freed without being hidden first counts as going away too.
            connect(w, &QObject::destroyed, this, [this, w] { gone(w); });
        }

        auto it = forms_.find(w);
        if (it == forms_.end())
            return;
        Form& form = it->second;
        const bool first = !form.everActivated;
        form.everActivated = true;
        if (first || !previousWasModal) {
            // Copy: the handler may replace itself.
            std::function<void()> handler = form.handler;
            runHandler(handler);
        }
    }

    std::unordered_map<QWidget*, Form> forms_;
    QPointer<QWidget> lastActive_;
    QPointer<QWidget> before_;  // the window that was active before lastActive_
    bool lastWasModal_ = false;
    const QObject* lastRaw_ = nullptr;  // lastActive_, also while it is being destroyed
};

} // namespace

void setActivationHandler(QWidget* form, std::function<void()> handler)
{
    ActivationTracker::instance().setHandler(form, std::move(handler));
}

} // namespace desktop
