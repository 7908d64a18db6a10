#include "profile/profile_record.h"

#include "platform/text_file.h"

#include <vector>

namespace profile {

namespace {

// Record positions of the eight table texts follow the sign, in field order.
constexpr int kFirstTextField = 1;
constexpr int kBirthdayField = 9;
constexpr int kNameField = 10;
constexpr int kSentimentField = 11;
constexpr int kLuckyNumbersField = 12;

} // namespace

std::optional<ProfileRecord> assembleProfileRecord(const ProfileInputs& inputs)
{
    const std::optional<int> row = findSignRow(inputs.signBoxText);
    if (!row || !inputs.variant)
        return std::nullopt;

    ProfileRecord record;
    record[0] = inputs.signBoxText;
    for (int f = 0; f < kTextFieldCount; ++f)
        record[static_cast<std::size_t>(kFirstTextField + f)] =
            profileText(*inputs.variant, static_cast<ProfileField>(f + 1), *row);
    record[kBirthdayField] = inputs.birthday;
    record[kNameField] = inputs.name;
    record[kSentimentField] = inputs.sentiment;
    record[kLuckyNumbersField] = inputs.luckyNumbers;
    return record;
}

std::optional<std::string> detailFileBytes(const ProfileRecord& record)
{
    std::vector<std::string> lines;
    lines.reserve(record.size());
    for (const QString& field : record) {
        // A line break would split the record: it is 13 lines, always.
        if (platform::hasControlCharacter(field))
            return std::nullopt;
        std::optional<std::string> bytes = platform::encodeCp1252(field);
        if (!bytes)
            return std::nullopt;
        lines.push_back(std::move(*bytes));
    }
    return platform::joinLinesCrLf(lines);
}

namespace {

// Remembers why there is no current profile, so that Preview and Print say so
// instead of composing whatever an earlier update left in the file.
ProfileUpdateResult fail(DetailFileState& state, ProfileUpdateResult result, const QString& why)
{
    state.failed(why);
    return result;
}

} // namespace

ProfileUpdateResult updateProfile(const ProfileInputs& inputs, DetailFileState& state)
{
    if (!findSignRow(inputs.signBoxText))
        return fail(state, ProfileUpdateResult::NoSignRow,
                    QStringLiteral("There is no profile to print: the date gives no star sign. Type the birth "
                                   "date as DDMM, with a month from 01 to 12, and try again"));
    const std::optional<ProfileRecord> record = assembleProfileRecord(inputs);
    if (!record)
        return fail(state, ProfileUpdateResult::NoVariant,
                    QStringLiteral("There is no profile to print: neither the male nor the female page is chosen"));

    const std::optional<std::string> bytes = detailFileBytes(*record);
    if (!bytes) {
        // The boxes refuse such characters, so this only guards against text that
        // reached them some other way: better no file than a silently altered one.
        return fail(state, ProfileUpdateResult::WriteFailed,
                    QStringLiteral("The profile could not be written to %1: it holds a line break, a control "
                                   "character or a character outside the Western character set")
                        .arg(QLatin1String(kDetailFileName)));
    }
    try {
        platform::replaceFileContents(kDetailFileName, *bytes);
    } catch (const platform::FileError& e) {
        return fail(state, ProfileUpdateResult::WriteFailed,
                    QStringLiteral("The profile could not be written: %1").arg(QString::fromUtf8(e.what())));
    }
    state.written();
    return ProfileUpdateResult::Written;
}

} // namespace profile
