#include "report/qr_controller.h"

#include "report/qr_band.h"

#include <algorithm>

TQRController::~TQRController() = default;

void TQRController::componentRemoving(ReportComponent& component)
{
    if (&component == headerBand_)
        headerBand_ = nullptr;
    if (&component == detailBand_)
        detailBand_ = nullptr;
    if (&component == footerBand_)
        footerBand_ = nullptr;
    detailLinks_.erase(std::remove(detailLinks_.begin(), detailLinks_.end(), &component), detailLinks_.end());
}

namespace {

void retype(TQRBand* band, TQRBandType type)
{
    if (band && band->BandType == rbTitle)
        band->BandType = type;
}

} // namespace

void TQRDetailLink::setHeaderBand(TQRBand* band)
{
    headerBand_ = band;
    retype(band, rbGroupHeader);
}

void TQRDetailLink::setDetailBand(TQRBand* band)
{
    detailBand_ = band;
    retype(band, rbSubDetail);
}

void TQRDetailLink::setFooterBand(TQRBand* band)
{
    footerBand_ = band;
    retype(band, rbGroupFooter);
}

void TQRDetailLink::setMaster(TQRController* master)
{
    // A link that is its own master (or its master's master ...) would run
    // itself for ever.
    for (TQRController* c = master; c; ) {
        if (c == this)
            return;
        auto* link = dynamic_cast<TQRDetailLink*>(c);
        c = link ? link->master_ : nullptr;
    }
    master_ = master;
}

void TQRDetailLink::componentRemoving(ReportComponent& component)
{
    TQRController::componentRemoving(component);
    if (&component == master_)
        master_ = nullptr;
}
