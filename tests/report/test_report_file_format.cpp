// The report file's bytes: header, page records and offsets, damaged files refused.
#include "report/report_file_format.h"

#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QTime>

#include <cstring>

using namespace report;

namespace {

std::uint32_t u32At(const QByteArray& b, qsizetype at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4); // the test machine is little-endian, like the file
    return v;
}

void setU32(QByteArray& b, qsizetype at, std::uint32_t v)
{
    std::memcpy(b.data() + at, &v, 4);
}

// A small page as the page store records it, different for each seed.
QByteArray recordedPage(int seed)
{
    platform::EmfRecorder rec(200, 120);
    rec.setBrushColor(QColor(10 * seed, 0, 255 - 10 * seed));
    rec.fillRect({5, 5, 60 + seed, 40});
    rec.moveTo(0, 0);
    rec.lineTo(199, 119);
    rec.textOut(10, 50, {10, 50, 150, 80}, 0, QStringLiteral("Page %1").arg(seed));
    return rec.finish();
}

void validatePage(std::span<const std::uint8_t> emf)
{
    try {
        platform::validateEmf(emf.data(), emf.size());
    } catch (const platform::EmfError&) {
        throw ReportFileError(kInvalidMetafile);
    }
}

QByteArray fileOf(const std::vector<QByteArray>& pages, ReportFileHeader h = {})
{
    if (h.printableWidth == 0) {
        h.printableWidth = 1090;
        h.printableHeight = 762;
        h.pixelsPerInch = 96;
    }
    h.pageCount = static_cast<int>(pages.size());
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
    return readReportFile(buf, validatePage, beforePage);
}

} // namespace

TEST(ReportFileHeader, FieldsSitAtTheirOffsetsAndUnusedBytesAreZero)
{
    ReportFileHeader h{762, 1090, 96, 3, 46'000.75, true};
    const HeaderBytes b = encodeReportFileHeader(h);
    const QByteArray bytes(reinterpret_cast<const char*>(b.data()), b.size());

    EXPECT_EQ(bytes.size(), 372);
    EXPECT_EQ(u32At(bytes, 0), 1u | 100u << 16);
    EXPECT_EQ(std::tuple(u32At(bytes, 4), u32At(bytes, 8), u32At(bytes, 12), u32At(bytes, 16)),
              std::tuple(762u, 1090u, 96u, 3u));
    double when = 0;
    std::memcpy(&when, bytes.constData() + 104, 8);
    EXPECT_EQ(when, 46'000.75);
    EXPECT_EQ(bytes[112], 1);
    for (int i = 20; i < 104; ++i)
        EXPECT_EQ(bytes[i], 0) << "title and gap byte " << i;
    for (int i = 113; i < 372; ++i)
        EXPECT_EQ(bytes[i], 0) << "reserved byte " << i;

    const ReportFileHeader back = decodeReportFileHeader(b);
    EXPECT_EQ(std::tuple(back.printableHeight, back.printableWidth, back.pixelsPerInch, back.pageCount, back.savedAt,
                         back.portrait),
              std::tuple(762, 1090, 96, 3, 46'000.75, true));

    h.portrait = false;
    EXPECT_EQ(encodeReportFileHeader(h)[112], 0);
}

TEST(ReportFileHeader, AnyNonZeroOrientationByteReadsAsPortrait)
{
    HeaderBytes b{};
    for (int v : {1, 2, 0x80, 0xFF}) {
        b[112] = static_cast<std::uint8_t>(v);
        EXPECT_TRUE(decodeReportFileHeader(b).portrait) << v;
    }
    b[112] = 0;
    EXPECT_FALSE(decodeReportFileHeader(b).portrait);
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

TEST(ReportFileWrite, StoppingBeforeAPageWritesNoMoreAndSaysSo)
{
    const QByteArray page = recordedPage(1);
    ReportFileHeader h{762, 1090, 96, 3, 0.0, false};
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    const bool complete = writeReportFile(buf, h, [&](int) { return page; }, [](int i) { return i < 2; });
    EXPECT_FALSE(complete);
    EXPECT_EQ(buf.data().size(), 372 + page.size() + 4);
}

TEST(ReportFileWrite, AFullDeviceIsAWriteError)
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        GTEST_SKIP() << "/dev/full is not available";
    const QByteArray page = recordedPage(1);
    ReportFileHeader h{762, 1090, 96, 1, 0.0, false};
    EXPECT_EQ(testsupport::errorOf<ReportFileError>([&] { writeReportFile(full, h, [&](int) { return page; }); }),
              kStreamWriteError);
}

TEST(ReportFileRead, TellsProgressOncePerPageInOrder)
{
    std::vector<int> seen;
    readBytes(fileOf({recordedPage(1), recordedPage(2), recordedPage(3)}), [&](int i) { seen.push_back(i); return false; });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST(ReportFileRead, LeadingHeaderValuesAndBytesAfterTheLastRecordAreNotChecked)
{
    QByteArray file = fileOf({recordedPage(1)});
    setU32(file, 0, 0xDEADBEEF);
    setU32(file, 12, 0);
    file.append(QByteArray(100, 'x'));
    EXPECT_EQ(readBytes(file).pages.size(), 1u);
}

TEST(ReportFileRead, MetafileHeaderCheckNeedsAWholeHeader)
{
    const QByteArray page = recordedPage(1);
    const auto* p = reinterpret_cast<const std::uint8_t*>(page.constData());
    EXPECT_EQ(metafileSizeFromHeader({p, 88}), static_cast<std::uint32_t>(page.size()));
    EXPECT_THROW(metafileSizeFromHeader({p, 87}), ReportFileError);
}
