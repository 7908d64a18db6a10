#include "platform/window_activation.h"

#include "platform/handler.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

#include <unordered_map>

namespace platform {

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
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow())
                activated(w);
        }
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

    void activated(QWidget* w)
    {
        // Re-activation of the window that was already the active one: the
        // focus came back from another program.
        if (w == lastActive_ && haveLast_)
            return;
        const bool previousWasModal = lastWasModal_;
        lastActive_ = w;
        lastWasModal_ = isModalWindow(w);
        haveLast_ = true;

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
    bool lastWasModal_ = false;
    bool haveLast_ = false;
};

} // namespace

void setActivationHandler(QWidget* form, std::function<void()> handler)
{
    ActivationTracker::instance().setHandler(form, std::move(handler));
}

} // namespace platform
