// The profile record and the detail file that carries it to the page designs.
//
// The profile update assembles 13 fields (sign, the sign's eight texts in the
// chosen variant, birthday, name, sentiment, lucky numbers) and writes them to
// "detail.fdg" in the current folder: one line per field, each ended by CR LF,
// one byte per character in the Western code page. The file is replaced as a
// whole, so a page composed afterwards reads either the new profile or, if the
// write failed, the old one untouched; a failed write is remembered so that the
// page composition can say so instead of printing a stale profile.
#pragma once

#include "profile/profile_text_table.h"

#include <QString>

#include <array>
#include <optional>
#include <string>

namespace profile {

inline constexpr char kDetailFileName[] = "detail.fdg";
inline constexpr int kProfileRecordFieldCount = 13;

// Fields in file order: sign, strengths, weaknesses, friendships, love, health,
// fortune, birthstone, colour, birthday, name, sentiment, lucky numbers.
using ProfileRecord = std::array<QString, kProfileRecordFieldCount>;

// What the main window holds when the update runs, taken as it stands.
struct ProfileInputs {
    QString signBoxText;           // the sign box's text ("Sign" at start)
    QString birthday;              // the birthday string last set by the calculator
    QString name;                  // name box
    QString sentiment;             // sentiment box
    QString luckyNumbers;          // lucky-number box
    std::optional<Variant> variant; // from the current report; nothing when it is neither page's
};

// The record for `inputs`, or nothing when the sign box's text is no sign of the
// table or no variant is chosen.
std::optional<ProfileRecord> assembleProfileRecord(const ProfileInputs& inputs);

// The file's bytes for a record; nothing when some field holds a line break or
// another control character, or a character without a byte in the code page.
std::optional<std::string> detailFileBytes(const ProfileRecord& record);

// Whether detail.fdg holds the profile the window shows. The profile update
// records the outcome of every update here; the page binding asks before it
// composes, so that a failed update stops Preview and Print with its reason
// instead of printing what an earlier update left in the file. The main window
// owns one and hands it to the pages it composes.
class DetailFileState {
public:
    void written() { failure_.reset(); }
    void failed(const QString& why) { failure_ = why; }
    // Why the last update left no current profile, or nothing after a good one.
    const std::optional<QString>& failure() const { return failure_; }

private:
    std::optional<QString> failure_;
};

enum class ProfileUpdateResult {
    Written,     // detail.fdg now holds the record
    NoSignRow,   // nothing written, file untouched
    NoVariant,   // nothing written, file untouched
    WriteFailed, // old file untouched
};

// The profile update. Never throws and shows nothing. Whenever it ends without a
// new file (no sign, no page chosen, a field that cannot be written, a failed
// write) the file keeps its old content and `state` records the reason; a good
// write clears it.
ProfileUpdateResult updateProfile(const ProfileInputs& inputs, DetailFileState& state);

} // namespace profile
