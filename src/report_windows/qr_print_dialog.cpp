// The print dialog that a report with DisplayPrintDialog shows before printing:
// Qt's own, so a printer chosen there does not reach the program's printer.
#include "report/engine_windows.h"

#include <QPrintDialog>
#include <QPrinter>

std::optional<report::PrintDialogChoice> runReportPrintDialog(int maxPage)
{
    QPrinter printer;
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                      | QAbstractPrintDialog::PrintSelection);
    dialog.setMinMax(1, maxPage);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    report::PrintDialogChoice choice;
    if (printer.printRange() == QPrinter::PageRange) {
        choice.fromPage = printer.fromPage();
        choice.toPage = printer.toPage();
    }
    choice.printToFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    return choice;
}
