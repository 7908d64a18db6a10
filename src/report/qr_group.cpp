#include "report/qr_group.h"

#include "report/data_set.h"
#include "report/qr_band.h"

#include <stdexcept>

namespace {

// Value of a group before its first examination in a run; no field holds it.
const QString kStartMarker = QStringLiteral("#$&PaGeRePoRt&$#");

int groupsOn(const ReportForm& form)
{
    int n = 0;
    for (ReportComponent* c : form.components())
        if (dynamic_cast<TQRGroup*>(c))
            ++n;
    return n;
}

} // namespace

void TQRGroup::setHeaderBand(TQRBand* band)
{
    headerBand_ = band;
    if (band && band->BandType == rbTitle)
        band->BandType = rbGroupHeader;
}

void TQRGroup::setFooterBand(TQRBand* band)
{
    footerBand_ = band;
    if (band && band->BandType == rbTitle)
        band->BandType = rbGroupFooter;
}

void TQRGroup::setLevel(int level)
{
    if (level < 0 || level >= kMaxGroups)
        throw std::out_of_range("Group level " + std::to_string(level) + " is outside 0 to 9");
    level_ = level;
}

void TQRGroup::aboutToJoin(ReportForm& form)
{
    if (groupsOn(form) >= kMaxGroups)
        throw std::runtime_error("A report form holds at most ten groups");
}

void TQRGroup::renumber()
{
    // Each group's level is its place among the form's groups, so nested
    // groups never share a slot.
    if (!owner())
        return;
    int level = 0;
    for (ReportComponent* c : owner()->components()) {
        if (c == this) {
            level_ = level;
            return;
        }
        if (dynamic_cast<TQRGroup*>(c))
            ++level;
    }
}

void TQRGroup::componentInserted(ReportComponent& component)
{
    if (dynamic_cast<TQRGroup*>(&component))
        renumber();
}

void TQRGroup::componentRemoving(ReportComponent& component)
{
    if (&component == headerBand_)
        headerBand_ = nullptr;
    if (&component == footerBand_)
        footerBand_ = nullptr;
}

void TQRGroup::componentRemoved()
{
    renumber();
}

void TQRGroup::start()
{
    previous_ = kStartMarker;
    current_ = kStartMarker;
    changed_ = true;
}

bool TQRGroup::examine()
{
    previous_ = current_;
    QString value;
    if (DataSource && DataSource->isOpen() && !DataField.isEmpty())
        value = DataSource->fieldText(DataField);
    if (OnNeedData)
        OnNeedData(value);
    current_ = value;
    const bool changedNow = previous_ != kStartMarker && current_ != previous_;
    if (changedNow)
        changed_ = true;
    return changedNow;
}
