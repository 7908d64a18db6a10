// The profile text table: 221 lines, fixed forever in their positions. Lines 0-11
// are the sign names in alphabetical order (a sign's position is its row), then
// sixteen blocks of a header line and twelve texts, one per row: eight fields of
// the female variant, then eight of the male variant; the last line is empty.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

namespace profile {

inline constexpr int kProfileTextLineCount = 221;
inline constexpr int kSignCount = 12;

enum class Variant { Female = 0, Male = 1 };

enum class ProfileField {
    Strengths = 1,
    Weaknesses,
    Friendships,
    Love,
    Health,
    Fortune,
    Birthstone,
    Colour,
};
inline constexpr int kTextFieldCount = 8;

// Line n (0 to 220) without any line end; throws std::out_of_range otherwise.
std::string_view profileTextLine(int n);

// The whole table, for whoever wants to hold it as lines of text.
QStringList profileTextLines();

// The row of a sign name: its position among lines 0-11, by exact, case-sensitive
// comparison of the whole line; nothing when no line is equal.
std::optional<int> findSignRow(const QString& sign);

// The line that holds `field` of `variant` for `row`: 13 * (8v + f) + row.
int profileTextLineNumber(Variant variant, ProfileField field, int row);

// The text at that line; throws std::out_of_range for a row outside 0 to 11.
QString profileText(Variant variant, ProfileField field, int row);

} // namespace profile
