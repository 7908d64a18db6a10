#include "cli/profile_input.h"

#include "platform/int_conversion.h"
#include "platform/text_file.h"
#include "profile/star_sign.h"

#include <QRegularExpression>

namespace cli {

namespace {

// Why a box would refuse `text`, or nothing.
std::optional<QString> refusedText(const QString& text)
{
    for (const QChar c : text) {
        if (platform::hasControlCharacter(QString(c)))
            return c == u'\n' || c == u'\r' ? QStringLiteral("a line break is not allowed")
                                            : QStringLiteral("control character U+%1 is not allowed")
                                                  .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char32_t c = text[i].isHighSurrogate() && i + 1 < text.size()
                               ? QChar::surrogateToUcs4(text[i], text[i + 1])
                               : text[i].unicode();
        if (text[i].isSurrogate() || !platform::canEncodeCp1252(c))
            return QStringLiteral("'%1' cannot be printed: the pages hold only the Western character set "
                                  "(Windows-1252)")
                .arg(QString::fromUcs4(&c, 1));
    }
    return std::nullopt;
}

} // namespace

std::variant<profile::ProfileRecord, ProfileError> profileRecordFor(const ProfileArgs& args,
                                                                    const profile::TimeOfDayClock& clock)
{
    if (auto why = refusedText(args.date))
        return ProfileError{QStringLiteral("date"), *why};
    profile::StarSignResult date;
    try {
        date = profile::calculateStarSign(args.date);
    } catch (const platform::ConversionError& e) {
        return ProfileError{QStringLiteral("date"), QString::fromUtf8(e.what())};
    }
    if (!date.notices.isEmpty())
        return ProfileError{QStringLiteral("date"), date.notices.join(QStringLiteral(", ")).trimmed()};
    if (date.sign.isEmpty())
        return ProfileError{QStringLiteral("date"), QStringLiteral("'%1' gives no star sign").arg(args.date)};

    const std::pair<QString, const QString*> texts[] = {
        {QStringLiteral("name"), &args.name},
        {QStringLiteral("sentiment"), &args.sentiment},
        {QStringLiteral("lucky"), &args.lucky},
    };
    for (const auto& [field, text] : texts)
        if (auto why = refusedText(*text))
            return ProfileError{field, *why};

    QString lucky = args.lucky;
    if (args.drawLucky) {
        lucky = profile::drawLuckyNumbersText(clock);
    } else if (!lucky.isEmpty()) {
        static const QRegularExpression six(QStringLiteral("^\\s*(\\d+\\s+){5}\\d+\\s*$"));
        if (!six.match(lucky).hasMatch())
            return ProfileError{QStringLiteral("lucky"),
                                QStringLiteral("'%1' is not six whole numbers separated by blanks").arg(lucky)};
    }

    profile::ProfileInputs inputs{date.sign, date.birthday, args.name, args.sentiment, lucky,
                                  args.female ? profile::Variant::Female : profile::Variant::Male};
    const std::optional<profile::ProfileRecord> record = profile::assembleProfileRecord(inputs);
    if (!record || !profile::detailFileBytes(*record))
        return ProfileError{QStringLiteral("date"), QStringLiteral("'%1' gives no profile").arg(args.date)};
    return *record;
}

} // namespace cli
