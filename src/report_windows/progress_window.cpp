#include "report_windows/progress_window.h"

#include "report/qr_progress_form.h"

#include "desktop/handler.h"
#include "report/qr_printer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

struct Geometry {
    int left, top, width, height;
};

// The window's layout, in pixels.
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 140;
constexpr Geometry kLabel{20, 10, 360, 20};
constexpr Geometry kBar{20, 40, 360, 20};
constexpr Geometry kCancel{170, 75, 60, 26};
constexpr qint64 kActivationWaitMs = 500;

} // namespace

namespace report {

// A dialog-bordered window without border icons, whose Esc presses Cancel rather
// than closing it: the operation that owns the window decides when it goes.
class ProgressWindow::Window : public QDialog {
public:
    explicit Window(QPushButton*& cancel) : cancel_(cancel) {}

    void reject() override
    {
        if (cancel_ && cancel_->isEnabled())
            cancel_->click();
    }

private:
    QPushButton*& cancel_;
};

ProgressWindow::ProgressWindow(TQRPrinter& store)
{
    window_ = std::make_unique<Window>(cancel_);
    window_->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window_->setModal(false);
    window_->setWindowTitle(store.captionText());
    window_->setFixedSize(kWindowWidth, kWindowHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window_->move(area.left() + (area.width() - kWindowWidth) / 2,
                      area.top() + (area.height() - kWindowHeight) / 2);
    }

    // Created in tab order: the button first, so that it holds the focus.
    cancel_ = new QPushButton(QString::fromLatin1(qr_text::cancel), window_.get());
    cancel_->setGeometry(kCancel.left, kCancel.top, kCancel.width, kCancel.height);
    cancel_->setDefault(true);
    cancel_->setAutoDefault(true);
    QObject::connect(cancel_, &QPushButton::clicked, window_.get(),
                     desktop::handlerSlot([&store] { store.Cancel(); }));

    label_ = new QLabel(window_.get());
    label_->setGeometry(kLabel.left, kLabel.top, kLabel.width, kLabel.height);

    bar_ = new QProgressBar(window_.get());
    bar_->setGeometry(kBar.left, kBar.top, kBar.width, kBar.height);
    bar_->setTextVisible(false);
    bar_->setFocusPolicy(Qt::NoFocus);

    cancel_->setFocus();
}

ProgressWindow::~ProgressWindow() = default;

QDialog* ProgressWindow::window() const
{
    return window_.get();
}

void ProgressWindow::show()
{
    window_->setCursor(Qt::WaitCursor);
    window_->show();
    window_->raise();
    window_->activateWindow();
    cancel_->setFocus();
    // The window takes the focus from the active window when it is shown. On X11
    // that takes a round trip through the window manager, so wait for it here
    // (briefly: a manager that refuses focus must not hold the report up).
    // Neither user input nor timers run meanwhile: clicks, keys and the spin
    // buttons' auto-repeat wait for the operation's own message points.
    // Under an application-modal window (printing from the preview) the
    // window is blocked and can never become active, so there is nothing to
    // wait for.
    if (const QWidget* modal = QApplication::activeModalWidget();
        modal && modal->windowModality() == Qt::ApplicationModal && modal->window() != window_.get())
        return;
    QElapsedTimer waited;
    waited.start();
    while (!window_->isActiveWindow() && waited.elapsed() < kActivationWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers, 10);
}

void ProgressWindow::setText(const QString& text)
{
    label_->setText(text);
}

void ProgressWindow::setRange(int maximum)
{
    // A range of 0..0 is a busy indicator in Qt; an empty bar is 0..1 at 0.
    bar_->setRange(0, maximum > 0 ? maximum : 1);
    bar_->setValue(0);
}

void ProgressWindow::setValue(int value)
{
    bar_->setValue(std::clamp(value, bar_->minimum(), bar_->maximum()));
}

ProgressWindow* progressWindowOf(const TQRProgressForm& form)
{
    return dynamic_cast<ProgressWindow*>(form.view());
}

} // namespace report
