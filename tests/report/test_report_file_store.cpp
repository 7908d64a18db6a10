// Saving and loading the page store: layout, sizes, orientation, damaged files, failed saves.
#include "report/report_file.h"

#include "report_fixtures.h"
#include "support/test_support.h"

#include <QTimer>

#include <cstring>
#include <optional>
#include <sys/stat.h>

using namespace report;
namespace fs = std::filesystem;
using testsupport::errorOf;

namespace {

// What a failed load must leave untouched.
auto snapshot(const TQRPrinter& s)
{
    std::vector<QByteArray> pages;
    for (int i = 1; i <= s.storedPageCount(); ++i)
        pages.push_back(s.pageImage(i));
    return std::tuple(s.status(), s.pageCount(), s.currentPageNumber(), s.printableWidth(), s.printableHeight(),
                      s.physicalWidth(), s.physicalHeight(), s.orientation(), pages);
}

std::vector<std::string> folderEntries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ReportFileSave, OnlyFinishedPagesAreSavedEachAsItsMetafileThenTheOffsetItStartsAt)
{
    testsupport::TempDir dir;
    Store unfinished; // idle, then composing: nothing is written
    const fs::path none = dir.path() / "none.QRP";
    unfinished.store.Save(qpath(none));
    unfinished.store.BeginDoc();
    unfinished.store.Save(qpath(none));
    EXPECT_FALSE(fs::exists(none));

    Store s(2);
    const fs::path file = dir.path() / "pages.QRP";
    testsupport::writeFileBytes(file, std::vector<unsigned char>(5000, 1)); // a longer earlier file, replaced whole
    s.store.Save(qpath(file));
    const auto bytes = testsupport::readFileBytes(file);
    const std::size_t emf1 = static_cast<std::size_t>(s.store.pageImage(1).size());
    const std::size_t page2 = 372 + emf1 + 4, emf2 = static_cast<std::size_t>(s.store.pageImage(2).size());
    ASSERT_EQ(bytes.size(), page2 + emf2 + 4);
    EXPECT_EQ(std::tuple(u32At(bytes, 4), u32At(bytes, 8), u32At(bytes, 12), u32At(bytes, 16)),
              std::tuple(762u, 1090u, 96u, 2u));
    EXPECT_EQ(std::memcmp(bytes.data() + 372, s.store.pageImage(1).constData(), emf1), 0);
    EXPECT_EQ(u32At(bytes, 372 + emf1), 372u);
    EXPECT_EQ(std::memcmp(bytes.data() + page2, s.store.pageImage(2).constData(), emf2), 0);
    EXPECT_EQ(u32At(bytes, page2 + emf2), page2);
}

TEST(ReportFileLoad, GivesBackPagesPrintableSizeAndOrientationWithA110PercentSheet)
{
    testsupport::TempDir dir;
    const fs::path file = dir.path() / "three.QRP";
    for (auto saved : {platform::poLandscape, platform::poPortrait}) {
        const bool portrait = saved == platform::poPortrait;
        SCOPED_TRACE(portrait ? "portrait" : "landscape");
        Store a;
        a.store.setOrientation(saved);
        composePages(a.store, 3);
        a.store.Save(qpath(file));
        EXPECT_EQ(testsupport::readFileBytes(file)[112], portrait ? 1 : 0);

        // A store over a different (300 dpi) printer in the other orientation, currently idle.
        Store b;
        std::tie(b.fake.horzRes, b.fake.vertRes, b.fake.ppiX, b.fake.ppiY) = std::tuple(2400, 3300, 300, 300);
        b.store.setOrientation(portrait ? platform::poLandscape : platform::poPortrait);
        b.store.readMetrics();
        ASSERT_NE(b.store.printableWidth(), a.store.printableWidth());
        b.store.Load(qpath(file));

        EXPECT_EQ(std::tuple(b.store.status(), b.store.pageCount(), b.store.currentPageNumber()),
                  std::tuple(QRPrinterStatus::Ready, 3, 1));
        // The sheet is 1090 x 1.1 by 762 x 1.1 = 838.2.
        EXPECT_EQ(std::tuple(b.store.printableWidth(), b.store.printableHeight(), b.store.physicalWidth(),
                             b.store.physicalHeight()),
                  std::tuple(1090, 762, 1199, 838));
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(b.store.pageImage(i), a.store.pageImage(i)) << "page " << i;
        // The orientation travels with the file to the store and the printer.
        EXPECT_EQ(std::pair(b.store.orientation(), b.fake.orientation()), std::pair(saved, saved));
        EXPECT_EQ(b.fake.deviceMode.orientation, portrait ? platform::dmOrientPortrait : platform::dmOrientLandscape);
    }
}

TEST(ReportFileLoad, MissingTruncatedOrDamagedFilesAreRefusedWithoutTouchingTheShownPages)
{
    testsupport::TempDir dir;
    Store a(2);
    const fs::path good = dir.path() / "good.QRP", bad = dir.path() / "bad.QRP";
    a.store.Save(qpath(good));
    const auto bytes = testsupport::readFileBytes(good);
    const std::uint32_t emf1 = static_cast<std::uint32_t>(a.store.pageImage(1).size());
    const std::size_t page2 = 372 + emf1 + 4;

    Store b;
    b.store.setOrientation(platform::poPortrait);
    composePages(b.store, 3);
    b.store.setCurrentPageNumber(3);
    const auto before = snapshot(b.store);
    // Missing, a folder, or a named pipe (which would hold the window until something wrote to it).
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.QRP").c_str(), 0600), 0);
    for (const fs::path& missing : {dir.path() / "missing.QRP", dir.path(), dir.path() / "pipe.QRP"}) {
        EXPECT_EQ(errorOf([&] { b.store.Load(qpath(missing)); }), "Cannot open file " + missing.string());
        EXPECT_TRUE(snapshot(b.store) == before);
    }
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        testsupport::writeFileBytes(bad, {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)});
        ASSERT_EQ(errorOf([&] { b.store.Load(qpath(bad)); }), kStreamReadError) << "cut to " << n;
        ASSERT_TRUE(snapshot(b.store) == before) << "cut to " << n;
    }

    struct Case { const char* what; std::size_t at; std::uint32_t value; std::string message; };
    const Case cases[] = {
        {"page count 0", 16, 0, kNoPages},
        {"page count -5", 16, 0xFFFFFFFB, kNoPages},
        {"page count above the pages present", 16, 3, kStreamReadError},
        {"page count 2^31-1", 16, 0x7FFFFFFF, kStreamReadError},
        {"printable height 0", 4, 0, kBadPageSize},
        {"printable height negative", 4, 0xFFFFFF00, kBadPageSize},
        {"page 2 not a metafile", page2, 0x2A, kInvalidMetafile},
        {"page 2 signature", page2 + 40, 0x464D4558, kInvalidMetafile},
        {"page 1 header record smaller than a header", 372 + 4, 84, kInvalidMetafile},
        {"page 1 header record oversized", 372 + 4, 0x00100000, kInvalidMetafile},
        {"page 1 size not a multiple of 4", 372 + 48, emf1 + 2, kInvalidMetafile},
        {"page 1 size below its header record", 372 + 48, 80, kInvalidMetafile},
        {"page 1 size one record short", 372 + 48, emf1 - 20, kInvalidMetafile},
        {"page 1 size 4 GB", 372 + 48, 0xFFFFFFFC, kStreamReadError},
        {"page 2 size beyond the file", page2 + 48, 0x00100000, kStreamReadError},
    };
    for (const Case& c : cases) {
        auto damaged = bytes;
        std::memcpy(damaged.data() + c.at, &c.value, 4);
        testsupport::writeFileBytes(bad, damaged);
        EXPECT_EQ(errorOf([&] { b.store.Load(qpath(bad)); }), c.message) << c.what;
        EXPECT_TRUE(snapshot(b.store) == before) << c.what;
    }
}

TEST(ReportFileSave, AFailedOrCancelledSaveLeavesTheEarlierFileAndNoPartialFile)
{
    testsupport::TempDir dir;
    const fs::path& d = dir.path();
    Store s(40);
    const std::vector<unsigned char> earlier(100, 0x5A);
    testsupport::writeFileBytes(d / "keep.QRP", earlier);
    testsupport::writeFileBytes(d / "plain", earlier);
    fs::create_directory(d / "folder.QRP");
    const auto cannotCreate = [](const fs::path& p, const char* cause) {
        return "Cannot create file " + p.string() + " (" + cause + ")";
    };
    struct Case { fs::path file; std::string error; bool diskFull = false, cancel = false; };
    const Case cases[] = {
        {d / "keep.QRP", "Stream write error (keep.QRP: File too large)", true},
        {d / "folder.QRP", cannotCreate(d / "folder.QRP", "Is a directory")},
        {d / "plain" / "x.QRP", cannotCreate(d / "plain" / "x.QRP", "Not a directory")},
        {d / "no-such-folder" / "x.QRP", cannotCreate(d / "no-such-folder" / "x.QRP", "No such file or directory")},
        {d / "keep.QRP", "", false, true},
        {d / "fresh.QRP", "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.string());
        // Files may grow to 2 KB only: the write fails part way, as on a full disk.
        std::optional<testsupport::FileSizeLimit> small;
        if (c.diskFull)
            small.emplace(2048);
        // The Cancel press waits in the queue until the save lets messages through.
        if (c.cancel)
            QTimer::singleShot(0, [&] { s.store.Cancel(); });
        EXPECT_EQ(errorOf([&] { s.store.Save(qpath(c.file)); }), c.error);
        EXPECT_EQ(s.store.cancelled(), c.cancel);
    }
    EXPECT_EQ(testsupport::readFileBytes(d / "keep.QRP"), earlier);
    EXPECT_EQ(testsupport::readFileBytes(d / "plain"), earlier);
    EXPECT_TRUE(fs::is_directory(d / "folder.QRP"));
    EXPECT_EQ(folderEntries(d), (std::vector<std::string>{"folder.QRP", "keep.QRP", "plain"}));
}

// Run by the full-disk end-to-end test on a real file system that is full.
TEST(FullDisk, SaveKeepsTheOldReportFileAndNamesTheCause)
{
    const fs::path dir = testsupport::fullDiskDir();
    if (dir.empty())
        GTEST_SKIP() << "needs the small file system of the full-disk test";
    Store s;
    s.store.BeginDoc();
    for (int i = 0; i < 40; ++i)
        s.store.canvas().textOut(20, 20 + i * 10, {0, 0, 900, 700}, 0, QString(200, QLatin1Char('x')));
    s.store.EndDoc();

    const fs::path old = dir / "old.QRP";
    testsupport::writeFileBytes(old, {'o', 'l', 'd'});
    testsupport::fillDisk(dir);
    EXPECT_EQ(errorOf<ReportFileError>([&] { s.store.Save(qpath(old)); }),
              "Stream write error (old.QRP: No space left on device)");
    EXPECT_EQ(testsupport::readFileBytes(old), (std::vector<unsigned char>{'o', 'l', 'd'}));
    fs::remove(dir / "filler");
    EXPECT_EQ(folderEntries(dir), std::vector<std::string>{"old.QRP"});
}

TEST(ReportFileSave, ASecondFileOperationMeanwhileIsRefused)
{
    testsupport::TempDir dir;
    Store s(2);
    const fs::path file = dir.path() / "a.QRP";
    s.store.Save(qpath(file));

    std::string nested;
    QTimer::singleShot(0, [&] {
        try {
            s.store.Load(qpath(file));
        } catch (const std::exception& e) {
            nested = e.what();
        }
    });
    s.store.Save(qpath(dir.path() / "b.QRP"));
    EXPECT_EQ(nested, kFileOperationRunning);
    EXPECT_FALSE(reportFileOperationRunning());
    EXPECT_TRUE(fs::exists(dir.path() / "b.QRP"));
}
