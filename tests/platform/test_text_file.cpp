#include "platform/text_file.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// The code and the message of the FileError that `f` throws, e.g. "2 File not found (a.fdg)"; "" when it throws none.
std::string fileError(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::FileError& e) {
        return std::to_string(e.code()) + ' ' + e.what();
    }
    return {};
}

mode_t modeOf(const fs::path& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

// What a new file gets: read-write for all, less the process's umask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

std::ptrdiff_t entriesOf(const fs::path& dir)
{
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

TEST(Cp1252, EveryByteSurvivesAndCharactersWithoutAByteAreRefused)
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

    for (const auto& [ch, encodable] :
         {std::pair{U'\u0152', true}, {U'\u0080', false}, {U'\u0100', false}, {U'\U0001F600', false}})
        EXPECT_EQ(platform::canEncodeCp1252(ch), encodable) << std::hex << uint32_t(ch);
    EXPECT_TRUE(platform::canEncodeCp1252(QStringLiteral("Zoë · 5 €")));
    EXPECT_FALSE(platform::canEncodeCp1252(QStringLiteral("Zoë \U0001F600")));
    EXPECT_FALSE(platform::canEncodeCp1252(QString(QChar(0xD800)))); // lone surrogate
    EXPECT_EQ(platform::encodeCp1252(QStringLiteral("Ł")), std::nullopt);
}

TEST(FileErrors, SystemErrorsMapToTheRuntimeCodesAndMessages)
{
    EXPECT_EQ(platform::fileErrorMessage(103), QStringLiteral("I/O error 103")); // no text of its own
    const std::tuple<int, bool, int> cases[] = {
        {EMFILE, false, 4}, {EROFS, true, 5}, {ENOSPC, true, 101}, {EIO, true, 29}, {EIO, false, 30},
        {ENETDOWN, false, 31}, {ESRCH, false, 31}, {EXDEV, true, EXDEV}, // numbers that would read as runtime codes
    };
    for (const auto& [err, writing, code] : cases)
        EXPECT_EQ(platform::fileErrorCodeFromErrno(err, writing), code) << err;
}

// Replacing a file and opening one for reading, on bad paths of each kind.
TEST(FileErrors, BadPathsFailWithTheRuntimeMessagesAndTouchNothing)
{
    TempDir dir;
    putBytes(dir.path() / "plain", "x");
    fs::create_directory(dir.path() / "folder");
    putBytes(dir.path() / "folder" / "inside", "keep");
    fs::create_symlink("loop.fdg", dir.path() / "loop.fdg");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
    const std::string longName(300, 'n');
    const std::pair<fs::path, std::string> replacing[] = {
        // a folder stands where the file should go
        {dir.path() / "folder", "5 File access denied (folder: Is a directory)"},
        {dir.path() / "plain" / "detail.fdg", "3 Invalid filename (detail.fdg: Not a directory)"}, // under a file
        {dir.path() / "missing" / "detail.fdg", "2 File not found (detail.fdg)"},
        {dir.path() / longName, "3 Invalid filename (" + longName + ": File name too long)"},
        {dir.path() / "loop.fdg", "3 Invalid filename (loop.fdg: Too many levels of symbolic links)"},
        {fs::path(), "3 Invalid filename (: Invalid argument)"},
    };
    for (const auto& [path, error] : replacing)
        EXPECT_EQ(fileError([&] { platform::replaceFileContents(path, "x"); }), error) << path;
    EXPECT_EQ(bytesOf(dir.path() / "plain"), "x");
    EXPECT_EQ(bytesOf(dir.path() / "folder" / "inside"), "keep");

    const std::pair<fs::path, std::string> reading[] = {
        {dir.path() / "absent.fdg", "2 File not found (absent.fdg)"},
        {dir.path() / "folder", "5 File access denied (folder: Is a directory)"},
        {dir.path() / "pipe", "5 File access denied (pipe: Permission denied)"}, // refused, not waited on
        {dir.path() / "plain" / "under", "3 Invalid filename (under: Not a directory)"},
        {fs::path(), "2 File not found"},
    };
    for (const auto& [path, error] : reading)
        EXPECT_EQ(fileError([&] { platform::TextFileReader r(path); }), error) << path;

    platform::TextFileReader reader(dir.path() / "plain");
    reader.close();
    EXPECT_EQ(fileError([&] { reader.readLineBytes(); }), "103 I/O error 103");
    EXPECT_EQ(fileError([&] { reader.close(); }), "103 I/O error 103");
}

// A file is created or replaced whole, keeping its permissions but never set-id
// bits; a link stays a link; no temporary file is left anywhere.
TEST(ReplaceFile, CreatesAndReplacesThroughLinksLeavingNoTemporaryFile)
{
    TempDir dir;
    const fs::path file = dir.path() / "plain.fdg";
    platform::replaceFileContents(file, "first\r\n");
    EXPECT_EQ(bytesOf(file), "first\r\n");
    EXPECT_EQ(modeOf(file), newFileMode());

    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    platform::replaceFileContents(file, "second, shorter");
    EXPECT_EQ(bytesOf(file), "second, shorter");
    EXPECT_EQ(modeOf(file), 0640u);

    platform::replaceFileContents(file, "");
    EXPECT_EQ(bytesOf(file), "");
    EXPECT_EQ(entriesOf(dir.path()), 1);

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
    EXPECT_EQ(modeOf(dir.path() / "real" / "new.txt"), newFileMode());

    // The temporary file went to the target's folder and was not left anywhere.
    EXPECT_EQ(entriesOf(dir.path() / "real"), 2);
}

// A device or a pipe named as the file is written into, never replaced by an
// ordinary file (as root, that would have replaced /dev/null itself).
TEST(ReplaceFile, DevicesAndPipesAreWrittenWhereTheyStand)
{
    TempDir dir;
    const fs::path pipe = dir.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Nobody reads it: refused at once rather than waited on.
    EXPECT_EQ(fileError([&] { platform::replaceFileContents(pipe, "x"); }),
              "6 I/O error 6 (pipe: No such device or address)");
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    platform::replaceFileContents(pipe, "through the pipe");
    char got[32] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 16);
    ::close(reader);
    EXPECT_STREQ(got, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(pipe));

    // Twins of /dev/full and /dev/null, where the tests may make devices (as root).
    const fs::path full = dir.path() / "full", null = dir.path() / "null";
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 || ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "devices cannot be made here";
    EXPECT_EQ(fileError([&] { platform::replaceFileContents(full, "x"); }), "101 Disk full (full: No space left on device)");
    platform::replaceFileContents(null, "gone");
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_TRUE(fs::is_character_file(null));
    EXPECT_EQ(entriesOf(dir.path()), 3);
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
        return fileError([&] { platform::replaceFileContents(folder / "readonly.fdg", "x"); }) ==
                       "5 File access denied (readonly.fdg: Permission denied)"
                   ? 0
                   : 2;
    });
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bytesOf(folder / "detail.fdg"), "new");
    EXPECT_EQ(bytesOf(folder / "readonly.fdg"), "keep");
}

TEST(SingleLine, BreaksAndTabsBecomeSpacesAndOtherControlsAreFound)
{
    EXPECT_EQ(platform::toSingleLine(QStringLiteral("Line1\nLine2\r\nLine3\rEnd\tx")),
              QStringLiteral("Line1 Line2 Line3 End x"));
    EXPECT_EQ(platform::toSingleLine(QStringLiteral("\r\n\r\n")), QStringLiteral("  "));
    for (const auto& [text, control] :
         {std::pair{u"plain Zo\u00EB \u20AC", false}, {u"bell\u0007", true}, {u"esc\u001B", true},
          {u"del\u007F", true}, {u"c1\u0085", true}, {u"unassigned\u0081", true}, {u"nbsp\u00A0", false}})
        EXPECT_EQ(platform::hasControlCharacter(QString::fromUtf16(text)), control)
            << QString::fromUtf16(text).toStdString();
}

TEST(TextFileReader, LineEndsLongLinesAndReadingPastTheEnd)
{
    // The reader takes 64 KiB at a time: CR LF across that boundary, a line far longer, a CR as the last byte.
    const std::string x64k(65535, 'x'), y200k(200000, 'y');
    struct Case { std::string bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"a\nb", {"a", "b", "", ""}},            // LF alone; last line without an end
        {"a\rb\r\n\r\nc", {"a", "b", "", "c"}},   // a lone CR ends a line too
        {" x \t\r\n\xE9\r\n", {" x \t", "\xE9", "", ""}},
        {x64k + "\r\n" + y200k + "\r\nz", {x64k, y200k, "z", ""}},
        {x64k + "x\r\n" + y200k + "\r\nz", {x64k + "x", y200k, "z", ""}},
        {x64k.substr(1) + "\r\n" + y200k + "\r\nz", {x64k.substr(1), y200k, "z", ""}},
        {x64k + "\r", {x64k, "", "", ""}},
    };
    TempDir dir;
    for (const Case& c : cases) {
        putBytes(dir.path() / "f", c.bytes);
        platform::TextFileReader reader(dir.path() / "f");
        std::vector<std::string> lines;
        for (int i = 0; i < 4; ++i)
            lines.push_back(reader.readLineBytes());
        EXPECT_EQ(lines, c.lines) << c.bytes.size() << " bytes";
    }
    putBytes(dir.path() / "f", "Zo\xEB \x80\r\n");
    platform::TextFileReader reader(dir.path() / "f");
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), QStringLiteral("Zoë €"));
    EXPECT_TRUE(reader.atEnd());
}

} // namespace
