#include "desktop/application.h"

#include "desktop/handler.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <cstring>

namespace desktop {

namespace {
QString& titleStore()
{
    static QString title;
    return title;
}
} // namespace

QString applicationTitle()
{
    const QString& t = titleStore();
    return t.isEmpty() ? QCoreApplication::applicationName() : t;
}

void setApplicationTitle(const QString& title)
{
    titleStore() = title;
    QCoreApplication::setApplicationName(title);
    QGuiApplication::setDesktopFileName(title);
}

void processMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Ends the message loop once the main window has really closed: a close event
// that the window accepted is followed by its hiding; a refused one is not.
class Application::CloseWatch : public QObject {
public:
    explicit CloseWatch(QWidget* window) : window_(window) { window->installEventFilter(this); }
    ~CloseWatch() override
    {
        if (window_)
            window_->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_)
            return false;
        if (event->type() == QEvent::Close)
            closing_ = true;
        else if (event->type() == QEvent::Hide && closing_ && !event->spontaneous())
            QCoreApplication::quit();
        else if (event->type() == QEvent::Show)
            closing_ = false;
        return false;
    }

private:
    QPointer<QWidget> window_;
    bool closing_ = false;
};

Application::Application(const char* programPath, const QString& x11InstanceName)
{
    const char* path = programPath ? programPath : "stellaro";
    programPath_.assign(path, path + std::strlen(path) + 1);
    argv_[0] = programPath_.data();
    // Qt's X11 support takes the instance half of WM_CLASS from here; this is
    // the only way to set it without passing options on the command line.
    qputenv("RESOURCE_NAME", x11InstanceName.toLocal8Bit());
    app_ = std::make_unique<QApplication>(argc_, argv_);
    // The main window's close ends the loop, not the last window closing (the
    // page forms are never shown, and a progress window may outlive the rest).
    app_->setQuitOnLastWindowClosed(false);
}

Application::~Application()
{
    closeWatch_.reset();
    while (!owned_.empty()) {
        auto destroy = std::move(owned_.back());
        owned_.pop_back();
        if (destroy)
            destroy();
    }
    app_.reset();
}

void Application::adopt(std::function<void()> destroy)
{
    owned_.push_back(std::move(destroy));
}

void Application::setMainWindow(QWidget* window)
{
    if (mainWindow_)
        return;
    mainWindow_ = window;
    closeWatch_ = std::make_unique<CloseWatch>(window);
}

int Application::run()
{
    if (!mainWindow_)
        return 0;
    mainWindow_->show();
    QApplication::exec();
    return 0;
}

} // namespace desktop
