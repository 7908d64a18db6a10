// The report engine's windows: the progress window, the preview window, the
// report's print dialog and the dialog for printing into a report file.
#pragma once

class TQRPrinter;

namespace report {

// Hands the windows to the engine (report/engine_windows.h); the program does
// it once, at start-up, before any report runs.
void installReportWindows();

// Shows `store`'s pages in the preview window, modally (qr_preview.cpp).
void showPreviewWindow(TQRPrinter& store);

} // namespace report
