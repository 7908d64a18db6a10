// The page store against the fake printer: metrics in page units, device-mode
// writes, the recording states, print ranges, Cancel and the current page.
#include "platform/emf_player.h"
#include "platform/printer_fake.h"
#include "report/qr_printer.h"
#include "report/qr_progress_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>

using platform::FakePrinter;

namespace {

// Colours of the filled rectangles that reached one printed page.
QStringList fillColours(const QStringList& calls)
{
    static const QRegularExpression fill(QStringLiteral("^fillRect .* (#[0-9a-f]{6})$"));
    QStringList colours;
    for (const QString& c : calls) {
        const auto m = fill.match(c);
        if (m.hasMatch())
            colours << m.captured(1);
    }
    return colours;
}

QString pageColour(int page)
{
    return QColor::fromHsv((page * 50) % 360, 255, 200).name();
}

// Records `count` pages, each with one rectangle in its own colour.
void composePages(TQRPrinter& store, int count)
{
    store.BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            store.NewPage();
        store.canvas().setBrushColor(QColor(pageColour(page)));
        store.canvas().fillRect({10, 10, 200, 100});
    }
    store.EndDoc();
}

QStringList printedColours(const FakePrinter& fake)
{
    QStringList colours;
    for (const QStringList& page : fake.jobPages)
        colours << fillColours(page).join(QLatin1Char(' '));
    return colours;
}

// Clicks Cancel on the page store's visible progress window.
void clickProgressCancel()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            if (auto* button = dialog->findChild<QPushButton*>())
                button->click();
    }
}

} // namespace

// ---------------------------------------------------------------- metrics

struct MetricsCase {
    const char* name;
    int screen;
    int horzRes, vertRes, ppiX, ppiY;
    int printableWidth, printableHeight;
};

class QRPrinterMetrics : public ::testing::TestWithParam<MetricsCase> {};

TEST_P(QRPrinterMetrics, PrintableAreaInPageUnits)
{
    const MetricsCase& c = GetParam();
    FakePrinter fake;
    fake.horzRes = c.horzRes;
    fake.vertRes = c.vertRes;
    fake.ppiX = c.ppiX;
    fake.ppiY = c.ppiY;
    TQRPrinter store(fake, c.screen);
    EXPECT_EQ(store.printableWidth(), c.printableWidth);
    EXPECT_EQ(store.printableHeight(), c.printableHeight);
    EXPECT_TRUE(store.printEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QRPrinterMetrics,
    ::testing::Values(
        // An A4 sheet in landscape at 600 per inch: 1090.24 and 761.6.
        MetricsCase{"a4_landscape_600", 96, 6814, 4760, 600, 600, 1090, 762},
        MetricsCase{"a4_landscape_600_at_120", 120, 6814, 4760, 600, 600, 1363, 952},
        // Different resolutions each way convert each side with its own.
        MetricsCase{"anisotropic", 96, 2400, 1200, 300, 150, 768, 768},
        // Halves go to the even neighbour: 1.5 -> 2, 2.5 -> 2.
        MetricsCase{"ties_to_even", 96, 1, 5, 64, 192, 2, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QRPrinterMetricsTest, OffsetsAndSheetFromTheQueries)
{
    FakePrinter fake; // offsets 100 x 100, sheet 7016 x 4960 at 600 per inch
    TQRPrinter store(fake, 96);
    EXPECT_EQ(store.offsetLeft(), 16);
    EXPECT_EQ(store.offsetTop(), 16);
    EXPECT_EQ(store.physicalWidth(), 1123);  // 1122.56
    EXPECT_EQ(store.physicalHeight(), 794);  // 793.6
}

TEST(QRPrinterMetricsTest, UnansweredQueriesLeaveSheetAndOffsetsAsTheyWere)
{
    FakePrinter fake;
    fake.answersQueries = false;
    TQRPrinter fresh(fake, 96);
    EXPECT_EQ(fresh.physicalWidth(), 0);
    EXPECT_EQ(fresh.physicalHeight(), 0);
    EXPECT_EQ(fresh.offsetLeft(), 0);
    EXPECT_EQ(fresh.printableWidth(), 1090);

    fake.answersQueries = true;
    TQRPrinter store(fake, 96);
    fake.answersQueries = false;
    fake.horzRes = 3000;
    store.readMetrics();
    EXPECT_EQ(store.printableWidth(), 480);
    EXPECT_EQ(store.physicalWidth(), 1123);
    EXPECT_EQ(store.physicalHeight(), 794);
    EXPECT_EQ(store.offsetLeft(), 16);
    EXPECT_EQ(store.offsetTop(), 16);
}

struct FallbackCase {
    const char* name;
    int screen;
    bool noPrinters;
    int offset;
    int width, height, sheetWidth, sheetHeight;
};

class QRPrinterFallback : public ::testing::TestWithParam<FallbackCase> {};

TEST_P(QRPrinterFallback, PortraitPageAndPrintingDisabled)
{
    const FallbackCase& c = GetParam();
    FakePrinter fake;
    if (c.noPrinters)
        fake.printerNames.clear();
    else
        fake.deviceContextFails = true;
    TQRPrinter store(fake, c.screen);
    EXPECT_EQ(store.printableWidth(), c.width);
    EXPECT_EQ(store.printableHeight(), c.height);
    EXPECT_EQ(store.physicalWidth(), c.sheetWidth);
    EXPECT_EQ(store.physicalHeight(), c.sheetHeight);
    EXPECT_EQ(store.offsetLeft(), c.offset);
    EXPECT_EQ(store.offsetTop(), c.offset);
    EXPECT_FALSE(store.printEnabled());

    // A printer that works again does not bring printing back.
    fake.printerNames = QStringList{QStringLiteral("Back")};
    fake.deviceContextFails = false;
    store.readMetrics();
    EXPECT_EQ(store.printableWidth(), static_cast<int>(std::nearbyint(6814.0 / 600 * c.screen)));
    EXPECT_FALSE(store.printEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QRPrinterFallback,
    ::testing::Values(FallbackCase{"no_printer", 96, true, 5, 748, 1080, 785, 1134},
                      FallbackCase{"unreadable_printer", 96, false, 20, 748, 1080, 785, 1134},
                      FallbackCase{"no_printer_at_120", 120, true, 5, 934, 1350, 981, 1418}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QRPrinterMetricsTest, PrinterWithoutResolutionIsAFailedRead)
{
    FakePrinter fake;
    fake.ppiY = 0;
    TQRPrinter store(fake, 96);
    EXPECT_EQ(store.printableHeight(), 1080);
    EXPECT_EQ(store.offsetTop(), 20);
    EXPECT_FALSE(store.printEnabled());
}

// ---------------------------------------------------------------- device mode

struct ModeCase {
    const char* name;
    std::uint32_t fields;
    std::function<void(TQRPrinter&)> change;
    platform::DeviceMode expected; // fields of the result are not compared
    bool readsMetrics;
};

class QRPrinterDeviceMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(QRPrinterDeviceMode, WritesOnlyFieldsThePrinterTakes)
{
    const ModeCase& c = GetParam();
    FakePrinter fake;
    fake.deviceMode = {c.fields, platform::dmOrientPortrait, 1, 111, 222};
    TQRPrinter store(fake, 96);
    fake.log.clear();
    c.change(store);
    EXPECT_EQ(fake.deviceMode.orientation, c.expected.orientation);
    EXPECT_EQ(fake.deviceMode.paperSize, c.expected.paperSize);
    EXPECT_EQ(fake.deviceMode.paperLength, c.expected.paperLength);
    EXPECT_EQ(fake.deviceMode.paperWidth, c.expected.paperWidth);
    EXPECT_EQ(fake.deviceMode.fields, c.fields) << "the field mask is kept";
    EXPECT_EQ(fake.locksHeld(), 0) << "every lock is released";
    EXPECT_EQ(fake.log.count(QStringLiteral("lock")), fake.log.count(QStringLiteral("unlock")));
    EXPECT_EQ(fake.log.contains(QStringLiteral("deviceCaps 8")), c.readsMetrics);
}

namespace dm = platform::dm_field;
INSTANTIATE_TEST_SUITE_P(
    Cases, QRPrinterDeviceMode,
    ::testing::Values(
        ModeCase{"landscape", dm::all, [](TQRPrinter& s) { s.setOrientation(platform::poLandscape); },
                 {0, 2, 1, 111, 222}, false},
        ModeCase{"landscape_not_taken", dm::all & ~dm::orientation,
                 [](TQRPrinter& s) { s.setOrientation(platform::poLandscape); }, {0, 1, 1, 111, 222}, false},
        ModeCase{"a4", dm::all, [](TQRPrinter& s) { s.setPaperSize(qrpA4); }, {0, 1, 9, 111, 222}, true},
        ModeCase{"a4_not_taken", dm::orientation, [](TQRPrinter& s) { s.setPaperSize(qrpA4); },
                 {0, 1, 1, 111, 222}, true},
        ModeCase{"default_paper_writes_0", dm::all, [](TQRPrinter& s) { s.setPaperSize(qrpDefault); },
                 {0, 1, 0, 111, 222}, true},
        ModeCase{"width_0_stays_letter", dm::all, [](TQRPrinter& s) { s.setPaperWidth(0); },
                 {0, 1, 1, 111, 0}, true},
        ModeCase{"width_switches_to_custom", dm::all, [](TQRPrinter& s) { s.setPaperWidth(2100); },
                 {0, 1, 256, 111, 2100}, true},
        ModeCase{"length_switches_to_custom", dm::all, [](TQRPrinter& s) { s.setPaperLength(2970); },
                 {0, 1, 256, 2970, 222}, true},
        ModeCase{"length_not_taken", dm::orientation | dm::paperSize,
                 [](TQRPrinter& s) { s.setPaperLength(2970); }, {0, 1, 256, 111, 222}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QRPrinterDeviceModeTest, PaperFieldsReadZeroWhenNotTaken)
{
    FakePrinter fake;
    fake.deviceMode = {dm::all, 1, 256, 2970, 2100};
    TQRPrinter store(fake, 96);
    EXPECT_EQ(store.paperWidth(), 2100);
    EXPECT_EQ(store.paperLength(), 2970);
    fake.deviceMode.fields = dm::orientation | dm::paperSize;
    EXPECT_EQ(store.paperWidth(), 0);
    EXPECT_EQ(store.paperLength(), 0);
    EXPECT_EQ(fake.locksHeld(), 0);
}

TEST(QRPrinterDeviceModeTest, OrientationReachesPrinterObjectAndIsRemembered)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setOrientation(platform::poLandscape);
    EXPECT_EQ(fake.orientation(), platform::poLandscape);
    EXPECT_EQ(store.orientation(), platform::poLandscape);
}

TEST(QRPrinterDeviceModeTest, MissingDeviceModeIsPrinterDriverError)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    fake.hasDeviceMode = false;
    try {
        store.setPaperSize(qrpA4);
        FAIL() << "no error";
    } catch (const platform::EPrinter& e) {
        EXPECT_STREQ(e.what(), "Printer driver error");
    }
    // The selected index was written back once to make the printer build one.
    EXPECT_TRUE(fake.log.contains(QStringLiteral("setPrinterIndex 0")));
    EXPECT_EQ(fake.locksHeld(), 0);
}

TEST(QRPrinterDeviceModeTest, WritingTheIndexBackBuildsTheDeviceMode)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    fake.hasDeviceMode = false;
    fake.reselectBuildsDeviceMode = true;
    store.setPaperSize(qrpA5);
    EXPECT_EQ(fake.deviceMode.paperSize, 11);
}

TEST(QRPrinterDeviceModeTest, PrinterObjectErrorsPassUnchanged)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    fake.selectedIndex = -1;
    fake.defaultIndex = -1;
    EXPECT_THROW(
        {
            try {
                store.setPaperSize(qrpA4);
            } catch (const platform::EPrinter& e) {
                EXPECT_STREQ(e.what(), "There is no default printer currently selected");
                throw;
            }
        },
        platform::EPrinter);

    fake.selectedIndex = 0;
    fake.beginDoc();
    EXPECT_THROW(store.setOrientation(platform::poLandscape), platform::EPrinter);
    EXPECT_EQ(store.orientation(), platform::poLandscape) << "remembered before the printer refused";
}

TEST(QRPrinterDeviceModeTest, FailedLockWritesNothingAndUnlocksNothing)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    fake.lockFails = true;
    fake.log.clear();
    store.setPaperSize(qrpA3);
    EXPECT_EQ(fake.deviceMode.paperSize, 9);
    EXPECT_FALSE(fake.log.contains(QStringLiteral("unlock")));
}

// ---------------------------------------------------------------- recording states

TEST(QRPrinterStates, BeginDocOpensPageOneOfPrintableSize)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setTitle(QStringLiteral("old"));
    store.BeginDoc();
    EXPECT_EQ(store.status(), QRPrinterStatus::Composing);
    EXPECT_EQ(store.pageCount(), 1);
    EXPECT_EQ(store.currentPageNumber(), 1);
    EXPECT_TRUE(store.title().isEmpty());
    EXPECT_EQ(store.canvas().penPosition(), QPoint(0, 0));
    store.EndDoc();
    ASSERT_EQ(store.storedPageCount(), 1);
    const platform::EmfHeader h = platform::validateEmf(store.pageImage(1));
    EXPECT_EQ(platform::emfFrameSizeInPixels(h, 96), QSize(1090, 762));
}

TEST(QRPrinterStates, CallsOutOfTurnDoNothing)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);

    // Idle: NewPage, EndDoc and Cleanup change nothing.
    store.NewPage();
    store.EndDoc();
    store.Cleanup();
    EXPECT_EQ(store.status(), QRPrinterStatus::Idle);
    EXPECT_EQ(store.pageCount(), 0);
    EXPECT_THROW(store.canvas(), std::logic_error);

    // Composing: a second BeginDoc keeps the run and its open page.
    store.BeginDoc();
    store.NewPage();
    platform::Canvas* open = &store.canvas();
    store.BeginDoc();
    EXPECT_EQ(store.pageCount(), 2);
    EXPECT_EQ(&store.canvas(), open);

    // Ready: NewPage and EndDoc change nothing.
    store.EndDoc();
    store.NewPage();
    store.EndDoc();
    EXPECT_EQ(store.status(), QRPrinterStatus::Ready);
    EXPECT_EQ(store.pageCount(), 2);
    EXPECT_EQ(store.storedPageCount(), 2);
}

TEST(QRPrinterStates, CleanupFreesPagesAndClearsRange)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    composePages(store, 3);
    store.setFromPage(2);
    store.setToPage(3);
    store.Cleanup();
    EXPECT_EQ(store.status(), QRPrinterStatus::Idle);
    EXPECT_EQ(store.storedPageCount(), 0);
    EXPECT_EQ(store.fromPage(), 0);
    EXPECT_EQ(store.toPage(), 0);
    EXPECT_EQ(store.currentPageImage(), nullptr);

    // Cleanup while composing closes the open page first, then frees everything.
    store.BeginDoc();
    store.Cleanup();
    EXPECT_EQ(store.status(), QRPrinterStatus::Idle);
    EXPECT_EQ(store.storedPageCount(), 0);
}

TEST(QRPrinterStates, BeginDocWhenReadyStartsAfresh)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    composePages(store, 3);
    store.BeginDoc();
    EXPECT_EQ(store.status(), QRPrinterStatus::Composing);
    EXPECT_EQ(store.pageCount(), 1);
    store.EndDoc();
    EXPECT_EQ(store.storedPageCount(), 1);
}

TEST(QRPrinterStates, CurrentPageOnlyWhenReadyAndInRange)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.BeginDoc();
    store.NewPage();
    store.setCurrentPageNumber(2);
    EXPECT_EQ(store.currentPageNumber(), 1) << "not while composing";
    store.EndDoc();
    for (int n : {0, -1, 3}) {
        store.setCurrentPageNumber(n);
        EXPECT_EQ(store.currentPageNumber(), 1) << n;
    }
    store.setCurrentPageNumber(2);
    EXPECT_EQ(store.currentPageNumber(), 2);
    EXPECT_EQ(store.currentPageImage(), &store.pageImage(2));
}

TEST(QRPrinterStates, AdoptedPagesReplaceTheStoreWhole)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    composePages(store, 2);
    const QByteArray page = store.pageImage(1);
    EXPECT_THROW(store.adoptPages({}, 100, 100), std::invalid_argument);
    EXPECT_THROW(store.adoptPages({page}, 0, 100), std::invalid_argument);
    EXPECT_EQ(store.storedPageCount(), 2) << "a refused set of pages changes nothing";

    store.adoptPages({page, page, page}, 1090, 762);
    EXPECT_EQ(store.status(), QRPrinterStatus::Ready);
    EXPECT_EQ(store.pageCount(), 3);
    EXPECT_EQ(store.currentPageNumber(), 1);
    EXPECT_EQ(store.physicalWidth(), 1199);  // 1199.0
    EXPECT_EQ(store.physicalHeight(), 838);  // 838.2
    EXPECT_EQ(store.offsetLeft(), 16) << "offsets stay those of the printer";
}

// ---------------------------------------------------------------- print range and job

struct RangeCase {
    const char* name;
    int from, to;
    QList<int> printed;
    int newPages;
};

class QRPrinterRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(QRPrinterRange, PrintsThePagesInRangeAsOneJob)
{
    const RangeCase& c = GetParam();
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    composePages(store, 5);
    store.setFromPage(c.from);
    store.setToPage(c.to);
    fake.log.clear();
    store.Print();

    EXPECT_EQ(fake.jobsBegun, 1);
    EXPECT_EQ(fake.jobsEnded, 1);
    EXPECT_EQ(fake.log.count(QStringLiteral("newPage")), c.newPages);
    QStringList expected;
    for (int page : c.printed)
        expected << pageColour(page);
    if (expected.isEmpty())
        expected << QString(); // the job's one page, with nothing drawn
    EXPECT_EQ(printedColours(fake), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QRPrinterRange,
    ::testing::Values(RangeCase{"all", 0, 0, {1, 2, 3, 4, 5}, 4},
                      RangeCase{"two_to_three", 2, 3, {2, 3}, 1},
                      RangeCase{"from_four_to_zero_is_all", 4, 0, {1, 2, 3, 4, 5}, 4},
                      RangeCase{"only_to", 0, 2, {1, 2}, 1},
                      RangeCase{"no_page_in_range", 7, 9, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QRPrinterJob, PageInRangeAndNegativeValuesIgnored)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setFromPage(2);
    store.setToPage(4);
    store.setFromPage(-1);
    store.setToPage(-7);
    EXPECT_EQ(store.fromPage(), 2);
    EXPECT_EQ(store.toPage(), 4);
    const QList<bool> expected{false, false, true, true, true, false};
    for (int n = 0; n <= 5; ++n)
        EXPECT_EQ(store.pageInRange(n), expected[n]) << n;
}

TEST(QRPrinterJob, PageFillsThePrintableArea)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    store.BeginDoc();
    store.canvas().setBrushColor(Qt::red);
    store.canvas().fillRect({0, 0, store.printableWidth(), store.printableHeight()});
    store.EndDoc();
    store.Print();
    ASSERT_EQ(fake.jobPages.size(), 1u);
    EXPECT_TRUE(fake.jobPages[0].contains(QStringLiteral("fillRect 0,0,6814,4760 #ff0000")))
        << fake.jobPages[0].join(QLatin1Char('\n')).toStdString();
    // The device context's state is saved before and restored after each page.
    EXPECT_EQ(fake.jobPages[0].first(), QStringLiteral("saveState"));
    EXPECT_EQ(fake.jobPages[0].last(), QStringLiteral("restoreState"));
}

TEST(QRPrinterJob, TitleAndCurrentPageAroundTheJob)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    composePages(store, 4);
    store.setTitle(QStringLiteral("Profile"));
    store.setCurrentPageNumber(3);
    store.Print();
    EXPECT_EQ(fake.jobTitleAtBegin, QStringLiteral("Profile"));
    EXPECT_EQ(store.currentPageNumber(), 3);
    EXPECT_EQ(store.status(), QRPrinterStatus::Ready);
    EXPECT_EQ(store.storedPageCount(), 4);
}

TEST(QRPrinterJob, CancelBeforeTheFirstPageAbortsTheJob)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    composePages(store, 3);
    store.setCurrentPageNumber(2);
    // The press arrives while the job is open, before the pages are sent.
    fake.onBeginDoc = [] { QTimer::singleShot(0, [] { clickProgressCancel(); }); };
    store.Print();
    EXPECT_TRUE(store.cancelled());
    EXPECT_EQ(fake.jobsAborted, 1);
    EXPECT_EQ(fake.jobsEnded, 0);
    EXPECT_TRUE(fake.jobPages.empty());
    EXPECT_EQ(store.status(), QRPrinterStatus::Ready);
    EXPECT_EQ(store.storedPageCount(), 3);
    EXPECT_EQ(store.currentPageNumber(), 2);

    // The next job starts uncancelled.
    fake.onBeginDoc = nullptr;
    store.Print();
    EXPECT_FALSE(store.cancelled());
    EXPECT_EQ(fake.jobPages.size(), 3u);
}

TEST(QRPrinterJob, NothingWithoutPagesOrWithPrintingDisabled)
{
    FakePrinter fake;
    TQRPrinter idle(fake, 96);
    idle.setShowProgress(false);
    idle.Print();
    EXPECT_EQ(fake.jobsBegun, 0);

    fake.deviceContextFails = true;
    TQRPrinter disabled(fake, 96);
    fake.deviceContextFails = false;
    composePages(disabled, 1);
    disabled.Print();
    EXPECT_EQ(fake.jobsBegun, 0);
}

TEST(QRPrinterJob, RunningJobIsAbortedFirst)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    composePages(store, 1);
    fake.beginDoc();
    fake.log.clear();
    store.Print();
    ASSERT_GE(fake.log.size(), 2);
    EXPECT_EQ(fake.log.indexOf(QStringLiteral("abort")) + 1, fake.log.indexOf(QStringLiteral("beginDoc")));
    EXPECT_EQ(fake.jobsEnded, 1);
}

TEST(QRPrinterJob, PrinterErrorLeavesStoreAndCurrentPage)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    composePages(store, 2);
    store.setCurrentPageNumber(2);
    fake.beginDocFails = true;
    EXPECT_THROW(store.Print(), platform::EPrinter);
    EXPECT_EQ(store.currentPageNumber(), 2);
    EXPECT_EQ(store.storedPageCount(), 2);
    EXPECT_FALSE(fake.printing());
}

TEST(QRPrinterJob, PagesDiscardedDuringTheMessagePointAreNotTouched)
{
    FakePrinter fake;
    TQRPrinter store(fake, 96);
    store.setShowProgress(false);
    composePages(store, 3);
    fake.onBeginDoc = [&store] { QTimer::singleShot(0, [&store] { store.Cleanup(); }); };
    store.Print();
    EXPECT_EQ(store.status(), QRPrinterStatus::Idle);
    EXPECT_EQ(fake.jobsEnded, 1);
    EXPECT_FALSE(fake.printing());
}

// ---------------------------------------------------------------- the program's page store

TEST(QRPrinterProgramStore, CreatedOnceOverTheProgramPrinter)
{
    auto previous = platform::setPrinter(std::make_unique<FakePrinter>());
    {
        QObject application;
        TQRPrinter& store = createQRPrinter(&application);
        EXPECT_EQ(&QRPrinter(), &store);
        EXPECT_EQ(&store.printer(), &platform::Printer());
        EXPECT_EQ(store.captionText(), QStringLiteral("PageReport version 1.0d"));
        EXPECT_EQ(store.printableWidth(), 1090 * screenPixelsPerInch() / 96);
        TQRPrinter& second = createQRPrinter(&application);
        EXPECT_EQ(&QRPrinter(), &second);
        EXPECT_EQ(application.children().size(), 1) << "the first store was replaced";
    }
    EXPECT_FALSE(hasQRPrinter()) << "the store goes with its owner";
    EXPECT_THROW(QRPrinter(), std::logic_error);
    platform::setPrinter(std::move(previous));
}
