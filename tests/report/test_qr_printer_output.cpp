// The page store printing into "Print to PDF": the sheet, rasterised, must hold the rectangle
// where the page put it. Printing through the CUPS scheduler is the end-to-end tests' part
// (tests/e2e/test_print_*.sh check the printed sheets against the page design).
#include "desktop/printer_system.h"
#include "report_fixtures.h"
#include "support/test_support.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

TEST(QRPrinterOutput, PrintToPdfPutsThePageOnLandscapeA4)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    testsupport::TempDir dir;
    const QString pdf = qpath(dir.path() / "sheet.pdf");
    testsupport::ui().onPdfFileName = [&](const QString&) { return std::optional<QString>(pdf); };
    auto printer = desktop::createSystemPrinter();
    const auto index = printer->printers().indexOf(QString::fromLatin1(desktop::printToPdfName));
    printer->setPrinterIndex(static_cast<int>(index));

    // A red rectangle one inch in, two inches wide and one inch high, in page units at 96 per
    // inch. The page's origin is the corner of the printable area: the printing offsets come first.
    const platform::Rect rectangle{96, 96, 288, 192};
    TQRPrinter store(*printer, 96);
    ASSERT_TRUE(store.printEnabled());
    store.setShowProgress(false);
    store.setOrientation(platform::poLandscape);
    store.setPaperSize(qrpA4);
    store.BeginDoc();
    store.canvas().setBrushColor(QColor(255, 0, 0));
    store.canvas().fillRect(rectangle);
    store.EndDoc();
    store.Print();

    // The sheet at 50 dots per inch, and the bounding box of its strongly red pixels.
    constexpr int dpi = 50;
    const QString prefix = qpath(dir.path() / "sheet");
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-png", "-singlefile", pdf, prefix});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000) && pdftoppm.exitStatus() == QProcess::NormalExit &&
                pdftoppm.exitCode() == 0);
    const QImage image(prefix + ".png");
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 80 && c.blue() < 80)
                box |= QRect(x, y, 1, 1);

    const double toRaster = double(dpi) / store.screenPixelsPerInch();
    EXPECT_NEAR(image.width(), 297 / 25.4 * dpi, 2) << "A4 landscape width";
    EXPECT_NEAR(image.height(), 210 / 25.4 * dpi, 2) << "A4 landscape height";
    ASSERT_FALSE(box.isEmpty()) << "the rectangle is on the sheet";
    EXPECT_NEAR(box.left(), (store.offsetLeft() + rectangle.left) * toRaster, 2);
    EXPECT_NEAR(box.top(), (store.offsetTop() + rectangle.top) * toRaster, 2);
    EXPECT_NEAR(box.width(), rectangle.width() * toRaster, 2);
    EXPECT_NEAR(box.height(), rectangle.height() * toRaster, 2);
}
