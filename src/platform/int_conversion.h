// The program's one text-to-integer conversion, shared by the date box and the
// spin edit so that both accept and refuse exactly the same texts.
//
// Accepted: any number of leading blanks (U+0020 only), then either one "-" or
// "+" sign or one "$" that makes the digits hexadecimal, then one or more digits
// (0-9, and A-F in either case after "$") and nothing else. The value must lie
// in the signed 32-bit range; a hexadecimal text names a non-negative value, so
// "$80000000" and above are out of range. Everything else fails: an empty text,
// trailing blanks, a sign together with "$", other characters.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Thrown by textToInt; what() is "'<text>' is not a valid integer value" in UTF-8,
// <text> being the whole text that failed, exactly as given.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text);
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The message for a text that does not convert.
QString conversionErrorMessage(const QString& text);

// The value of `text`, or nothing when it does not follow the grammar above.
std::optional<std::int32_t> tryTextToInt(const QString& text);
std::optional<std::int32_t> tryTextToInt(std::string_view utf8Text);

// The value of `text`; throws ConversionError when it does not convert.
std::int32_t textToInt(const QString& text);
std::int32_t textToInt(std::string_view utf8Text);

} // namespace platform
