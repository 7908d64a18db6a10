#include "app/application_start.h"

#include "app/main_window.h"
#include "cli/batch.h"
#include "cli/command_line.h"
#include "pages/page_forms.h"
#include "desktop/application.h"
#include "desktop/error_box.h"
#include "desktop/handler.h"
#include "desktop/printer_system.h"
#include "report/qr_printer.h"
#include "report_windows/install.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <thread>

namespace app {

namespace {

// Started from the desktop menu the program has no folder of its own to work
// in: it uses $XDG_DATA_HOME/stellaro, so detail.fdg never lands in the home
// folder or somewhere the user cannot write.
void enterDataFolder()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/stellaro");
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder))
        throw std::runtime_error(QStringLiteral("Cannot work in the data folder %1").arg(folder).toStdString());
}

// A report file named on the command line opens in the preview, over the main
// window, as after Preview; closing the preview discards its pages.
void openInPreview(const QString& file)
{
    desktop::runHandler([&] {
        TQRPrinter& store = QRPrinter();
        if (store.status() != QRPrinterStatus::Idle)
            return;
        try {
            store.Load(file);
            store.Preview();
        } catch (...) {
            store.Cleanup();
            throw;
        }
        store.Cleanup();
    });
}

int runWindow(char* programPath, const cli::GuiCommand& command)
{
    desktop::Application application(programPath, QString::fromLatin1(desktop::kApplicationTitle));

    // The font configuration (some 10 ms of reading) is loaded on a second
    // thread while this one waits for the printing system, which answers the
    // page store's first questions; the forms need both. Qt's font database
    // is safe to fill from any thread.
    std::jthread fontWarmUp([] { QFontDatabase::families(); });
    try {
        if (command.dataFolder)
            enterDataFolder();

        // The real printers and the report engine's windows, then the page
        // store: every report on a form relies on it.
        desktop::useSystemPrinter();
        report::installReportWindows();
        createQRPrinter(qApp);

        desktop::setApplicationTitle(QString::fromLatin1(desktop::kApplicationTitle));

        fontWarmUp.join();
        // The forms, in this order; the main window's creation handler runs
        // before the page forms exist.
        FForm1 = new TFForm1;
        application.adopt([] { delete FForm1; FForm1 = nullptr; });
        application.setMainWindow(FForm1);
        application.adopt([] { destroyPageForms(); });
        createForm2();
        createFFormM();
    } catch (const std::exception& e) {
        // A form that cannot be built ends the program before the message loop.
        desktop::showErrorBox(QString::fromUtf8(e.what()));
        return 1;
    }

    if (!command.reportFile.isEmpty())
        QTimer::singleShot(0, qApp, [file = command.reportFile] { openInPreview(file); });
    return application.run();
}

} // namespace

int runStellaro(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    char* programPath = argc > 0 && argv[0] ? argv[0] : const_cast<char*>("stellaro");

    const cli::Command command = cli::parseCommandLine(args);
    if (const auto* gui = std::get_if<cli::GuiCommand>(&command))
        return runWindow(programPath, *gui);
    if (const auto* help = std::get_if<cli::HelpCommand>(&command)) {
        std::fputs(help->text.toLocal8Bit().constData(), stdout);
        return cli::kExitOk;
    }
    if (std::holds_alternative<cli::VersionCommand>(command)) {
        std::fputs(cli::versionText().toLocal8Bit().constData(), stdout);
        return cli::kExitOk;
    }
    if (const auto* usage = std::get_if<cli::UsageError>(&command)) {
        std::fprintf(stderr, "stellaro: %s\nTry 'stellaro --help' for more information.\n",
                     usage->message.toLocal8Bit().constData());
        return cli::kExitUsage;
    }
    return cli::runWithoutWindow(argc, argv, command);
}

} // namespace app
