// libFuzzer target: the report file loader, fed through the page store's own Load
// from an in-memory file. Whatever it accepts must then paint in the preview;
// whatever it refuses must leave the store's earlier pages exactly as they were.
#include "fuzz_qt.h"
#include "support/printer_fake.h"
#include "report_windows/qr_preview.h"
#include "report/qr_printer.h"
#include "report/report_file_format.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

struct World {
    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    QByteArray firstPage;
    int memfd = -1;
    QString path;
};

World* world = nullptr;

// A known one-page state that every refused file must leave untouched.
void resetStore(World& w)
{
    w.store->Cleanup();
    w.store->BeginDoc();
    w.store->canvas().setBrushColor(Qt::red);
    w.store->canvas().fillRect({1, 1, 50, 40});
    w.store->EndDoc();
    w.firstPage = w.store->pageImage(1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzing::quietQt();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit, the application would tear Qt down under the
    // store and the fake printer, which live on.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    world = new World;
    world->store = std::make_unique<TQRPrinter>(world->printer, 96);
    world->store->setShowProgress(false);
    world->memfd = memfd_create("qrp", 0);
    if (world->memfd < 0)
        std::abort();
    world->path = QStringLiteral("/proc/self/fd/%1").arg(world->memfd);
    resetStore(*world);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::letQtTidyUp();
    World& w = *world;
    w.printer.log.clear();  // the fake printer logs every call; a campaign's worth would fill the memory
    if (ftruncate(w.memfd, 0) != 0 || pwrite(w.memfd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    bool loaded = false;
    try {
        w.store->Load(w.path);
        loaded = true;
    } catch (const report::ReportFileError&) {
    } catch (const std::exception&) {
        std::abort(); // every refusal must be a report-file error with its message
    }

    if (!loaded) {
        // Refused: the earlier page is still there, untouched.
        if (w.store->status() != QRPrinterStatus::Ready || w.store->pageCount() != 1
            || w.store->pageImage(1) != w.firstPage)
            std::abort();
        return 0;
    }

    // Accepted: every page paints, small, through the preview's own painting.
    QImage image(64, 48, QImage::Format_RGB32);
    for (int i = 1; i <= w.store->pageCount() && i <= 4; ++i) {
        w.store->setCurrentPageNumber(i);
        QPainter painter(&image);
        report::paintPreviewPage(painter, *w.store, image.size(), 5);
    }
    resetStore(w);
    return 0;
}
