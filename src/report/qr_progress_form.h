// TQRProgressForm: the small non-modal window that the report engine shows while
// it composes, prints, saves or loads: one line of text, a progress bar and a
// Cancel button. Cancel only raises the page store's cancelled flag; each user
// of the window decides what that means for its own work.
//
// The bar moves about 20 times per operation whatever its maximum: SetMax
// divides the maximum into steps, SetPosition only moves the bar when a new
// step is reached. This class keeps those figures; the window itself is the
// installed engine windows' (report/engine_windows.h), so without windows it
// shows nothing and costs nothing.
#pragma once

#include "report/engine_windows.h"

#include <QObject>
#include <QString>

#include <memory>

class TQRPrinter;

class TQRProgressForm : public QObject {
public:
    // Builds the window without showing it. Cancel acts on `store`; the first
    // form acts on the program's page store.
    explicit TQRProgressForm(QObject* owner = nullptr);
    TQRProgressForm(TQRPrinter& store, QObject* owner);
    ~TQRProgressForm() override;

    // Shows the window, not modally, with the hourglass cursor over it.
    void Show();
    // Sets the text, then lets pending messages through (repaint, Cancel).
    void SetText(const QString& text);
    // Maximum of the bar; the step becomes max div 20, at least 1.
    void SetMax(int max);
    // Moves the bar to `position` when max > 0 and position div step passes the last step shown.
    void SetPosition(int position);

    int maximum() const { return maximum_; }
    int step() const { return step_; }
    int lastStep() const { return lastStep_; }

    // The window that shows the figures; null when no windows are installed.
    report::ProgressView* view() const { return view_.get(); }

private:
    std::unique_ptr<report::ProgressView> view_;
    int maximum_ = 100;
    int step_ = 1;
    int lastStep_ = 0;
};
