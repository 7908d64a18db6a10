#include "report_windows/report_file_dialogs.h"

#include "report/report_file.h"

namespace report {

desktop::FileDialogOptions saveReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString::fromLatin1(kReportFileExtension), true};
}

desktop::FileDialogOptions openReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString(), false};
}

} // namespace report
