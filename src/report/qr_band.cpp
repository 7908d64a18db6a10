#include "report/qr_band.h"

#include "report/qr_label.h"

#include <algorithm>

TQRBand::TQRBand() = default;
TQRBand::~TQRBand() = default;

void TQRBand::setFont(const platform::CanvasFont& font)
{
    font_ = font;
    ParentFont = false;
}

platform::CanvasFont TQRBand::effectiveFont() const
{
    if (ParentFont && owner())
        return owner()->Font;
    return font_;
}

platform::CanvasFont ReportControl::inheritedFont(const platform::CanvasFont& own) const
{
    if (Parent())
        return Parent()->effectiveFont();
    if (owner())
        return owner()->Font;
    return own;
}

void TQRBand::setLinkBand(TQRBand* band)
{
    if (band == this)
        return;
    linkBand_ = band;
}

std::vector<ReportControl*> TQRBand::children() const
{
    std::vector<ReportControl*> ordered;
    ordered.reserve(children_.size());
    for (ReportControl* c : children_)
        if (!c->isWindowed())
            ordered.push_back(c);
    for (ReportControl* c : children_)
        if (c->isWindowed())
            ordered.push_back(c);
    return ordered;
}

void TQRBand::attachChild(ReportControl& child)
{
    children_.push_back(&child);
}

void TQRBand::detachChild(ReportControl& child)
{
    children_.erase(std::remove(children_.begin(), children_.end(), &child), children_.end());
}

void TQRBand::componentRemoving(ReportComponent& component)
{
    if (&component == linkBand_)
        linkBand_ = nullptr;
    if (auto* control = dynamic_cast<ReportControl*>(&component); control && control->parent_ == this)
        detachChild(*control);
    resetList_.erase(std::remove(resetList_.begin(), resetList_.end(), &component), resetList_.end());
}

int TQRBand::stretch(bool countLink) const
{
    int most = 0;
    for (ReportControl* child : children_) {
        if (auto* control = dynamic_cast<TQRCustomControl*>(child)) {
            int extra = 0;
            control->extraHeight(extra);
            most = std::max(most, extra);
        }
    }
    if (countLink && linkBand_) {
        // A chain of links that comes back on itself counts each band once.
        std::vector<const TQRBand*> seen{this};
        for (const TQRBand* link = linkBand_; link && std::find(seen.begin(), seen.end(), link) == seen.end();
             link = link->linkBand_) {
            seen.push_back(link);
            most += link->stretch(false) + link->Height;
        }
    }
    return most;
}

ReportControl::~ReportControl() = default;

void ReportControl::setParent(TQRBand* band)
{
    if (band == parent_)
        return;
    if (parent_)
        parent_->detachChild(*this);
    parent_ = band;
    if (band)
        band->attachChild(*this);
}

void ReportControl::componentRemoving(ReportComponent& component)
{
    if (&component == parent_)
        parent_ = nullptr;
}
