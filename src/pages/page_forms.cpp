#include "pages/page_forms.h"

#include "pages/border_strips.h"
#include "pages/detail_binding.h"
#include "pages/page_design.h"
#include "report/page_report.h"
#include "report/qr_band.h"
#include "report/qr_label.h"
#include "report/qr_picture.h"
#include "report/qr_printer.h"

#include <QColor>
#include <QString>

#include <memory>
#include <stdexcept>
#include <string>

TForm2* Form2 = nullptr;
TFFormM* FFormM = nullptr;

namespace {

platform::CanvasFont canvasFont(const pages::FontDesign& f, int height)
{
    platform::CanvasFont font;
    font.face = QString::fromLatin1(f.name);
    font.height = height;
    font.bold = f.bold;
    font.italic = f.italic;
    font.color = QColor::fromRgb(f.color);
    return font;
}

// Page forms are not scaled: their design pixels are screen pixels.
int formPixelsPerInch(TQRPrinter* store)
{
    if (store)
        return store->screenPixelsPerInch();
    return hasQRPrinter() ? QRPrinter().screenPixelsPerInch() : screenPixelsPerInch();
}

// The paper size whose printer code the design names.
TQRPaperSize paperSizeForCode(int code)
{
    for (int s = qrpDefault; s <= qrpCustom; ++s)
        if (qrPaperCode(TQRPaperSize(s)) == code)
            return TQRPaperSize(s);
    throw std::invalid_argument("No paper size has the code " + std::to_string(code));
}

void applyReportDesign(TPageReport& report, const pages::ReportDesign& d)
{
    report.Orientation = d.orientation == pages::PaperOrientation::Landscape ? platform::poLandscape
                                                                              : platform::poPortrait;
    // Stored in this order; each paper setting reaches the printer at once.
    report.setPaperLength(d.paperLength);
    report.setPaperSize(paperSizeForCode(d.paperCode));
    report.setPaperWidth(d.paperWidth);
    report.setLeftMarginInches(d.leftMarginInches);
    report.setLeftMarginMM(d.leftMarginMM);
    report.setColumns(d.columns);
    report.setColumnMarginInches(d.columnMarginInches);
    report.DisplayPrintDialog = d.displayPrintDialog;
    report.RestartData = d.restartData;
    report.SQLCompatible = d.sqlCompatible;
    report.TitleBeforeHeader = d.titleBeforeHeader;
    report.ShowProgress = d.showProgress;
    report.ReportTitle = QString::fromLatin1(d.reportTitle);
    // No edge of the page frame is drawn.
    report.PageFrame.DrawTop = report.PageFrame.DrawBottom = false;
    report.PageFrame.DrawLeft = report.PageFrame.DrawRight = false;
}

void applyBandDesign(TQRBand& band, const pages::BandDesign& d)
{
    band.BandType = rbTitle;
    band.Width = d.width;
    band.Height = d.height;
    band.Color = QColor::fromRgb(d.color);
    band.setFont(canvasFont(d.font, d.font.height));
    band.ForceNewPage = d.forceNewPage;
    band.Frame.DrawTop = band.Frame.DrawBottom = band.Frame.DrawLeft = band.Frame.DrawRight = false;
}

void applyLabelDesign(TQRLabel& label, const pages::LabelDesign& d, const pages::FontDesign& font)
{
    label.Left = d.left;
    label.Top = d.top;
    label.Width = d.width;
    label.Height = d.height;
    label.Alignment = d.alignment == pages::TextAlignment::Centre ? taCenter : taLeftJustify;
    label.AutoSize = d.autoSize;
    label.AlignToBand = false;
    label.Transparent = false;
    label.Caption = QString::fromLatin1(d.caption);
    // Labels keep their band's colour (white).
    label.ParentColor = true;
    if (d.parentFont)
        label.ParentFont = true;
    else
        label.setFont(canvasFont(font, d.fontHeight));
}

void applyImageDesign(TImage& image, const pages::ImageDesign& d)
{
    image.Left = d.left;
    image.Top = d.top;
    image.Width = d.width;
    image.Height = d.height;
    image.Stretch = false;
    image.Center = false;
    image.AutoSize = false;
    image.Picture.setBitmap(pages::borderStrip(d.bitmap));
}

} // namespace

ProfilePageForm::ProfilePageForm(const pages::PageDesign& design, TQRPrinter* pageStore)
    : ReportForm(formPixelsPerInch(pageStore)), design_(design)
{
    PageReport1 = &add<TPageReport>(QString::fromLatin1(design.reportName));
    if (pageStore)
        PageReport1->setPageStore(pageStore);
    applyReportDesign(*PageReport1, design.report);

    QRBand1 = &add<TQRBand>(QString::fromLatin1(design.band.name));
    applyBandDesign(*QRBand1, design.band);

    // The band prints its children in the order they joined it: labels, then strips.
    for (std::size_t i = 0; i < design.labels.size() && i < labels_.size(); ++i) {
        const pages::LabelDesign& d = design.labels[i];
        TQRLabel& label = add<TQRLabel>(QString::fromLatin1(d.name));
        applyLabelDesign(label, d, design.labelFont);
        label.setParent(QRBand1);
        labels_[i] = &label;
    }
    for (const pages::ImageDesign& d : design.images) {
        TImage& image = add<TImage>(QString::fromLatin1(d.name));
        applyImageDesign(image, d);
        image.setParent(QRBand1);
    }

    // One handler for both events; neither flag is touched.
    PageReport1->OnNeedData = [this](bool& MoreData) { PageReport1NeedData(MoreData); };
    QRBand1->BeforePrint = [this](bool& PrintBand) { PageReport1NeedData(PrintBand); };
}

ProfilePageForm::~ProfilePageForm() = default;

TQRLabel* ProfilePageForm::label(int number) const
{
    if (number < 1 || number > int(labels_.size()))
        return nullptr;
    return labels_[number - 1];
}

TImage* ProfilePageForm::image(const char* name) const
{
    return dynamic_cast<TImage*>(findComponent(QString::fromLatin1(name)));
}

void ProfilePageForm::setValue(int labelNumber, const QString& text)
{
    if (TQRLabel* l = label(labelNumber))
        l->Caption = text;
}

void ProfilePageForm::PageReport1NeedData(bool& /*MoreData*/)
{
    if (profileLines_.isEmpty()) {
        pages::readDetailFile(pages::kDetailFileName, detailState_,
                              [this](int n, const QString& text) { setValue(n, text); });
        return;
    }
    const auto& labels = pages::detailLineLabels();
    for (std::size_t i = 0; i < labels.size(); ++i)
        setValue(labels[i], i < std::size_t(profileLines_.size()) ? profileLines_[qsizetype(i)] : QString());
}

TForm2::TForm2(TQRPrinter* pageStore) : ProfilePageForm(pages::femalePageDesign(), pageStore) {}

TFFormM::TFFormM(TQRPrinter* pageStore) : ProfilePageForm(pages::malePageDesign(), pageStore) {}

namespace {
template <class Form>
void createInto(Form*& reference, const char* what)
{
    if (reference)
        throw std::logic_error(std::string("The ") + what + " page form exists already");
    // The reference is filled only once the form is complete.
    auto form = std::make_unique<Form>();
    reference = form.release();
}
} // namespace

void createForm2() { createInto(Form2, "female"); }

void createFFormM() { createInto(FFormM, "male"); }

void destroyPageForms()
{
    delete FFormM;
    FFormM = nullptr;
    delete Form2;
    Form2 = nullptr;
}
