// The progress window on screen: a dialog-bordered window of 400 x 140 pixels,
// centred, with the operation's text, a bar and a Cancel button that raises the
// page store's cancelled flag.
#pragma once

#include "report/engine_windows.h"

#include <memory>

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class TQRPrinter;
class TQRProgressForm;

namespace report {

class ProgressWindow final : public ProgressView {
public:
    explicit ProgressWindow(TQRPrinter& store);
    ~ProgressWindow() override;

    void show() override;
    void setText(const QString& text) override;
    void setRange(int maximum) override;
    void setValue(int value) override;

    QDialog* window() const;
    QLabel* label() const { return label_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    class Window;
    std::unique_ptr<Window> window_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// The window showing `form`, or null when it has none (no windows installed).
ProgressWindow* progressWindowOf(const TQRProgressForm& form);

} // namespace report
