#include "profile/star_sign.h"

#include "platform/int_conversion.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// The suffix comes from the two characters as typed; a leading zero is dropped
// after it is chosen. Only day > 31 and month > 12 are noticed, and the results follow anyway.
TEST(StarSignDates, SignHeadingBirthdayAndNotices)
{
    const QStringList none, badDay{"Bad Day "}, badMonth{"Bad Month"};
    const struct { const char* date; const char* sign; const char* heading; const char* birthday; QStringList notices; } cases[] = {
        {"0504", "Aries", "Aries   April  5th", "April 5th", none},
        {"05041999", "Aries", "Aries   April  5th", "April 5th", none},
        {"1007", "Cancer", "Cancer   Julj  10th", "Julj 10th", none},
        {"0108", "Leo", "Leo   Augaust  1st", "Augaust 1st", none},
        {"0208", "Leo", "Leo   Augaust  2nd", "Augaust 2nd", none},
        {"0308", "Leo", "Leo   Augaust  3rd", "Augaust 3rd", none},
        {"1108", "Leo", "Leo   Augaust  11th", "Augaust 11th", none},
        {"1208", "Leo", "Leo   Augaust  12th", "Augaust 12th", none},
        {"1308", "Leo", "Leo   Augaust  13th", "Augaust 13th", none},
        {"3108", "Virgo", "Virgo   Augaust  31st", "Augaust 31st", none},
        {" 5 4", "Aries", "Aries   April   5th", "April  5th", none},
        {"+501", "Capricorn", "Capricorn   January  +5th", "January +5th", none},
        {"-101", "Capricorn", "Capricorn   January  -1st", "January -1st", none},
        {"$A01", "Capricorn", "Capricorn   January  $Ath", "January $Ath", none},
        {"3202", "Pisces", "Pisces   February  32nd", "February 32nd", badDay},
        {"1513", "", "    15th", "15th", badMonth},
        {"9913", "", "    99th", "99th", badDay + badMonth},
        {"0000", "", "    0th", "0th", none},
        {"01-1", "", "    1st", "1st", none},
    };
    for (const auto& c : cases) {
        const profile::StarSignResult r = profile::calculateStarSign(QString::fromUtf8(c.date));
        EXPECT_EQ(std::tuple(r.sign, r.heading, r.birthday, r.notices),
                  std::tuple(QString::fromUtf8(c.sign), QString::fromUtf8(c.heading), QString::fromUtf8(c.birthday), c.notices))
            << c.date;
    }
}

// Every sign starts on its day, and the day before belongs to the sign before it.
TEST(StarSignBoundaries, FirstDayOfEverySignAndTheDayBefore)
{
    struct FirstDay { int day; int month; const char* sign; const char* birthday; };
    const FirstDay firsts[] = {
        {21, 1, "Aquarius", "January 21st"},     {19, 2, "Pisces", "February 19th"},  {21, 3, "Aries", "March 21st"},
        {20, 4, "Taurus", "April 20th"},         {21, 5, "Gemini", "May 21st"},       {22, 6, "Cancer", "June 22nd"},
        {23, 7, "Leo", "Julj 23rd"},             {23, 8, "Virgo", "Augaust 23rd"},    {23, 9, "Libra", "September 23rd"},
        {24, 10, "Scorpio", "October 24th"},     {23, 11, "Sagittarius", "November 23rd"},
        {22, 12, "Capricorn", "December 22nd"},
    };
    for (std::size_t i = 0; i < std::size(firsts); ++i) {
        const FirstDay& f = firsts[i];
        const char* previous = firsts[(i + 11) % 12].sign;
        const auto date = [&](int day) { return QStringLiteral("%1%2").arg(day, 2, 10, QLatin1Char('0')).arg(f.month, 2, 10, QLatin1Char('0')); };
        EXPECT_EQ(profile::calculateStarSign(date(f.day)).sign, QLatin1String(f.sign)) << f.day << '/' << f.month;
        EXPECT_EQ(profile::calculateStarSign(date(f.day)).birthday, QLatin1String(f.birthday)); // every month's spelling
        EXPECT_EQ(profile::calculateStarSign(date(f.day - 1)).sign, QLatin1String(previous)) << f.day << '/' << f.month;
        // Any day value, however far out, still gives the month's early or late sign.
        EXPECT_EQ(profile::starSignFor(-2147483647 - 1, f.month), profile::starSignFor(1, f.month));
        EXPECT_EQ(profile::starSignFor(2147483647, f.month), profile::starSignFor(31, f.month));
    }
    for (const int month : {0, -1, 13})
        EXPECT_EQ(profile::starSignFor(10, month), QString()) << month;
}

// The day piece is converted first, so it is the one named when both fail.
TEST(StarSignErrors, ConversionMessageNamesTheFailingPiece)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "''"}, {"1", "''"}, {" ", "' '"}, {"5 04", "'5 '"}, {"xxyy", "'xx'"},
        {"05ab", "'ab'"}, {"05 ", "' '"}, {"0.04", "'0.'"}, {"011 ", "'1 '"},
    };
    for (const auto& [date, quoted] : cases)
        EXPECT_EQ(testsupport::errorOf<platform::ConversionError>([&] { profile::calculateStarSign(QString::fromUtf8(date)); }),
                  std::string(quoted) + " is not a valid integer value")
            << date;
}

} // namespace
