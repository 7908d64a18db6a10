#include "report_windows/report_file_dialogs.h"

#include "report/report_file.h"

namespace report {

platform::FileDialogOptions saveReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString::fromLatin1(kReportFileExtension), true};
}

platform::FileDialogOptions openReportDialogOptions()
{
    return {QString::fromLatin1(kReportFileFilter), QString(), false};
}

} // namespace report
