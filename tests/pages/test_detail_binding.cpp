// Which label gets which line of detail.fdg, and what short, long and odd files give.
// (Files that cannot be read are covered where the pages are composed.)
#include "pages/detail_binding.h"

#include "support/test_support.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DetailBinding, LinesGoToTheirLabels)
{
    std::string full;
    std::vector<QString> fullLines;
    for (int i = 1; i <= 13; ++i) {
        full += "line " + std::to_string(i) + "\r\n";
        fullLines.push_back(QStringLiteral("line %1").arg(i));
    }
    const struct { const char* what; std::string bytes; std::vector<QString> lines; } cases[] = {
        {"thirteen lines", full, fullLines},
        {"extra lines ignored", full + "fourteen\r\n", fullLines},
        {"short file gives empty captions", "Aries\r\nBold", {"Aries", "Bold"}},
        {"empty file", "", {}},
        {"code page and trailing blanks kept", "Ren\xe9\x65 \r\n\x80 5\r\n", {QStringLiteral("Ren\u00e9e "), QStringLiteral("\u20ac 5")}},
    };
    const int labels[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 18, 21, 23};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        testsupport::writeFileBytes(dir.path() / "detail.fdg", {c.bytes.begin(), c.bytes.end()});
        std::vector<std::pair<int, QString>> expected, got;
        for (int i = 0; i < 13; ++i)
            expected.emplace_back(labels[i], i < int(c.lines.size()) ? c.lines[i] : QString());
        pages::readDetailFile(dir.path() / "detail.fdg", nullptr,
                              [&](int label, const QString& text) { got.emplace_back(label, text); });
        EXPECT_EQ(got, expected);
    }
}

} // namespace
