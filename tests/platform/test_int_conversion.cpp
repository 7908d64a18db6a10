#include "platform/int_conversion.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

TEST(IntConversion, AcceptsExactlyTheGrammar)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        // plain, signed, leading zeros and blanks, hexadecimal in either case
        {"0", 0}, {"-7", -7}, {"+12", 12}, {"   -04", -4}, {"00000000000000000042", 42},
        {"$1F", 31}, {"  $0a", 10}, {"$7FFFFFFF", 2147483647},
        // the 32-bit limits
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt}, {"99999999999999999999", std::nullopt}, {"$80000000", std::nullopt},
        // empty, blanks, trailing or inner blank, letters, signs without digits, other number forms
        {"", std::nullopt}, {" ", std::nullopt}, {"5 ", std::nullopt}, {"0 4", std::nullopt}, {"1a", std::nullopt},
        {"$", std::nullopt}, {"-", std::nullopt}, {"+-1", std::nullopt}, {"-$10", std::nullopt}, {"$-1", std::nullopt},
        {"0x10", std::nullopt}, {"\t5", std::nullopt}, {"1.0", std::nullopt},
        // quoted as it is, placeholders and all; non-ASCII digits and blanks are neither here
        {"%1 and %2", std::nullopt}, {"\xD9\xA3", std::nullopt}, {"\xC2\xA0" "5", std::nullopt}, {"\xEF\xBC\x95", std::nullopt},
    };
    for (const auto& [raw, value] : cases) {
        const QString text = QString::fromUtf8(raw);
        EXPECT_EQ(platform::tryTextToInt(text), value) << '"' << raw << '"';
        EXPECT_EQ(platform::tryTextToInt(std::string_view(raw)), value) << '"' << raw << '"';
        if (value) {
            EXPECT_EQ(platform::textToInt(text), *value);
        } else {
            EXPECT_EQ(testsupport::errorOf<platform::ConversionError>([&] { platform::textToInt(text); }),
                      QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
        }
    }
}

} // namespace
