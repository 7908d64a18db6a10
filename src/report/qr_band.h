// TQRBand: a horizontal strip of the page. Its children are the printable
// controls; the report run decides where each band goes, and the band draws
// itself there (background, children, frame).
#pragma once

#include "report/qr_component.h"
#include "report/qr_frame.h"
#include "platform/canvas.h"
#include "platform/units.h"

#include <QColor>

#include <functional>
#include <vector>

class TPageReport;
class TQRDBCalc;
class ReportControl;

enum TQRBandType {
    rbTitle,
    rbPageHeader,
    rbDetail,
    rbPageFooter,
    rbSummary,
    rbGroupHeader,
    rbGroupFooter,
    rbSubDetail,
    rbColumnHeader,
    rbOverlay,
};
inline constexpr int kBandTypeCount = 10;

// Design aid only, never printed.
enum TQRRuler { qrrNone, qrrInchesH, qrrInchesV, qrrInchesHV, qrrCmH, qrrCmV, qrrCmHV };

// Layout of the band on its page form; has no effect on the printed page.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TQRBandBeforePrintEvent = std::function<void(bool& PrintBand)>;
using TQRBandAfterPrintEvent = std::function<void(bool BandPrinted)>;

// What drawing a band needs of the running report: the open page's canvas and
// the scale from design units to page units. The run builds one for each band
// it prints; bands and controls hold no reference to the run.
struct DrawContext {
    platform::Canvas& canvas;
    double xFactor = 1.0;                 // design units to page units, across
    double yFactor = 1.0;                 // and down
    int columnWidth = 0;                  // page units
    int printableWidth = 0;               // page units
    int screenPixelsPerInch = platform::kDesignPixelsPerInch; // page units per inch
    int formPixelsPerInch = platform::kDesignPixelsPerInch;   // design units per inch

    // A design length in page units, rounded halves to even.
    int XPos(double v) const { return platform::roundHalfEven(xFactor * v); }
    int YPos(double v) const { return platform::roundHalfEven(yFactor * v); }
};

class TQRBand : public ReportComponent {
public:
    TQRBand();
    ~TQRBand() override;

    // Position and size on the page form, design units.
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    TAlign Align = alTop;
    TQRBandType BandType = rbTitle;
    bool Enabled = true;
    bool ForceNewPage = false;
    TQRRuler Ruler = qrrNone;
    TQRFrame Frame;  // width 1, all sides off

    TQRBandBeforePrintEvent BeforePrint;
    TQRBandAfterPrintEvent AfterPrint;

    // Background on the page; white until set.
    QColor Color = QColor(255, 255, 255);

    // The band's own font; with ParentFont it uses the form's font instead.
    // Setting the font clears ParentFont.
    const platform::CanvasFont& Font() const { return font_; }
    void setFont(const platform::CanvasFont& font);
    bool ParentFont = true;
    // The font that the band's controls inherit.
    platform::CanvasFont effectiveFont() const;

    // A band that must fit on the same page. Setting the band itself is ignored.
    TQRBand* LinkBand() const { return linkBand_; }
    void setLinkBand(TQRBand* band);

    // Child controls in the band's child order: graphic controls in the order
    // they were added, then windowed ones in the order they were added.
    std::vector<ReportControl*> children() const;

    // ---- Run-time state, rebuilt by every run.
    const std::vector<TQRDBCalc*>& resetList() const { return resetList_; }
    void clearResetList() { resetList_.clear(); }
    void addToResetList(TQRDBCalc& calc) { resetList_.push_back(&calc); }

    // Draws the band at design position (X, Y) onto the context's canvas:
    // BeforePrint, background, children, frame, AfterPrint, calc restarts.
    // Answers whether the band was printed (its BeforePrint's verdict).
    bool print(const DrawContext& context, int X, int Y);

    // The largest extra height its text controls need (labels need none); with
    // the link counted, plus the linked band's stretch (with its own link) and
    // height.
    int stretch(bool countLink) const;

protected:
    void componentRemoving(ReportComponent& component) override;

private:
    friend class ReportControl;
    void attachChild(ReportControl& child);
    void detachChild(ReportControl& child);

    platform::CanvasFont font_;
    TQRBand* linkBand_ = nullptr;
    std::vector<ReportControl*> children_;
    std::vector<TQRDBCalc*> resetList_;
};

// Base of everything that sits on a band: position and size relative to the
// band, in design units.
class ReportControl : public ReportComponent {
public:
    ~ReportControl() override;

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    TQRBand* Parent() const { return parent_; }
    // Moves the control onto `band` (null takes it off any band); it becomes
    // the band's last child of its kind.
    void setParent(TQRBand* band);

    // Windowed controls come after graphic ones in a band's child order.
    virtual bool isWindowed() const { return false; }

    // Draws the control for a band printed at design position (X, Y).
    virtual void printAt(const DrawContext& context, int X, int Y) = 0;

protected:
    void componentRemoving(ReportComponent& component) override;
    // The font of a control whose ParentFont is set: its band's, or its
    // form's when it is on no band; `own` when it has neither.
    platform::CanvasFont inheritedFont(const platform::CanvasFont& own) const;

private:
    friend class TQRBand;
    TQRBand* parent_ = nullptr;
};
