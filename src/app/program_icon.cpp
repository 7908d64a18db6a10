#include "app/program_icon.h"

#include <QSize>
#include <QString>

namespace app {

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/stellaro.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace app
