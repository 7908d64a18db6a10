// Open and save file dialogs, as the report engine asks for them: a filter string
// in the "Description|pattern|Description|pattern" form, an optional default
// extension, and (for saving) a prompt before an existing file is replaced.
//
// The dialogs are modal and return the chosen name, or nothing when the user
// cancels. The default extension and the overwrite prompt are applied by this
// layer, not by Qt's dialog, so that tests can drive exactly the same logic
// through the hooks below without a window.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

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

// Test hooks. The dialog hook plays the user at the dialog: it receives the kind and
// options and answers the name typed (or nothing for Cancel). The overwrite hook
// answers the "replace it?" question for a name. An empty function restores the
// real windows.
using FileDialogHook = std::function<std::optional<QString>(FileDialogKind, const FileDialogOptions&)>;
using OverwriteHook = std::function<bool(const QString& fileName)>;
void setFileDialogHook(FileDialogHook hook);
void setOverwritePromptHook(OverwriteHook hook);

} // namespace platform
