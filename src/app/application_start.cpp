#include "app/application_start.h"

#include <QApplication>
#include <QLabel>

// Placeholder until the main window lands.
int runStellaro(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Stellaro Ver 1.04"));
    label.show();
    return app.exec();
}
