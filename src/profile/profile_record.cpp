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
        std::optional<std::string> bytes = platform::encodeCp1252(field);
        if (!bytes)
            return std::nullopt;
        lines.push_back(std::move(*bytes));
    }
    return platform::joinLinesCrLf(lines);
}

ProfileUpdateResult updateProfile(const ProfileInputs& inputs)
{
    if (!findSignRow(inputs.signBoxText))
        return ProfileUpdateResult::NoSignRow;
    const std::optional<ProfileRecord> record = assembleProfileRecord(inputs);
    if (!record)
        return ProfileUpdateResult::NoVariant;

    const std::optional<std::string> bytes = detailFileBytes(*record);
    if (!bytes) {
        // The boxes refuse such characters, so this only guards against text that
        // reached them some other way: better no file than a silently altered one.
        platform::recordWriteFailure(
            kDetailFileName, -1,
            QStringLiteral("Cannot write %1: the profile holds characters outside the Western character set")
                .arg(QLatin1String(kDetailFileName)));
        return ProfileUpdateResult::WriteFailed;
    }
    try {
        platform::replaceFileContents(kDetailFileName, *bytes);
    } catch (const platform::FileError&) {
        // Remembered by replaceFileContents; the page composition reports it.
        return ProfileUpdateResult::WriteFailed;
    }
    return ProfileUpdateResult::Written;
}

bool lastDetailWriteFailed()
{
    return platform::lastWriteFailure(kDetailFileName).has_value();
}

QString lastDetailWriteError()
{
    const auto failure = platform::lastWriteFailure(kDetailFileName);
    return failure ? failure->message : QString();
}

} // namespace profile
