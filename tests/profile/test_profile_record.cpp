#include "profile/profile_record.h"

#include "platform/text_file.h"
#include "profile/star_sign.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    profile::DetailFileState state;
    fs::path file() const { return dir.path() / "detail.fdg"; }
    ProfileUpdateResult update(const ProfileInputs& in) { return profile::updateProfile(in, state); }
    QString failure() const { return state.failure().value_or(QString()); }
};

TEST_F(DetailFile, BothVariantsByteForByte)
{
    struct Case { Variant variant; int firstTextLine; const char* tail; const char* date; };
    // The sign's strengths in that variant; five more texts follow 13 lines apart.
    const Case cases[] = {{Variant::Female, 14, "Diamond\r\nRed\r\nApril 5th", "0504"},
                          {Variant::Male, 118, "Diamond\r\nRed\r\nApril 5th", "0504"},
                          {Variant::Female, 15, "Pearl\r\nSilver\r\nJulj 1st", "0107"},
                          {Variant::Male, 119, "Ruby\r\nWhite\r\nJulj 1st", "0107"}};
    for (const Case& c : cases) {
        ASSERT_EQ(update(startInputs(c.date, c.variant)), ProfileUpdateResult::Written);
        std::string expected = c.date == std::string_view("0504") ? "Aries\r\n" : "Cancer\r\n";
        for (int i = 0; i < 6; ++i)
            expected += std::string(profile::profileTextLine(c.firstTextLine + 13 * i)) + "\r\n";
        expected += std::string(c.tail) + "\r\nName\r\nPersonal Sentiment Line\r\n\r\n";
        EXPECT_EQ(bytesOf(file()), expected); // each case replaces the file the one before wrote
    }
}

TEST_F(DetailFile, EmptyAndCodePageFields)
{
    ProfileInputs in{QStringLiteral("Virgo"), QString(), QString(), QString(), QString(), Variant::Male};
    ASSERT_EQ(update(in), ProfileUpdateResult::Written);
    EXPECT_TRUE(bytesOf(file()).ends_with("\r\nBlue\r\n\r\n\r\n\r\n\r\n"));

    in.name = QStringLiteral("Zoë Brontë €");
    in.sentiment = QStringLiteral("“Quoted” — dash…");
    in.luckyNumbers = QStringLiteral("1 2 3 4 5 6");
    in.birthday = QStringLiteral("Augaust 23rd");
    ASSERT_EQ(update(in), ProfileUpdateResult::Written);
    EXPECT_TRUE(bytesOf(file()).ends_with(
        "\r\nBlue\r\nAugaust 23rd\r\nZo\xEB Bront\xEB \x80\r\n\x93Quoted\x94 \x97 dash\x85\r\n1 2 3 4 5 6\r\n"));
}

// An update that cannot produce a record (no sign row, no chosen page, a field
// that cannot be written, a failed write) leaves an earlier file (or its absence)
// alone, and is remembered, with its reason, until a good write.
TEST_F(DetailFile, AnUpdateWithoutARecordKeepsTheOldFileAndIsRemembered)
{
    const QString noSign = QStringLiteral("There is no profile to print: the date gives no star sign. Type the "
                                          "birth date as DDMM, with a month from 01 to 12, and try again");
    const QString unwritable = QStringLiteral("The profile could not be written to detail.fdg: it holds a line "
                                              "break, a control character or a character outside the Western "
                                              "character set");
    auto withName = [](const char16_t* name) {
        ProfileInputs in = startInputs("0504", Variant::Male);
        in.name = QString::fromUtf16(name);
        return in;
    };
    const struct { ProfileInputs in; ProfileUpdateResult result; QString why; } cases[] = {
        {startInputs("1513", Variant::Male), ProfileUpdateResult::NoSignRow, noSign}, // month 13 empties the sign
        {startInputs("0504", std::nullopt), ProfileUpdateResult::NoVariant,
         QStringLiteral("There is no profile to print: neither the male nor the female page is chosen")},
        {withName(u"Line1\nLine2"), ProfileUpdateResult::WriteFailed, unwritable}, // a record is 13 lines, always
        {withName(u"Bell\u0007"), ProfileUpdateResult::WriteFailed, unwritable},
        {withName(u"\u03A9mega"), ProfileUpdateResult::WriteFailed, unwritable}, // not written in some altered form
    };
    for (const bool earlierFile : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.in.name.toStdString() + " / " + c.in.signBoxText.toStdString());
            if (earlierFile) {
                ASSERT_EQ(update(startInputs("0101", Variant::Male)), ProfileUpdateResult::Written);
            }
            const std::string before = earlierFile ? bytesOf(file()) : std::string();
            EXPECT_EQ(update(c.in), c.result);
            EXPECT_EQ(failure(), c.why);
            EXPECT_EQ(fs::exists(file()), earlierFile);
            if (earlierFile) {
                EXPECT_EQ(bytesOf(file()), before);
            }
        }
    }
    ASSERT_EQ(update(startInputs("0504", Variant::Male)), ProfileUpdateResult::Written);
    EXPECT_EQ(failure(), QString());
}

TEST_F(DetailFile, AFailedWriteNamesTheCause)
{
    ASSERT_EQ(update(startInputs("0504", Variant::Female)), ProfileUpdateResult::Written);
    const std::string old = bytesOf(file());
    {
        testsupport::FileSizeLimit full(16); // the write itself fails half way
        EXPECT_EQ(update(startInputs("0504", Variant::Male)), ProfileUpdateResult::WriteFailed);
    }
    EXPECT_EQ(bytesOf(file()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1); // no leftovers
    EXPECT_EQ(failure(), QStringLiteral("The profile could not be written: Disk full (detail.fdg: File too large)"));
}

} // namespace
