#include "platform/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {
std::function<void(const QString&)>& hook()
{
    static std::function<void(const QString&)> h;
    return h;
}
} // namespace

QString errorBoxText(const QString& message)
{
    return message + QLatin1Char('.');
}

void setErrorBoxHook(std::function<void(const QString&)> h)
{
    hook() = std::move(h);
}

void showErrorBox(const QString& message)
{
    const QString text = errorBoxText(message);
    if (hook()) {
        hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("FStellaro"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace platform
