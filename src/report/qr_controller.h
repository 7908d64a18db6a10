// TQRController drives records through a report: its data source, the record
// events and the detail links hung under it. TQRDetailLink is a controller run
// for each record of its master.
#pragma once

#include "report/qr_component.h"

#include <functional>
#include <vector>

class TQRBand;
class TQRDetailLink;
namespace report {
class DataSet;
}

using TReportNeedDataEvent = std::function<void(bool& MoreData)>;
using TQRFilterEvent = std::function<void(bool& PrintRecord)>;

class TQRController : public ReportComponent {
public:
    ~TQRController() override;

    // Records come from here when it is set and open; otherwise OnNeedData
    // says whether there is more to print.
    report::DataSet* DataSource = nullptr;
    TReportNeedDataEvent OnNeedData;
    TQRFilterEvent OnFilter;

    TQRBand* headerBand() const { return headerBand_; }
    TQRBand* detailBand() const { return detailBand_; }
    TQRBand* footerBand() const { return footerBand_; }
    bool printBefore() const { return printBefore_; }

    // The detail links whose Master is this controller; rebuilt by every run.
    const std::vector<TQRDetailLink*>& detailLinks() const { return detailLinks_; }
    void clearDetailLinks() { detailLinks_.clear(); }
    void addDetailLink(TQRDetailLink& link) { detailLinks_.push_back(&link); }

protected:
    TQRController() = default;
    void componentRemoving(ReportComponent& component) override;

    TQRBand* headerBand_ = nullptr;
    TQRBand* detailBand_ = nullptr;
    TQRBand* footerBand_ = nullptr;
    bool printBefore_ = false;

private:
    std::vector<TQRDetailLink*> detailLinks_;
};

class TQRDetailLink : public TQRController {
public:
    TQRDetailLink() = default;

    // Assigning a band that still has the title type gives it the type of its
    // role: group header, group footer or (detail band) sub-detail.
    TQRBand* HeaderBand() const { return headerBand_; }
    void setHeaderBand(TQRBand* band);
    TQRBand* DetailBand() const { return detailBand_; }
    void setDetailBand(TQRBand* band);
    TQRBand* FooterBand() const { return footerBand_; }
    void setFooterBand(TQRBand* band);

    // Print this link's records before (true) or after the master's own
    // detail bands.
    bool PrintBefore() const { return printBefore_; }
    void setPrintBefore(bool value) { printBefore_ = value; }

    TQRController* Master() const { return master_; }
    void setMaster(TQRController* master);

protected:
    void componentRemoving(ReportComponent& component) override;

private:
    TQRController* master_ = nullptr;
};
