#include "desktop/user_interface.h"

#include "desktop/application.h"
#include "desktop/printer_setup_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdio>

namespace desktop {

using namespace platform;

UserInterface::~UserInterface() = default;

namespace {

class DesktopUserInterface final : public UserInterface {
public:
    void errorBox(const QString& text) override
    {
        // Also on standard error, as Linux programs report failures, so that a run
        // started from a terminal or a session log keeps what went wrong.
        std::fprintf(stderr, "stellaro: %s\n", text.toLocal8Bit().constData());
        QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }

    void messageBox(const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }

    void beep() override { QApplication::beep(); }

    std::optional<QString> fileName(QWidget* owner, FileDialogKind kind, const FileDialogOptions& options) override
    {
        QFileDialog dialog(owner);
        // Qt's own dialog everywhere: the same look and keys on every desktop, and
        // the default extension and replace prompt stay under our control.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setWindowTitle(kind == FileDialogKind::Open ? QStringLiteral("Open") : QStringLiteral("Save As"));
        dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QStringList filters = qtNameFilters(options.filter);
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty() || chosen.front().isEmpty())
            return std::nullopt;
        return chosen.front();
    }

    bool replaceFile(QWidget* owner, const QString& fileName) override
    {
        const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fileName);
        return QMessageBox::warning(owner, QStringLiteral("Save As"), text, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No)
            == QMessageBox::Yes;
    }

    std::optional<QString> pdfFileName(const QString&) override
    {
        FileDialogOptions options;
        options.filter = QStringLiteral("PDF files|*.pdf");
        options.defaultExtension = QStringLiteral("pdf");
        options.overwritePrompt = true;
        return runSaveDialog(nullptr, options);
    }

    bool printerSetup(PrinterSetupWindow& window) override { return window.exec() == QDialog::Accepted; }
};

std::unique_ptr<UserInterface>& installed()
{
    static std::unique_ptr<UserInterface> ui;
    return ui;
}

} // namespace

UserInterface& userInterface()
{
    if (!installed())
        installed() = createDesktopUserInterface();
    return *installed();
}

std::unique_ptr<UserInterface> installUserInterface(std::unique_ptr<UserInterface> ui)
{
    auto previous = std::move(installed());
    installed() = std::move(ui);
    return previous;
}

std::unique_ptr<UserInterface> createDesktopUserInterface()
{
    return std::make_unique<DesktopUserInterface>();
}

} // namespace desktop
