// The report run, checked on the composed pages.
#include "report_fixtures.h"

#include "report/qr_group.h"

#include "support/test_support.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ReportRunTest = ReportFixture;

TEST_F(ReportRunTest, ProfileLikeReportCallsItsHandlerThreeTimesOnlyTheFirstBeforeDrawing)
{
    // One title band; the same handler on the report's OnNeedData and the
    // band's BeforePrint, leaving the flag alone.
    TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 762);
    TQRLabel& label = addLabel(band, QStringLiteral("QRLabel1"), QStringLiteral("Aries"), 247, 82, 577);
    label.Alignment = taCenter;
    label.AutoSize = false;
    QStringList calls;
    auto PageReport1NeedData = [&](bool& flag) { calls << (flag ? "handler true" : "handler false"); };
    report->OnNeedData = PageReport1NeedData;
    band.BeforePrint = PageReport1NeedData;
    label.OnPrint = [&](ReportComponent& sender, QString& value) {
        calls << QStringLiteral("drawn");
        value = sender.Name() + u' ' + value;
    };

    const auto page = onlyPage();
    EXPECT_EQ(calls, (QStringList{"handler true", "drawn", "handler true", "handler false"}));
    EXPECT_EQ(textsAt(page), (Texts{"535,82 QRLabel1 Aries"})) << "OnPrint chose the text";
    EXPECT_EQ(store->status(), QRPrinterStatus::Idle) << "Preview discards the pages it composed";
}

TEST_F(ReportRunTest, ABandThatFitsNoPagePrintsOnAFreshOneAndLeavesNoBlankSheet)
{
    // Printer pixels at 600 dpi against page units at 96: 4760 pixels is
    // 761.6 units, A4 landscape with sixth-of-an-inch margins.
    for (const int vertRes : {4760, 4700, 4766, 4800}) {
        SCOPED_TRACE(vertRes);
        printer.vertRes = vertRes;
        TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 762, QStringLiteral("Aries"));
        EXPECT_EQ(textsAt(onlyPage()), (Texts{"0,0 Aries"})) << "the page was not left blank";
        form.remove(band);

        // Below another band it still moves on to the next page.
        TQRBand& first = addBand(QStringLiteral("QRBand0"), rbTitle, 100, QStringLiteral("Name"));
        TQRBand& second = addBand(QStringLiteral("QRBand1"), rbTitle, 762, QStringLiteral("Aries"));
        const auto pages = previewPages();
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_EQ(textsAt(pages[0]), (Texts{"0,0 Name"}));
        EXPECT_EQ(textsAt(pages[1]), (Texts{"0,0 Aries"}));
        form.remove(first);
        form.remove(second);
    }
    // A column header taller than any page still ends, on the first page.
    addBand(QStringLiteral("CH"), rbColumnHeader, 800, QStringLiteral("column"));
    EXPECT_FALSE(onlyPage().texts.empty());
}

TEST_F(ReportRunTest, DisabledOrRefusedBandsLeaveNoTraceAndNoGap)
{
    struct Case { const char* what; bool enabled, printBand; QStringList events; Texts printed; };
    const Case cases[] = {
        {"disabled", false, true, {}, {"0,0 a", "0,100 c"}},
        {"refused", true, false, {"before", "after false"}, {"0,0 a", "0,100 c"}},
        {"printed", true, true, {"before", "after true"}, {"0,0 a", "0,100 b", "0,200 c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TQRBand& a = addBand(QStringLiteral("A"), rbTitle, 100, QStringLiteral("a"));
        TQRBand& b = addBand(QStringLiteral("B"), rbTitle, 100, QStringLiteral("b"));
        TQRBand& z = addBand(QStringLiteral("C"), rbTitle, 100, QStringLiteral("c"));
        QStringList events;
        b.Enabled = c.enabled;
        b.BeforePrint = [&](bool& print) {
            events << QStringLiteral("before");
            print = c.printBand;
        };
        b.AfterPrint = [&](bool printed) { events << (printed ? "after true" : "after false"); };

        EXPECT_EQ(textsAt(onlyPage()), c.printed);
        EXPECT_EQ(events, c.events);
        for (TQRBand* band : {&a, &b, &z})
            form.remove(*band);
    }
}

TEST_F(ReportRunTest, ForceNewPageWaitsForADetailOnThePage)
{
    report::MemoryDataSet data({"N"}, {{"one"}, {"two"}, {"three"}});
    report->DataSource = &data;
    report->PageFrame.DrawTop = true;
    addBand(QStringLiteral("Title"), rbTitle, 50, QStringLiteral("Title")).ForceNewPage = true;
    TQRBand& detail = addBand(QStringLiteral("Detail"), rbDetail, 50);
    detail.ForceNewPage = true;
    bound(addLabel<TQRDBText>(detail, QStringLiteral("F"), QString(), 0, 0), data, "N");

    const auto pages = previewPages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(textsAt(pages[0]), (Texts{"0,0 Title", "0,50 one"}));
    EXPECT_EQ(textsAt(pages[1]), (Texts{"0,0 two"}));
    EXPECT_EQ(textsAt(pages[2]), (Texts{"0,0 three"}));
    for (const auto& page : pages) {
        ASSERT_EQ(page.lines.size(), 1u) << "the page frame on every page";
        EXPECT_EQ(page.lines[0].x2, 1089);
    }
}

TEST_F(ReportRunTest, DataDrivenReportWithGroupHeadersFootersColumnsAndSummary)
{
    printer.horzRes = 6000;  // 960 page units wide: two columns of 480
    printer.vertRes = 2500;  // 400 high; the page footer of 30 leaves 370
    report::MemoryDataSet data({"City", "Sales"}, {{"A", "10"}, {"A", "20"}, {"A", "30"}, {"B", "40"}, {"B", "50"},
                                                   {"C", "60"}, {"C", "70"}, {"C", "80"}, {"C", "90"}});
    report->DataSource = &data;
    report->setColumns(2);
    report->setColumns(0); // zero and negative counts are ignored
    report->setColumns(-2);

    addBand(QStringLiteral("PH"), rbPageHeader, 40, QStringLiteral("Header"));
    addBand(QStringLiteral("PF"), rbPageFooter, 30, QStringLiteral("Footer"));
    TQRBand& detail = addBand(QStringLiteral("Detail"), rbDetail, 80);
    bound(addLabel<TQRDBText>(detail, QStringLiteral("Sales"), QString(), 0, 0), data, "Sales");
    TQRBand& groupHeader = addBand(QStringLiteral("GH"), rbTitle, 20);
    bound(addLabel<TQRDBText>(groupHeader, QStringLiteral("City"), QString(), 0, 0), data, "City");
    TQRBand& groupFooter = addBand(QStringLiteral("GF"), rbTitle, 20);
    bound(addLabel<TQRDBCalc>(groupFooter, QStringLiteral("GroupSum"), QString(), 0, 0), data, "Sales")
        .setResetBand(&groupFooter);
    bound(addLabel<TQRDBText>(groupFooter, QStringLiteral("EndedCity"), QString(), 100, 0), data, "City");
    TQRBand& summary = addBand(QStringLiteral("Summary"), rbSummary, 20);
    bound(addLabel<TQRDBCalc>(summary, QStringLiteral("Total"), QString(), 0, 0), data, "Sales");
    TQRGroup& group = bound(form.add<TQRGroup>(QStringLiteral("ByCity")), data, "City");
    group.setHeaderBand(&groupHeader);
    group.setFooterBand(&groupFooter);

    int startPages = 0, endPages = 0, details = 0;
    report->OnStartPage = [&](ReportComponent&) { ++startPages; };
    report->OnEndPage = [&](ReportComponent&) { ++endPages; };
    report->AfterDetail = [&](ReportComponent&) { ++details; };

    const auto pages = previewPages();
    ASSERT_EQ(pages.size(), 2u);
    // Each group footer shows the total of its own group and, from the record
    // before the break, its own city; columns restart at the page header's foot.
    EXPECT_EQ(textsAt(pages[0]), (Texts{"0,0 Header", "0,40 A", "0,60 10", "0,140 20", "0,220 30",
                                              "0,300 60", "100,300 A", "0,320 B",
                                              "480,40 40", "480,120 50", "480,200 90", "580,200 B",
                                              "480,220 C", "480,240 60", "0,370 Footer"}));
    EXPECT_EQ(textsAt(pages[1]), (Texts{"0,0 Header", "0,40 70", "0,120 80", "0,200 90", "0,280 300",
                                              "100,280 C", "0,300 450", "0,370 Footer"}));
    EXPECT_EQ(std::tuple(startPages, endPages, details), std::tuple(2, 2, 9));
}

TEST_F(ReportRunTest, AnEmptyTableOrAFilterWithoutADataSourceEndsTheDataBeforeTheSummary)
{
    report::MemoryDataSet data({"N"}, {});
    report->DataSource = &data;
    addBand(QStringLiteral("Detail"), rbDetail, 20, QStringLiteral("detail"));
    addBand(QStringLiteral("Summary"), rbSummary, 20, QStringLiteral("summary"));
    EXPECT_EQ(textsAt(onlyPage()), (Texts{"0,0 summary"}));

    report->DataSource = nullptr;
    int asked = 0;
    report->OnNeedData = [&](bool& more) { more = ++asked <= 3; };
    report->OnFilter = [&](bool& print) { print = asked != 2; };
    // Needed 1: printed; 2: filtered, which ends the data.
    EXPECT_EQ(textsAt(onlyPage()), (Texts{"0,0 detail", "0,20 summary"}));
}

TEST_F(ReportRunTest, TitleAndPageHeaderOrder)
{
    addBand(QStringLiteral("Title"), rbTitle, 30, QStringLiteral("title"));
    addBand(QStringLiteral("Header"), rbPageHeader, 20, QStringLiteral("header"));
    EXPECT_EQ(textsAt(onlyPage()), (Texts{"0,0 header", "0,20 title"}));
    report->TitleBeforeHeader = true;
    EXPECT_EQ(textsAt(onlyPage()), (Texts{"0,0 title", "0,30 header"}));
}

TEST_F(ReportRunTest, ErrorFromAHandlerLeavesThePageStoreIdleWithNoPages)
{
    struct Case { const char* what; bool inBandHandler; void (TPageReport::*run)(); };
    // Print and Preview take the same way into the run: each handler is tried with one of them.
    for (const Case c : {Case{"band, print", true, &TPageReport::Print},
                         Case{"report, preview", false, &TPageReport::Preview},
                         Case{"band, prepare", true, &TPageReport::Prepare}}) {
        SCOPED_TRACE(c.what);
        TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 100, QStringLiteral("x"));
        auto fail = [](bool&) { throw std::runtime_error("File not found"); };
        if (c.inBandHandler)
            band.BeforePrint = fail;
        else
            report->OnNeedData = fail;  // after the band has been drawn
        report->ShowProgress = true;
        EXPECT_EQ(testsupport::errorOf<std::runtime_error>([&] { std::invoke(c.run, report); }), "File not found");
        EXPECT_EQ(std::pair(store->status(), store->storedPageCount()), std::pair(QRPrinterStatus::Idle, 0));
        EXPECT_EQ(report->progressForm(), nullptr);
        EXPECT_EQ(std::pair(previewCalls, printer.jobsBegun), std::pair(0, 0));
        report->OnNeedData = nullptr;
        form.remove(band);
    }
}

TEST_F(ReportRunTest, PrintSendsThePagesAsOneJobAndDiscardsThem)
{
    addBand(QStringLiteral("QRBand1"), rbTitle, 100, QStringLiteral("x"));
    report->ReportTitle = QStringLiteral("Profile");
    report->Orientation = platform::poLandscape;
    report->setPaperSize(qrpA4);
    report->Print();
    EXPECT_EQ(std::tuple(printer.jobsBegun, printer.jobsEnded, printer.jobPages.size()), std::tuple(1, 1, 1u));
    EXPECT_EQ(printer.jobTitleAtBegin, QStringLiteral("Profile"));
    EXPECT_EQ(printer.deviceMode.orientation, platform::dmOrientLandscape);
    EXPECT_EQ(printer.deviceMode.paperSize, 0) << "the run hands the printer back its default paper";
}

TEST_F(ReportRunTest, PagesAlreadyHeldAreUsedAndKeptReportBeforePrintFalseComposesNothing)
{
    TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 100);
    int drawn = 0;
    band.BeforePrint = [&](bool&) { ++drawn; };
    report->Prepare();
    ASSERT_EQ(store->status(), QRPrinterStatus::Ready);
    report->Preview();
    report->Print();
    EXPECT_EQ(drawn, 1) << "nothing composed again";
    EXPECT_EQ(std::pair(previewCalls, printer.jobsBegun), std::pair(1, 1));
    EXPECT_EQ(store->status(), QRPrinterStatus::Ready) << "pages this call did not compose are kept";
    store->Cleanup();

    report->BeforePrint = [](bool& print) { print = false; };
    report->Preview();
    report->Print();
    EXPECT_EQ(drawn, 1) << "the band was not asked";
    EXPECT_EQ(std::pair(previewCalls, printer.jobsBegun), std::pair(1, 1));
    EXPECT_TRUE(store->cancelled());
}

TEST_F(ReportRunTest, CancelStopsThePassesButTheFootersAreComposed)
{
    addBand(QStringLiteral("Detail"), rbDetail, 10, QStringLiteral("d"));
    addBand(QStringLiteral("Summary"), rbSummary, 10, QStringLiteral("summary"));
    int asked = 0;
    report->OnNeedData = [&](bool& more) {
        more = true;  // endless data ...
        if (++asked == 3)
            store->Cancel();  // ... until the user presses Cancel
    };
    report->Prepare();
    ASSERT_EQ(store->status(), QRPrinterStatus::Ready);
    EXPECT_EQ(asked, 3) << "no pass starts after Cancel";
    const auto page = emfpage::readPage(store->pageImage(1));
    EXPECT_EQ(textsAt(page), (Texts{"0,0 d", "0,10 d", "0,20 summary"}));
    store->Cleanup();

    asked = 0;
    report->Preview();
    asked = 0;
    report->Print();
    EXPECT_EQ(std::pair(previewCalls, printer.jobsBegun), std::pair(0, 0));
    EXPECT_EQ(store->status(), QRPrinterStatus::Idle);
}

TEST_F(ReportRunTest, PrintOrPreviewDuringARunLeavesTheStoreToThatRun)
{
    TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 100, QStringLiteral("x"));
    TPageReport& other = form.add<TPageReport>(QStringLiteral("Other"));
    other.setPageStore(store.get());
    band.BeforePrint = [&](bool&) {
        // What a main-window click handled between bands would do.
        report->Print();
        other.Preview();
        EXPECT_EQ(store->status(), QRPrinterStatus::Composing);
    };
    onlyPage();
    EXPECT_EQ(previewCalls, 1);
    EXPECT_EQ(printer.jobsBegun, 0);
}

TEST_F(ReportRunTest, PrintDialogChoosesRangeOrFileOrNothing)
{
    TQRBand& band = addBand(QStringLiteral("QRBand1"), rbTitle, 100);
    int composed = 0;
    band.BeforePrint = [&](bool&) { ++composed; };
    report->DisplayPrintDialog = true;
    testsupport::TempDir dir;
    DialogUser user;
    user.answers = {qpath(dir.path() / "page.QRP")};

    // Cancelled: nothing composed or printed.
    std::function<std::optional<TPageReport::PrintDialogChoice>(int)> answer = [](int) {
        return std::optional<TPageReport::PrintDialogChoice>();
    };
    testsupport::EngineOverride dialog([&](report::EngineWindows& w) { w.printDialog = [&](int n) { return answer(n); }; });
    report->Print();
    EXPECT_EQ(composed, 0);
    EXPECT_EQ(printer.jobsBegun, 0);

    // A range without the one page: a job without pages.
    answer = [](int maxPage) {
        EXPECT_EQ(maxPage, 9999);
        return std::optional<TPageReport::PrintDialogChoice>({2, 3, false});
    };
    report->Print();
    EXPECT_EQ(composed, 1);
    EXPECT_EQ(printer.jobsBegun, 1);
    for (const QStringList& page : printer.jobPages)
        EXPECT_TRUE(page.isEmpty()) << "no page image was sent";

    // To a file: the report file is written instead of a job.
    answer = [](int) { return std::optional<TPageReport::PrintDialogChoice>({0, 0, true}); };
    report->Print();
    EXPECT_EQ(composed, 2);
    EXPECT_EQ(printer.jobsBegun, 1);
    ASSERT_EQ(user.asked.size(), 1u);
    EXPECT_EQ(user.asked[0].filter, QStringLiteral("PageReport files|*.QRP"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "page.QRP"));
    EXPECT_EQ(store->status(), QRPrinterStatus::Idle);
}

TEST_F(ReportRunTest, DetailLinksRunForEachMasterRecordBeforeOrAfterIt)
{
    report::MemoryDataSet master({"M"}, {{"M1"}, {"M2"}});
    report::MemoryDataSet sub({"S"}, {{"S1"}, {"S2"}, {"S3"}});
    report->DataSource = &master;
    TQRBand& detail = addBand(QStringLiteral("Detail"), rbDetail, 10);
    bound(addLabel<TQRDBText>(detail, QStringLiteral("MT"), QString(), 0, 0), master, "M");
    TQRBand& head = addBand(QStringLiteral("LinkHead"), rbTitle, 10, QStringLiteral("head"));
    TQRBand& subBand = addBand(QStringLiteral("Sub"), rbTitle, 10);
    bound(addLabel<TQRDBText>(subBand, QStringLiteral("ST"), QString(), 0, 0), sub, "S");
    TQRBand& foot = addBand(QStringLiteral("LinkFoot"), rbTitle, 10, QStringLiteral("foot"));
    TQRDetailLink& link = form.add<TQRDetailLink>(QStringLiteral("Link"));
    link.DataSource = &sub;
    link.setMaster(report);
    link.setHeaderBand(&head);
    link.setDetailBand(&subBand);
    link.setFooterBand(&foot);
    EXPECT_EQ(subBand.BandType, rbSubDetail);
    // Only every other sub record passes the link's filter.
    link.OnFilter = [&](bool& print) { print = sub.fieldText(QStringLiteral("S")) != QStringLiteral("S2"); };

    EXPECT_EQ(textsAt(onlyPage(), false),
              (Texts{"M1", "head", "S1", "S3", "foot", "M2", "head", "S1", "S3", "foot"}));
    link.setPrintBefore(true);
    EXPECT_EQ(textsAt(onlyPage(), false),
              (Texts{"head", "S1", "S3", "foot", "M1", "head", "S1", "S3", "foot", "M2"}));
}

} // namespace
