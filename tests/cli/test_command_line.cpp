// The command line: what each form of it asks for, and the usage errors.
#include "cli/command_line.h"

#include <gtest/gtest.h>

using namespace cli;

namespace {

using Words = std::vector<const char*>;

Command parse(const Words& words)
{
    QStringList args;
    for (const char* w : words)
        args << QString::fromUtf8(w);
    return parseCommandLine(args);
}

QString usageError(const Words& words)
{
    const Command c = parse(words);
    const auto* e = std::get_if<UsageError>(&c);
    return e ? e->message : QStringLiteral("(no usage error)");
}

TEST(CommandLine, WindowHelpAndVersion)
{
    const auto gui = std::get<GuiCommand>(parse({"--data-folder", "--", "-odd name.QRP"}));
    EXPECT_TRUE(gui.dataFolder);
    EXPECT_EQ(gui.reportFile, QStringLiteral("-odd name.QRP"));
    EXPECT_TRUE(std::get<HelpCommand>(parse({"a.QRP", "--help"})).text.startsWith(QLatin1String("Usage: stellaro")));
    EXPECT_TRUE(std::get<HelpCommand>(parse({"compose", "-h"})).text.contains(QLatin1String("--draw-lucky")));
    EXPECT_TRUE(std::get<HelpCommand>(parse({"batch", "--help"})).text.contains(QLatin1String("LIST.csv")));
    EXPECT_EQ(usageError({"--bogus"}), QStringLiteral("unrecognized option '--bogus'"));
    EXPECT_EQ(usageError({"a.QRP", "b.QRP"}), QStringLiteral("only one report file can be opened, not 'b.QRP' as well"));
}

TEST(CommandLine, ComposeTakesTheProfileAndOneOutput)
{
    const auto c = std::get<ComposeCommand>(parse({"compose", "--date", "0504", "--female", "--name=Ann Lee",
                                                   "--lucky", "1 2 3 4 5 6", "--offset=-10", "--print",
                                                   "--printer", "Laser"}));
    EXPECT_EQ(c.profile.date, QStringLiteral("0504"));
    EXPECT_TRUE(c.profile.female);
    EXPECT_EQ(c.profile.name, QStringLiteral("Ann Lee"));
    EXPECT_EQ(c.profile.sentiment, QStringLiteral("Personal Sentiment Line")); // the box's start text
    EXPECT_EQ(c.profile.lucky, QStringLiteral("1 2 3 4 5 6"));
    EXPECT_EQ(c.offset, -10);
    EXPECT_EQ(c.output.kind, Output::Kind::Print);
    EXPECT_EQ(c.output.printer, QStringLiteral("Laser"));

    const auto b = std::get<BatchCommand>(parse({"batch", "list.csv", "--pdf", "out.pdf", "--offset", "20"}));
    EXPECT_EQ(b.listFile, QStringLiteral("list.csv"));
    EXPECT_EQ(b.output.file, QStringLiteral("out.pdf"));
    EXPECT_EQ(b.offset, 20);
}

TEST(CommandLine, UsageErrors)
{
    const std::pair<Words, const char*> cases[] = {
        {{"compose", "--pdf", "a.pdf"}, "compose needs --date DDMM"},
        {{"compose", "--date", "0101"}, "no output: give --pdf FILE, --report FILE.QRP or --print"},
        {{"compose", "--date", "0101", "--pdf", "a.pdf", "--print"}, "only one of --pdf, --report and --print may be given"},
        {{"compose", "--date", "0101", "--pdf", "a.pdf", "--printer", "X"}, "--printer goes with --print"},
        {{"compose", "--date", "0101", "--lucky", "1 2 3 4 5 6", "--draw-lucky", "--print"}, "give --lucky or --draw-lucky, not both"},
        {{"compose", "--date", "0101", "--print", "--offset", "21"}, "--offset takes tenths of an inch from -10 to 20, not '21'"},
        {{"compose", "--date", "0101", "--print", "--offset", "x"}, "--offset takes tenths of an inch from -10 to 20, not 'x'"},
        {{"compose", "--date"}, "option '--date' requires an argument"},
        {{"compose", "--date", "0101", "--pdf"}, "option '--pdf' requires an argument"},
        {{"compose", "--date", "0101", "out.pdf"}, "compose takes no file name 'out.pdf'; the output goes after --pdf or --report"},
        {{"compose", "--date", "0101", "--print", "--colour", "red"}, "unrecognized option '--colour'"},
        {{"batch", "--pdf", "a.pdf"}, "batch needs the list: stellaro batch LIST.csv OUTPUT"},
        {{"batch", "a.csv", "b.csv", "--print"}, "batch takes one list, not 2"},
        {{"batch", "a.csv", "--print", "--female"}, "unrecognized option '--female'"},
    };
    for (const auto& [words, message] : cases)
        EXPECT_EQ(usageError(words), QString::fromUtf8(message)) << message;
}

} // namespace
