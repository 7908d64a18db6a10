// The report file's bytes: header, page records and offsets, damaged files refused.
#include "report/report_file_format.h"

#include "report/report_file.h"
#include "report_fixtures.h"
#include "support/test_support.h"
#include "tools/hostile_pages.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QTime>

#include <cstring>

using namespace report;
using testsupport::errorOf;

namespace {

QByteArray fileOf(const std::vector<QByteArray>& pages)
{
    const ReportFileHeader h{762, 1090, 96, static_cast<int>(pages.size())};
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeReportFile(buf, h, [&](int i) { return pages.at(i - 1); }));
    return buf.data();
}

LoadedReportFile readBytes(const QByteArray& bytes, const PageProgress& beforePage = {})
{
    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    return readReportFile(buf, validateReportPage, beforePage);
}

} // namespace

TEST(ReportFileHeader, FieldsSitAtTheirOffsetsUnusedBytesAreZeroAnyNonZeroOrientationByteIsPortrait)
{
    ReportFileHeader h{762, 1090, 96, 3, 46'000.75, true};
    HeaderBytes b = encodeReportFileHeader(h);

    EXPECT_EQ(u32At(b, 0), 1u | 100u << 16);
    EXPECT_EQ(std::tuple(u32At(b, 4), u32At(b, 8), u32At(b, 12), u32At(b, 16)), std::tuple(762u, 1090u, 96u, 3u));
    double when = 0;
    std::memcpy(&when, b.data() + 104, 8);
    EXPECT_EQ(when, 46'000.75);
    EXPECT_EQ(b[112], 1);
    for (int i = 20; i < 104; ++i)
        EXPECT_EQ(b[i], 0) << "title and gap byte " << i;
    for (int i = 113; i < 372; ++i)
        EXPECT_EQ(b[i], 0) << "reserved byte " << i;

    const ReportFileHeader back = decodeReportFileHeader(b);
    EXPECT_EQ(std::tuple(back.printableHeight, back.printableWidth, back.pixelsPerInch, back.pageCount, back.savedAt,
                         back.portrait),
              std::tuple(762, 1090, 96, 3, 46'000.75, true));

    for (int v : {0, 1, 2, 0x80, 0xFF}) {
        b[112] = static_cast<std::uint8_t>(v);
        EXPECT_EQ(decodeReportFileHeader(b).portrait, v != 0) << v;
    }
}

TEST(ReportFileHeader, SavingTimeCountsDaysFromTheLastDayOf1899)
{
    struct Case { QDate date; QTime time; double days; };
    const Case cases[] = {
        {{1899, 12, 30}, {0, 0}, 0.0},
        {{1900, 1, 1}, {12, 0}, 2.5},
        {{2000, 1, 1}, {6, 0}, 36'526.25},
        {{1899, 12, 29}, {0, 0}, -1.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(daysSince1899(QDateTime(c.date, c.time)), c.days) << c.date.toString().toStdString();
}

TEST(ReportFileWrite, StoppingBeforeAPageWritesNoMoreAndSaysSoAFullDeviceIsAWriteError)
{
    const QByteArray page = hostile::triangles(1, 1);
    const auto pages = [&](int) { return page; };
    ReportFileHeader h{762, 1090, 96, 3, 0.0, false};
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    const bool complete = writeReportFile(buf, h, pages, [](int i) { return i < 2; });
    EXPECT_FALSE(complete);
    EXPECT_EQ(buf.data().size(), 372 + page.size() + 4);

    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        GTEST_SKIP() << "/dev/full is not available";
    EXPECT_EQ(errorOf<ReportFileError>([&] { writeReportFile(full, h, pages); }), kStreamWriteError);
}

TEST(ReportFileRead, TellsProgressOncePerPageInOrderAndChecksNeitherLeadingHeaderValuesNorBytesAfterTheEnd)
{
    const std::vector<QByteArray> pages{hostile::triangles(1, 1), hostile::triangles(1, 2), hostile::triangles(1, 3)};
    QByteArray file = fileOf(pages);
    hostile::patchU32(file, 0, 0xDEADBEEF);
    hostile::patchU32(file, 12, 0);
    file.append(QByteArray(100, 'x'));
    std::vector<int> seen;
    EXPECT_EQ(readBytes(file, [&](int i) { return seen.push_back(i), false; }).pages, pages);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

// A pipe has no length to check a page count or a page size against: what it
// claims is paid for only as the bytes arrive, and a stream that ends first is
// a read error, not a request for gigabytes.
TEST(ReportFileRead, AStreamOfUnknownLengthIsReadAsItsBytesArrive)
{
    class Pipe : public QIODevice {
    public:
        explicit Pipe(const QByteArray& bytes) : bytes_(bytes) { open(QIODevice::ReadOnly); }
        bool isSequential() const override { return true; }

    protected:
        qint64 readData(char* data, qint64 n) override
        {
            n = std::min(n, bytes_.size() - at_);
            std::memcpy(data, bytes_.constData() + at_, static_cast<std::size_t>(n));
            at_ += n;
            return n;
        }
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        QByteArray bytes_;
        qint64 at_ = 0;
    };
    const QByteArray file = fileOf({hostile::triangles(1, 1)});
    QByteArray manyPages = file, hugePage = file;
    hostile::patchU32(manyPages, 16, 0x7FFFFFFF);
    hostile::patchU32(hugePage, 372 + 48, 0xFFFFFFFC);
    for (const QByteArray& bytes : {file, manyPages, hugePage}) {
        Pipe pipe(bytes);
        EXPECT_EQ(errorOf<ReportFileError>([&] { readReportFile(pipe, validateReportPage); }),
                  bytes == file ? "" : kStreamReadError);
    }
}

// Sides are bounded by what paper can be: a larger one is refused before a page is
// read, so that nothing downstream (preview, tools, print) is ever asked for an
// image of gigabytes.
TEST(ReportFileRead, PageSidesBeyondAnyPaperAreRefusedBeforeAPageIsRead)
{
    struct Case { std::int32_t width, height; std::string error; };
    const Case cases[] = {
        {kMaxPageSide, 767, ""},
        {1090, kMaxPageSide, ""},
        {kMaxPageSide + 1, 767, kBadPageSize},
        {1090, kMaxPageSide + 1, kBadPageSize},
    };
    for (const Case& c : cases) {
        int pagesRead = 0;
        const QByteArray file = hostile::reportFile(hostile::triangles(1, 3), c.width, c.height);
        EXPECT_EQ(errorOf<ReportFileError>([&] { readBytes(file, [&](int) { return ++pagesRead, true; }); }), c.error)
            << c.width << " x " << c.height;
        EXPECT_EQ(pagesRead, c.error.empty() ? 1 : 0);
    }
}
