#include "report/report_file.h"

#include "platform/emf_player.h"
#include "platform/text_file.h"
#include "report/qr_printer.h"
#include "report/qr_progress_form.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

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

// 0 when `file` may be written, as far as can be told before writing; else the
// errno that says why not (a folder in its place, a missing or non-folder parent).
int unusableTarget(const std::filesystem::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return EISDIR;
    const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    if (::stat(dir.c_str(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

std::unique_ptr<TQRProgressForm> makeProgress(TQRPrinter& store, int pages, const char* text)
{
    auto progress = std::make_unique<TQRProgressForm>(store, nullptr);
    progress->SetMax(pages);
    if (store.showProgress())
        progress->Show();
    progress->SetText(QString::fromLatin1(text));
    return progress;
}

} // namespace

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

    // A place that cannot hold the file is refused before any work is done.
    const std::filesystem::path path(QFile::encodeName(fileName).toStdString());
    if (const int err = unusableTarget(path))
        failWith(QStringLiteral("%1 (%2)").arg(cannotCreateMessage(fileName), platform::systemErrorText(err)));

    const int pages = pageCount();
    auto progress = makeProgress(*this, pages, kSavingReport);

    ReportFileHeader header;
    header.printableHeight = printableHeight();
    header.printableWidth = printableWidth();
    header.pixelsPerInch = screenPixelsPerInch();
    header.pageCount = pages;
    header.savedAt = daysSince1899(QDateTime::currentDateTime());
    header.portrait = orientation() == platform::poPortrait;

    // The file is made in memory and written in one go, so that the system's
    // reason for a refused write reaches the user, and a temporary file beside the
    // target replaces it only when complete: a cancelled or failed save keeps
    // whatever was there before, and leaves no partial file.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
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
    if (!complete || cancelled())
        return;

    const QByteArray& bytes = file.data();
    try {
        platform::replaceFileContents(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const platform::FileError& e) {
        const int err = e.systemError();
        const QString cause = platform::systemErrorText(err);
        if (e.code() == platform::DiskFull || err == EIO)
            failWith(platform::withCause(QString::fromLatin1(kStreamWriteError), path, cause));
        failWith(QStringLiteral("%1 (%2)").arg(cannotCreateMessage(fileName), cause));
    }
}

void TQRPrinter::Load(const QString& fileName)
{
    OperationGuard running;
    setCancelled(false);

    QFile file(fileName);
    // Only a file: opening a named pipe would hold the window until something
    // wrote to it. Unbuffered: page records are read straight into their own
    // buffers, not copied twice.
    const QFileInfo info(fileName);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
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
