#include "platform/text_file.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

std::string bytesOf(const fs::path& p)
{
    const auto v = testsupport::readFileBytes(p);
    return std::string(v.begin(), v.end());
}

void putBytes(const fs::path& p, const std::string& s)
{
    testsupport::writeFileBytes(p, std::vector<unsigned char>(s.begin(), s.end()));
}

std::vector<std::string> namesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int fileErrorCode(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::FileError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), platform::fileErrorMessage(e.code()));
        return e.code();
    }
    return 0;
}

// ---- Windows-1252 -------------------------------------------------------------

TEST(Cp1252, EveryByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = platform::decodeCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(platform::encodeCp1252(text), all);
    // The code page's own characters, and an unassigned byte kept as its control.
    for (const auto& [byte, ch] : {std::pair{0x80, u'\u20AC'}, {0x85, u'\u2026'}, {0x92, u'\u2019'}, {0x9F, u'\u0178'},
                                   {0xA3, u'\u00A3'}, {0xE9, u'\u00E9'}, {0x81, u'\u0081'}, {0x9D, u'\u009D'}})
        EXPECT_EQ(text[byte].unicode(), ch) << byte;
}

TEST(Cp1252, RefusesCharactersWithoutAByte)
{
    struct Case { char32_t ch; bool encodable; };
    for (const Case c : {Case{U'e', true}, Case{U'\u00E9', true}, Case{U'\u20AC', true}, Case{U'\u0152', true},
                         Case{U'\u0080', false}, Case{U'\u0100', false}, Case{U'\u03A9', false},
                         Case{U'\u4E2D', false}, Case{U'\U0001F600', false}})
        EXPECT_EQ(platform::canEncodeCp1252(c.ch), c.encodable) << std::hex << uint32_t(c.ch);

    EXPECT_TRUE(platform::canEncodeCp1252(QStringLiteral("Zoë · 5 €")));
    EXPECT_FALSE(platform::canEncodeCp1252(QStringLiteral("Zoë \U0001F600")));
    EXPECT_FALSE(platform::canEncodeCp1252(QString(QChar(0xD800)))); // lone surrogate
    EXPECT_EQ(platform::encodeCp1252(QStringLiteral("Ł")), std::nullopt);
    EXPECT_EQ(platform::encodeCp1252(QStringLiteral("café €")), std::string("caf\xE9 \x80"));
}

// ---- Error messages -----------------------------------------------------------

TEST(FileErrors, MessagesByCode)
{
    const std::pair<int, const char*> cases[] = {
        {2, "File not found"}, {3, "Invalid filename"}, {4, "Too many open files"}, {5, "File access denied"},
        {100, "Read beyond end of file"}, {101, "Disk full"}, {106, "Invalid numeric input"}, {103, "I/O error 103"}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(platform::fileErrorMessage(code), QString::fromLatin1(text)) << code;
}

TEST(FileErrors, SystemErrorsMapToTheRuntimeCodes)
{
    const std::tuple<int, bool, int> cases[] = {
        {EMFILE, false, 4}, {EROFS, true, 5}, {ENOSPC, true, 101}, {EIO, true, 29}, {EIO, false, 30},
        {ENETDOWN, false, 31}, {ESRCH, false, 31}, {EXDEV, true, EXDEV}, // numbers that would read as runtime codes
    };
    for (const auto& [err, writing, code] : cases)
        EXPECT_EQ(platform::fileErrorCodeFromErrno(err, writing), code) << err;
}

// ---- Writing ------------------------------------------------------------------

TEST(ReplaceFile, CreatesAndReplacesLeavingNoTemporaryFile)
{
    TempDir dir;
    const fs::path file = dir.path() / "detail.fdg";
    platform::replaceFileContents(file, "first\r\n");
    EXPECT_EQ(bytesOf(file), "first\r\n");

    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    platform::replaceFileContents(file, "second, shorter");
    EXPECT_EQ(bytesOf(file), "second, shorter");
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // a replaced file keeps its permissions

    platform::replaceFileContents(file, "");
    EXPECT_EQ(bytesOf(file), "");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"detail.fdg"});
    EXPECT_FALSE(platform::lastWriteFailure(file));
}

TEST(ReplaceFile, AFailureKeepsTheOldStateAndIsRememberedUntilASuccess)
{
    TempDir dir;
    const fs::path file = dir.path() / "detail.fdg";
    fs::create_directory(file); // a folder stands where the file should go
    putBytes(file / "inside", "keep");

    EXPECT_EQ(fileErrorCode([&] { platform::replaceFileContents(file, "new\r\n"); }), platform::FileAccessDenied);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(bytesOf(file / "inside"), "keep");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"detail.fdg"});

    const auto failure = platform::lastWriteFailure(file);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, platform::FileAccessDenied);
    EXPECT_EQ(failure->message, QStringLiteral("Cannot write detail.fdg: File access denied"));

    // Another file's outcome is its own.
    EXPECT_FALSE(platform::lastWriteFailure(dir.path() / "other.fdg"));

    fs::remove_all(file);
    platform::replaceFileContents(file, "new\r\n");
    EXPECT_FALSE(platform::lastWriteFailure(file));
    EXPECT_EQ(bytesOf(file), "new\r\n");
}

TEST(ReplaceFile, FailuresByKindOfBadPath)
{
    TempDir dir;
    putBytes(dir.path() / "plain", "x");
    const std::pair<fs::path, int> cases[] = {
        {dir.path() / "plain" / "detail.fdg", platform::InvalidFilename}, // under a regular file
        {dir.path() / "missing" / "detail.fdg", platform::FileNotFound},
        {dir.path() / std::string(300, 'n'), platform::InvalidFilename},
        {fs::path(), platform::InvalidFilename},
    };
    for (const auto& [path, code] : cases) {
        EXPECT_EQ(fileErrorCode([&] { platform::replaceFileContents(path, "x"); }), code) << path;
        const auto failure = platform::lastWriteFailure(path);
        ASSERT_TRUE(failure) << path;
        EXPECT_EQ(failure->code, code);
    }
    EXPECT_EQ(bytesOf(dir.path() / "plain"), "x");
}

TEST(ReplaceFile, RelativeNamesAreToldApartByFolder)
{
    TempDir a, b;
    fs::create_directory(b.path() / "detail.fdg");
    {
        testsupport::ScopedCwd cwd(b.path());
        EXPECT_NE(fileErrorCode([] { platform::replaceFileContents("detail.fdg", "x"); }), 0);
        EXPECT_TRUE(platform::lastWriteFailure("detail.fdg"));
    }
    testsupport::ScopedCwd cwd(a.path());
    EXPECT_FALSE(platform::lastWriteFailure("detail.fdg"));
    platform::replaceFileContents("detail.fdg", "x");
    EXPECT_EQ(bytesOf(a.path() / "detail.fdg"), "x");
    EXPECT_TRUE(platform::lastWriteFailure(b.path() / "detail.fdg"));
}

// ---- Reading ------------------------------------------------------------------

std::vector<std::string> readLines(const fs::path& p, int count)
{
    platform::TextFileReader reader(p);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(reader.readLineBytes());
    reader.close();
    return lines;
}

TEST(TextFileReader, LineEndsAndReadingPastTheEnd)
{
    struct Case { std::string bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b", "", ""}},
        {"a\nb", {"a", "b", "", ""}},            // LF alone; last line without an end
        {"a\rb\r\n\r\nc", {"a", "b", "", "c"}},   // a lone CR ends a line too
        {"", {"", "", "", ""}},
        {"\r\n\r\n", {"", "", "", ""}},
        {" x \t\r\n\xE9\r\n", {" x \t", "\xE9", "", ""}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        putBytes(dir.path() / "f", c.bytes);
        EXPECT_EQ(readLines(dir.path() / "f", 4), c.lines);
    }
    putBytes(dir.path() / "f", "Zo\xEB \x80\r\n");
    platform::TextFileReader reader(dir.path() / "f");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), QStringLiteral("Zoë €"));
    EXPECT_TRUE(reader.atEnd());
}

TEST(TextFileReader, LongLinesAndLineEndsSplitAcrossReads)
{
    TempDir dir;
    // The reader takes 64 KiB at a time; put a CR LF across that boundary and a
    // line many times longer than it.
    for (const std::size_t firstLength : {std::size_t(65535), std::size_t(65534), std::size_t(65536)}) {
        const std::string first(firstLength, 'x');
        const std::string second(200000, 'y');
        putBytes(dir.path() / "f", first + "\r\n" + second + "\r\n" + "z");
        const auto lines = readLines(dir.path() / "f", 4);
        EXPECT_EQ(lines[0], first);
        EXPECT_EQ(lines[1], second);
        EXPECT_EQ(lines[2], "z");
        EXPECT_EQ(lines[3], "");
    }
    // A CR as the very last byte, right at the boundary.
    putBytes(dir.path() / "f", std::string(65535, 'x') + "\r");
    EXPECT_EQ(readLines(dir.path() / "f", 2), (std::vector<std::string>{std::string(65535, 'x'), ""}));
}

TEST(TextFileReader, FailuresHaveTheRuntimeMessages)
{
    TempDir dir;
    fs::create_directory(dir.path() / "folder");
    putBytes(dir.path() / "plain", "x");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
    const std::pair<fs::path, int> cases[] = {
        {dir.path() / "absent.fdg", platform::FileNotFound},
        {dir.path() / "folder", platform::FileAccessDenied},
        {dir.path() / "pipe", platform::FileAccessDenied}, // refused, not waited on
        {dir.path() / "plain" / "under", platform::InvalidFilename},
        {fs::path(), platform::FileNotFound},
    };
    for (const auto& [path, code] : cases)
        EXPECT_EQ(fileErrorCode([&] { platform::TextFileReader r(path); }), code) << path;

    platform::TextFileReader reader(dir.path() / "plain");
    reader.close();
    EXPECT_EQ(fileErrorCode([&] { reader.readLineBytes(); }), 103);
    EXPECT_EQ(fileErrorCode([&] { reader.close(); }), 103);
}

} // namespace
