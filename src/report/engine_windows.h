// What the report engine asks of the windows above it. The engine itself needs
// no widgets: it composes, stores, prints and files pages. The program's
// windows library installs the real windows once at start-up
// (report_windows/install.h); without them (the command line, the tools) the
// engine works silently: no progress window, no preview, and every dialog
// answers as if cancelled.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class TQRPrinter;

namespace report {

// The visible part of a progress window (TQRProgressForm keeps the figures).
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void show() = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setRange(int maximum) = 0; // bar from 0 to maximum (at least 1), at 0
    virtual void setValue(int value) = 0;
};

// What the print dialog of a report that asks for one answered.
struct PrintDialogChoice {
    int fromPage = 0;
    int toPage = 0;
    bool printToFile = false;
};

struct EngineWindows {
    // A progress window whose Cancel acts on the store.
    std::function<std::unique_ptr<ProgressView>(TQRPrinter& store)> progress;
    // Shows the store's pages, modally, until the user closes the window.
    std::function<void(TQRPrinter& store)> preview;
    // The print dialog (pages 1 to maxPage); nothing when cancelled.
    std::function<std::optional<PrintDialogChoice>(int maxPage)> printDialog;
    // A report file to print into; nothing when cancelled.
    std::function<std::optional<QString>()> reportFileToSave;
};

// Installs the windows (the program does it once, at start-up). Returns the
// ones installed before.
EngineWindows installEngineWindows(EngineWindows windows);
const EngineWindows& engineWindows();

} // namespace report
