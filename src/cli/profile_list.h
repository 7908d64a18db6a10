// Lists of profiles as spreadsheets save them: CSV (RFC 4180: commas, quoted
// fields with "" for a quote, line breaks inside quotes), UTF-8 with or without
// a byte-order mark, CR LF or LF line ends. The header row names the columns,
// in any order and any case: date, gender, name, sentiment, and optionally
// lucky. Any other column is an error, so that a misspelt one is never
// silently ignored.
#pragma once

#include "cli/command_line.h"
#include "profile/profile_record.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace cli {

struct ListRow {
    int line = 0; // where the row starts in the file, from 1 (the header is line 1)
    bool female = false;
    profile::ProfileRecord record; // ready to compose
};

// What is wrong with the list: the line, the column (empty for the whole line)
// and why.
struct ListError {
    int line = 0;
    QString column;
    QString reason;
    QString text() const; // "line 4, column gender: 'X' is not M, F, male or female"
};

struct ProfileList {
    std::vector<ListRow> rows;
    std::vector<ListError> errors; // empty when every row can be composed
};

// Reads and checks the whole list; a row is only good when its profile could
// be composed (its date gives a sign, its texts can be printed). Rows drawing
// lucky numbers ("draw") each get a draw of their own.
ProfileList readProfileList(const QByteArray& bytes);

} // namespace cli
