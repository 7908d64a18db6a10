// A user who answers as the test scripts and whose boxes are recorded instead of
// shown. A fresh one is installed before every test (test_main.cpp).
#pragma once

#include "desktop/user_interface.h"

#include <QStringList>

#include <functional>

namespace testsupport {

class FakeUserInterface final : public desktop::UserInterface {
public:
    QStringList errors;   // error boxes, as shown (ending in ".")
    QStringList messages; // notices
    int beeps = 0;
    // The user at a file dialog; unset: Cancel.
    std::function<std::optional<QString>(desktop::FileDialogKind, const desktop::FileDialogOptions&)> onFileName;
    // "Do you want to replace it?"; unset: No.
    std::function<bool(const QString& fileName)> onReplace;
    // Where "Print to PDF" writes; unset: Cancel.
    std::function<std::optional<QString>(const QString& jobTitle)> onPdfFileName;
    // Plays the user at the printer setup window, answering true for OK; unset: Cancel.
    std::function<bool(desktop::PrinterSetupWindow&)> onPrinterSetup;

    void errorBox(const QString& text) override { errors << text; }
    void messageBox(const QString& text) override { messages << text; }
    void beep() override { ++beeps; }
    std::optional<QString> fileName(QWidget*, desktop::FileDialogKind kind,
                                    const desktop::FileDialogOptions& options) override
    {
        return onFileName ? onFileName(kind, options) : std::nullopt;
    }
    bool replaceFile(QWidget*, const QString& fileName) override { return onReplace && onReplace(fileName); }
    std::optional<QString> pdfFileName(const QString& jobTitle) override
    {
        return onPdfFileName ? onPdfFileName(jobTitle) : std::nullopt;
    }
    bool printerSetup(desktop::PrinterSetupWindow& window) override
    {
        return onPrinterSetup && onPrinterSetup(window);
    }
};

// The fake installed for the running test.
FakeUserInterface& ui();

} // namespace testsupport
