// Open and save file dialogs, as the report engine asks for them: a filter string
// in the "Description|pattern|Description|pattern" form, an optional default
// extension, and (for saving) a prompt before an existing file is replaced.
//
// The dialogs are modal and return the chosen name, or nothing when the user
// cancels. The default extension and the overwrite prompt are applied by this
// layer, not by Qt's dialog: the user's answers come from the installed user
// interface (user_interface.h), so tests drive exactly the same logic without a
// window.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace desktop {

enum class FileDialogKind { Open, Save };

struct FileDialogOptions {
    // Pairs of description and pattern separated by '|', e.g. "PageReport files|*.QRP".
    QString filter;
    // Added (with a dot) to a chosen name that has no extension. Without the dot; empty = none.
    QString defaultExtension;
    // Ask before a chosen existing file is replaced (save dialogs only).
    bool overwritePrompt = false;
};

// Runs the platform's open dialog. It does not insist that the file exists.
std::optional<QString> runOpenDialog(QWidget* owner, const FileDialogOptions& options);

// Runs the platform's save dialog. When the user declines to replace an existing
// file, the dialog comes back for another choice, as desktop save dialogs do.
std::optional<QString> runSaveDialog(QWidget* owner, const FileDialogOptions& options);

// "PageReport files|*.QRP" -> {"PageReport files (*.QRP)"}; a trailing unpaired
// description is kept as a filter that shows every file.
QStringList qtNameFilters(const QString& filter);

// The name with ".<extension>" added when its last path component has no extension.
QString withDefaultExtension(const QString& fileName, const QString& extension);

} // namespace desktop
