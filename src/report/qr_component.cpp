#include "report/qr_component.h"

#include <algorithm>

ReportComponent::~ReportComponent() = default;

void ReportComponent::aboutToJoin(ReportForm&) {}
void ReportComponent::componentInserted(ReportComponent&) {}
void ReportComponent::componentRemoving(ReportComponent&) {}
void ReportComponent::componentRemoved() {}

ReportForm::ReportForm(int pixelsPerInch)
    : PixelsPerInch(pixelsPerInch)
{
}

ReportForm::~ReportForm()
{
    // Components only point at each other; freeing them all together needs no
    // notifications.
    order_.clear();
    owned_.clear();
}

void ReportForm::insert(std::unique_ptr<ReportComponent> component)
{
    component->aboutToJoin(*this);
    component->owner_ = this;
    ReportComponent& added = *component;
    order_.push_back(&added);
    owned_.push_back(std::move(component));
    for (ReportComponent* c : order_)
        c->componentInserted(added);
}

void ReportForm::remove(ReportComponent& component)
{
    auto it = std::find(order_.begin(), order_.end(), &component);
    if (it == order_.end())
        return;
    for (ReportComponent* c : order_)
        if (c != &component)
            c->componentRemoving(component);
    order_.erase(it);
    auto owned = std::find_if(owned_.begin(), owned_.end(),
                              [&](const auto& p) { return p.get() == &component; });
    std::unique_ptr<ReportComponent> doomed = std::move(*owned);
    owned_.erase(owned);
    doomed->owner_ = nullptr;
    doomed.reset();
    for (ReportComponent* c : order_)
        c->componentRemoved();
}

ReportComponent* ReportForm::findComponent(const QString& name) const
{
    for (ReportComponent* c : order_)
        if (c->Name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}
