#include "cli/command_line.h"

#include "platform/int_conversion.h"

#include <functional>
#include <map>

namespace cli {

namespace {

const QString kMainHelp = QStringLiteral(
    "Usage: stellaro [--data-folder] [FILE.QRP]\n"
    "       stellaro compose --date DDMM [OPTION]... OUTPUT\n"
    "       stellaro batch LIST.csv [--offset TENTHS] OUTPUT\n"
    "Compose and print a personal star-sign profile on one landscape A4 page.\n"
    "\n"
    "Without a command, open the window; with FILE.QRP, open that report file in\n"
    "the preview.\n"
    "      --data-folder  work in $XDG_DATA_HOME/stellaro (made if missing) instead\n"
    "                     of the current folder, as the desktop menu starts it\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "Commands (see 'stellaro compose --help' and 'stellaro batch --help'):\n"
    "  compose   one profile to a PDF file, a report file or a printer\n"
    "  batch     one page per row of a CSV list, in one PDF, report file or print job\n"
    "\n"
    "Exit status: 0 success, 1 the work failed (nothing was written), 2 bad usage.\n");

const QString kOutputHelp = QStringLiteral(
    "OUTPUT is one of:\n"
    "      --pdf FILE          write a PDF file (- for standard output)\n"
    "      --report FILE.QRP   write a report file, as the preview window saves\n"
    "                          (- for standard output)\n"
    "      --print             print on the default printer\n"
    "      --printer NAME      with --print: print on this printer instead\n"
    "      --offset TENTHS     move the printed matter by TENTHS of an inch (-10 to 20),\n"
    "                          as the window's spin edit does; without it, the pages'\n"
    "                          own 5 mm margin\n");

const QString kComposeHelp = QStringLiteral(
    "Usage: stellaro compose --date DDMM [OPTION]... OUTPUT\n"
    "Compose one profile, as the window would, and write or print it.\n"
    "\n"
    "      --date DDMM         birth date: day, then month (required)\n"
    "      --female            the female page (default: male)\n"
    "      --male              the male page\n"
    "      --name TEXT         the name (default: \"Name\")\n"
    "      --sentiment TEXT    the one-line sentiment (default: \"Personal Sentiment Line\")\n"
    "      --lucky \"N N N N N N\"  the lucky numbers, as typed in their box\n"
    "      --draw-lucky        draw six lucky numbers\n"
    "  -h, --help              show this help and exit\n"
    "\n") + kOutputHelp + QStringLiteral(
    "\n"
    "Example: stellaro compose --date 0504 --female --name \"Ann Lee\" --pdf ann.pdf\n");

const QString kBatchHelp = QStringLiteral(
    "Usage: stellaro batch LIST.csv [--offset TENTHS] OUTPUT\n"
    "Compose one page per row of LIST.csv, in the order of the rows, into one PDF,\n"
    "one report file or one print job. Every row is checked before anything is\n"
    "written; a bad row is named by its line and column, and nothing is written.\n"
    "\n"
    "LIST.csv: comma-separated, as spreadsheets save it (UTF-8, quoted fields),\n"
    "with a header row naming the columns: date, gender (M/F, male/female), name,\n"
    "sentiment, and optionally lucky (six numbers, or \"draw\"); - reads it from\n"
    "standard input.\n"
    "  -h, --help              show this help and exit\n"
    "\n") + kOutputHelp + QStringLiteral(
    "\n"
    "Example: stellaro batch customers.csv --pdf profiles.pdf\n");

// The words of one command, read left to right.
class Words {
public:
    explicit Words(const QStringList& args) : args_(args) {}
    bool atEnd() const { return i_ >= args_.size(); }
    QString next() { return args_[i_++]; }
    // The value of `option`: after "=" in `word`, or the next word.
    std::optional<QString> value(const QString& word, const QString& option)
    {
        if (word.size() > option.size())
            return word.mid(option.size() + 1);
        if (atEnd())
            return std::nullopt;
        return next();
    }

private:
    QStringList args_;
    qsizetype i_ = 0;
};

// The option name of `word`: "--name" for "--name=Ann".
QString optionName(const QString& word)
{
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    return word.startsWith(QLatin1String("--")) && eq > 0 ? word.left(eq) : word;
}

UsageError missingValue(const QString& option)
{
    return {QStringLiteral("option '%1' requires an argument").arg(option)};
}

// The output and offset options that compose and batch share.
struct OutputOptions {
    Output output;
    bool haveOutput = false;
    bool printerGiven = false;
    std::optional<int> offset;
    std::optional<UsageError> error;

    // Takes `word` (option `name`) when it is one of these options; false when not.
    bool take(const QString& name, const QString& word, Words& words)
    {
        const bool pdf = name == QLatin1String("--pdf");
        if (pdf || name == QLatin1String("--report")) {
            const auto v = words.value(word, name);
            if (!v || v->isEmpty())
                error = missingValue(name);
            // "-", as with other tools, is standard output.
            output.file = v == QLatin1String("-") ? QStringLiteral("/dev/stdout") : v.value_or(QString());
            setOutput(pdf ? Output::Kind::Pdf : Output::Kind::Report);
        } else if (word == QLatin1String("--print")) {
            setOutput(Output::Kind::Print);
        } else if (name == QLatin1String("--printer")) {
            const auto v = words.value(word, name);
            if (!v || v->isEmpty())
                error = missingValue(name);
            output.printer = v.value_or(QString());
            printerGiven = true;
        } else if (name == QLatin1String("--offset")) {
            const auto v = words.value(word, name);
            const std::optional<std::int32_t> n = v ? platform::tryTextToInt(*v) : std::nullopt;
            if (!v)
                error = missingValue(name);
            else if (!n || *n < -10 || *n > 20)
                error = UsageError{QStringLiteral("--offset takes tenths of an inch from -10 to 20, not '%1'").arg(*v)};
            offset = n;
        } else {
            return false;
        }
        return true;
    }

    void setOutput(Output::Kind kind)
    {
        if (haveOutput)
            error = UsageError{QStringLiteral("only one of --pdf, --report and --print may be given")};
        haveOutput = true;
        output.kind = kind;
    }

    std::optional<UsageError> finish() const
    {
        if (!haveOutput)
            return UsageError{QStringLiteral("no output: give --pdf FILE, --report FILE.QRP or --print")};
        if (printerGiven && output.kind != Output::Kind::Print)
            return UsageError{QStringLiteral("--printer goes with --print")};
        return std::nullopt;
    }
};

Command parseSubcommand(const QString& command, Words words)
{
    const bool compose = command == QLatin1String("compose");
    OutputOptions r;
    QStringList positional;
    bool help = false;
    ProfileArgs profile;
    bool dateGiven = false;
    bool luckyGiven = false;
    bool optionsEnded = false;
    while (!words.atEnd()) {
        const QString word = words.next();
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            positional << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (word == QLatin1String("-h") || word == QLatin1String("--help")) {
            help = true;
            continue;
        }
        const QString name = optionName(word);
        if (r.take(name, word, words)) {
            if (r.error)
                return *r.error;
            continue;
        }
        if (compose) {
            auto text = [&](QString& into) -> std::optional<UsageError> {
                const auto v = words.value(word, name);
                if (!v)
                    return missingValue(name);
                into = *v;
                return std::nullopt;
            };
            std::optional<UsageError> error;
            if (name == QLatin1String("--date")) {
                error = text(profile.date);
                dateGiven = true;
            } else if (name == QLatin1String("--name")) {
                error = text(profile.name);
            } else if (name == QLatin1String("--sentiment")) {
                error = text(profile.sentiment);
            } else if (name == QLatin1String("--lucky")) {
                error = text(profile.lucky);
                luckyGiven = true;
            } else if (word == QLatin1String("--female") || word == QLatin1String("--male")) {
                profile.female = word == QLatin1String("--female");
            } else if (word == QLatin1String("--draw-lucky")) {
                profile.drawLucky = true;
            } else {
                return UsageError{QStringLiteral("unrecognized option '%1'").arg(word)};
            }
            if (error)
                return *error;
            continue;
        }
        return UsageError{QStringLiteral("unrecognized option '%1'").arg(word)};
    }
    if (help)
        return HelpCommand{compose ? kComposeHelp : kBatchHelp};

    if (compose) {
        if (!positional.isEmpty())
            return UsageError{QStringLiteral("compose takes no file name '%1'; the output goes after --pdf or --report")
                                  .arg(positional.first())};
        if (!dateGiven)
            return UsageError{QStringLiteral("compose needs --date DDMM")};
        if (luckyGiven && profile.drawLucky)
            return UsageError{QStringLiteral("give --lucky or --draw-lucky, not both")};
    } else {
        if (positional.size() != 1)
            return UsageError{positional.isEmpty() ? QStringLiteral("batch needs the list: stellaro batch LIST.csv OUTPUT")
                                                     : QStringLiteral("batch takes one list, not %1").arg(positional.size())};
    }
    if (auto error = r.finish())
        return *error;
    if (compose)
        return ComposeCommand{profile, r.output, r.offset};
    return BatchCommand{positional.first(), r.output, r.offset};
}

} // namespace

Command parseCommandLine(const QStringList& args)
{
    if (!args.isEmpty() && (args.first() == QLatin1String("compose") || args.first() == QLatin1String("batch")))
        return parseSubcommand(args.first(), Words(args.mid(1)));

    GuiCommand gui;
    bool optionsEnded = false;
    for (const QString& word : args) {
        if (!optionsEnded && word == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (word == QLatin1String("-h") || word == QLatin1String("--help"))) {
            return HelpCommand{kMainHelp};
        } else if (!optionsEnded && word == QLatin1String("--version")) {
            return VersionCommand{};
        } else if (!optionsEnded && word == QLatin1String("--data-folder")) {
            gui.dataFolder = true;
        } else if (!optionsEnded && word.startsWith(QLatin1Char('-')) && word != QLatin1String("-")) {
            return UsageError{QStringLiteral("unrecognized option '%1'").arg(word)};
        } else if (!gui.reportFile.isEmpty()) {
            return UsageError{QStringLiteral("only one report file can be opened, not '%1' as well").arg(word)};
        } else {
            gui.reportFile = word;
        }
    }
    return gui;
}

QString versionText()
{
    return QStringLiteral("stellaro %1\n").arg(QStringLiteral(STELLARO_VERSION));
}

} // namespace cli
