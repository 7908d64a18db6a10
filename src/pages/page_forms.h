// The two profile page forms. Neither is ever shown: each only holds the report
// PageReport1 whose single title band QRBand1 carries the whole landscape A4
// profile sheet (23 labels, 24 border strips). Form2 is the female page, FFormM
// the male page; the main window reaches their reports through these references.
//
// Start-up creates them after the main window and the page store, in this order:
//     createForm2();  createFFormM();
// and destroyPageForms() frees them at exit.
#pragma once

#include "report/qr_component.h"

#include <QStringList>

#include <array>

class TPageReport;
class TQRBand;
class TQRLabel;
class TImage;
class TQRPrinter;

namespace pages {
struct PageDesign;
} // namespace pages
namespace profile {
class DetailFileState;
} // namespace profile

// What both page forms share: built from a page design table.
class ProfilePageForm : public ReportForm {
public:
    ~ProfilePageForm();

    // The page's report; Preview, Print and LeftMarginInches are used on it.
    TPageReport* PageReport1 = nullptr;
    // The title band that carries the page.
    TQRBand* QRBand1 = nullptr;

    // QRLabel1 .. QRLabel23 by number; nullptr for any other number.
    TQRLabel* label(int number) const;
    // A border strip by its name ("Image1" ...); nullptr when the page has none.
    TImage* image(const char* name) const;

    // Bound to the report's OnNeedData and to the band's BeforePrint: fills the
    // thirteen value labels from detail.fdg in the current folder, or from the
    // lines given to useProfileLines. Never reads or changes the flag. Refuses
    // (throws) when this process's last update of the file failed, since what is
    // on disk then is not the profile the user entered.
    void PageReport1NeedData(bool& MoreData);

    // Composing without the window: the page takes its 13 lines from here (in
    // detail.fdg's order) and never touches detail.fdg. An empty list goes back
    // to the file.
    void useProfileLines(const QStringList& lines) { profileLines_ = lines; }

    // The main window's record of whether detail.fdg holds the profile it shows;
    // with none, the file is taken as it is.
    void watchDetailFile(const profile::DetailFileState* state) { detailState_ = state; }

    // The design the form was built from.
    const pages::PageDesign& design() const { return design_; }

protected:
    // Builds the form from `design`. The report's paper settings reach the printer
    // at once, through `pageStore` (the program's one store when null).
    ProfilePageForm(const pages::PageDesign& design, TQRPrinter* pageStore);

private:
    void setValue(int labelNumber, const QString& text);

    const pages::PageDesign& design_;
    QStringList profileLines_;
    const profile::DetailFileState* detailState_ = nullptr;
    std::array<TQRLabel*, 23> labels_{};
};

// The female page.
class TForm2 : public ProfilePageForm {
public:
    explicit TForm2(TQRPrinter* pageStore = nullptr);
};

// The male page.
class TFFormM : public ProfilePageForm {
public:
    explicit TFFormM(TQRPrinter* pageStore = nullptr);
};

// Program-wide references, filled once at start-up.
extern TForm2* Form2;
extern TFFormM* FFormM;

// Create the page form into its reference, over the program's page store (which
// must exist). A failure leaves the reference empty and passes the error on;
// calling again while the form exists is an error.
void createForm2();
void createFFormM();

// Frees both page forms and clears the references.
void destroyPageForms();
