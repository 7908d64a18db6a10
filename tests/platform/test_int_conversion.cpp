#include "platform/int_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

struct Case {
    const char* text;
    std::optional<std::int32_t> value;
};

class IntConversion : public ::testing::TestWithParam<Case> {};

TEST_P(IntConversion, AcceptsExactlyTheGrammar)
{
    const Case& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(platform::tryTextToInt(text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(platform::tryTextToInt(std::string_view(c.text)), c.value) << '"' << c.text << '"';
    if (c.value) {
        EXPECT_EQ(platform::textToInt(text), *c.value);
    } else {
        try {
            platform::textToInt(text);
            ADD_FAILURE() << "no error for \"" << c.text << '"';
        } catch (const platform::ConversionError& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("'%1' is not a valid integer value").arg(text));
            EXPECT_EQ(e.text(), text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntConversion,
    ::testing::Values(
        // plain, signed, leading zeros, leading blanks
        Case{"0", 0}, Case{"05", 5}, Case{"31", 31}, Case{"-7", -7}, Case{"+12", 12}, Case{" 5", 5},
        Case{"   -04", -4}, Case{"00000000000000000042", 42},
        // hexadecimal, either case
        Case{"$1F", 31}, Case{"$ff", 255}, Case{"  $0a", 10}, Case{"$7FFFFFFF", 2147483647},
        // the 32-bit limits
        Case{"2147483647", 2147483647}, Case{"-2147483648", INT32_MIN}, Case{"2147483648", std::nullopt},
        Case{"-2147483649", std::nullopt}, Case{"99999999999999999999", std::nullopt},
        Case{"$80000000", std::nullopt}, Case{"$100000000", std::nullopt},
        // failures: empty, blanks only, trailing blank, letters, signs without digits
        Case{"", std::nullopt}, Case{" ", std::nullopt}, Case{"5 ", std::nullopt}, Case{"0 4", std::nullopt},
        Case{"1a", std::nullopt}, Case{"$", std::nullopt}, Case{"-", std::nullopt}, Case{"+-1", std::nullopt},
        Case{"-$10", std::nullopt}, Case{"$-1", std::nullopt}, Case{"$G", std::nullopt}, Case{"0x10", std::nullopt},
        Case{"\t5", std::nullopt}, Case{"1e3", std::nullopt}, Case{"1.0", std::nullopt},
        // the message quotes the text as it is, placeholders and all
        Case{"%1 and %2", std::nullopt}, Case{"J\xC3\xBCl", std::nullopt},
        // non-ASCII digits and blanks are not digits and blanks here
        Case{"\xD9\xA3", std::nullopt}, Case{"\xC2\xA0" "5", std::nullopt}, Case{"\xEF\xBC\x95", std::nullopt}));

} // namespace
