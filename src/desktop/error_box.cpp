#include "desktop/error_box.h"

#include "desktop/application.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

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
    // Also on standard error, as Linux programs report failures, so that a run
    // started from a terminal or a session log keeps what went wrong.
    std::fprintf(stderr, "stellaro: %s\n", text.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace platform
