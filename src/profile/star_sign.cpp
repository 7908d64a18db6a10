#include "profile/star_sign.h"

#include "platform/int_conversion.h"

#include <array>

namespace profile {

namespace {

// Each month holds the end of one sign and the start of the next: days up to
// `lastDayOfFirst` (any lower value included) belong to `first`, every later day
// to `second`.
struct MonthSigns {
    int lastDayOfFirst;
    const char* first;
    const char* second;
};

constexpr std::array<MonthSigns, 12> kMonthSigns = {{
    {20, "Capricorn", "Aquarius"},
    {18, "Aquarius", "Pisces"},
    {20, "Pisces", "Aries"},
    {19, "Aries", "Taurus"},
    {20, "Taurus", "Gemini"},
    {21, "Gemini", "Cancer"},
    {22, "Cancer", "Leo"},
    {22, "Leo", "Virgo"},
    {22, "Virgo", "Libra"},
    {23, "Libra", "Scorpio"},
    {22, "Scorpio", "Sagittarius"},
    {21, "Sagittarius", "Capricorn"},
}};

// As printed on the page, trailing blank and spellings included.
constexpr std::array<const char*, 12> kMonthNames = {
    "January ", "February ", "March ",   "April ",   "May ",      "June ",
    "Julj ",    "Augaust ",  "September ", "October ", "November ", "December ",
};

constexpr int kLastDay = 31;
constexpr int kLastMonth = 12;

// The ordinal suffix, decided on the day's two characters as typed.
QString ordinalSuffix(QChar c1, QChar c2)
{
    const char* suffix = "th";
    if (c2 == u'1')
        suffix = "st";
    else if (c2 == u'2')
        suffix = "nd";
    else if (c2 == u'3')
        suffix = "rd";
    if (c1 == u'1') // 10 to 19
        suffix = "th";
    return QString::fromLatin1(suffix);
}

} // namespace

QString starSignFor(int day, int month)
{
    if (month < 1 || month > kLastMonth)
        return {};
    const MonthSigns& m = kMonthSigns[static_cast<std::size_t>(month - 1)];
    return QString::fromLatin1(day <= m.lastDayOfFirst ? m.first : m.second);
}

QString monthName(int month)
{
    if (month < 1 || month > kLastMonth)
        return {};
    return QString::fromLatin1(kMonthNames[static_cast<std::size_t>(month - 1)]);
}

StarSignResult calculateStarSign(const QString& dateText)
{
    QString dayText = dateText.left(2);
    const QString monthText = dateText.mid(2, 2);

    const int day = platform::textToInt(dayText);
    const int month = platform::textToInt(monthText);

    StarSignResult result;
    if (day > kLastDay)
        result.notices << QString::fromLatin1(kBadDayNotice);
    if (month > kLastMonth)
        result.notices << QString::fromLatin1(kBadMonthNotice);

    result.sign = starSignFor(day, month);
    const QString name = monthName(month);

    const QChar c1 = dayText.size() > 0 ? dayText[0] : QChar();
    const QChar c2 = dayText.size() > 1 ? dayText[1] : QChar();
    const QString suffix = ordinalSuffix(c1, c2);
    if (c1 == u'0')
        dayText = c2.isNull() ? QString() : QString(c2);

    result.heading = result.sign + QStringLiteral("   ") + name + QLatin1Char(' ') + dayText + suffix;
    result.birthday = name + dayText + suffix;
    return result;
}

} // namespace profile
