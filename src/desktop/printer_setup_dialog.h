// The printer setup dialog: the installed printers with the selected one
// chosen, and that printer's orientation and paper. OK makes the chosen printer
// the selected one and writes orientation and paper into its device mode (as far
// as the printer takes those fields); Cancel changes nothing.
#pragma once

#include "platform/printer.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QRadioButton;

namespace desktop {

// The dialog's window. Built from the printer's current state; apply() writes
// the choice back.
class PrinterSetupWindow : public QDialog {
public:
    PrinterSetupWindow(platform::TPrinter& printer, QWidget* parent = nullptr);

    QComboBox* printerBox() const { return printers_; }
    QComboBox* paperBox() const { return paper_; }
    QRadioButton* portraitButton() const { return portrait_; }
    QRadioButton* landscapeButton() const { return landscape_; }

    // Makes the chosen printer the selected one and writes its settings.
    void apply();

private:
    void showSettingsOf(int printerIndex);

    platform::TPrinter& printer_;
    QComboBox* printers_ = nullptr;
    QComboBox* paper_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
};

class PrinterSetupDialog {
public:
    // On the program's printer object unless another is given.
    explicit PrinterSetupDialog(QWidget* owner = nullptr, platform::TPrinter* printer = nullptr);

    // Shows the dialog modally; true when the user confirmed (and the choice applied).
    bool Execute();

private:
    QWidget* owner_;
    platform::TPrinter* printer_;
};


} // namespace desktop
