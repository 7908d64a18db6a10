// Drawing of report parts onto the open page of the page store. A band draws
// itself (TQRBand::print) and its controls (printAt); the page frame is drawn
// by the run once on every page.
#pragma once

class TPageReport;

// Lines of the report's PageFrame around the printable area of the open page,
// ignoring the margins.
namespace report {

void drawPageFrame(TPageReport& report);

} // namespace report
