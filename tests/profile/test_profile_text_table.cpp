#include "profile/profile_text_table.h"

#include "profile/star_sign.h"

#include <gtest/gtest.h>

#include <set>

using profile::ProfileField;
using profile::Variant;

namespace {

QString line(int n)
{
    const std::string_view s = profile::profileTextLine(n);
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A few anchors pin the block layout; a shifted block or row moves one of them.
TEST(ProfileTextTable, ShapeAndAnchors)
{
    ASSERT_EQ(profile::profileTextLines().size(), 221);
    const std::pair<int, const char*> anchors[] = {
        {0, "Aquarius"}, {11, "Virgo"}, {12, "Strengths"}, {13, "Intelligent, unorthodox and inventive"},
        {40, "Her vitality and energy is attractive to many."}, {116, "Strengths A"}, {155, "Love"},
        {184, "Cancerians are very apt in business"}, {207, "Colour A"}, {220, ""},
    };
    for (const auto& [n, text] : anchors)
        EXPECT_EQ(line(n), QLatin1String(text)) << n;
    EXPECT_EQ(profile::profileText(Variant::Male, ProfileField::Birthstone, 2), QStringLiteral("Ruby"));
    EXPECT_EQ(profile::profileText(Variant::Female, ProfileField::Colour, 0), QStringLiteral("Yellow"));
    EXPECT_THROW(profile::profileTextLine(221), std::out_of_range);
    EXPECT_THROW(profile::profileText(Variant::Male, ProfileField::Colour, 12), std::out_of_range);
}

// Each long text is printed as one line of the page: plain ASCII, 25 to 79
// characters, its own within its field, and a sign's female and male texts differ.
TEST(ProfileTextTable, LongTextsFitOneLineAndAreTheirOwn)
{
    std::set<QString> seen;
    int longest = 0;
    int shortest = 1000;
    for (const ProfileField f : {ProfileField::Strengths, ProfileField::Weaknesses, ProfileField::Friendships,
                                 ProfileField::Love, ProfileField::Health, ProfileField::Fortune}) {
        for (int r = 0; r < 12; ++r) {
            const QString female = profile::profileText(Variant::Female, f, r);
            const QString male = profile::profileText(Variant::Male, f, r);
            EXPECT_NE(female, male) << int(f) << ' ' << r;
            for (const QString& t : {female, male}) {
                for (const QChar c : t)
                    EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7F) << t.toStdString();
                longest = std::max(longest, int(t.size()));
                shortest = std::min(shortest, int(t.size()));
                seen.insert(t);
            }
        }
    }
    EXPECT_EQ(longest, 79);
    EXPECT_EQ(shortest, 25);
    EXPECT_EQ(seen.size(), 143u); // the fortune line shared by Pisces and Scorpio is the only repeat
}

TEST(SignRows, EveryCalculatedSignHasItsRowAndOnlyExactNamesMatch)
{
    std::set<int> rows;
    for (int month = 1; month <= 12; ++month) {
        for (const int day : {1, 31}) {
            const QString sign = profile::starSignFor(day, month);
            const auto row = profile::findSignRow(sign);
            ASSERT_TRUE(row) << sign.toStdString();
            EXPECT_EQ(line(*row), sign);
            rows.insert(*row);
        }
    }
    EXPECT_EQ(rows.size(), 12u);
    for (const char* text : {"aries", "Aries ", " Aries", "", "Sign", "Strengths", "Love"})
        EXPECT_EQ(profile::findSignRow(QLatin1String(text)), std::nullopt) << '"' << text << '"';
}

} // namespace
