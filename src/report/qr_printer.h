// TQRPrinter: the report engine's page store and its only contact with the printer.
//
// There is one page store in the program (createQRPrinter at start-up, QRPrinter()
// afterwards). It
//  - reads the selected printer's page metrics and converts them to page units
//    (one screen pixel at the screen's logical resolution S),
//  - writes a report's orientation and paper into the selected printer's settings,
//  - records the pages of a run as page images (one enhanced metafile per page,
//    drawn in page units through canvas()),
//  - replays the stored pages onto the printer as one print job (Print), with a
//    progress window whose Cancel button sets the cancelled flag.
//
// States: idle --BeginDoc--> composing --EndDoc--> ready --Cleanup--> idle.
// NewPage keeps it composing; the report file's Load takes it from idle to ready.
// Print, setCurrentPageNumber, Save and the preview act only when ready.
//
// Everything runs on the user-interface thread. Print processes pending messages
// once before the pages are sent, so main-window and preview handlers may run in
// the middle of it; the job re-checks the store between pages and never touches a
// page that has gone.
#pragma once

#include "platform/printer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace platform {
class Canvas;
class EmfRecorder;
} // namespace platform

// Paper sizes a report can ask for, in this order.
enum TQRPaperSize { qrpDefault, qrpLetter, qrpLegal, qrpA3, qrpA4, qrpA5, qrpCustom };

// The paper code written into the printer's device mode for `size`
// (qrpDefault 0, qrpLetter 1, qrpLegal 5, qrpA3 8, qrpA4 9, qrpA5 11, qrpCustom 256).
int qrPaperCode(TQRPaperSize size);

enum class QRPrinterStatus { Idle, Composing, Ready };

// The report engine's own texts.
namespace qr_text {
inline constexpr const char* printerDriverError = "Printer driver error";
inline constexpr const char* printingReport = "Printing report";     // string 65025
inline constexpr const char* previewCaption = "PageReport version";  // string 65058
inline constexpr const char* engineVersion = "1.0d";
inline constexpr const char* cancel = "Cancel";                       // string 65038
} // namespace qr_text

class TQRPrinter : public QObject {
public:
    // A page store over `printer`, measuring pages at `screenPixelsPerInch` (S).
    // Reads the printer metrics at once. Owned by `owner` when given.
    TQRPrinter(platform::TPrinter& printer, int screenPixelsPerInch, QObject* owner = nullptr);
    ~TQRPrinter() override;

    platform::TPrinter& printer() const { return printer_; }
    int screenPixelsPerInch() const { return screenPpi_; }

    // ---- Metrics, in page units.
    // Reads the selected printer's metrics. Never throws: when the printer cannot
    // be read, the fallback page is used and printing is disabled for good.
    void readMetrics();
    int printableWidth() const { return printableWidth_; }
    int printableHeight() const { return printableHeight_; }
    int physicalWidth() const { return physicalWidth_; }
    int physicalHeight() const { return physicalHeight_; }
    int offsetLeft() const { return offsetLeft_; }
    int offsetTop() const { return offsetTop_; }
    bool printEnabled() const { return printEnabled_; }

    // ---- Printer settings. These raise "Printer driver error" (platform::EPrinter)
    // when the selected printer has no device mode, and pass the printer object's
    // own errors on unchanged.
    platform::TPrinterOrientation orientation() const { return orientation_; }
    void setOrientation(platform::TPrinterOrientation orientation);
    // Each paper setter reads the metrics again afterwards.
    void setPaperSize(TQRPaperSize size);
    void setPaperWidth(int tenthsOfMillimetre);  // non-zero switches to qrpCustom first
    void setPaperLength(int tenthsOfMillimetre); // non-zero switches to qrpCustom first
    int paperWidth();   // 0 when the printer does not take the field
    int paperLength();  // 0 when the printer does not take the field

    // ---- Recording pages.
    QRPrinterStatus status() const { return status_; }
    void BeginDoc();  // idle: opens page 1 (ready: Cleanup first); composing: nothing
    void NewPage();   // composing only: closes the open page, opens the next
    void EndDoc();    // composing only: closes the open page; ready, page 1 current
    void Cleanup();   // composing or ready: frees every page; idle, print range cleared
    // The canvas of the open page (page units). Throws std::logic_error unless composing.
    platform::Canvas& canvas();

    int pageCount() const { return pageCount_; }
    int currentPageNumber() const { return currentPage_; }
    // Only when ready and 1 <= n <= page count; otherwise nothing changes.
    void setCurrentPageNumber(int n);
    // The current page's image, or null when there is none.
    const QByteArray* currentPageImage() const;
    // The stored (closed) page n, 1-based. Throws std::out_of_range.
    const QByteArray& pageImage(int n) const;
    int storedPageCount() const { return static_cast<int>(pages_.size()); }

    // ---- Print range. To page 0 means all pages; negative values are ignored.
    int fromPage() const { return fromPage_; }
    int toPage() const { return toPage_; }
    void setFromPage(int page);
    void setToPage(int page);
    bool pageInRange(int n) const;

    // ---- Print job and flags.
    // Replays the stored pages onto the selected printer as one job (when ready and
    // printing is enabled); the current page is the same afterwards.
    void Print();
    void Cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    void setCancelled(bool cancelled) { cancelled_ = cancelled; }
    bool showProgress() const { return showProgress_; }
    void setShowProgress(bool show) { showProgress_ = show; }
    QString title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }

    // Caption of the preview and progress windows: "PageReport version 1.0d".
    QString captionText() const { return captionText_; }
    void setCaptionText(const QString& text) { captionText_ = text; }

    // ---- Preview and report file. Preview shows the pages in the installed
    // preview window (report/engine_windows.h); Save and Load are defined beside
    // the report file's format (report_file.cpp).
    void Preview();
    void Save(const QString& fileName);
    void Load(const QString& fileName);

    // Replaces whatever the store holds by pages read from elsewhere (a report file):
    // Cleanup, then the pages, printable size as given, physical size 110% of it
    // (rounded half to even), status ready, page 1 current. The offsets stay.
    // Throws std::invalid_argument (and changes nothing) for an empty list or a
    // page size below 1.
    void adoptPages(std::vector<QByteArray> pages, int printableWidth, int printableHeight);

private:
    void useFallbackPage(int offset);
    void openPage();
    void closePage();

    // Locked device mode of the selected printer, unlocked on destruction.
    class DeviceModeLock;

    platform::TPrinter& printer_;
    int screenPpi_;

    QRPrinterStatus status_ = QRPrinterStatus::Idle;
    std::vector<QByteArray> pages_;
    std::unique_ptr<platform::EmfRecorder> openPage_;
    int pageCount_ = 0;
    int currentPage_ = 0;

    int printableWidth_ = 0;
    int printableHeight_ = 0;
    int physicalWidth_ = 0;
    int physicalHeight_ = 0;
    int offsetLeft_ = 0;
    int offsetTop_ = 0;
    bool printEnabled_ = true;

    bool cancelled_ = false;
    bool showProgress_ = true;
    QString title_;
    int fromPage_ = 0;
    int toPage_ = 0;
    platform::TPrinterOrientation orientation_ = platform::poPortrait;
    QString captionText_;
};

// The program's one page store. createQRPrinter makes it over the program's printer
// object (platform::Printer()) at the screen's logical resolution, owned by
// `application`, with its caption text; a second call replaces (frees) the first.
// QRPrinter() throws std::logic_error before the store exists.
TQRPrinter& createQRPrinter(QObject* application);
TQRPrinter& QRPrinter();
bool hasQRPrinter();

// The screen's logical resolution in pixels per inch (96 when there is no screen).
int screenPixelsPerInch();
