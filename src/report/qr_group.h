// TQRGroup: a group break on a data field. The report prints the group's
// header band when a group begins and its footer band when it ends.
#pragma once

#include "report/qr_component.h"

#include <QString>

#include <functional>

class TQRBand;
namespace report {
class DataSet;
}

using TGroupNeedDataEvent = std::function<void(QString& Value)>;

// A page form holds at most this many groups (levels 0 to 9).
inline constexpr int kMaxGroups = 10;

class TQRGroup : public ReportComponent {
public:
    TQRGroup() = default;

    report::DataSet* DataSource = nullptr;
    QString DataField;
    // May change the value read from the field before it is compared.
    TGroupNeedDataEvent OnNeedData;

    // Assigning a band that still has the title type makes it a group header
    // (or footer) band.
    TQRBand* HeaderBand() const { return headerBand_; }
    void setHeaderBand(TQRBand* band);
    TQRBand* FooterBand() const { return footerBand_; }
    void setFooterBand(TQRBand* band);

    // The group's nesting level, 0 outermost. Groups are numbered by their
    // order on the form whenever a group joins or leaves it.
    int Level() const { return level_; }
    void setLevel(int level);

    // ---- Run-time state.
    // Previous and current value := the start marker, and marked changed.
    void start();
    // Previous := current; current := the field's text (OnNeedData may change
    // it); marked changed when they differ. Answers whether this examination
    // found a change. The first examination after start() only learns the
    // first value: a group that has just begun has not changed.
    bool examine();
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    const QString& currentValue() const { return current_; }

protected:
    void aboutToJoin(ReportForm& form) override;
    void componentInserted(ReportComponent& component) override;
    void componentRemoving(ReportComponent& component) override;
    void componentRemoved() override;

private:
    void renumber();

    TQRBand* headerBand_ = nullptr;
    TQRBand* footerBand_ = nullptr;
    int level_ = 0;
    QString previous_;
    QString current_;
    bool changed_ = false;
};
