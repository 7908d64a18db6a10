// The program's real printer object: the CUPS queues that Qt's print support
// lists, followed by a built-in "Print to PDF" printer that asks for a file name
// when a job begins and writes a PDF. The default printer is CUPS's default
// queue; without one, the first CUPS queue; without any queue, "Print to PDF".
//
// Every printer keeps its own device mode (orientation, paper code, custom
// paper size: all four fields are taken). Unlocking the device mode applies
// orientation and paper to Qt's printer as one page layout, so the metrics read
// afterwards are those of the new sheet.
//
// A job's pages are recorded and reach the printer only when the job ends: an
// aborted job sends nothing (Qt cannot take back a CUPS job once it has begun
// painting), and a job that draws nothing (a print range without pages, a job
// cancelled before its first page) sends nothing and writes no file.
#pragma once

#include "platform/printer.h"

#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace desktop {

inline constexpr const char* printToPdfName = "Print to PDF";

std::unique_ptr<platform::TPrinter> createSystemPrinter();

// Makes the system printer the program's printer object (platform::Printer()),
// created on first use.
void useSystemPrinter();


// Qt's page size for a device-mode paper code (custom: width x length in tenths
// of a millimetre). Invalid for code 0 (the printer's own default), for codes it
// does not know and for a custom size with a side of 0 or less.
QPageSize pageSizeForPaperCode(int paperCode, int widthTenthsMm, int lengthTenthsMm);

// The device mode's paper fields for a Qt page size: a known paper code, or the
// custom code 256 with the size in tenths of a millimetre.
void setPaperFields(platform::DeviceMode& mode, const QPageSize& size);

} // namespace desktop
