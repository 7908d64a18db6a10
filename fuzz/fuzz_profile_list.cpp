// libFuzzer target: the command line's reader of CSV lists of profiles. Whatever
// it accepts must be composable: every row a 13-field record whose every field
// the detail file's writer takes (no line breaks, no control characters, only
// the Western code page); a list gives good rows, errors, or both, never neither.
#include "cli/profile_list.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const cli::ProfileList list =
        cli::readProfileList(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (list.errors.empty() && list.rows.empty())
        std::abort();
    int lastLine = 0;
    for (const cli::ListRow& row : list.rows) {
        if (row.line <= lastLine || !profile::detailFileBytes(row.record))
            std::abort();
        lastLine = row.line;
    }
    for (const cli::ListError& e : list.errors)
        if (e.line < 1 || e.reason.isEmpty())
            std::abort();
    return 0;
}
