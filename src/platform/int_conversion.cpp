#include "platform/int_conversion.h"

#include <limits>

namespace platform {

namespace {

// Value of one digit in the given base, or -1.
int digitValue(char32_t c, int base)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (base == 16) {
        if (c >= U'A' && c <= U'F')
            return static_cast<int>(c - U'A') + 10;
        if (c >= U'a' && c <= U'f')
            return static_cast<int>(c - U'a') + 10;
    }
    return -1;
}

// Works on UTF-16 code units: every character the grammar accepts is ASCII, so a
// surrogate or any other non-ASCII unit simply fails as "not a digit".
template <class Unit>
std::optional<std::int32_t> parse(const Unit* p, std::size_t n)
{
    std::size_t i = 0;
    while (i < n && p[i] == Unit(' '))
        ++i;

    bool negative = false;
    int base = 10;
    if (i < n && (p[i] == Unit('-') || p[i] == Unit('+'))) {
        negative = p[i] == Unit('-');
        ++i;
    } else if (i < n && p[i] == Unit('$')) {
        base = 16;
        ++i;
    }
    if (i == n)
        return std::nullopt;

    // Accumulate the magnitude with a limit one past INT32_MAX so that
    // "-2147483648" still converts.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const int d = digitValue(static_cast<char32_t>(static_cast<std::make_unsigned_t<Unit>>(p[i])), base);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

QString conversionErrorMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(conversionErrorMessage(text).toStdString())
    , text_(text)
{
}

std::optional<std::int32_t> tryTextToInt(const QString& text)
{
    return parse(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

std::optional<std::int32_t> tryTextToInt(std::string_view utf8Text)
{
    // Non-ASCII bytes of UTF-8 are never digits, so the bytes can be read directly.
    return parse(utf8Text.data(), utf8Text.size());
}

std::int32_t textToInt(const QString& text)
{
    if (const auto v = tryTextToInt(text))
        return *v;
    throw ConversionError(text);
}

std::int32_t textToInt(std::string_view utf8Text)
{
    if (const auto v = tryTextToInt(utf8Text))
        return *v;
    throw ConversionError(QString::fromUtf8(utf8Text.data(), static_cast<qsizetype>(utf8Text.size())));
}

} // namespace platform
