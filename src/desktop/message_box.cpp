#include "desktop/message_box.h"

#include "desktop/application.h"

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

void setMessageBoxHook(std::function<void(const QString&)> h)
{
    hook() = std::move(h);
}

void showMessage(const QString& text)
{
    if (hook()) {
        hook()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace platform
