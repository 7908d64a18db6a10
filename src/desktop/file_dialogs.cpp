#include "desktop/file_dialogs.h"

#include "desktop/user_interface.h"

#include <QFileInfo>
#include <QStringList>

namespace desktop {

namespace {

// The user's part of the dialog: pick or type a name, or cancel.
std::optional<QString> askForName(QWidget* owner, FileDialogKind kind, const FileDialogOptions& options)
{
    return userInterface().fileName(owner, kind, options);
}

bool confirmOverwrite(QWidget* owner, const QString& fileName)
{
    return userInterface().replaceFile(owner, fileName);
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

} // namespace desktop
