// Reading detail.fdg: which label gets which line, what short, long and odd files
// give, and the errors for files that cannot be read.
#include "pages/detail_binding.h"

#include "platform/text_file.h"
#include "support/test_support.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::TempDir;

std::vector<unsigned char> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

// Every line handed over, in order, as (label number, text).
using Captions = std::vector<std::pair<int, QString>>;

Captions readAll(const std::filesystem::path& file)
{
    Captions got;
    pages::readDetailFile(file, [&](int label, const QString& text) { got.emplace_back(label, text); });
    return got;
}

Captions expectedFor(const std::vector<QString>& lines)
{
    const int labels[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 18, 21, 23};
    Captions out;
    for (int i = 0; i < 13; ++i)
        out.emplace_back(labels[i], i < int(lines.size()) ? lines[i] : QString());
    return out;
}

struct ContentCase {
    const char* what;
    std::string bytes;
    std::vector<QString> lines;  // what lines 1..13 read as (missing: empty)
};

TEST(DetailBinding, LinesGoToTheirLabels)
{
    const std::string longLine(1000, 'x');
    std::string full;
    std::vector<QString> fullLines;
    for (int i = 1; i <= 13; ++i) {
        full += "line " + std::to_string(i) + "\r\n";
        fullLines.push_back(QStringLiteral("line %1").arg(i));
    }
    const ContentCase cases[] = {
        {"thirteen lines", full, fullLines},
        {"extra lines ignored", full + "fourteen\r\nfifteen\r\n", fullLines},
        {"short file gives empty captions", "Aries\r\nBold\r\n", {"Aries", "Bold"}},
        {"empty file", "", {}},
        {"last line without line end", "Aries\r\nBold", {"Aries", "Bold"}},
        {"empty lucky numbers line",
         "Aries\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\nDiamond\r\nRed\r\nApril 5th\r\nName\r\nPersonal Sentiment Line\r\n\r\n",
         {"Aries", "2", "3", "4", "5", "6", "7", "Diamond", "Red", "April 5th", "Name",
          "Personal Sentiment Line", ""}},
        {"line longer than 255 characters read whole", "Aries\r\n" + longLine + "\r\nnext\r\n",
         {"Aries", QString::fromStdString(longLine), "next"}},
        {"single-byte code page", "Ren\xe9\x65\r\n\x80 5\r\n", {QStringLiteral("Ren\u00e9e"), QStringLiteral("\u20ac 5")}},
        {"trailing blanks kept", "Bad Day \r\n  x  \r\n", {"Bad Day ", "  x  "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        testsupport::writeFileBytes(dir.path() / "detail.fdg", bytesOf(c.bytes));
        EXPECT_EQ(readAll(dir.path() / "detail.fdg"), expectedFor(c.lines));
    }
}

TEST(DetailBinding, FilesThatCannotBeReadGiveTheRuntimeMessage)
{
    struct Case {
        const char* what;
        void (*make)(const std::filesystem::path& dir);
        int code;
        const char* message;
    };
    const Case cases[] = {
        {"missing", [](const std::filesystem::path&) {}, 2, "File not found"},
        {"a folder in its place",
         [](const std::filesystem::path& d) { std::filesystem::create_directory(d / "detail.fdg"); }, 5,
         "File access denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.make(dir.path());
        int calls = 0;
        try {
            pages::readDetailFile(dir.path() / "detail.fdg", [&](int, const QString&) { ++calls; });
            ADD_FAILURE() << "no error";
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(calls, 0);
    }
}

TEST(DetailBinding, RefusesAFileWhoseLastWriteFailed)
{
    TempDir dir;
    const auto file = dir.path() / "detail.fdg";
    // An older, complete profile is still on disk ...
    testsupport::writeFileBytes(file, bytesOf("Aries\r\n"));
    // ... but the latest update could not replace it.
    platform::recordWriteFailure(file, platform::FileAccessDenied, QStringLiteral("File access denied"));
    int calls = 0;
    try {
        pages::readDetailFile(file, [&](int, const QString&) { ++calls; });
        ADD_FAILURE() << "stale file was read";
    } catch (const pages::StaleDetailFile& e) {
        EXPECT_STREQ(e.what(), "The profile could not be written to detail.fdg (File access denied)");
    }
    EXPECT_EQ(calls, 0);

    // Once a write succeeds again, the file is read as usual.
    platform::replaceFileContents(file, "Taurus\r\n");
    EXPECT_EQ(readAll(file).front().second, QStringLiteral("Taurus"));
}

} // namespace
