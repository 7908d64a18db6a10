#include "desktop/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace platform {

namespace {

FileDialogHook& dialogHook()
{
    static FileDialogHook h;
    return h;
}

OverwriteHook& overwriteHook()
{
    static OverwriteHook h;
    return h;
}

// The user's part of the dialog: pick or type a name, or cancel.
std::optional<QString> askForName(QWidget* owner, FileDialogKind kind, const FileDialogOptions& options)
{
    if (dialogHook())
        return dialogHook()(kind, options);

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

bool confirmOverwrite(QWidget* owner, const QString& fileName)
{
    if (overwriteHook())
        return overwriteHook()(fileName);
    const QString text = QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(fileName);
    return QMessageBox::warning(owner, QStringLiteral("Save As"), text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (filter.isEmpty())
        return out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        // Qt separates several patterns with blanks, the filter string with ';'.
        QString patterns = pattern;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(description, patterns.trimmed());
    }
    return out;
}

QString withDefaultExtension(const QString& fileName, const QString& extension)
{
    if (extension.isEmpty() || fileName.isEmpty())
        return fileName;
    const QString last = fileName.section(QLatin1Char('/'), -1);
    if (last.isEmpty() || last.contains(QLatin1Char('.')))
        return fileName;
    return fileName + QLatin1Char('.') + extension;
}

std::optional<QString> runOpenDialog(QWidget* owner, const FileDialogOptions& options)
{
    std::optional<QString> name = askForName(owner, FileDialogKind::Open, options);
    if (name)
        *name = withDefaultExtension(*name, options.defaultExtension);
    return name;
}

std::optional<QString> runSaveDialog(QWidget* owner, const FileDialogOptions& options)
{
    for (;;) {
        std::optional<QString> name = askForName(owner, FileDialogKind::Save, options);
        if (!name)
            return std::nullopt;
        *name = withDefaultExtension(*name, options.defaultExtension);
        if (!options.overwritePrompt || !QFileInfo::exists(*name) || confirmOverwrite(owner, *name))
            return name;
    }
}

void setFileDialogHook(FileDialogHook hook)
{
    dialogHook() = std::move(hook);
}

void setOverwritePromptHook(OverwriteHook hook)
{
    overwriteHook() = std::move(hook);
}

} // namespace platform
