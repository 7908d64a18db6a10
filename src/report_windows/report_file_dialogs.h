// The file dialogs of report files: the preview's Save and Load buttons, and a
// report printed into a file.
#pragma once

#include "desktop/file_dialogs.h"

namespace report {

// The save dialog: the filter, default extension "QRP", and a prompt before replacing.
desktop::FileDialogOptions saveReportDialogOptions();
// The open dialog: the filter alone; it does not insist that the file exists.
desktop::FileDialogOptions openReportDialogOptions();

} // namespace report
