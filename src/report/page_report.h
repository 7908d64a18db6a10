// TPageReport: a report defined on a page form. It holds the page set-up
// (orientation, paper, margins, columns), the report events, and runs itself
// into pages of the page store (Print, Preview).
//
// Units: positions and sizes of bands and controls are design units (pixels at
// the form's PixelsPerInch F, 96 on the page forms); the page store measures in
// page units (pixels at the screen's resolution S). XPos and YPos turn design
// lengths into page units with the run's scale factors, rounding halves to even.
#pragma once

#include "platform/printer.h"
#include "platform/units.h"
#include "report/qr_band.h"
#include "report/qr_controller.h"
#include "report/qr_frame.h"
#include "report/engine_windows.h"
#include "report/qr_printer.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TQRDBCalc;
class TQRGroup;
class TQRProgressForm;

using TNotifyEvent = std::function<void(ReportComponent& Sender)>;
using TQRReportBeforePrintEvent = std::function<void(bool& PrintReport)>;

class TPageReport : public TQRController {
public:
    TPageReport();
    ~TPageReport() override;

    // ---- Events.
    TNotifyEvent AfterDetail;   // after the detail bands of each pass
    TNotifyEvent AfterPrint;    // once at the end of a run
    TNotifyEvent BeforeDetail;  // before the detail bands of each pass
    TQRReportBeforePrintEvent BeforePrint;  // before a run; false cancels it
    TNotifyEvent OnEndPage;
    TNotifyEvent OnStartPage;

    // ---- Plain properties.
    bool DisplayPrintDialog = false;
    platform::TPrinterOrientation Orientation = platform::poPortrait;
    TQRFrame PageFrame;
    QString ReportTitle;
    bool RestartData = true;  // stored only
    bool ShowProgress = true;
    bool SQLCompatible = false;  // true: the record count is not asked of the data set
    bool TitleBeforeHeader = false;

    int Columns() const { return columns_; }
    // Values of 0 or less are ignored.
    void setColumns(int columns);

    // ---- Margins: one stored real number of inches each, with two integer views.
    // Setting stores the value and does nothing else.
    int LeftMarginInches() const;   // tenths of an inch
    void setLeftMarginInches(int tenths);
    int LeftMarginMM() const;
    void setLeftMarginMM(int millimetres);
    int ColumnMarginInches() const;
    void setColumnMarginInches(int tenths);
    int ColumnMarginMM() const;
    void setColumnMarginMM(int millimetres);
    double leftMargin() const { return leftMargin_; }      // inches
    double columnMargin() const { return columnMargin_; }  // inches

    // ---- Paper: these act on the selected printer at once, through the page
    // store, and can raise its "Printer driver error".
    TQRPaperSize PaperSize() const { return paperSize_; }
    void setPaperSize(TQRPaperSize size);
    // Tenths of a millimetre; reads 0 unless PaperSize is qrpCustom. A non-zero
    // value switches PaperSize to qrpCustom first.
    int PaperLength() const;
    void setPaperLength(int tenths);
    int PaperWidth() const;
    void setPaperWidth(int tenths);

    // The page store the report composes into and prints from; the program's
    // one store unless another is set (tests use their own).
    TQRPrinter& pageStore() const;
    void setPageStore(TQRPrinter* store) { store_ = store; }

    // ---- Entry points.
    // Composes (unless the page store already holds pages) and prints.
    void Print();
    // Composes (unless the page store already holds pages) and previews.
    void Preview();
    // Printer set-up and one composition run into the page store, which must
    // not be composing; leaves it ready, or idle without pages when an error
    // escapes.
    void Prepare();

    // What drawing a band needs of this run, onto the page store's open page.
    DrawContext drawContext() const;

    // ---- Scale: design length to page units (halves to even).
    int XPos(double v) const;
    int YPos(double v) const;
    double horizontalFactor() const { return xFactor_; }
    double verticalFactor() const { return yFactor_; }

    // ---- Run-time state, readable while a run is going (by event handlers).
    int pageNumber() const { return pageNumber_; }
    int currentX() const { return currentX_; }
    int currentY() const { return currentY_; }
    int currentColumn() const { return currentColumn_; }
    int columnWidth() const { return columnWidth_; }
    int pageWidth() const { return pageWidth_; }
    int pageHeight() const { return pageHeight_; }
    int recordCount() const { return recordCount_; }
    int detailCount() const { return detailCount_; }
    bool detailPrinted() const { return detailPrinted_; }
    // The run's progress window, or null outside a run.
    TQRProgressForm* progressForm() const { return progress_.get(); }

    // What the print dialog answered (report/engine_windows.h, which also holds
    // the preview window and the progress window the run shows).
    using PrintDialogChoice = report::PrintDialogChoice;

private:
    friend class ReportRun;

    // The composition run itself, onto the open page of the composing store,
    // with the page size that Prepare has just read.
    void Compose();

    void sendPages(bool preview, bool printToFile);

    int columns_ = 1;
    double leftMargin_ = 0;
    double columnMargin_ = 0;
    TQRPaperSize paperSize_ = qrpDefault;
    int paperLength_ = 0;
    int paperWidth_ = 0;
    TQRPrinter* store_ = nullptr;

    // Run-time state.
    std::array<std::vector<TQRBand*>, kBandTypeCount> bandLists_;
    std::vector<TQRDBCalc*> calcs_;
    std::array<TQRGroup*, 10> groups_{};
    std::unique_ptr<TQRProgressForm> progress_;
    double xFactor_ = 1.0;
    double yFactor_ = 1.0;
    int currentX_ = 0;
    int currentY_ = 0;
    int pageWidth_ = 0;
    int pageHeight_ = 0;
    int columnWidth_ = 0;
    int currentColumn_ = 1;
    int columnTop_ = 0;
    int footerHeight_ = 0;
    int pageNumber_ = 1;
    int detailCount_ = 0;
    int recordCount_ = 0;
    bool detailPrinted_ = false;
    bool noDataSource_ = true;
};
