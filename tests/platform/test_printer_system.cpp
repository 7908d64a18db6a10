// The real printer object's built-in PDF printer (paper codes, sheet metrics,
// its jobs and the files they leave) and the printer setup dialog. What the
// printer object does with CUPS queues is checked against a real scheduler by
// the end-to-end tests (test_print_refused.sh and the other printing tests).
#include "support/fake_user_interface.h"
#include "platform/canvas.h"
#include "support/printer_fake.h"
#include "desktop/printer_setup_dialog.h"
#include "desktop/printer_system.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>

#include <filesystem>

using namespace platform;
using namespace desktop;
using testsupport::errorOf;

namespace {

// The program's printer object for these tests, with "Print to PDF" selected.
struct PdfPrinter {
    std::unique_ptr<TPrinter> printer = createSystemPrinter();
    PdfPrinter()
    {
        printer->setPrinterIndex(static_cast<int>(printer->printers().indexOf(QString::fromLatin1(printToPdfName))));
    }
    // A job that draws on one page and ends; the error it raised, or "".
    std::string printPage()
    {
        printer->beginDoc();
        printer->canvas().fillRect({0, 0, 10, 10});
        return errorOf<EPrinter>([&] { printer->endDoc(); });
    }
};

bool isPdf(const std::filesystem::path& p)
{
    const auto bytes = std::filesystem::exists(p) ? testsupport::readFileBytes(p) : std::vector<unsigned char>{};
    return std::string(bytes.begin(), bytes.end()).starts_with("%PDF-");
}

std::ptrdiff_t entriesOf(const std::filesystem::path& dir)
{
    return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
}

} // namespace

TEST(PaperCodes, KnownCodesAndCustomSizes)
{
    // Custom sizes compare in millimetres.
    const struct { int code, width, length; QPageSize::PageSizeId id; QSizeF mm; } cases[] = {
        {1, 0, 0, QPageSize::Letter, {}}, {8, 0, 0, QPageSize::A3, {}}, {9, 0, 0, QPageSize::A4, {}},
        {11, 0, 0, QPageSize::A5, {}}, {256, 1000, 1500, QPageSize::Custom, {100, 150}},
    };
    for (const auto& c : cases) {
        const QPageSize size = pageSizeForPaperCode(c.code, c.width, c.length);
        ASSERT_TRUE(size.isValid()) << c.code;
        if (c.id == QPageSize::Custom)
            EXPECT_EQ(size.size(QPageSize::Millimeter), c.mm);
        else
            EXPECT_EQ(size.id(), c.id) << c.code;
        DeviceMode mode; // and back into a device mode
        setPaperFields(mode, size);
        EXPECT_EQ(std::tuple(mode.paperSize, mode.paperWidth, mode.paperLength), std::tuple(c.code, c.width, c.length));
    }
    // The printer's default, unknown codes and custom sizes without a side are no size at all.
    for (auto [code, w, l] : {std::tuple{0, 0, 0}, {77, 0, 0}, {256, 0, 2970}, {256, 2100, -5}})
        EXPECT_FALSE(pageSizeForPaperCode(code, w, l).isValid()) << code << " " << w << " " << l;
}

TEST(SystemPrinter, PrintToPdfIsListedTakesOrientationAndPaperAndLeavesWholeFilesOrNone)
{
    PdfPrinter p;
    const PrinterIdentity id = p.printer->getPrinter();
    EXPECT_EQ(id.device, QString::fromLatin1(printToPdfName));
    EXPECT_TRUE(id.hasDeviceMode);
    EXPECT_THROW(p.printer->setPrinterIndex(p.printer->printers().size()), EPrinter);

    DeviceMode* mode = p.printer->lockDeviceMode();
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->fields, dm_field::all);
    mode->orientation = dmOrientLandscape;
    mode->paperSize = 8;
    p.printer->unlockDeviceMode();
    const int ppi = p.printer->deviceCaps(LOGPIXELSX);
    ASSERT_GT(ppi, 0);
    const QPoint sheet = p.printer->queryPoint(GETPHYSPAGESIZE);
    EXPECT_NEAR(double(sheet.x()) / ppi, 420 / 25.4, 0.01) << "A3 in landscape";
    EXPECT_NEAR(double(sheet.y()) / ppi, 297 / 25.4, 0.01);
    EXPECT_GT(p.printer->deviceCaps(HORZRES), p.printer->deviceCaps(VERTRES));
    EXPECT_EQ(p.printer->orientation(), poLandscape);
    p.printer->setOrientation(poPortrait);
    EXPECT_LT(p.printer->deviceCaps(HORZRES), p.printer->deviceCaps(VERTRES));

    // Its jobs, and the files they leave.
    testsupport::TempDir dir;
    const auto file = dir.path() / "job.pdf";
    std::optional<QString> answer;
    QString askedFor;
    testsupport::ui().onPdfFileName = [&](const QString& title) {
        askedFor = title;
        return answer;
    };
    p.printer->setTitle(QStringLiteral("Star sheet"));

    // The user cancels the file dialog: the job goes nowhere, without an error.
    EXPECT_EQ(p.printPage(), "");
    EXPECT_EQ(askedFor, QStringLiteral("Star sheet"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    // A job that draws nothing writes nothing.
    answer = QString::fromStdString(file.string());
    p.printer->beginDoc();
    p.printer->endDoc();
    EXPECT_FALSE(std::filesystem::exists(file));

    // An aborted job leaves no half-written document.
    p.printer->beginDoc();
    p.printer->canvas().fillRect({0, 0, 10, 10});
    p.printer->abort();
    EXPECT_FALSE(p.printer->printing());
    EXPECT_FALSE(std::filesystem::exists(file));

    // A finished one does; the job refuses what a running job cannot do.
    p.printer->beginDoc();
    EXPECT_THROW(p.printer->beginDoc(), EPrinter);
    EXPECT_THROW(p.printer->setOrientation(poLandscape), EPrinter);
    p.printer->canvas().fillRect({0, 0, 10, 10});
    p.printer->newPage();
    p.printer->endDoc();
    EXPECT_TRUE(isPdf(file));
    EXPECT_THROW(p.printer->endDoc(), EPrinter);
    EXPECT_THROW(p.printer->newPage(), EPrinter);

    // On a full disk the file chosen keeps its old contents, no partial file is
    // left, the error names the cause, and the job is over.
    const std::filesystem::path old = dir.path() / "old.pdf";
    testsupport::writeFileBytes(old, {'o', 'l', 'd'});
    answer = QString::fromStdString(old.string());
    const auto before = entriesOf(dir.path());
    {
        testsupport::FileSizeLimit full(1000);
        EXPECT_EQ(p.printPage(), "The PDF file could not be written: Disk full (old.pdf: File too large)");
    }
    EXPECT_FALSE(p.printer->printing());
    EXPECT_EQ(testsupport::readFileBytes(old), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesOf(dir.path()), before);
}

// Run by the full-disk end-to-end test on a real file system that is full.
TEST(FullDisk, PrintToPdfKeepsTheOldFileAndNamesTheCause)
{
    const auto dir = testsupport::fullDiskDir();
    if (dir.empty())
        GTEST_SKIP() << "needs the small file system of the full-disk test";
    const auto old = dir / "old.pdf";
    testsupport::writeFileBytes(old, {'o', 'l', 'd'});
    testsupport::fillDisk(dir);
    testsupport::ui().onPdfFileName = [&](const QString&) { return QString::fromStdString(old.string()); };
    EXPECT_EQ(PdfPrinter().printPage(),
              "The PDF file could not be written: Disk full (old.pdf: No space left on device)");
    EXPECT_EQ(testsupport::readFileBytes(old), (std::vector<unsigned char>{'o', 'l', 'd'}));
    std::filesystem::remove(dir / "filler");
    EXPECT_EQ(entriesOf(dir), 1);
}

TEST(PrinterSetupDialog, ConfirmedChoiceIsTakenCancelChangesNothingUntakenFieldsStay)
{
    FakePrinter fake;
    fake.printerNames = QStringList{QStringLiteral("Laser"), QStringLiteral("Inkjet")};
    fake.deviceMode = {dm_field::all, dmOrientPortrait, 9, 0, 0};
    const auto choose = [](bool confirm, const char* paper) {
        return [=](PrinterSetupWindow& w) {
            EXPECT_EQ(w.printerBox()->currentIndex(), 0); // shows the current settings
            EXPECT_TRUE(w.portraitButton()->isChecked());
            w.printerBox()->setCurrentIndex(1);
            w.landscapeButton()->setChecked(true);
            w.paperBox()->setCurrentIndex(w.paperBox()->findText(QLatin1String(paper)));
            return confirm;
        };
    };
    auto& ui = testsupport::ui();
    ui.onPrinterSetup = choose(false, "A3");
    EXPECT_FALSE(PrinterSetupDialog(nullptr, &fake).Execute());
    EXPECT_EQ(fake.printerIndex(), 0);
    EXPECT_EQ(fake.deviceMode.paperSize, 9);

    ui.onPrinterSetup = choose(true, "A3");
    EXPECT_TRUE(PrinterSetupDialog(nullptr, &fake).Execute());
    EXPECT_EQ(fake.printerIndex(), 1);
    EXPECT_EQ(fake.deviceMode.orientation, dmOrientLandscape);
    EXPECT_EQ(fake.deviceMode.paperSize, 8);
    EXPECT_EQ(fake.locksHeld(), 0);

    // A printer that takes only the paper keeps its orientation.
    fake.setPrinterIndex(0);
    fake.deviceMode = {dm_field::paperSize, dmOrientPortrait, 1, 0, 0};
    ui.onPrinterSetup = choose(true, "A5");
    EXPECT_TRUE(PrinterSetupDialog(nullptr, &fake).Execute());
    EXPECT_EQ(fake.deviceMode.orientation, dmOrientPortrait);
    EXPECT_EQ(fake.deviceMode.paperSize, 11);
}
