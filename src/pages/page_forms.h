// The two profile page forms. Neither is ever shown: each only holds the report
// PageReport1 whose single title band QRBand1 carries the whole landscape A4
// profile sheet (23 labels, 24 border strips). Form2 is the female page, FFormM
// the male page; the main window reaches their reports through these references.
//
// Start-up creates them after the main window, in this order:
//     createForm2();  createFFormM();
// and destroyPageForms() frees them at exit.
#pragma once

#include <QWidget>

#include <array>

class TPageReport;
class TQRBand;
class TQRLabel;

namespace pages {
struct PageDesign;
} // namespace pages

// What both page forms share: built from a page design table.
class ProfilePageForm : public QWidget {
public:
    ~ProfilePageForm() override;
    ProfilePageForm(const ProfilePageForm&) = delete;
    ProfilePageForm& operator=(const ProfilePageForm&) = delete;

    // The page's report; Preview, Print and LeftMarginInches are used on it.
    TPageReport* PageReport1 = nullptr;
    // The title band that carries the page.
    TQRBand* QRBand1 = nullptr;

    // QRLabel1 .. QRLabel23 by number; nullptr for any other number.
    TQRLabel* label(int number) const;

    // Bound to the report's OnNeedData and to the band's BeforePrint: fills the
    // thirteen value labels from detail.fdg in the current folder. Never reads or
    // changes the flag. Refuses (throws) when this process's last write of the file
    // failed, since what is on disk then is not the profile the user entered.
    void PageReport1NeedData(bool& MoreData);

    // The design the form was built from.
    const pages::PageDesign& design() const { return design_; }

protected:
    explicit ProfilePageForm(const pages::PageDesign& design);

private:
    const pages::PageDesign& design_;
    std::array<TQRLabel*, 23> labels_{};
};

// The female page.
class TForm2 : public ProfilePageForm {
public:
    TForm2();
};

// The male page.
class TFFormM : public ProfilePageForm {
public:
    TFFormM();
};

// Program-wide references, filled once at start-up.
extern TForm2* Form2;
extern TFFormM* FFormM;

// Create the page form into its reference (replacing nothing: calling twice is an error).
void createForm2();
void createFFormM();

// Frees both page forms and clears the references.
void destroyPageForms();
