// The star-sign calculator: from the date as typed (day then month, "DDMM") to
// the sign, the heading line and the birthday string. It knows nothing of
// windows: the main window shows the notices, then sets the heading, keeps the
// birthday string and puts the sign in the sign box.
#pragma once

#include <QString>
#include <QStringList>

namespace profile {

// Notices shown (each in its own message box, in order) when the day or the
// month is too large. They are not errors: the results are still produced.
inline constexpr char kBadDayNotice[] = "Bad Day ";
inline constexpr char kBadMonthNotice[] = "Bad Month";

struct StarSignResult {
    QStringList notices; // "Bad Day " and/or "Bad Month", in the order to show them
    QString heading;     // e.g. "Aries   April  5th"
    QString birthday;    // e.g. "April 5th"
    QString sign;        // e.g. "Aries"; empty when the month is outside 1 to 12
};

// Works out everything for the date text exactly as typed. Characters 1-2 are the
// day, 3-4 the month, anything after the fourth is ignored. Throws
// platform::ConversionError (day first, then month) when a piece is not an
// integer; nothing is produced then.
StarSignResult calculateStarSign(const QString& dateText);

// The sign for a day and month; empty for a month outside 1 to 12. Every day
// value (0 and negatives included) falls in one of the month's two signs.
QString starSignFor(int day, int month);

// "January " to "December " (with their trailing blank and house spellings), or
// empty for a month outside 1 to 12.
QString monthName(int month);

} // namespace profile
