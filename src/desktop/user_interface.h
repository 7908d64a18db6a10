// What the program asks or tells the user, in one place: the error box, notices,
// the beep, the file dialogs' answers, the replace prompt, the PDF printer's file
// name and the printer setup window. The application object installs the real
// windows once at start-up; the command line installs answers of its own, and
// the tests a fake that plays the user (tests/support/fake_user_interface.h).
#pragma once

#include "desktop/file_dialogs.h"

#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace desktop {

class PrinterSetupWindow;

class UserInterface {
public:
    virtual ~UserInterface();

    // The error box, modal: caption "FStellaro", stop icon, OK; `text` ends in ".".
    virtual void errorBox(const QString& text) = 0;
    // A notice ("Bad Day "), modal, captioned with the application title.
    virtual void messageBox(const QString& text) = 0;
    virtual void beep() = 0;
    // The user at a file dialog: the name picked or typed, or nothing for Cancel.
    // Default extensions and the replace prompt are the caller's (file_dialogs.h).
    virtual std::optional<QString> fileName(QWidget* owner, FileDialogKind kind, const FileDialogOptions& options) = 0;
    // "<name> already exists. Do you want to replace it?"
    virtual bool replaceFile(QWidget* owner, const QString& fileName) = 0;
    // Where "Print to PDF" writes the job titled `jobTitle`; nothing sends it nowhere.
    virtual std::optional<QString> pdfFileName(const QString& jobTitle) = 0;
    // Runs the built printer setup window; true when the user confirmed it.
    virtual bool printerSetup(PrinterSetupWindow& window) = 0;
};

// The installed one (the real windows until another is installed).
UserInterface& userInterface();
// Installs `ui`; returns the one installed before (null for the real windows).
std::unique_ptr<UserInterface> installUserInterface(std::unique_ptr<UserInterface> ui);

// The real windows.
std::unique_ptr<UserInterface> createDesktopUserInterface();

} // namespace desktop
