// The page store printing into "Print to PDF": the sheet, rasterised, must hold the rectangle
// where the page put it. Printing through the CUPS scheduler is the end-to-end tests' part
// (tests/e2e/test_print_*.sh check the printed sheets against the page design).
#include "desktop/printer_system.h"
#include "report_fixtures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTransform>

namespace {

constexpr int kRasterDpi = 50;
// One inch in, two inches wide and one inch high, in page units at 96 per inch.
const platform::Rect kRectangle{96, 96, 288, 192};

bool run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Prints a landscape A4 page with the red rectangle on the printer at `index`, titled
// `title`, and checks the sheet that `pdf` answers once the job is over. The page's
// origin is the corner of the printable area, so the printing offsets come first.
void printAndCheckSheet(platform::TPrinter& printer, int index, const QString& title,
                        const std::function<QString()>& pdf)
{
    printer.setPrinterIndex(index);
    TQRPrinter store(printer, 96);
    ASSERT_TRUE(store.printEnabled());
    store.setShowProgress(false);
    store.setOrientation(platform::poLandscape);
    store.setPaperSize(qrpA4);
    store.BeginDoc();
    store.setTitle(title);
    store.canvas().setBrushColor(QColor(255, 0, 0));
    store.canvas().fillRect(kRectangle);
    store.EndDoc();
    store.Print();

    const QString file = pdf();
    ASSERT_FALSE(file.isEmpty()) << "no PDF for " << title.toStdString();
    // The sheet at kRasterDpi, and the bounding box of its strongly red pixels.
    testsupport::TempDir dir;
    const QString prefix = qpath(dir.path() / "sheet");
    const QStringList args{"-r", QString::number(kRasterDpi), "-png", "-singlefile", file, prefix};
    QImage image = run(QStringLiteral("pdftoppm"), args) ? QImage(prefix + ".png") : QImage();
    ASSERT_FALSE(image.isNull());
    // CUPS may lay a landscape job onto an upright sheet, turned a quarter anticlockwise.
    if (image.height() > image.width())
        image = image.transformed(QTransform().rotate(90));
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 80 && c.blue() < 80)
                box |= QRect(x, y, 1, 1);

    const double toRaster = double(kRasterDpi) / store.screenPixelsPerInch();
    EXPECT_NEAR(image.width(), 297 / 25.4 * kRasterDpi, 2) << "A4 landscape width";
    EXPECT_NEAR(image.height(), 210 / 25.4 * kRasterDpi, 2) << "A4 landscape height";
    ASSERT_FALSE(box.isEmpty()) << "the rectangle is on the sheet";
    EXPECT_NEAR(box.left(), (store.offsetLeft() + kRectangle.left) * toRaster, 2);
    EXPECT_NEAR(box.top(), (store.offsetTop() + kRectangle.top) * toRaster, 2);
    EXPECT_NEAR(box.width(), kRectangle.width() * toRaster, 2);
    EXPECT_NEAR(box.height(), kRectangle.height() * toRaster, 2);
}

bool havePdftoppm()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

} // namespace

TEST(QRPrinterOutput, PrintToPdfPutsThePageOnLandscapeA4)
{
    if (!havePdftoppm())
        GTEST_SKIP() << "pdftoppm is not installed";
    testsupport::TempDir dir;
    const QString pdf = qpath(dir.path() / "sheet.pdf");
    testsupport::ui().onPdfFileName = [&](const QString&) { return std::optional<QString>(pdf); };
    auto printer = desktop::createSystemPrinter();
    const auto index = printer->printers().indexOf(QString::fromLatin1(desktop::printToPdfName));
    printAndCheckSheet(*printer, static_cast<int>(index), QStringLiteral("Sheet"), [&] { return pdf; });
}
