#include "profile/profile_record.h"

#include "platform/text_file.h"
#include "profile/star_sign.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace fs = std::filesystem;
using profile::ProfileInputs;
using profile::ProfileUpdateResult;
using profile::Variant;

namespace {

std::string bytesOf(const fs::path& p)
{
    const auto v = testsupport::readFileBytes(p);
    return std::string(v.begin(), v.end());
}

// What the main window holds after typing a date, with the other boxes at their start texts.
ProfileInputs startInputs(const char* date, std::optional<Variant> variant)
{
    const auto calc = profile::calculateStarSign(QString::fromLatin1(date));
    return ProfileInputs{calc.sign, calc.birthday, QStringLiteral("Name"), QStringLiteral("Personal Sentiment Line"),
                         QString(), variant};
}

class DetailFile : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedCwd cwd{dir.path()};
    fs::path file() const { return dir.path() / "detail.fdg"; }
};

TEST_F(DetailFile, BothVariantsByteForByteAndRepeatable)
{
    struct Case { Variant variant; int firstTextLine; const char* tail; const char* date; };
    // The sign's strengths in that variant; five more texts follow 13 lines apart.
    const Case cases[] = {{Variant::Female, 14, "Diamond\r\nRed\r\nApril 5th", "0504"},
                          {Variant::Male, 118, "Diamond\r\nRed\r\nApril 5th", "0504"},
                          {Variant::Female, 15, "Pearl\r\nSilver\r\nJulj 1st", "0107"},
                          {Variant::Male, 119, "Ruby\r\nWhite\r\nJulj 1st", "0107"}};
    for (const Case& c : cases) {
        ASSERT_EQ(profile::updateProfile(startInputs(c.date, c.variant)), ProfileUpdateResult::Written);
        std::string expected = c.date == std::string_view("0504") ? "Aries\r\n" : "Cancer\r\n";
        for (int i = 0; i < 6; ++i)
            expected += std::string(profile::profileTextLine(c.firstTextLine + 13 * i)) + "\r\n";
        expected += std::string(c.tail) + "\r\nName\r\nPersonal Sentiment Line\r\n\r\n";
        EXPECT_EQ(bytesOf(file()), expected);
        ASSERT_EQ(profile::updateProfile(startInputs(c.date, c.variant)), ProfileUpdateResult::Written);
        EXPECT_EQ(bytesOf(file()), expected) << "a second update changed the file";
        EXPECT_FALSE(profile::lastDetailWriteFailed());
    }
}

TEST_F(DetailFile, EmptyAndCodePageFields)
{
    ProfileInputs in{QStringLiteral("Virgo"), QString(), QString(), QString(), QString(), Variant::Male};
    ASSERT_EQ(profile::updateProfile(in), ProfileUpdateResult::Written);
    EXPECT_TRUE(bytesOf(file()).ends_with("\r\nBlue\r\n\r\n\r\n\r\n\r\n"));

    in.name = QStringLiteral("Zoë Brontë €");
    in.sentiment = QStringLiteral("“Quoted” — dash…");
    in.luckyNumbers = QStringLiteral("1 2 3 4 5 6");
    in.birthday = QStringLiteral("Augaust 23rd");
    ASSERT_EQ(profile::updateProfile(in), ProfileUpdateResult::Written);
    EXPECT_TRUE(bytesOf(file()).ends_with(
        "\r\nBlue\r\nAugaust 23rd\r\nZo\xEB Bront\xEB \x80\r\n\x93Quoted\x94 \x97 dash\x85\r\n1 2 3 4 5 6\r\n"));
}

// An update without a sign row or without a chosen page writes nothing, and
// leaves an earlier file (or its absence) alone.
TEST_F(DetailFile, NoRowOrNoVariantWritesNothing)
{
    const std::pair<ProfileInputs, ProfileUpdateResult> cases[] = {
        {startInputs("1513", Variant::Male), ProfileUpdateResult::NoSignRow}, // month 13 empties the sign
        {ProfileInputs{QStringLiteral("aries"), {}, {}, {}, {}, Variant::Female}, ProfileUpdateResult::NoSignRow},
        {ProfileInputs{QStringLiteral("Aries "), {}, {}, {}, {}, Variant::Female}, ProfileUpdateResult::NoSignRow},
        {startInputs("0504", std::nullopt), ProfileUpdateResult::NoVariant},
    };
    for (const auto& [in, result] : cases) {
        EXPECT_EQ(profile::updateProfile(in), result);
        EXPECT_FALSE(fs::exists(file()));
    }
    testsupport::writeFileBytes(file(), {'o', 'l', 'd'});
    for (const auto& [in, result] : cases) {
        EXPECT_EQ(profile::updateProfile(in), result);
        EXPECT_EQ(bytesOf(file()), "old");
    }
}

TEST_F(DetailFile, AFailedWriteKeepsTheOldFileAndIsRemembered)
{
    ASSERT_EQ(profile::updateProfile(startInputs("0504", Variant::Female)), ProfileUpdateResult::Written);
    const std::string old = bytesOf(file());

    // Refuse any file larger than a few bytes: the write itself then fails half way.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const ProfileUpdateResult result = profile::updateProfile(startInputs("0504", Variant::Male));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result, ProfileUpdateResult::WriteFailed);
    EXPECT_EQ(bytesOf(file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1); // no leftovers
    EXPECT_EQ(profile::lastDetailWriteError(), QStringLiteral("Cannot write detail.fdg: Disk full"));

    // An update that writes nothing does not clear the memory; a good write does.
    profile::updateProfile(ProfileInputs{QStringLiteral("Sign"), {}, {}, {}, {}, Variant::Male});
    EXPECT_TRUE(profile::lastDetailWriteFailed());
    ASSERT_EQ(profile::updateProfile(startInputs("0504", Variant::Male)), ProfileUpdateResult::Written);
    EXPECT_FALSE(profile::lastDetailWriteFailed());
}

TEST_F(DetailFile, AFolderInTheWayOrTextWithoutBytesIsAFailure)
{
    fs::create_directory(file());
    EXPECT_EQ(profile::updateProfile(startInputs("0101", Variant::Male)), ProfileUpdateResult::WriteFailed);
    EXPECT_EQ(profile::lastDetailWriteError(), QStringLiteral("Cannot write detail.fdg: File access denied"));
    // The pages, which know nothing of the profile, see the same state.
    const auto failure = platform::lastWriteFailure("detail.fdg");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, profile::lastDetailWriteError());

    // Text the code page cannot hold is not written in some altered form either.
    fs::remove(file());
    ProfileInputs in = startInputs("0101", Variant::Male);
    in.name = QStringLiteral("Ωmega");
    EXPECT_EQ(profile::updateProfile(in), ProfileUpdateResult::WriteFailed);
    EXPECT_FALSE(fs::exists(file()));
}

} // namespace
