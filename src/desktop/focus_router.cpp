#include "desktop/focus_router.h"

#include "desktop/handler.h"

#include <QApplication>

#include <vector>

namespace desktop {

namespace {
// `w` and its parents up to (not including) `form`, innermost first.
std::vector<QWidget*> chainBelow(QWidget* w, QWidget* form)
{
    std::vector<QWidget*> chain;
    for (; w && w != form; w = w->parentWidget())
        chain.push_back(w);
    return chain;
}
} // namespace

FocusRouter::FocusRouter(QWidget* form) : QObject(form), form_(form)
{
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { focusChanged(old, now); });
}

FocusRouter::~FocusRouter() = default;

FocusRouter::Handlers& FocusRouter::handlersFor(QWidget* control)
{
    auto it = handlers_.find(control);
    if (it != handlers_.end())
        return it->second;
    connect(control, &QObject::destroyed, this, [this, control] { handlers_.erase(control); });
    return handlers_[control];
}

void FocusRouter::setEnterHandler(QWidget* control, std::function<void()> handler)
{
    handlersFor(control).enter = std::move(handler);
}

void FocusRouter::setExitHandler(QWidget* control, std::function<void()> handler)
{
    handlersFor(control).exit = std::move(handler);
}

void FocusRouter::focusChanged(QWidget* /*old*/, QWidget* now)
{
    // Focus leaving for another window (or for no window) is not a move
    // inside the form: the form keeps its active control.
    if (!form_ || !now || now->window() != form_ || now == form_)
        return;
    if (now == active_)
        return;
    moveTo(now);
}

void FocusRouter::moveTo(QWidget* target)
{
    const unsigned serial = ++moveSerial_;
    QPointer<QWidget> from = active_;
    active_ = target;

    const std::vector<QWidget*> oldChain = chainBelow(from, form_);
    const std::vector<QWidget*> newChain = chainBelow(target, form_);

    // The nearest widget holding both is the first of the old chain that is
    // also on the new chain (or the form itself).
    std::size_t exitCount = oldChain.size();
    std::size_t enterCount = newChain.size();
    for (std::size_t i = 0; i < oldChain.size(); ++i) {
        bool common = false;
        for (std::size_t j = 0; j < newChain.size(); ++j) {
            if (newChain[j] == oldChain[i]) {
                exitCount = i;
                enterCount = j;
                common = true;
                break;
            }
        }
        if (common)
            break;
    }

    // Guard every widget: a handler may delete controls or move the focus.
    std::vector<QPointer<QWidget>> exits(oldChain.begin(), oldChain.begin() + exitCount);
    std::vector<QPointer<QWidget>> enters(newChain.begin(), newChain.begin() + enterCount);

    for (const auto& w : exits) {
        if (serial != moveSerial_)
            return;
        if (!w)
            continue;
        auto it = handlers_.find(w.data());
        if (it != handlers_.end() && it->second.exit)
            run(it->second.exit);
    }
    for (auto it = enters.rbegin(); it != enters.rend(); ++it) {
        if (serial != moveSerial_)
            return;
        if (!*it)
            continue;
        auto h = handlers_.find(it->data());
        if (h != handlers_.end() && h->second.enter)
            run(h->second.enter);
    }
}

void FocusRouter::run(const std::function<void()>& handler)
{
    // A copy: the handler may replace its own entry.
    std::function<void()> h = handler;
    runHandler(h);
}

} // namespace desktop
