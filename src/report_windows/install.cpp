#include "report_windows/install.h"

#include "desktop/file_dialogs.h"
#include "report/engine_windows.h"
#include "report_windows/progress_window.h"
#include "report_windows/report_file_dialogs.h"

#include <memory>

std::optional<report::PrintDialogChoice> runReportPrintDialog(int maxPage); // qr_print_dialog.cpp

namespace report {

void installReportWindows()
{
    EngineWindows windows;
    windows.progress = [](TQRPrinter& store) { return std::make_unique<ProgressWindow>(store); };
    windows.preview = showPreviewWindow;
    windows.printDialog = runReportPrintDialog;
    windows.reportFileToSave = [] { return desktop::runSaveDialog(nullptr, saveReportDialogOptions()); };
    installEngineWindows(std::move(windows));
}

} // namespace report
