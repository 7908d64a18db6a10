#include "report/report_file.h"

#include "platform/emf_player.h"
#include "report/qr_printer.h"
#include "report/qr_progress_form.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>

namespace report {

namespace {

bool operationRunning = false;

// Marks a save or load as running; a second one meanwhile is refused.
class OperationGuard {
public:
    OperationGuard()
    {
        if (operationRunning)
            throw ReportFileError(kFileOperationRunning);
        operationRunning = true;
    }
    ~OperationGuard() { operationRunning = false; }
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;
};

[[noreturn]] void failWith(const QString& message)
{
    throw ReportFileError(message.toStdString());
}

std::unique_ptr<TQRProgressForm> makeProgress(TQRPrinter& store, int pages, const char* text)
{
    auto progress = std::make_unique<TQRProgressForm>(store, QCoreApplication::instance());
    progress->SetMax(pages);
    if (store.showProgress())
        progress->Show();
    progress->SetText(QString::fromLatin1(text));
    return progress;
}

} // namespace

platform::FileDialogOptions saveReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString::fromLatin1(kReportFileExtension), true};
}

platform::FileDialogOptions openReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString(), false};
}

void validateReportPage(std::span<const std::uint8_t> metafile)
{
    try {
        platform::validateEmf(metafile.data(), metafile.size());
    } catch (const platform::EmfError&) {
        throw ReportFileError(kInvalidMetafile);
    }
}

bool reportFileOperationRunning()
{
    return operationRunning;
}

} // namespace report

using namespace report;

void TQRPrinter::Save(const QString& fileName)
{
    if (status() != QRPrinterStatus::Ready)
        return;
    OperationGuard running;
    setCancelled(false);

    // The pages go to a temporary file in the target's folder; only a complete file
    // replaces the target, in one rename.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::WriteOnly))
        failWith(cannotCreateMessage(fileName));

    const int pages = pageCount();
    auto progress = makeProgress(*this, pages, kSavingReport);

    ReportFileHeader header;
    header.printableHeight = printableHeight();
    header.printableWidth = printableWidth();
    header.pixelsPerInch = screenPixelsPerInch();
    header.pageCount = pages;
    header.savedAt = daysSince1899(QDateTime::currentDateTime());
    header.portrait = orientation() == platform::poPortrait;

    const bool complete = writeReportFile(
        file, header,
        [this](int i) {
            // Pending messages ran before this page: the pages must still be ours.
            if (status() != QRPrinterStatus::Ready || i > storedPageCount())
                throw ReportFileError(kStreamWriteError);
            return pageImage(i);
        },
        [&](int i) {
            QCoreApplication::processEvents();
            if (cancelled())
                return false;
            progress->SetPosition(i);
            return true;
        });
    progress.reset();

    if (!complete || cancelled()) {
        // Cancelled: the temporary file goes, whatever was there before stays.
        file.cancelWriting();
        return;
    }
    if (!file.commit())
        throw ReportFileError(kStreamWriteError);
}

void TQRPrinter::Load(const QString& fileName)
{
    OperationGuard running;
    setCancelled(false);

    QFile file(fileName);
    // Unbuffered: page records are read straight into their own buffers, not copied twice.
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        failWith(cannotOpenMessage(fileName));

    // Everything is read and checked first; the store changes only once the whole
    // file has proved sound, so a damaged file costs the pages shown nothing.
    std::unique_ptr<TQRProgressForm> progress;
    LoadedReportFile loaded = readReportFile(
        file, validateReportPage,
        [&](int i) {
            QCoreApplication::processEvents();
            progress->SetPosition(i);
            return true; // Cancel does not stop a load: every page is read
        },
        [&](const ReportFileHeader& h) { progress = makeProgress(*this, h.pageCount, kLoadingReport); });
    file.close();
    progress.reset();

    setOrientation(loaded.header.portrait ? platform::poPortrait : platform::poLandscape);
    adoptPages(std::move(loaded.pages), loaded.header.printableWidth, loaded.header.printableHeight);
}
