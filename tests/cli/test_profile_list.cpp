// Profiles from the command line and from CSV lists: what is read, and every
// kind of bad value named with its line and column.
#include "cli/profile_input.h"
#include "cli/profile_list.h"

#include <gtest/gtest.h>

using namespace cli;

namespace {

QStringList errorsOf(const char* csv)
{
    QStringList out;
    for (const ListError& e : readProfileList(QByteArray(csv)).errors)
        out << e.text();
    return out;
}

TEST(ProfileInput, TheWindowsRulesDecide)
{
    ProfileArgs a;
    a.date = QStringLiteral("0504");
    a.drawLucky = true;
    const auto drawn = std::get<profile::ProfileRecord>(profileRecordFor(a, [] { return 12345u; }));
    EXPECT_EQ(drawn[12], profile::drawLuckyNumbersText([] { return 12345u; }));

    // The box given the bad value, the value, the field the error names and the reason.
    const std::tuple<QString ProfileArgs::*, const char16_t*, const char*, const char*> bad[] = {
        {&ProfileArgs::date, u"0513", "date", "Bad Month"},
        {&ProfileArgs::date, u"0000", "date", "'0000' gives no star sign"},
        {&ProfileArgs::date, u"ab04", "date", "'ab' is not a valid integer value"},
        {&ProfileArgs::sentiment, u"tab\there", "sentiment", "control character U+0009 is not allowed"},
        {&ProfileArgs::lucky, u"1 2 3", "lucky", "'1 2 3' is not six whole numbers separated by blanks"},
    };
    for (const auto& [box, value, field, reason] : bad) {
        ProfileArgs p;
        p.date = QStringLiteral("0101");
        p.*box = QString::fromUtf16(value);
        const auto result = profileRecordFor(p);
        ASSERT_TRUE(std::holds_alternative<ProfileError>(result)) << reason;
        EXPECT_EQ(std::get<ProfileError>(result).field, QString::fromUtf8(field));
        EXPECT_EQ(std::get<ProfileError>(result).reason, QString::fromUtf8(reason));
    }
}

TEST(ProfileList, ReadsWhatSpreadsheetsWrite)
{
    const char* csv = "\xEF\xBB\xBF" "Name,DATE,gender,sentiment,lucky\r\n"
                      "\"Lee, Ann\",0504,F,\"She said \"\"hi\"\"\",draw\r\n"
                      "Bob,2512,male,,1 2 3 4 5 6\r\n"
                      "\r\n"
                      "Zo\xC3\xAB,0107,m,Fine,\n";
    const ProfileList list = readProfileList(QByteArray(csv));
    ASSERT_TRUE(list.errors.empty()) << list.errors.front().text().toStdString();
    ASSERT_EQ(list.rows.size(), 3u);
    EXPECT_EQ(list.rows[0].line, 2);
    EXPECT_TRUE(list.rows[0].female);
    EXPECT_EQ(list.rows[0].record[11], QStringLiteral("She said \"hi\""));
    EXPECT_EQ(list.rows[0].record[12].split(QLatin1Char(' ')).size(), 6); // drawn
    EXPECT_EQ(list.rows[1].record[0], QStringLiteral("Capricorn"));
    EXPECT_EQ(list.rows[1].record[12], QStringLiteral("1 2 3 4 5 6"));
    EXPECT_FALSE(list.rows[1].female);
    EXPECT_EQ(list.rows[2].line, 5); // after the blank line
    EXPECT_EQ(list.rows[2].record[0], QStringLiteral("Cancer"));
    EXPECT_EQ(list.rows[2].record[10], QStringLiteral("Zoë"));
}

TEST(ProfileList, EveryBadValueIsNamedByLineAndColumn)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"", {"line 1: the list is empty; its first line names the columns"}},
        {"date,gender,name,sentiment\n", {"line 2: the list has no rows"}},
        {"date,gender,name,sentment\n0101,M,a,b\n",
         {"line 1, column sentment: unknown column; the columns are date, gender, name, sentiment and lucky",
          "line 1, column sentiment: the column is missing"}},
        {"date,date,gender,name,sentiment\n", {"line 1, column date: the column is named twice"}},
        {"date,gender,name,sentiment\n"
         "0101,X,a,b\n"
         "3204,M,a,b\n"
         "0101,F,\"two\nlines\",b\n"
         "0101,M,a\n"
         "0101,M,\xCE\xA9,b\n",
         {"line 2, column gender: 'X' is not M, F, male or female", "line 3, column date: Bad Day",
          "line 4, column name: a line break is not allowed", "line 6: 3 fields where the header has 4",
          "line 7, column name: '\u03A9' cannot be printed: the pages hold only the Western character set (Windows-1252)"}},
        {"date,gender,name,sentiment\n0101,M,\"open,b\n", {"line 2: a quoted field is never closed"}},
        {"date,gender,name,sentiment\n0101,M,a\"b,c\n",
         {"line 2: a quote inside an unquoted field; quote the whole field and write the quote as \"\""}},
        {"date,gender,name,sentiment\n0101,M,a,b\n0101,M,\xE9t\xE9,b\n",
         {"line 3: the list is not UTF-8 text; save it as \"CSV UTF-8\""}},
    };
    for (const auto& [csv, errors] : cases)
        EXPECT_EQ(errorsOf(csv), errors) << csv;
}

} // namespace
