// A profile given on the command line or in a list, checked by the window's own
// rules and turned into the record the pages print.
#pragma once

#include "cli/command_line.h"
#include "profile/lucky_numbers.h"
#include "profile/profile_record.h"

#include <QString>

#include <variant>

namespace cli {

// What is wrong with one value: the option or column it came from and why.
struct ProfileError {
    QString field;  // "date", "name", "sentiment", "lucky"
    QString reason; // e.g. "Bad Month", "'3x' is not a valid integer value"
};

// The record for `args`, or the first thing wrong with it. The date is read as
// the date box reads it (a notice such as "Bad Day " is an error here), and a
// text is refused when it holds a line break, a control character or a
// character that the Western code page cannot hold, as the boxes refuse them.
// Lucky numbers are six whole numbers separated by blanks; a draw uses `clock`.
std::variant<profile::ProfileRecord, ProfileError>
profileRecordFor(const ProfileArgs& args, const profile::TimeOfDayClock& clock = profile::millisecondsSinceMidnightUtc);

} // namespace cli
