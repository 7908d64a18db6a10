#include "profile/star_sign.h"

#include "platform/int_conversion.h"

#include <gtest/gtest.h>

namespace {

struct DateCase {
    const char* date;
    const char* sign;
    const char* heading;
    const char* birthday;
    QStringList notices;
};

class StarSignDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(StarSignDates, SignHeadingBirthdayAndNotices)
{
    const DateCase& c = GetParam();
    const profile::StarSignResult r = profile::calculateStarSign(QString::fromUtf8(c.date));
    EXPECT_EQ(r.sign, QString::fromUtf8(c.sign)) << c.date;
    EXPECT_EQ(r.heading, QString::fromUtf8(c.heading)) << c.date;
    EXPECT_EQ(r.birthday, QString::fromUtf8(c.birthday)) << c.date;
    EXPECT_EQ(r.notices, c.notices) << c.date;
}

const QStringList none;
const QStringList badDay{QStringLiteral("Bad Day ")};
const QStringList badMonth{QStringLiteral("Bad Month")};
const QStringList both{QStringLiteral("Bad Day "), QStringLiteral("Bad Month")};

INSTANTIATE_TEST_SUITE_P(
    Typical, StarSignDates,
    ::testing::Values(
        DateCase{"0101", "Capricorn", "Capricorn   January  1st", "January 1st", none},
        DateCase{"0504", "Aries", "Aries   April  5th", "April 5th", none},
        DateCase{"05041999", "Aries", "Aries   April  5th", "April 5th", none},
        DateCase{"1007", "Cancer", "Cancer   Julj  10th", "Julj 10th", none},
        DateCase{"3108", "Virgo", "Virgo   Augaust  31st", "Augaust 31st", none},
        DateCase{"1509", "Virgo", "Virgo   September  15th", "September 15th", none}));

// Suffixes come from the two characters as typed; a leading zero is dropped
// after the suffix is chosen, any other leading character stays.
INSTANTIATE_TEST_SUITE_P(
    Suffixes, StarSignDates,
    ::testing::Values(
        DateCase{"0108", "Leo", "Leo   Augaust  1st", "Augaust 1st", none},
        DateCase{"0208", "Leo", "Leo   Augaust  2nd", "Augaust 2nd", none},
        DateCase{"0308", "Leo", "Leo   Augaust  3rd", "Augaust 3rd", none},
        DateCase{"0408", "Leo", "Leo   Augaust  4th", "Augaust 4th", none},
        DateCase{"1108", "Leo", "Leo   Augaust  11th", "Augaust 11th", none},
        DateCase{"1208", "Leo", "Leo   Augaust  12th", "Augaust 12th", none},
        DateCase{"1308", "Leo", "Leo   Augaust  13th", "Augaust 13th", none},
        DateCase{"2108", "Leo", "Leo   Augaust  21st", "Augaust 21st", none},
        DateCase{"2208", "Leo", "Leo   Augaust  22nd", "Augaust 22nd", none},
        DateCase{"2308", "Virgo", "Virgo   Augaust  23rd", "Augaust 23rd", none},
        DateCase{"3008", "Virgo", "Virgo   Augaust  30th", "Augaust 30th", none},
        DateCase{" 5 4", "Aries", "Aries   April   5th", "April  5th", none},
        DateCase{"+501", "Capricorn", "Capricorn   January  +5th", "January +5th", none},
        DateCase{"-101", "Capricorn", "Capricorn   January  -1st", "January -1st", none},
        DateCase{"$A01", "Capricorn", "Capricorn   January  $Ath", "January $Ath", none}));

// Only a day above 31 and a month above 12 are noticed; the results follow anyway.
INSTANTIATE_TEST_SUITE_P(
    OutOfRange, StarSignDates,
    ::testing::Values(
        DateCase{"3202", "Pisces", "Pisces   February  32nd", "February 32nd", badDay},
        DateCase{"3201", "Aquarius", "Aquarius   January  32nd", "January 32nd", badDay},
        DateCase{"3002", "Pisces", "Pisces   February  30th", "February 30th", none},
        DateCase{"1513", "", "    15th", "15th", badMonth},
        DateCase{"3113", "", "    31st", "31st", badMonth},
        DateCase{"9913", "", "    99th", "99th", both},
        DateCase{"0000", "", "    0th", "0th", none},
        DateCase{"01-1", "", "    1st", "1st", none},
        DateCase{"0013", "", "    0th", "0th", badMonth}));

// Every sign starts on its documented day, and the day before still belongs to
// the sign that precedes it in the zodiac.
TEST(StarSignBoundaries, FirstDayOfEverySign)
{
    struct FirstDay { int day; int month; const char* sign; };
    const FirstDay firsts[] = {
        {21, 1, "Aquarius"}, {19, 2, "Pisces"}, {21, 3, "Aries"},    {20, 4, "Taurus"},
        {21, 5, "Gemini"},   {22, 6, "Cancer"}, {23, 7, "Leo"},      {23, 8, "Virgo"},
        {23, 9, "Libra"},    {24, 10, "Scorpio"}, {23, 11, "Sagittarius"}, {22, 12, "Capricorn"},
    };
    for (std::size_t i = 0; i < std::size(firsts); ++i) {
        const FirstDay& f = firsts[i];
        const char* previous = firsts[(i + std::size(firsts) - 1) % std::size(firsts)].sign;
        const QString first = QStringLiteral("%1%2").arg(f.day, 2, 10, QLatin1Char('0')).arg(f.month, 2, 10, QLatin1Char('0'));
        const QString before = QStringLiteral("%1%2").arg(f.day - 1, 2, 10, QLatin1Char('0')).arg(f.month, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(profile::calculateStarSign(first).sign, QLatin1String(f.sign)) << first.toStdString();
        EXPECT_EQ(profile::calculateStarSign(before).sign, QLatin1String(previous)) << before.toStdString();
    }
}

TEST(StarSignBoundaries, EveryDayValueOfAMonthHasASign)
{
    for (int month = 1; month <= 12; ++month) {
        const QString early = profile::starSignFor(1, month);
        const QString late = profile::starSignFor(31, month);
        EXPECT_NE(early, late) << month;
        for (const int day : {-2147483647 - 1, -5, 0})
            EXPECT_EQ(profile::starSignFor(day, month), early) << day << '/' << month;
        for (const int day : {32, 99, 2147483647})
            EXPECT_EQ(profile::starSignFor(day, month), late) << day << '/' << month;
    }
    for (const int month : {0, -1, 13, 99})
        EXPECT_EQ(profile::starSignFor(10, month), QString()) << month;
}

TEST(MonthNames, HouseSpellingsWithTrailingBlank)
{
    const char* names[] = {"January ", "February ", "March ",   "April ",   "May ",      "June ",
                           "Julj ",    "Augaust ",  "September ", "October ", "November ", "December "};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(profile::monthName(m), QLatin1String(names[m - 1]));
    EXPECT_EQ(profile::monthName(0), QString());
    EXPECT_EQ(profile::monthName(13), QString());
}

// The day piece is converted first, so it is the one named when both fail.
TEST(StarSignErrors, ConversionMessageNamesTheFailingPiece)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "''"},     {"1", "''"},     {"12", "''"},   {" ", "' '"},
        {"5 04", "'5 '"}, {"ab04", "'ab'"}, {"05ab", "'ab'"}, {"xxyy", "'xx'"},
        {"05 ", "' '"}, {"0.04", "'0.'"}, {"011 ", "'1 '"},
    };
    for (const auto& [date, quoted] : cases) {
        try {
            const auto r = profile::calculateStarSign(QString::fromUtf8(date));
            ADD_FAILURE() << '"' << date << "\" gave " << r.sign.toStdString();
        } catch (const platform::ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), std::string(quoted) + " is not a valid integer value") << date;
        }
    }
}

} // namespace
