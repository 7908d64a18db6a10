#include "report/qr_printer.h"

#include "platform/units.h"

#include "platform/canvas.h"
#include "platform/emf_writer.h"
#include "report/engine_windows.h"
#include "report/qr_progress_form.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <cmath>
#include <stdexcept>

using platform::EPrinter;
using platform::TPrinterOrientation;

namespace {

struct PaperCodeRow {
    TQRPaperSize size;
    int code;
};

constexpr PaperCodeRow kPaperCodes[] = {
    {qrpDefault, platform::paper_code::printerDefault},
    {qrpLetter, platform::paper_code::letter},
    {qrpLegal, platform::paper_code::legal},
    {qrpA3, platform::paper_code::a3},
    {qrpA4, platform::paper_code::a4},
    {qrpA5, platform::paper_code::a5},
    {qrpCustom, platform::paper_code::custom},
};

// The page used when the printer cannot be read: a printable area of
// 6752 x 4672 units of 1/600 inch, portrait, on a sheet 5% larger each way.
constexpr double kFallbackHeight600 = 6752;
constexpr double kFallbackWidth600 = 4672;
constexpr double kFallbackSheet = 1.05;
constexpr int kNoPrinterOffset = 5;
constexpr int kBadPrinterOffset = 20;

// A page read from a report file gets a sheet 10% larger than its printable area.
constexpr double kLoadedSheet = 1.1;

QPointer<TQRPrinter>& programPageStore()
{
    static QPointer<TQRPrinter> store;
    return store;
}

} // namespace

int qrPaperCode(TQRPaperSize size)
{
    for (const PaperCodeRow& row : kPaperCodes)
        if (row.size == size)
            return row.code;
    return 0;
}

// ---- Device-mode access: lock, work on the settings in place, unlock, also when
// the printer does not take a field and when an error occurs in between.
class TQRPrinter::DeviceModeLock {
public:
    explicit DeviceModeLock(platform::TPrinter& printer) : printer_(printer)
    {
        platform::PrinterIdentity id = printer_.getPrinter();
        if (!id.hasDeviceMode) {
            // Writing the selected index back makes the printer object build its device mode.
            printer_.setPrinterIndex(printer_.printerIndex());
            id = printer_.getPrinter();
        }
        if (!id.hasDeviceMode)
            throw EPrinter(QString::fromLatin1(qr_text::printerDriverError));
        mode_ = printer_.lockDeviceMode();
        fields_ = mode_ ? mode_->fields : 0;
    }
    ~DeviceModeLock()
    {
        if (mode_)
            printer_.unlockDeviceMode();
    }
    DeviceModeLock(const DeviceModeLock&) = delete;
    DeviceModeLock& operator=(const DeviceModeLock&) = delete;

    bool takes(std::uint32_t field) const { return mode_ && (fields_ & field); }

    void write(std::uint32_t field, int platform::DeviceMode::*member, int value)
    {
        if (!takes(field))
            return;
        mode_->*member = value;
        mode_->fields = fields_ | field;
    }

    int read(std::uint32_t field, int platform::DeviceMode::*member) const
    {
        return takes(field) ? mode_->*member : 0;
    }

private:
    platform::TPrinter& printer_;
    platform::DeviceMode* mode_ = nullptr;
    std::uint32_t fields_ = 0;
};

TQRPrinter::TQRPrinter(platform::TPrinter& printer, int screenPixelsPerInch, QObject* owner)
    : QObject(owner), printer_(printer), screenPpi_(screenPixelsPerInch > 0 ? screenPixelsPerInch : platform::kDesignPixelsPerInch)
{
    captionText_ = QString::fromLatin1(qr_text::previewCaption) + QLatin1Char(' ') +
                   QString::fromLatin1(qr_text::engineVersion);
    readMetrics();
}

TQRPrinter::~TQRPrinter()
{
    // The open page (if a run is still composing) and every stored page go with us.
    openPage_.reset();
    pages_.clear();
    if (programPageStore() == this)
        programPageStore() = nullptr;
}

// ---- Metrics

void TQRPrinter::useFallbackPage(int offset)
{
    const double s = screenPpi_;
    printableHeight_ = platform::roundHalfEven(s * kFallbackHeight600 / 600.0);
    printableWidth_ = platform::roundHalfEven(s * kFallbackWidth600 / 600.0);
    physicalHeight_ = platform::roundHalfEven(printableHeight_ * kFallbackSheet);
    physicalWidth_ = platform::roundHalfEven(printableWidth_ * kFallbackSheet);
    offsetLeft_ = offset;
    offsetTop_ = offset;
    printEnabled_ = false;
}

void TQRPrinter::readMetrics()
{
    try {
        if (printer_.printers().isEmpty()) {
            useFallbackPage(kNoPrinterOffset);
            return;
        }
    } catch (const std::exception&) {
        useFallbackPage(kBadPrinterOffset);
        return;
    }
    try {
        const bool answers = printer_.querySupported(platform::GETPRINTINGOFFSET) &&
                             printer_.querySupported(platform::GETPHYSPAGESIZE);
        QPoint offset;
        QPoint physical;
        if (answers) {
            offset = printer_.queryPoint(platform::GETPRINTINGOFFSET);
            physical = printer_.queryPoint(platform::GETPHYSPAGESIZE);
        }
        const int width = printer_.deviceCaps(platform::HORZRES);
        const int height = printer_.deviceCaps(platform::VERTRES);
        const int ppiX = printer_.deviceCaps(platform::LOGPIXELSX);
        const int ppiY = printer_.deviceCaps(platform::LOGPIXELSY);
        // A printer that claims no resolution or no printable area cannot be
        // measured: that is a failed read, not a page of zero or infinite size.
        if (ppiX <= 0 || ppiY <= 0 || width <= 0 || height <= 0)
            throw EPrinter(QString::fromLatin1(platform::printer_text::notValid));
        const double s = screenPpi_;
        const auto toPageX = [&](int v) { return platform::roundHalfEven(static_cast<double>(v) / ppiX * s); };
        const auto toPageY = [&](int v) { return platform::roundHalfEven(static_cast<double>(v) / ppiY * s); };
        printableWidth_ = toPageX(width);
        printableHeight_ = toPageY(height);
        if (answers) {
            physicalWidth_ = toPageX(physical.x());
            offsetLeft_ = toPageX(offset.x());
            physicalHeight_ = toPageY(physical.y());
            offsetTop_ = toPageY(offset.y());
        }
    } catch (const std::exception&) {
        useFallbackPage(kBadPrinterOffset);
    }
}

// ---- Printer settings

void TQRPrinter::setOrientation(TPrinterOrientation orientation)
{
    orientation_ = orientation;
    printer_.setOrientation(orientation);
    DeviceModeLock lock(printer_);
    lock.write(platform::dm_field::orientation, &platform::DeviceMode::orientation,
               orientation == platform::poPortrait ? platform::dmOrientPortrait : platform::dmOrientLandscape);
}

void TQRPrinter::setPaperSize(TQRPaperSize size)
{
    {
        DeviceModeLock lock(printer_);
        lock.write(platform::dm_field::paperSize, &platform::DeviceMode::paperSize, qrPaperCode(size));
    }
    readMetrics();
}

void TQRPrinter::setPaperWidth(int tenthsOfMillimetre)
{
    if (tenthsOfMillimetre != 0)
        setPaperSize(qrpCustom);
    {
        DeviceModeLock lock(printer_);
        lock.write(platform::dm_field::paperWidth, &platform::DeviceMode::paperWidth, tenthsOfMillimetre);
    }
    readMetrics();
}

void TQRPrinter::setPaperLength(int tenthsOfMillimetre)
{
    if (tenthsOfMillimetre != 0)
        setPaperSize(qrpCustom);
    {
        DeviceModeLock lock(printer_);
        lock.write(platform::dm_field::paperLength, &platform::DeviceMode::paperLength, tenthsOfMillimetre);
    }
    readMetrics();
}

int TQRPrinter::paperWidth()
{
    DeviceModeLock lock(printer_);
    return lock.read(platform::dm_field::paperWidth, &platform::DeviceMode::paperWidth);
}

int TQRPrinter::paperLength()
{
    DeviceModeLock lock(printer_);
    return lock.read(platform::dm_field::paperLength, &platform::DeviceMode::paperLength);
}

// ---- Recording pages

void TQRPrinter::openPage()
{
    openPage_ = std::make_unique<platform::EmfRecorder>(std::max(printableWidth_, 1),
                                                        std::max(printableHeight_, 1), screenPpi_);
    openPage_->moveTo(0, 0);
}

void TQRPrinter::closePage()
{
    if (!openPage_)
        return;
    QByteArray image = openPage_->finish();
    openPage_.reset();
    pages_.push_back(std::move(image));
}

void TQRPrinter::BeginDoc()
{
    if (status_ == QRPrinterStatus::Ready)
        Cleanup();
    if (status_ != QRPrinterStatus::Idle)
        return;
    readMetrics();
    pages_.clear();
    openPage();
    status_ = QRPrinterStatus::Composing;
    currentPage_ = 1;
    pageCount_ = 1;
    title_.clear();
}

void TQRPrinter::NewPage()
{
    if (status_ != QRPrinterStatus::Composing)
        return;
    closePage();
    readMetrics();
    openPage();
    ++pageCount_;
}

void TQRPrinter::EndDoc()
{
    if (status_ != QRPrinterStatus::Composing)
        return;
    closePage();
    status_ = QRPrinterStatus::Ready;
    setCurrentPageNumber(1);
}

void TQRPrinter::Cleanup()
{
    if (status_ == QRPrinterStatus::Idle)
        return;
    if (status_ == QRPrinterStatus::Composing)
        closePage();
    pages_.clear();
    pages_.shrink_to_fit();
    status_ = QRPrinterStatus::Idle;
    fromPage_ = 0;
    toPage_ = 0;
}

platform::Canvas& TQRPrinter::canvas()
{
    if (status_ != QRPrinterStatus::Composing || !openPage_)
        throw std::logic_error("The page store has no open page");
    return *openPage_;
}

// ---- Page selection and print range

void TQRPrinter::setCurrentPageNumber(int n)
{
    if (status_ != QRPrinterStatus::Ready || n < 1 || n > pageCount_ || n > storedPageCount())
        return;
    currentPage_ = n;
}

const QByteArray* TQRPrinter::currentPageImage() const
{
    if (status_ != QRPrinterStatus::Ready || currentPage_ < 1 || currentPage_ > storedPageCount())
        return nullptr;
    return &pages_[static_cast<std::size_t>(currentPage_ - 1)];
}

const QByteArray& TQRPrinter::pageImage(int n) const
{
    if (n < 1 || n > storedPageCount())
        throw std::out_of_range("No such page in the page store");
    return pages_[static_cast<std::size_t>(n - 1)];
}

void TQRPrinter::setFromPage(int page)
{
    if (page >= 0)
        fromPage_ = page;
}

void TQRPrinter::setToPage(int page)
{
    if (page >= 0)
        toPage_ = page;
}

bool TQRPrinter::pageInRange(int n) const
{
    if (toPage_ == 0)
        return true;
    return fromPage_ <= n && n <= toPage_;
}

// ---- Pages from elsewhere

void TQRPrinter::adoptPages(std::vector<QByteArray> pages, int printableWidth, int printableHeight)
{
    if (pages.empty())
        throw std::invalid_argument("A page store needs at least one page");
    if (printableWidth < 1 || printableHeight < 1)
        throw std::invalid_argument("A page needs a width and a height of at least 1");
    Cleanup();
    pages_ = std::move(pages);
    pageCount_ = storedPageCount();
    printableWidth_ = printableWidth;
    printableHeight_ = printableHeight;
    physicalWidth_ = platform::roundHalfEven(printableWidth * kLoadedSheet);
    physicalHeight_ = platform::roundHalfEven(printableHeight * kLoadedSheet);
    status_ = QRPrinterStatus::Ready;
    currentPage_ = 1;
}

// ---- The print job

void TQRPrinter::Preview()
{
    // The preview window belongs to the windows above the engine; without them
    // there is nothing to show the pages in.
    if (const auto& show = report::engineWindows().preview) {
        setCurrentPageNumber(1);
        show(*this);
    }
}

void TQRPrinter::Print()
{
    if (!printEnabled_)
        return;

    auto progress = std::make_unique<TQRProgressForm>(*this, nullptr);
    progress->SetMax(pageCount_);
    progress->SetText(QString::fromLatin1(qr_text::printingReport) + QLatin1Char(' ') + title_);
    if (showProgress_)
        progress->Show();

    const int shownPage = currentPage_;
    try {
        if (status_ == QRPrinterStatus::Ready) {
            cancelled_ = false;
            printer_.setTitle(title_);
            if (printer_.printing())
                printer_.abort();
            printer_.beginDoc();

            int lastPage = pageCount_;
            if (toPage_ > 0 || fromPage_ > 0) {
                lastPage = 0;
                for (int n = 1; n <= pageCount_; ++n)
                    if (pageInRange(n))
                        lastPage = n;
            }

            // The one moment at which a Cancel press can stop this job.
            QCoreApplication::processEvents();

            // Handlers that ran just now may have discarded or replaced the pages:
            // count and fetch them afresh for every page.
            for (int n = 1; n <= pageCount_; ++n) {
                if (!pageInRange(n) || cancelled_)
                    continue;
                if (status_ != QRPrinterStatus::Ready || n > storedPageCount())
                    break;
                progress->SetPosition(n);
                platform::Canvas& canvas = printer_.canvas();
                canvas.saveState();
                setCurrentPageNumber(n);
                const platform::Rect area{0, 0, printer_.deviceCaps(platform::HORZRES),
                                          printer_.deviceCaps(platform::VERTRES)};
                try {
                    canvas.drawMetafile(area, pages_[static_cast<std::size_t>(n - 1)]);
                } catch (...) {
                    canvas.restoreState();
                    throw;
                }
                canvas.restoreState();
                if (n < lastPage)
                    printer_.newPage();
            }

            if (cancelled_) {
                printer_.abort();
                if (printer_.printing())
                    printer_.endDoc();
            } else {
                printer_.endDoc();
            }
        }
    } catch (...) {
        // A job that failed half-way is not left open for the next one to trip over.
        try {
            if (printer_.printing())
                printer_.abort();
        } catch (...) {
        }
        setCurrentPageNumber(shownPage);
        throw;
    }
    setCurrentPageNumber(shownPage);
}

// ---- The program's one page store

int screenPixelsPerInch()
{
    if (QCoreApplication::instance() && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            return std::max(1, platform::roundHalfEven(screen->logicalDotsPerInch()));
    }
    return platform::kDesignPixelsPerInch;
}

TQRPrinter& createQRPrinter(QObject* application)
{
    delete programPageStore().data();
    auto* store = new TQRPrinter(platform::Printer(), screenPixelsPerInch(), application);
    programPageStore() = store;
    return *store;
}

TQRPrinter& QRPrinter()
{
    if (!programPageStore())
        throw std::logic_error("The report engine's page store has not been created");
    return *programPageStore();
}

bool hasQRPrinter()
{
    return !programPageStore().isNull();
}
