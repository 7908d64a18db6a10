#include "platform/printer_system.h"

#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/file_dialogs.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <vector>

namespace platform {

namespace {

struct PaperCode {
    int code;
    QPageSize::PageSizeId id;
};

// The device mode's paper codes and Qt's sizes for them.
constexpr PaperCode kPaperCodes[] = {
    {1, QPageSize::Letter},
    {5, QPageSize::Legal},
    {8, QPageSize::A3},
    {9, QPageSize::A4},
    {11, QPageSize::A5},
};
constexpr int kCustomPaperCode = 256;

// Resolution asked of Qt's printer; CUPS may answer with the device's own.
constexpr int kPdfResolution = 600;

PdfFileNameAsker& pdfFileNameHook()
{
    static PdfFileNameAsker hook;
    return hook;
}

std::optional<QString> askPdfFileName(const QString& jobTitle)
{
    if (pdfFileNameHook())
        return pdfFileNameHook()(jobTitle);
    FileDialogOptions options;
    options.filter = QStringLiteral("PDF files|*.pdf");
    options.defaultExtension = QStringLiteral("pdf");
    options.overwritePrompt = true;
    return runSaveDialog(nullptr, options);
}

EPrinter printerError(const char* text)
{
    return EPrinter(QString::fromLatin1(text));
}

class SystemPrinter final : public TPrinter {
public:
    SystemPrinter();
    ~SystemPrinter() override;

    QStringList printers() const override;
    int printerIndex() const override { return index_; }
    void setPrinterIndex(int index) override;
    PrinterIdentity getPrinter() override;
    DeviceMode* lockDeviceMode() override;
    void unlockDeviceMode() override;
    TPrinterOrientation orientation() const override;
    void setOrientation(TPrinterOrientation orientation) override;
    QString title() const override { return title_; }
    void setTitle(const QString& title) override { title_ = title; }
    bool printing() const override { return printing_; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abort() override;
    Canvas& canvas() override;
    int deviceCaps(int index) override;
    bool querySupported(int query) override;
    QPoint queryPoint(int query) override;

private:
    struct Entry {
        QString name;
        bool builtInPdf = false;
        QPageSize defaultPaper;
        DeviceMode mode;
    };

    Entry& selected();
    QPrinter& device();
    void buildDevice();
    void applySettings();
    void closePage();
    void submitJob();
    void closeJob();

    std::vector<Entry> entries_;
    int index_ = -1;
    std::unique_ptr<QPrinter> device_;
    QString title_;

    bool printing_ = false;
    bool discard_ = false;   // "Print to PDF" without a file name: the job goes nowhere
    QString outputFile_;
    // The job's pages, recorded in printer pixels and sent to the printer only by
    // endDoc: Qt cannot take back a CUPS job once painting has begun, so an
    // aborted job must never have reached it. An empty page was never drawn on.
    std::vector<QByteArray> jobPages_;
    std::unique_ptr<EmfRecorder> page_;
    bool drewAnything_ = false;
};

SystemPrinter::SystemPrinter()
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    const QString cupsDefault = QPrinterInfo::defaultPrinterName();
    for (const QString& name : names) {
        Entry e;
        e.name = name;
        e.defaultPaper = QPrinterInfo::printerInfo(name).defaultPageSize();
        if (!e.defaultPaper.isValid())
            e.defaultPaper = QPageSize(QPageSize::A4);
        entries_.push_back(e);
    }
    Entry pdf;
    pdf.name = QString::fromLatin1(printToPdfName);
    pdf.builtInPdf = true;
    pdf.defaultPaper = QPageSize(QPageSize::A4);
    entries_.push_back(pdf);

    for (Entry& e : entries_) {
        e.mode.fields = dm_field::all;
        e.mode.orientation = dmOrientPortrait;
        setPaperFields(e.mode, e.defaultPaper);
    }

    // CUPS's default queue; else the first queue (a lone queue is what the user
    // means); else the built-in PDF printer, which is always there.
    index_ = 0;
    if (!cupsDefault.isEmpty()) {
        const int i = static_cast<int>(names.indexOf(cupsDefault));
        if (i >= 0)
            index_ = i;
    }
    buildDevice();
}

SystemPrinter::~SystemPrinter() = default;

QStringList SystemPrinter::printers() const
{
    QStringList names;
    for (const Entry& e : entries_)
        names << e.name;
    return names;
}

SystemPrinter::Entry& SystemPrinter::selected()
{
    if (index_ < 0 || index_ >= static_cast<int>(entries_.size()))
        throw printerError(printer_text::noDefaultPrinter);
    return entries_[static_cast<std::size_t>(index_)];
}

QPrinter& SystemPrinter::device()
{
    if (!device_)
        buildDevice();
    return *device_;
}

void SystemPrinter::setPrinterIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(entries_.size()))
        throw printerError(printer_text::indexOutOfRange);
    if (printing_)
        throw printerError(printer_text::printingInProgress);
    index_ = index == -1 ? 0 : index;
    buildDevice();
}

void SystemPrinter::buildDevice()
{
    const Entry& e = selected();
    device_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (e.builtInPdf) {
        device_->setOutputFormat(QPrinter::PdfFormat);
        device_->setResolution(kPdfResolution);
    } else {
        device_->setPrinterName(e.name);
    }
    device_->setFullPage(false);
    applySettings();
}

void SystemPrinter::applySettings()
{
    const Entry& e = selected();
    QPrinter& p = *device_;
    QPageSize size = pageSizeForPaperCode(e.mode.paperSize, e.mode.paperWidth, e.mode.paperLength);
    if (!size.isValid())
        size = e.defaultPaper;
    const auto orientation =
        e.mode.orientation == dmOrientLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    // Orientation and paper go in together: set one at a time, Qt checks the
    // margins of an in-between layout that nobody asked for.
    QPageLayout layout = p.pageLayout();
    layout.setOrientation(orientation);
    layout.setPageSize(size, layout.minimumMargins());
    if (!p.setPageLayout(layout)) {
        p.setPageSize(size);
        p.setPageOrientation(orientation);
    }
}

PrinterIdentity SystemPrinter::getPrinter()
{
    const Entry& e = selected();
    PrinterIdentity id;
    id.device = e.name;
    id.driver = e.builtInPdf ? QStringLiteral("pdf") : QStringLiteral("cups");
    id.port = e.builtInPdf ? QStringLiteral("FILE:") : QStringLiteral("cups:") + e.name;
    id.hasDeviceMode = true;
    return id;
}

DeviceMode* SystemPrinter::lockDeviceMode()
{
    return &selected().mode;
}

void SystemPrinter::unlockDeviceMode()
{
    // The printer's settings cannot change under a running job; the new ones
    // reach it with the next job.
    if (!printing_)
        applySettings();
}

TPrinterOrientation SystemPrinter::orientation() const
{
    if (index_ < 0 || index_ >= static_cast<int>(entries_.size()))
        return poPortrait;
    return entries_[static_cast<std::size_t>(index_)].mode.orientation == dmOrientLandscape ? poLandscape
                                                                                          : poPortrait;
}

void SystemPrinter::setOrientation(TPrinterOrientation orientation)
{
    if (printing_)
        throw printerError(printer_text::printingInProgress);
    selected().mode.orientation = orientation == poLandscape ? dmOrientLandscape : dmOrientPortrait;
    applySettings();
}

void SystemPrinter::beginDoc()
{
    if (printing_)
        throw printerError(printer_text::printingInProgress);
    const Entry& e = selected();
    QPrinter& p = device();
    applySettings();
    p.setDocName(title_);
    discard_ = false;
    outputFile_.clear();
    if (e.builtInPdf) {
        const std::optional<QString> name = askPdfFileName(title_);
        if (name && !name->isEmpty()) {
            outputFile_ = *name;
            p.setOutputFileName(outputFile_);
        } else {
            discard_ = true;
        }
    }
    printing_ = true;
}

void SystemPrinter::closePage()
{
    jobPages_.push_back(page_ ? page_->finish() : QByteArray());
    page_.reset();
}

void SystemPrinter::newPage()
{
    if (!printing_)
        throw printerError(printer_text::notPrinting);
    closePage();
}

void SystemPrinter::closeJob()
{
    page_.reset();
    jobPages_.clear();
    drewAnything_ = false;
    printing_ = false;
}

void SystemPrinter::submitJob()
{
    QPrinter& p = *device_;
    QPainter painter;
    if (!painter.begin(&p)) {
        if (!outputFile_.isEmpty())
            throw EPrinter(QStringLiteral("Cannot create file %1").arg(outputFile_));
        throw printerError(printer_text::notValid);
    }
    QPainterCanvas canvas(painter, p.resolution());
    const Rect area{0, 0, p.width(), p.height()};
    for (std::size_t i = 0; i < jobPages_.size(); ++i) {
        if (i > 0 && !p.newPage())
            throw printerError(printer_text::notValid);
        if (!jobPages_[i].isEmpty())
            playEmf(jobPages_[i], canvas, area);
    }
    painter.end();
    if (p.printerState() == QPrinter::Error)
        throw printerError(printer_text::notValid);
}

void SystemPrinter::endDoc()
{
    if (!printing_)
        throw printerError(printer_text::notPrinting);
    closePage();
    const bool send = drewAnything_ && !discard_;
    try {
        if (send)
            submitJob();
    } catch (...) {
        closeJob();
        throw;
    }
    closeJob();
}

void SystemPrinter::abort()
{
    closeJob();
}

Canvas& SystemPrinter::canvas()
{
    if (!printing_)
        throw printerError(printer_text::notPrinting);
    if (!page_) {
        QPrinter& p = device();
        page_ = std::make_unique<EmfRecorder>(std::max(p.width(), 1), std::max(p.height(), 1), p.resolution());
        drewAnything_ = true;
    }
    return *page_;
}

int SystemPrinter::deviceCaps(int index)
{
    QPrinter& p = device();
    switch (index) {
    case HORZRES: return p.width();
    case VERTRES: return p.height();
    case LOGPIXELSX: return p.logicalDpiX();
    case LOGPIXELSY: return p.logicalDpiY();
    default: return 0;
    }
}

bool SystemPrinter::querySupported(int query)
{
    return query == GETPRINTINGOFFSET || query == GETPHYSPAGESIZE || query == QUERYESCSUPPORT;
}

QPoint SystemPrinter::queryPoint(int query)
{
    QPrinter& p = device();
    if (query == GETPRINTINGOFFSET) {
        const QRectF r = p.pageRect(QPrinter::DevicePixel);
        return {static_cast<int>(std::lround(r.left())), static_cast<int>(std::lround(r.top()))};
    }
    if (query == GETPHYSPAGESIZE) {
        const QRectF r = p.paperRect(QPrinter::DevicePixel);
        return {static_cast<int>(std::lround(r.width())), static_cast<int>(std::lround(r.height()))};
    }
    return {};
}

} // namespace

QPageSize pageSizeForPaperCode(int paperCode, int widthTenthsMm, int lengthTenthsMm)
{
    for (const PaperCode& p : kPaperCodes)
        if (p.code == paperCode)
            return QPageSize(p.id);
    if (paperCode == kCustomPaperCode && widthTenthsMm > 0 && lengthTenthsMm > 0)
        return QPageSize(QSizeF(widthTenthsMm / 10.0, lengthTenthsMm / 10.0), QPageSize::Millimeter,
                         QStringLiteral("Custom"), QPageSize::ExactMatch);
    return QPageSize();
}

void setPaperFields(DeviceMode& mode, const QPageSize& size)
{
    for (const PaperCode& p : kPaperCodes) {
        if (p.id == size.id()) {
            mode.paperSize = p.code;
            mode.paperWidth = 0;
            mode.paperLength = 0;
            return;
        }
    }
    const QSizeF mm = size.size(QPageSize::Millimeter);
    mode.paperSize = kCustomPaperCode;
    mode.paperWidth = static_cast<int>(std::lround(mm.width() * 10));
    mode.paperLength = static_cast<int>(std::lround(mm.height() * 10));
}

std::unique_ptr<TPrinter> createSystemPrinter()
{
    return std::make_unique<SystemPrinter>();
}

void setPdfFileNameHook(PdfFileNameAsker hook)
{
    pdfFileNameHook() = std::move(hook);
}

} // namespace platform
