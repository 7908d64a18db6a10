#include "app/application_start.h"

#include "app/main_window.h"
#include "pages/page_forms.h"
#include "platform/application.h"
#include "platform/error_box.h"
#include "report/qr_printer.h"

#include <QApplication>

#include <exception>

namespace {
const QString kApplicationTitle = QStringLiteral("FStellaro");
} // namespace

int runStellaro(int /*argc*/, char** argv)
{
    // The GUI framework; the command line beyond the program's own name is
    // not read.
    platform::Application application(argv && argv[0] ? argv[0] : "stellaro", kApplicationTitle);

    try {
        // The page store first: every report on a form relies on it.
        createQRPrinter(qApp);

        platform::setApplicationTitle(kApplicationTitle);

        // The forms, in this order; the main window's creation handler runs
        // before the page forms exist.
        FForm1 = new TFForm1;
        application.adopt([] { delete FForm1; FForm1 = nullptr; });
        application.setMainWindow(FForm1);
        application.adopt([] { destroyPageForms(); });
        createForm2();
        createFFormM();
    } catch (const std::exception& e) {
        // A form that cannot be built ends the program before the message loop.
        platform::showErrorBox(QString::fromUtf8(e.what()));
        return 1;
    }

    return application.run();
}
