// Saving the page store's pages to a report file and loading them back
// (TQRPrinter::Save and TQRPrinter::Load are defined in report_file.cpp).
//
// Save never destroys what was there: it writes a temporary file beside the
// target and puts it in place only when every page is written, so a failed or
// cancelled save leaves an earlier file as it was and no partial file behind.
//
// Load reads and checks the whole file before it touches the page store: a
// damaged file (short header, page count below 1 or above the pages present, a
// page that is no valid metafile, a page cut short) raises ReportFileError and
// leaves the store's pages, sizes and orientation exactly as they were.
#pragma once

#include "report/report_file_format.h"

#include <QString>

#include <cstdint>
#include <span>

namespace report {

// Filter of both report-file dialogs (string 65024) and the save dialog's extension.
inline constexpr const char* kReportFileFilter = "PageReport files|*.QRP";
inline constexpr const char* kReportFileExtension = "QRP";
// Progress texts (strings 65029 and 65030).
inline constexpr const char* kSavingReport = "Saving report";
inline constexpr const char* kLoadingReport = "Loading report";
// A report file is saved or loaded already (a second one was asked for meanwhile).
inline constexpr const char* kFileOperationRunning = "A report file is being saved or loaded";

// The full check a page passes before it is accepted from a file: the EMF player's
// validation. Throws ReportFileError("Metafile is not valid") on any damage.
void validateReportPage(std::span<const std::uint8_t> metafile);

// True while a Save or Load runs (pending messages are processed meanwhile).
bool reportFileOperationRunning();

} // namespace report
