#include "desktop/printer_system.h"

#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "desktop/user_interface.h"
#include "platform/text_file.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <cmath>
#include <vector>

namespace desktop {

using namespace platform;

namespace {

struct PaperCode {
    int code;
    QPageSize::PageSizeId id;
};

// The device mode's paper codes and Qt's sizes for them.
constexpr PaperCode kPaperCodes[] = {
    {paper_code::letter, QPageSize::Letter},
    {paper_code::legal, QPageSize::Legal},
    {paper_code::a3, QPageSize::A3},
    {paper_code::a4, QPageSize::A4},
    {paper_code::a5, QPageSize::A5},
};
constexpr int kCustomPaperCode = paper_code::custom;

// Resolution asked of Qt's printer; CUPS may answer with the device's own.
constexpr int kPdfResolution = 600;

EPrinter printerError(const char* text)
{
    return EPrinter(QString::fromLatin1(text));
}

bool schedulerRunning()
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

bool queueExists(const QString& printer)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toLocal8Bit().constData(), nullptr);
    cupsFreeDests(dest ? 1 : 0, dest);
    return dest != nullptr;
}

// What the printing system answered, in the user's words. libcups reports a
// missing queue and a scheduler that is not running alike, so both are asked
// about again.
EPrinter cupsRefusal(const QString& printer)
{
    const ipp_status_t status = cupsLastError();
    const QString detail = QString::fromUtf8(cupsLastErrorString());
    QString reason;
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) {
        reason = QStringLiteral("the printer is not accepting jobs");
    } else if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || !schedulerRunning()) {
        reason = QStringLiteral("the printing system is not running");
    } else if (status == IPP_STATUS_ERROR_NOT_FOUND || !queueExists(printer)) {
        reason = QStringLiteral("the printer no longer exists");
    } else {
        reason = QStringLiteral("the printing system refused the job (%1)").arg(detail);
    }
    return EPrinter(QStringLiteral("Cannot print on \"%1\": %2").arg(printer, reason));
}

// Hands a PDF document to a CUPS queue as one job, with the sheet it was laid
// out for, and checks every answer: a job the scheduler refuses must never look
// printed.
void sendToCups(const QString& printer, const QString& title, const QPageLayout& layout, const QByteArray& pdf)
{
    const QByteArray name = printer.toLocal8Bit();
    const QByteArray jobTitle = title.toLocal8Bit();
    const QByteArray media = layout.pageSize().key().toLocal8Bit();
    cups_option_t* options = nullptr;
    int count = cupsAddOption("media", media.constData(), 0, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);
    if (layout.orientation() == QPageLayout::Landscape)
        count = cupsAddOption("landscape", "", count, &options);

    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        throw cupsRefusal(printer);
    bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF,
                                  1) == HTTP_STATUS_CONTINUE &&
                cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<std::size_t>(pdf.size())) ==
                    HTTP_STATUS_CONTINUE;
    // The document must be finished even after a failed write, to end the request.
    sent = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) == IPP_STATUS_OK && sent;
    if (!sent) {
        const EPrinter refusal = cupsRefusal(printer);
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        throw refusal;
    }
}

class SystemPrinter final : public TPrinter {
public:
    SystemPrinter();
    ~SystemPrinter() override;

    QStringList printers() const override;
    void refreshPrinters() override;
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
        // The queue's default paper is asked of CUPS (a PPD fetch per queue)
        // only when the queue is first used, not for every queue at start-up.
        bool paperRead = false;
        QPageSize defaultPaper;
        DeviceMode mode;
    };

    Entry& selected();
    static void readDefaultPaper(Entry& e);
    QPrinter& device();
    int readPrinters();
    void buildDevice();
    void applySettings();
    void closePage();
    QByteArray renderPdf();
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
    index_ = readPrinters();
    buildDevice();
}

int SystemPrinter::readPrinters()
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    std::vector<Entry> entries;
    for (const QString& name : names) {
        Entry e;
        e.name = name;
        entries.push_back(e);
    }
    Entry pdf;
    pdf.name = QString::fromLatin1(printToPdfName);
    pdf.builtInPdf = true;
    entries.push_back(pdf);

    for (Entry& e : entries) {
        e.mode.fields = dm_field::all;
        e.mode.orientation = dmOrientPortrait;
        // A printer read before keeps what the user set for it.
        for (const Entry& known : entries_)
            if (known.name == e.name && known.builtInPdf == e.builtInPdf)
                e = known;
    }
    entries_ = std::move(entries);

    // CUPS's default queue; else the first queue (a lone queue is what the user
    // means); else the built-in PDF printer, which is always there.
    const int i = static_cast<int>(names.indexOf(QPrinterInfo::defaultPrinterName()));
    return i >= 0 ? i : 0;
}

void SystemPrinter::refreshPrinters()
{
    if (printing_)
        return;
    const QString current = selected().name;
    const bool currentIsPdf = selected().builtInPdf;
    const int fallback = readPrinters();
    index_ = fallback;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == current && entries_[i].builtInPdf == currentIsPdf)
            index_ = static_cast<int>(i);
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
    Entry& e = entries_[static_cast<std::size_t>(index_)];
    readDefaultPaper(e);
    return e;
}

// A queue starts with its own default paper (A4 for the PDF printer, and for a
// queue that names none).
void SystemPrinter::readDefaultPaper(Entry& e)
{
    if (e.paperRead)
        return;
    if (!e.builtInPdf)
        e.defaultPaper = QPrinterInfo::printerInfo(e.name).defaultPageSize();
    if (!e.defaultPaper.isValid())
        e.defaultPaper = QPageSize(QPageSize::A4);
    setPaperFields(e.mode, e.defaultPaper);
    e.paperRead = true;
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
        const std::optional<QString> name = userInterface().pdfFileName(title_);
        if (name && !name->isEmpty()) {
            outputFile_ = *name;
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

QByteArray SystemPrinter::renderPdf()
{
    // The same PDF that Qt's printer would make for this sheet, but in memory, so
    // that its delivery (a file, a CUPS job) can be checked step by step.
    const QPrinter& p = *device_;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setResolution(p.resolution());
    writer.setPageLayout(p.pageLayout());
    writer.setTitle(title_);
    writer.setCreator(QStringLiteral("Stellaro"));
    QPainter painter;
    if (!painter.begin(&writer))
        throw printerError(printer_text::notValid);
    QPainterCanvas canvas(painter, writer.resolution());
    const Rect area{0, 0, p.width(), p.height()};
    for (std::size_t i = 0; i < jobPages_.size(); ++i) {
        if (i > 0 && !writer.newPage())
            throw printerError(printer_text::notValid);
        if (!jobPages_[i].isEmpty())
            playEmf(jobPages_[i], canvas, area);
    }
    painter.end();
    return out.data();
}

void SystemPrinter::submitJob()
{
    const QByteArray pdf = renderPdf();
    if (!selected().builtInPdf) {
        sendToCups(selected().name, title_, device_->pageLayout(), pdf);
        return;
    }
    // Written beside the target and renamed over it only when complete: a full
    // disk leaves the old file as it was and no partial file behind.
    try {
        replaceFileContents(QFile::encodeName(outputFile_).toStdString(),
                            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    } catch (const FileError& e) {
        throw EPrinter(QStringLiteral("The PDF file could not be written: %1").arg(QString::fromUtf8(e.what())));
    }
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

void useSystemPrinter()
{
    setPrinterFactory(createSystemPrinter);
}

} // namespace desktop
