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

TEST(ProfileTextTable, ShapeSignNamesAndHeaders)
{
    const QStringList all = profile::profileTextLines();
    ASSERT_EQ(all.size(), 221);
    for (int n = 0; n < 221; ++n)
        EXPECT_EQ(all[n], line(n)) << n;
    EXPECT_EQ(line(220), QString());

    const char* signs[] = {"Aquarius", "Aries", "Cancer", "Capricorn", "Gemini", "Leo",
                           "Libra", "Pisces", "Sagittarius", "Scorpio", "Taurus", "Virgo"};
    for (int r = 0; r < 12; ++r)
        EXPECT_EQ(line(r), QLatin1String(signs[r]));

    const std::pair<int, const char*> headers[] = {
        {12, "Strengths"},    {25, "Weaknesses"},    {38, "Friendships"},    {51, "Love"},
        {64, "Health"},       {77, "Fortune"},       {90, "Birthstone"},     {103, "Colour"},
        {116, "Strengths A"}, {129, "Weaknesses A"}, {142, "Friendships A"}, {155, "Love"},
        {168, "Health A"},    {181, "Fortune A"},    {194, "Birthstone A"},  {207, "Colour A"},
    };
    for (const auto& [n, text] : headers)
        EXPECT_EQ(line(n), QLatin1String(text)) << n;

    EXPECT_THROW(profile::profileTextLine(-1), std::out_of_range);
    EXPECT_THROW(profile::profileTextLine(221), std::out_of_range);
    EXPECT_THROW(profile::profileText(Variant::Male, ProfileField::Colour, 12), std::out_of_range);
}

TEST(ProfileTextTable, TextsThatAreFixedByLineNumber)
{
    const std::pair<int, const char*> fixed[] = {
        {13, "Intelligent, unorthodox and inventive"},
        {117, "Original, Independent and Individualistic"},
        {40, "Her vitality and energy is attractive to many."},
        {65, "Subject to freak accidents and sudden illnesses.  Take care of ankles and shins"},
        {87, "Life's mysteries will be revealed to you"},
        {156, "Easier to love many people rather than just one"},
        {184, "Cancerians are very apt in business"},
    };
    for (const auto& [n, text] : fixed)
        EXPECT_EQ(line(n), QLatin1String(text)) << n;
    EXPECT_EQ(profile::profileText(Variant::Female, ProfileField::Fortune, 7),
              QStringLiteral("Life's mysteries will be revealed to you")); // Pisces
}

TEST(ProfileTextTable, BirthstonesAndColoursOfEveryRow)
{
    struct Row { const char* stoneF; const char* stoneM; const char* colourF; const char* colourM; };
    const Row rows[12] = {
        {"Amethyst", "Amethyst", "Yellow", "Silver"},        {"Diamond", "Diamond", "Red", "Red"},
        {"Pearl", "Ruby", "Silver", "White"},                {"Red Garnet", "Red Garnet", "Royal Blue", "Navy Blue"},
        {"Agate", "Agate", "Light Blue", "Light Blue"},      {"Sardonyx", "Sardonyx", "Gold", "Gold"},
        {"Opal", "Opal", "Ivory", "Pink"},                   {"Aquamarine", "Aquamarine", "Pale Green", "Rose"},
        {"Turquoise", "Turquoise", "Blue", "Blue"},          {"Topaz", "Topaz", "Green", "Red"},
        {"Emerald", "Emerald", "Brown", "Russet"},           {"Sapphire", "Sapphire", "Blue", "Blue"},
    };
    for (int r = 0; r < 12; ++r) {
        EXPECT_EQ(profile::profileText(Variant::Female, ProfileField::Birthstone, r), QLatin1String(rows[r].stoneF));
        EXPECT_EQ(profile::profileText(Variant::Male, ProfileField::Birthstone, r), QLatin1String(rows[r].stoneM));
        EXPECT_EQ(profile::profileText(Variant::Female, ProfileField::Colour, r), QLatin1String(rows[r].colourF));
        EXPECT_EQ(profile::profileText(Variant::Male, ProfileField::Colour, r), QLatin1String(rows[r].colourM));
    }
}

// Each long text is printed as one line of the page: plain ASCII, 25 to 79
// characters, distinct from every other text of its field, and a sign's female
// and male texts differ.
TEST(ProfileTextTable, LongTextsFitOneLineAndAreTheirOwn)
{
    const ProfileField longFields[] = {ProfileField::Strengths, ProfileField::Weaknesses, ProfileField::Friendships,
                                       ProfileField::Love,      ProfileField::Health,     ProfileField::Fortune};
    std::set<QString> seen;
    int longest = 0;
    int shortest = 1000;
    for (const ProfileField f : longFields) {
        for (int r = 0; r < 12; ++r) {
            const QString female = profile::profileText(Variant::Female, f, r);
            const QString male = profile::profileText(Variant::Male, f, r);
            EXPECT_NE(female, male) << int(f) << ' ' << r;
            for (const QString& t : {female, male}) {
                for (const QChar c : t)
                    EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7F) << t.toStdString();
                EXPECT_EQ(t.trimmed(), t) << t.toStdString();
                longest = std::max(longest, int(t.size()));
                shortest = std::min(shortest, int(t.size()));
                seen.insert(t);
            }
        }
    }
    EXPECT_EQ(longest, 79);
    EXPECT_EQ(line(52).size(), 79);
    EXPECT_EQ(shortest, 25);
    // 144 texts; the one fortune line shared by Pisces and Scorpio is the only repeat.
    EXPECT_EQ(seen.size(), 143u);
}

TEST(SignRows, EverySignTheCalculatorGivesHasItsRow)
{
    std::set<int> rows;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 31; ++day) {
            const QString sign = profile::starSignFor(day, month);
            const auto row = profile::findSignRow(sign);
            ASSERT_TRUE(row) << sign.toStdString();
            EXPECT_EQ(line(*row), sign);
            rows.insert(*row);
        }
    }
    EXPECT_EQ(rows.size(), 12u);
}

TEST(SignRows, OnlyTheExactNameMatches)
{
    for (const char* text : {"aries", "ARIES", "Aries ", " Aries", "", "Sign", "Strengths", "Love", "Amethyst"})
        EXPECT_EQ(profile::findSignRow(QLatin1String(text)), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(profile::findSignRow(QStringLiteral("Aries")), 1);
    EXPECT_EQ(profile::findSignRow(QStringLiteral("Virgo")), 11);
}

} // namespace
