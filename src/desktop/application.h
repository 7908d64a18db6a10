// The application object: names the running program, owns the forms and the
// report engine's page store, and runs the message loop until the main window
// closes.
//
// The program takes no command line: Qt sees only the program's own name.
// The title ("FStellaro") is what the desktop lists the running program under
// (X11 WM_CLASS, desktop file name) and the caption of the error and message
// boxes. It is deliberately not Qt's application *display* name: Qt appends a
// display name to every window title, and the main window's caption must read
// exactly as designed.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QApplication;
class QWidget;

namespace desktop {

// The program's title: its X11 class, desktop file name and error-box caption.
inline constexpr char kApplicationTitle[] = "FStellaro";

// The application title; before setApplicationTitle, Qt's application name.
QString applicationTitle();

// Sets the title (Qt's application name and desktop file name).
void setApplicationTitle(const QString& title);

// Lets pending window messages through (long report operations call this
// between bands and pages, so the windows stay alive).
void processMessages();

class Application {
public:
    // Prepares the GUI framework. `programPath` is argv[0]; nothing else of the
    // command line is looked at. `x11InstanceName` becomes the first half of
    // the X11 WM_CLASS (the second half is the title) and must be known before
    // Qt connects to the display.
    Application(const char* programPath, const QString& x11InstanceName);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Takes ownership of something created at start-up: `destroy` runs when the
    // application ends, in the reverse order of adoption (forms before the page
    // store that their reports rely on).
    void adopt(std::function<void()> destroy);

    // The first form adopted through setMainWindow becomes the main window:
    // closing it ends the message loop.
    void setMainWindow(QWidget* window);
    QWidget* mainWindow() const { return mainWindow_; }

    // Shows the main window as its design says and runs the message loop until
    // the main window closes. Returns the exit code (0).
    int run();

private:
    int argc_ = 1;
    std::vector<char> programPath_;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> app_;
    std::vector<std::function<void()>> owned_;
    QWidget* mainWindow_ = nullptr;
    class CloseWatch;
    std::unique_ptr<CloseWatch> closeWatch_;
};

} // namespace desktop
