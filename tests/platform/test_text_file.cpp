#include "platform/text_file.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testsupport::TempDir;

namespace {

std::string bytesOf(const fs::path& p)
{
    const auto v = testsupport::readFileBytes(p);
    return std::string(v.begin(), v.end());
}
void putBytes(const fs::path& p, const std::string& s) { testsupport::writeFileBytes(p, {s.begin(), s.end()}); }

int fileErrorCode(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::FileError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(platform::fileErrorMessage(e.code()))) << e.what();
        return e.code();
    }
    return 0;
}

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
    for (const auto& [ch, encodable] : {std::pair{U'\u0152', true}, {U'\u0080', false}, {U'\u0100', false}, {U'\U0001F600', false}})
        EXPECT_EQ(platform::canEncodeCp1252(ch), encodable) << std::hex << uint32_t(ch);
    EXPECT_TRUE(platform::canEncodeCp1252(QStringLiteral("Zoë · 5 €")));
    EXPECT_FALSE(platform::canEncodeCp1252(QStringLiteral("Zoë \U0001F600")));
    EXPECT_FALSE(platform::canEncodeCp1252(QString(QChar(0xD800)))); // lone surrogate
    EXPECT_EQ(platform::encodeCp1252(QStringLiteral("Ł")), std::nullopt);
    EXPECT_EQ(platform::encodeCp1252(QStringLiteral("café €")), std::string("caf\xE9 \x80"));
}

TEST(FileErrors, SystemErrorsMapToTheRuntimeCodesAndMessages)
{
    EXPECT_EQ(platform::fileErrorMessage(101), QStringLiteral("Disk full"));
    EXPECT_EQ(platform::fileErrorMessage(103), QStringLiteral("I/O error 103")); // no text of its own
    const std::tuple<int, bool, int> cases[] = {
        {EMFILE, false, 4}, {EROFS, true, 5}, {ENOSPC, true, 101}, {EIO, true, 29}, {EIO, false, 30},
        {ENETDOWN, false, 31}, {ESRCH, false, 31}, {EXDEV, true, EXDEV}, // numbers that would read as runtime codes
    };
    for (const auto& [err, writing, code] : cases)
        EXPECT_EQ(platform::fileErrorCodeFromErrno(err, writing), code) << err;
}

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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1); // no temporary left
}

TEST(ReplaceFile, FailuresByKindOfBadPath)
{
    TempDir dir;
    putBytes(dir.path() / "plain", "x");
    fs::create_directory(dir.path() / "folder");
    putBytes(dir.path() / "folder" / "inside", "keep");
    const std::pair<fs::path, int> cases[] = {
        {dir.path() / "folder", platform::FileAccessDenied}, // a folder stands where the file should go
        {dir.path() / "plain" / "detail.fdg", platform::InvalidFilename}, // under a regular file
        {dir.path() / "missing" / "detail.fdg", platform::FileNotFound},
        {dir.path() / std::string(300, 'n'), platform::InvalidFilename},
        {fs::path(), platform::InvalidFilename},
    };
    for (const auto& [path, code] : cases)
        EXPECT_EQ(fileErrorCode([&] { platform::replaceFileContents(path, "x"); }), code) << path;
    EXPECT_EQ(bytesOf(dir.path() / "plain"), "x");
    EXPECT_EQ(bytesOf(dir.path() / "folder" / "inside"), "keep");
    try {
        platform::replaceFileContents(dir.path() / "folder", "x");
    } catch (const platform::FileError& e) {
        EXPECT_STREQ(e.what(), "File access denied (folder: Is a directory)");
    }
}

mode_t modeOf(const fs::path& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

TEST(ReplaceFile, LinksStayLinksAndSetIdBitsAreNeverCopied)
{
    TempDir dir;
    fs::create_directory(dir.path() / "real");
    const fs::path target = dir.path() / "real" / "profile.txt";
    putBytes(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 04755), 0);
    fs::create_symlink("real/profile.txt", dir.path() / "detail.fdg"); // relative, as users make them
    fs::create_symlink(dir.path() / "detail.fdg", dir.path() / "chain.fdg");
    fs::create_symlink("real/new.txt", dir.path() / "dangling.fdg");

    platform::replaceFileContents(dir.path() / "chain.fdg", "new");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "chain.fdg"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "detail.fdg"));
    EXPECT_EQ(bytesOf(target), "new");
    EXPECT_EQ(modeOf(target), 0755u);

    // A link to a file not there yet creates that file, with the ordinary mode.
    platform::replaceFileContents(dir.path() / "dangling.fdg", "made");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.fdg"));
    EXPECT_EQ(bytesOf(dir.path() / "real" / "new.txt"), "made");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(modeOf(dir.path() / "real" / "new.txt"), 0666 & ~mask);

    // The temporary file went to the target's folder and was not left anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 2);
    fs::create_symlink("loop.fdg", dir.path() / "loop.fdg");
    EXPECT_EQ(fileErrorCode([&] { platform::replaceFileContents(dir.path() / "loop.fdg", "x"); }),
              platform::InvalidFilename);
}

// Runs `f` in a child process as an ordinary user (nobody) when the tests run as
// root, since root may create files anywhere; returns the child's exit status.
int asOrdinaryUser(const std::function<int()>& f)
{
    if (::geteuid() != 0)
        return f();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(ReplaceFile, AWritableFileInAFolderThatRefusesNewFilesIsRewrittenInPlace)
{
    TempDir dir;
    const fs::path folder = dir.path() / "locked";
    fs::create_directory(folder);
    putBytes(folder / "detail.fdg", "old contents, longer");
    putBytes(folder / "readonly.fdg", "keep");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(::chmod((folder / "detail.fdg").c_str(), 0666), 0);
    ASSERT_EQ(::chmod((folder / "readonly.fdg").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);

    const int status = asOrdinaryUser([&] {
        platform::replaceFileContents(folder / "detail.fdg", "new");
        // A file the user may not write is still refused, and named with the cause.
        try {
            platform::replaceFileContents(folder / "readonly.fdg", "x");
        } catch (const platform::FileError& e) {
            return e.what() == std::string("File access denied (readonly.fdg: Permission denied)") ? 0 : 2;
        }
        return 3;
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bytesOf(folder / "detail.fdg"), "new");
    EXPECT_EQ(bytesOf(folder / "readonly.fdg"), "keep");
}

TEST(ReplaceFile, AFullDiskLeavesTheOldFileAndNoPartialOne)
{
    TempDir dir;
    putBytes(dir.path() / "detail.fdg", "old");
    {
        testsupport::FileSizeLimit full(8); // the disk takes 8 bytes, then no more
        try {
            platform::replaceFileContents(dir.path() / "detail.fdg", std::string(100, 'x'));
            ADD_FAILURE() << "a write past the limit reported success";
        } catch (const platform::FileError& e) {
            EXPECT_EQ(e.code(), platform::DiskFull);
            EXPECT_EQ(e.what(), std::string("Disk full (detail.fdg: File too large)"));
        }
    }
    EXPECT_EQ(bytesOf(dir.path() / "detail.fdg"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SingleLine, BreaksAndTabsBecomeSpacesAndOtherControlsAreFound)
{
    EXPECT_EQ(platform::toSingleLine(QStringLiteral("Line1\nLine2\r\nLine3\rEnd\tx")),
              QStringLiteral("Line1 Line2 Line3 End x"));
    EXPECT_EQ(platform::toSingleLine(QStringLiteral("\r\n\r\n")), QStringLiteral("  "));
    for (const auto& [text, control] :
         {std::pair{u"plain Zo\u00EB \u20AC", false}, {u"bell\u0007", true}, {u"esc\u001B", true},
          {u"del\u007F", true}, {u"c1\u0085", true}, {u"unassigned\u0081", true}, {u"nbsp\u00A0", false}})
        EXPECT_EQ(platform::hasControlCharacter(QString::fromUtf16(text)), control) << QString::fromUtf16(text).toStdString();
}

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
    // The reader takes 64 KiB at a time: a CR LF across that boundary, and a line far longer.
    for (const std::size_t firstLength : {std::size_t(65535), std::size_t(65534), std::size_t(65536)}) {
        const std::string first(firstLength, 'x');
        const std::string second(200000, 'y');
        putBytes(dir.path() / "f", first + "\r\n" + second + "\r\n" + "z");
        EXPECT_EQ(readLines(dir.path() / "f", 4), (std::vector<std::string>{first, second, "z", ""}));
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
