#include "cli/profile_list.h"

#include "cli/profile_input.h"

#include <QStringDecoder>

#include <array>
#include <optional>

namespace cli {

namespace {

enum Column { Date, Gender, Name, Sentiment, Lucky, ColumnCount };
constexpr std::array<const char*, ColumnCount> kColumnNames = {"date", "gender", "name", "sentiment", "lucky"};

struct Record {
    int line = 0;
    QStringList fields;
};

// Splits CSV text into records; stops at the first malformed one.
std::vector<Record> splitRecords(const QString& text, std::optional<ListError>& error)
{
    std::vector<Record> records;
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        Record record{line, {}};
        for (;;) {
            QString field;
            if (i < n && text[i] == u'"') {
                const int quoteLine = line;
                ++i;
                for (;;) {
                    if (i >= n) {
                        error = ListError{quoteLine, {}, QStringLiteral("a quoted field is never closed")};
                        return records;
                    }
                    const QChar c = text[i++];
                    if (c == u'"') {
                        if (i < n && text[i] == u'"') {
                            field += u'"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    field += c;
                }
                if (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
                    error = ListError{line, {}, QStringLiteral("text follows a closing quote; a quote inside a field is written \"\"")};
                    return records;
                }
            } else {
                while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
                    if (text[i] == u'"') {
                        error = ListError{line, {}, QStringLiteral("a quote inside an unquoted field; quote the whole field and write the quote as \"\"")};
                        return records;
                    }
                    field += text[i++];
                }
            }
            record.fields << field;
            if (i < n && text[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        // The line end: CR LF, LF or a lone CR.
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        ++line;
        // A blank line (as a last line end often leaves) is no row.
        if (!(record.fields.size() == 1 && record.fields.first().isEmpty()))
            records.push_back(std::move(record));
    }
    return records;
}

std::optional<bool> femaleFrom(const QString& gender)
{
    const QString g = gender.trimmed().toLower();
    if (g == QLatin1String("f") || g == QLatin1String("female"))
        return true;
    if (g == QLatin1String("m") || g == QLatin1String("male"))
        return false;
    return std::nullopt;
}

} // namespace

QString ListError::text() const
{
    QString where = QStringLiteral("line %1").arg(line);
    if (!column.isEmpty())
        where += QStringLiteral(", column %1").arg(column);
    return where + QStringLiteral(": ") + reason;
}

ProfileList readProfileList(const QByteArray& bytes)
{
    ProfileList list;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QString text = utf8(body);
    if (utf8.hasError()) {
        // Name the first line that does not decode, so the user knows where to look.
        int bad = 1;
        for (const QByteArray& l : body.split('\n')) {
            QStringDecoder probe(QStringDecoder::Utf8);
            const QString decoded = probe(l);
            if (probe.hasError())
                break;
            ++bad;
        }
        list.errors.push_back({bad, {}, QStringLiteral("the list is not UTF-8 text; save it as \"CSV UTF-8\"")});
        return list;
    }

    std::optional<ListError> malformed;
    std::vector<Record> records = splitRecords(text, malformed);
    if (records.empty() && !malformed) {
        list.errors.push_back({1, {}, QStringLiteral("the list is empty; its first line names the columns")});
        return list;
    }

    // The header.
    std::array<int, ColumnCount> at;
    at.fill(-1);
    if (!records.empty()) {
        const Record& header = records.front();
        for (int f = 0; f < header.fields.size(); ++f) {
            const QString name = header.fields[f].trimmed().toLower();
            int c = 0;
            while (c < ColumnCount && name != QLatin1String(kColumnNames[static_cast<std::size_t>(c)]))
                ++c;
            if (c == ColumnCount)
                list.errors.push_back({header.line, header.fields[f],
                                       QStringLiteral("unknown column; the columns are date, gender, name, "
                                                      "sentiment and lucky")});
            else if (at[static_cast<std::size_t>(c)] >= 0)
                list.errors.push_back({header.line, name, QStringLiteral("the column is named twice")});
            else
                at[static_cast<std::size_t>(c)] = f;
        }
        for (int c : {Date, Gender, Name, Sentiment})
            if (at[static_cast<std::size_t>(c)] < 0)
                list.errors.push_back({header.line, QLatin1String(kColumnNames[static_cast<std::size_t>(c)]),
                                       QStringLiteral("the column is missing")});
    }
    if (malformed)
        list.errors.push_back(*malformed);
    if (!list.errors.empty())
        return list;
    if (records.size() == 1) {
        list.errors.push_back({records.front().line + 1, {}, QStringLiteral("the list has no rows")});
        return list;
    }

    const int columns = static_cast<int>(records.front().fields.size());
    const std::uint32_t drawSeed = profile::millisecondsSinceMidnightUtc();
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& rec = records[r];
        if (rec.fields.size() != columns) {
            list.errors.push_back({rec.line, {},
                                   QStringLiteral("%1 fields where the header has %2").arg(rec.fields.size()).arg(columns)});
            continue;
        }
        auto field = [&](Column c) {
            const int f = at[static_cast<std::size_t>(c)];
            return f < 0 ? QString() : rec.fields[f];
        };
        ProfileArgs profile;
        profile.date = field(Date).trimmed();
        profile.name = field(Name);
        profile.sentiment = field(Sentiment);
        const std::optional<bool> female = femaleFrom(field(Gender));
        if (!female) {
            list.errors.push_back({rec.line, QStringLiteral("gender"),
                                   QStringLiteral("'%1' is not M, F, male or female").arg(field(Gender))});
            continue;
        }
        profile.female = *female;
        const QString lucky = field(Lucky).trimmed();
        if (lucky.compare(QLatin1String("draw"), Qt::CaseInsensitive) == 0)
            profile.drawLucky = true;
        else
            profile.lucky = lucky;
        // Each row that draws gets a seed of its own, as if drawn a millisecond apart.
        const auto seed = drawSeed + static_cast<std::uint32_t>(r);
        const auto checked = profileRecordFor(profile, [seed] { return seed; });
        if (const auto* e = std::get_if<ProfileError>(&checked)) {
            list.errors.push_back({rec.line, e->field, e->reason});
            continue;
        }
        list.rows.push_back({rec.line, profile.female, std::get<profile::ProfileRecord>(checked)});
    }
    return list;
}

} // namespace cli
