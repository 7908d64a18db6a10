// The page store against the fake printer: metrics, device mode, states, ranges, Cancel.
#include "platform/emf_player.h"

#include "report_fixtures.h"
#include "support/test_support.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <initializer_list>

using platform::FakePrinter;
namespace dm = platform::dm_field;

namespace {

// For each page of the fake's last job, the colours of the rectangles filled over
// its whole printable area (6814 x 4760 printer pixels); each page is drawn between
// saved states.
QStringList printedColours(const FakePrinter& fake)
{
    static const QRegularExpression fill(QStringLiteral("^fillRect 0,0,6814,4760 (#[0-9a-f]{6})$"));
    QStringList pages;
    for (const QStringList& calls : fake.jobPages) {
        EXPECT_TRUE(calls.isEmpty() || (calls.first() == "saveState" && calls.last() == "restoreState"))
            << calls.join(' ').toStdString();
        QStringList colours;
        for (const QString& c : calls)
            if (const auto m = fill.match(c); m.hasMatch())
                colours << m.captured(1);
        pages << colours.join(QLatin1Char(' '));
    }
    return pages;
}

// Presses Cancel on the visible progress window of `store`, and on no other window.
void clickProgressCancel(const TQRPrinter& store)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == store.captionText())
            if (auto* button = w->findChild<QPushButton*>())
                button->click();
}

class StoreTest : public ::testing::Test, public Store {};
using QRPrinterDeviceModeTest = StoreTest;
using QRPrinterJob = StoreTest;
using QRPrinterStates = StoreTest;

} // namespace

TEST(QRPrinterMetrics, PrintableAreaInPageUnitsSheetAndOffsetsOnlyFromAnsweredQueries)
{
    struct Case { int screen, horzRes, vertRes, ppiX, ppiY, printableWidth, printableHeight; };
    const Case cases[] = {
        {96, 6814, 4760, 600, 600, 1090, 762}, // A4 landscape at 600: 1090.24, 761.6
        {120, 6814, 4760, 600, 600, 1363, 952},
        {96, 2400, 1200, 300, 150, 768, 768},  // each side its own resolution
        {96, 1, 5, 64, 192, 2, 2},             // ties to even: 1.5 -> 2, 2.5 -> 2
    };
    for (const Case& c : cases) {
        FakePrinter fake;
        std::tie(fake.horzRes, fake.vertRes, fake.ppiX, fake.ppiY) = std::tuple(c.horzRes, c.vertRes, c.ppiX, c.ppiY);
        TQRPrinter store(fake, c.screen);
        EXPECT_EQ(std::pair(store.printableWidth(), store.printableHeight()), std::pair(c.printableWidth, c.printableHeight))
            << c.horzRes << " at " << c.screen;
    }

    // The sheet and the offsets come only from answered queries.
    FakePrinter fake; // offsets 100 x 100, sheet 7016 x 4960 at 600 per inch
    fake.answersQueries = false;
    TQRPrinter fresh(fake, 96);
    EXPECT_EQ(std::tuple(fresh.physicalWidth(), fresh.physicalHeight(), fresh.offsetLeft()), std::tuple(0, 0, 0));

    fake.answersQueries = true;
    TQRPrinter store(fake, 96);
    const auto sheet = [&] {
        return std::tuple(store.physicalWidth(), store.physicalHeight(), store.offsetLeft(), store.offsetTop());
    };
    EXPECT_EQ(sheet(), std::tuple(1123, 794, 16, 16)); // 1122.56, 793.6, 16
    fake.answersQueries = false;
    fake.horzRes = 3000;
    store.readMetrics();
    EXPECT_EQ(store.printableWidth(), 480);
    EXPECT_EQ(sheet(), std::tuple(1123, 794, 16, 16)) << "left as they were";
}

TEST(QRPrinterFallback, PortraitPageAndPrintingDisabledForGood)
{
    struct Case {
        const char* what;
        int screen;
        std::function<void(FakePrinter&)> breakPrinter;
        int offset, width, height, sheetWidth, sheetHeight;
    };
    const auto noPrinter = [](FakePrinter& f) { f.printerNames.clear(); };
    const Case cases[] = {
        {"no printer", 96, noPrinter, 5, 748, 1080, 785, 1134},
        {"no printer at 120", 120, noPrinter, 5, 934, 1350, 981, 1418},
        {"unreadable printer", 96, [](FakePrinter& f) { f.deviceContextFails = true; }, 20, 748, 1080, 785, 1134},
        // A printer that claims no resolution cannot be measured: a failed read, not a division by 0.
        {"no resolution", 96, [](FakePrinter& f) { f.ppiY = 0; }, 20, 748, 1080, 785, 1134},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePrinter fake;
        c.breakPrinter(fake);
        TQRPrinter store(fake, c.screen);
        EXPECT_EQ(std::tuple(store.printableWidth(), store.printableHeight(), store.physicalWidth(),
                             store.physicalHeight(), store.offsetLeft(), store.offsetTop()),
                  std::tuple(c.width, c.height, c.sheetWidth, c.sheetHeight, c.offset, c.offset));
        EXPECT_FALSE(store.printEnabled());

        FakePrinter healthy;
        TQRPrinter other(healthy, c.screen);
        fake.printerNames = healthy.printerNames;
        fake.deviceContextFails = false;
        fake.ppiY = healthy.ppiY;
        store.readMetrics();
        EXPECT_EQ(store.printableWidth(), other.printableWidth());
        EXPECT_FALSE(store.printEnabled()) << "a printer that works again does not bring printing back";
        composePages(store, 1);
        store.Print();
        EXPECT_EQ(fake.jobsBegun, 0) << "nor a print job";
    }
}

TEST(QRPrinterDeviceMode, WritesOnlyFieldsThePrinterTakes)
{
    struct Case {
        const char* what;
        std::uint32_t fields;
        std::function<void(TQRPrinter&)> change;
        std::tuple<int, int, int, int> expected; // orientation, paper code, length, width
        bool readsMetrics;
        std::pair<int, int> readBack; // width and length, 0 where the printer takes none
    };
    const auto landscape = [](TQRPrinter& s) { s.setOrientation(platform::poLandscape); };
    const auto a4 = [](TQRPrinter& s) { s.setPaperSize(qrpA4); };
    const Case cases[] = {
        {"landscape", dm::all, landscape, {2, 1, 111, 222}, false, {222, 111}},
        {"landscape not taken", dm::all & ~dm::orientation, landscape, {1, 1, 111, 222}, false, {222, 111}},
        {"A4", dm::all, a4, {1, 9, 111, 222}, true, {222, 111}},
        {"A4 not taken", dm::orientation, a4, {1, 1, 111, 222}, true, {0, 0}},
        {"width switches to custom", dm::all, [](TQRPrinter& s) { s.setPaperWidth(2100); }, {1, 256, 111, 2100},
         true, {2100, 111}},
        {"length not taken", dm::orientation | dm::paperSize, [](TQRPrinter& s) { s.setPaperLength(2970); },
         {1, 256, 111, 222}, true, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePrinter fake;
        fake.deviceMode = {c.fields, platform::dmOrientPortrait, 1, 111, 222};
        TQRPrinter store(fake, 96);
        fake.log.clear();
        c.change(store);
        const platform::DeviceMode& m = fake.deviceMode;
        EXPECT_EQ(std::tuple(m.orientation, m.paperSize, m.paperLength, m.paperWidth), c.expected);
        EXPECT_EQ(m.fields, c.fields) << "the field mask is kept";
        EXPECT_EQ(fake.locksHeld(), 0);
        EXPECT_EQ(fake.log.count(QStringLiteral("lock")), fake.log.count(QStringLiteral("unlock")));
        EXPECT_EQ(fake.log.contains(QStringLiteral("deviceCaps 8")), c.readsMetrics);
        EXPECT_EQ(std::pair(store.paperWidth(), store.paperLength()), c.readBack);
    }
}

TEST_F(QRPrinterDeviceModeTest, AModeThatCannotBeLockedIsNotWrittenAMissingOneIsPrinterDriverError)
{
    fake.lockFails = true;
    store.setPaperSize(qrpA3);
    EXPECT_EQ(fake.deviceMode.paperSize, 9) << "the printer's A4 stays";
    EXPECT_EQ(fake.locksHeld(), 0);

    fake.lockFails = false;
    fake.hasDeviceMode = false;
    EXPECT_EQ(testsupport::errorOf<platform::EPrinter>([&] { store.setPaperSize(qrpA4); }), "Printer driver error");
    // The selected index was written back to make the printer build one; that can succeed.
    EXPECT_TRUE(fake.log.contains(QStringLiteral("setPrinterIndex 0")));
    fake.reselectBuildsDeviceMode = true;
    store.setPaperSize(qrpA5);
    EXPECT_EQ(fake.deviceMode.paperSize, 11);
}

TEST_F(QRPrinterDeviceModeTest, PrinterObjectErrorsPassUnchanged)
{
    std::tie(fake.selectedIndex, fake.defaultIndex) = std::pair(-1, -1);
    EXPECT_THROW(store.setPaperSize(qrpA4), platform::EPrinter);
    EXPECT_EQ(testsupport::errorOf<platform::EPrinter>([&] { store.paperWidth(); }),
              "There is no default printer currently selected");

    fake.selectedIndex = 0;
    store.setOrientation(platform::poLandscape);
    EXPECT_EQ(fake.orientation(), platform::poLandscape);
    fake.beginDoc();
    EXPECT_THROW(store.setOrientation(platform::poPortrait), platform::EPrinter);
    EXPECT_EQ(store.orientation(), platform::poPortrait) << "remembered before the printer refused";
}

TEST_F(QRPrinterStates, BeginDocOpensPageOneCallsOutOfTurnDoNothingPagesAreShownOnlyWhenReady)
{
    store.NewPage();
    store.EndDoc();
    store.Cleanup();
    EXPECT_EQ(std::pair(store.status(), store.pageCount()), std::pair(QRPrinterStatus::Idle, 0));
    EXPECT_THROW(store.canvas(), std::logic_error);

    store.setTitle(QStringLiteral("old"));
    store.BeginDoc();
    EXPECT_EQ(std::tuple(store.status(), store.pageCount(), store.currentPageNumber(), store.title()),
              std::tuple(QRPrinterStatus::Composing, 1, 1, QString()));
    store.NewPage();
    platform::Canvas* open = &store.canvas();
    store.BeginDoc();
    EXPECT_EQ(store.pageCount(), 2) << "a second BeginDoc keeps the run";
    EXPECT_EQ(&store.canvas(), open);
    store.setCurrentPageNumber(2);
    EXPECT_EQ(store.currentPageNumber(), 1) << "not while composing";

    store.EndDoc();
    store.NewPage();
    store.EndDoc();
    EXPECT_EQ(store.status(), QRPrinterStatus::Ready);
    EXPECT_EQ(std::pair(store.pageCount(), store.storedPageCount()), std::pair(2, 2));
    EXPECT_EQ(platform::emfFrameSizeInPixels(platform::validateEmf(store.pageImage(1)), 96), QSize(1090, 762));
    for (int n : {0, -1, 3}) {
        store.setCurrentPageNumber(n);
        EXPECT_EQ(store.currentPageNumber(), 1) << n;
    }
    store.setCurrentPageNumber(2);
    EXPECT_EQ(store.currentPageImage(), &store.pageImage(2));
}

TEST_F(QRPrinterStates, CleanupFreesPagesAndClearsRange)
{
    composePages(store, 3);
    store.setFromPage(2);
    store.setToPage(3);
    store.Cleanup();
    EXPECT_EQ(std::pair(store.status(), store.storedPageCount()), std::pair(QRPrinterStatus::Idle, 0));
    EXPECT_EQ(std::pair(store.fromPage(), store.toPage()), std::pair(0, 0));
    EXPECT_EQ(store.currentPageImage(), nullptr);

    store.BeginDoc(); // Cleanup while composing closes the open page, then frees everything
    store.Cleanup();
    EXPECT_EQ(store.storedPageCount(), 0);

    composePages(store, 3); // BeginDoc when ready starts afresh
    store.BeginDoc();
    EXPECT_EQ(std::pair(store.pageCount(), store.storedPageCount()), std::pair(1, 0));
}

TEST_F(QRPrinterStates, RefusedPagesChangeNothingAdoptedOnesKeepThePrinterOffsets)
{
    composePages(store, 2);
    const QByteArray page = store.pageImage(1);
    EXPECT_THROW(store.adoptPages({}, 100, 100), std::invalid_argument);
    EXPECT_THROW(store.adoptPages({page}, 0, 100), std::invalid_argument);
    EXPECT_EQ(store.storedPageCount(), 2) << "a refused set of pages changes nothing";

    store.adoptPages({page, page, page}, 1090, 762);
    EXPECT_EQ(store.offsetLeft(), 16) << "offsets stay those of the printer";
}

TEST_F(QRPrinterJob, PrintsThePagesInRangeAsOneJob)
{
    const auto colours = [](std::initializer_list<int> pages) {
        QStringList out;
        for (int page : pages)
            out << pageColour(page).name();
        return out;
    };
    const QStringList all = colours({1, 2, 3, 4, 5});
    struct Case { int from, to; QStringList printed /* each page's colours */; int newPages; };
    const Case cases[] = {
        {0, 0, all, 4},
        {2, 3, colours({2, 3}), 1},
        {4, 0, all, 4},  // from 4 to 0 is all
        {0, 2, colours({1, 2}), 1},
        {-1, -7, all, 4}, // negatives ignored
        {7, 9, {QString()}, 0}, // a job with nothing drawn on its one page
    };
    store.Print();
    EXPECT_EQ(fake.jobsBegun, 0) << "no pages, no job";
    composePages(store, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ".." << c.to);
        store.setFromPage(0);
        store.setToPage(0);
        store.setFromPage(c.from);
        store.setToPage(c.to);
        fake.log.clear();
        std::tie(fake.jobsBegun, fake.jobsEnded) = std::pair(0, 0);
        store.Print();
        EXPECT_EQ(std::pair(fake.jobsBegun, fake.jobsEnded), std::pair(1, 1));
        EXPECT_EQ(fake.log.count(QStringLiteral("newPage")), c.newPages);
        EXPECT_EQ(printedColours(fake), c.printed);
    }
}

TEST_F(QRPrinterJob, TitleAndCurrentPageAroundTheJob)
{
    composePages(store, 4);
    store.setTitle(QStringLiteral("Profile"));
    store.setCurrentPageNumber(3);
    fake.beginDoc(); // a job left running is aborted first
    fake.log.clear();
    store.Print();
    EXPECT_EQ(fake.log.mid(0, 3), (QStringList{"setTitle Profile", "abort", "beginDoc"}));
    EXPECT_EQ(std::tuple(store.currentPageNumber(), store.status(), store.storedPageCount()),
              std::tuple(3, QRPrinterStatus::Ready, 4));
}

TEST_F(QRPrinterJob, CancelBeforeTheFirstPageAbortsTheJob)
{
    store.setShowProgress(true);
    composePages(store, 3);
    store.setCurrentPageNumber(2);
    // The press arrives while the job is open, before the pages are sent.
    fake.onBeginDoc = [this] { QTimer::singleShot(0, [this] { clickProgressCancel(store); }); };
    store.Print();
    EXPECT_TRUE(store.cancelled());
    EXPECT_EQ(std::tuple(fake.jobsAborted, fake.jobsEnded, fake.jobPages.size()), std::tuple(1, 0, 0u));
    EXPECT_EQ(std::tuple(store.status(), store.storedPageCount(), store.currentPageNumber()),
              std::tuple(QRPrinterStatus::Ready, 3, 2));

    fake.onBeginDoc = nullptr;
    store.Print();
    EXPECT_FALSE(store.cancelled()) << "the next job starts uncancelled";
    EXPECT_EQ(fake.jobPages.size(), 3u);
}

TEST_F(QRPrinterJob, PrinterErrorLeavesStoreCurrentPageAndNoOpenJob)
{
    composePages(store, 2);
    store.setCurrentPageNumber(2);
    fake.onBeginDoc = [] { throw platform::EPrinter(QStringLiteral("Out of paper")); };
    EXPECT_THROW(store.Print(), platform::EPrinter);
    EXPECT_EQ(std::pair(store.currentPageNumber(), store.storedPageCount()), std::pair(2, 2));
    EXPECT_FALSE(fake.printing());
}

TEST_F(QRPrinterJob, PagesDiscardedAtTheMessagePointAreNotTouched)
{
    composePages(store, 3);
    fake.onBeginDoc = [this] { QTimer::singleShot(0, [this] { store.Cleanup(); }); };
    store.Print();
    EXPECT_EQ(std::pair(store.status(), fake.jobsEnded), std::pair(QRPrinterStatus::Idle, 1));
}

TEST(QRPrinterProgramStore, CreatedOverTheProgramPrinterAndOwned)
{
    auto previous = platform::setPrinter(std::make_unique<FakePrinter>());
    {
        QObject application;
        TQRPrinter& store = createQRPrinter(&application);
        EXPECT_EQ(&store.printer(), &platform::Printer());
        EXPECT_EQ(store.captionText(), QStringLiteral("PageReport version 1.0d"));
        TQRPrinter& second = createQRPrinter(&application);
        EXPECT_EQ(&QRPrinter(), &second);
        EXPECT_EQ(application.children().size(), 1) << "the first store was replaced";
    }
    EXPECT_FALSE(hasQRPrinter()) << "the store goes with its owner";
    EXPECT_THROW(QRPrinter(), std::logic_error);
    platform::setPrinter(std::move(previous));
}
