// The loader bounds a page's sides by what paper can be: a larger side is
// refused before a page is read, so that nothing downstream (preview, tools,
// print) is ever asked for an image of gigabytes.
#include "report/report_file.h"
#include "report/report_file_format.h"
#include "tools/hostile_pages.h"

#include <gtest/gtest.h>

#include <QBuffer>

namespace {

TEST(ReportFileBounds, PageSidesBeyondAnyPaperAreRefused)
{
    const QByteArray page = hostile::triangles(1, 3);
    struct Case { std::int32_t width, height; bool loads; };
    const Case cases[] = {
        {report::kMaxPageSide, 767, true},
        {1090, report::kMaxPageSide, true},
        {report::kMaxPageSide + 1, 767, false},
        {1090, report::kMaxPageSide + 1, false},
        {1'000'000, 767, false},
    };
    for (const Case& c : cases) {
        QByteArray file = hostile::reportFile(page, c.width, c.height);
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        int pagesRead = 0;
        try {
            const report::LoadedReportFile loaded
                = report::readReportFile(in, report::validateReportPage, [&](int) { return ++pagesRead, true; });
            EXPECT_TRUE(c.loads) << c.width << " x " << c.height;
            EXPECT_EQ(loaded.header.printableWidth, c.width);
        } catch (const report::ReportFileError& e) {
            EXPECT_FALSE(c.loads) << c.width << " x " << c.height;
            EXPECT_STREQ(e.what(), report::kBadPageSize);
            EXPECT_EQ(pagesRead, 0) << "refused before reading a page";
        }
    }
}

} // namespace

namespace {

TEST(ReportFileBounds, PagesBreakingTheMetafileRulesAreRefused)
{
    for (const QByteArray& page : {hostile::earlyEof(), hostile::wrongRecordCount()}) {
        QByteArray file = hostile::reportFile(page, 1090, 762);
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        try {
            report::readReportFile(in, report::validateReportPage);
            ADD_FAILURE() << "loaded";
        } catch (const report::ReportFileError& e) {
            EXPECT_STREQ(e.what(), report::kInvalidMetafile);
        }
    }
}

} // namespace
