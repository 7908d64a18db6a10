// The program's command line, GNU style. With no command it starts the window
// (optionally opening a report file in the preview); "compose" and "batch"
// make pages without a window.
//
//   stellaro [--data-folder] [FILE.QRP]
//   stellaro compose --date DDMM [--female] [--name TEXT] [--sentiment TEXT]
//                    [--lucky "N N N N N N" | --draw-lucky] [--offset TENTHS] OUTPUT
//   stellaro batch LIST.csv [--offset TENTHS] OUTPUT
//   OUTPUT:  --pdf FILE | --report FILE.QRP | --print [--printer NAME]
//
// Options take their value as the next argument or after "=" (--name=Ann);
// "--" ends the options. Parsing only reads the words: whether a date gives a
// sign or a name fits the code page is checked by the command that runs.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace cli {

// Exit statuses, as command-line tools use them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the work failed: nothing (or nothing partial) written
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

// Where the composed pages go.
struct Output {
    enum class Kind { Pdf, Report, Print };
    Kind kind = Kind::Pdf;
    QString file;    // Pdf and Report
    QString printer; // Print: a CUPS queue or "Print to PDF"; empty for the default printer
};

// The profile as the window's boxes would hold it; texts are taken as typed.
struct ProfileArgs {
    QString date;
    bool female = false;
    QString name = QStringLiteral("Name");                         // the name box's start text
    QString sentiment = QStringLiteral("Personal Sentiment Line"); // the sentiment box's start text
    QString lucky;                                                  // empty: none
    bool drawLucky = false;
};

struct GuiCommand {
    bool dataFolder = false;   // work in $XDG_DATA_HOME/stellaro (started from the menu)
    QString reportFile;        // empty: none to open
};
struct ComposeCommand {
    ProfileArgs profile;
    Output output;
    std::optional<int> offset; // tenths of an inch; unset: the pages' design margin
};
struct BatchCommand {
    QString listFile;
    Output output;
    std::optional<int> offset;
};
struct HelpCommand {
    QString text;
};
struct VersionCommand {};
struct UsageError {
    QString message; // without the program name; "Try 'stellaro --help'" is added when shown
};

using Command = std::variant<GuiCommand, ComposeCommand, BatchCommand, HelpCommand, VersionCommand, UsageError>;

// Reads the arguments after the program's name.
Command parseCommandLine(const QStringList& args);

// "stellaro 1.04" and the copyright lines that --version prints.
QString versionText();

} // namespace cli
