// The page store printing into "Print to PDF" and through CUPS into the cups-pdf queue "PDF"
// (skipped when not set up); each sheet, rasterised, must hold the rectangle where the page put it.
#include "support/fake_user_interface.h"
#include "platform/canvas.h"
#include "desktop/printer_system.h"
#include "report/qr_printer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTransform>

#include <filesystem>

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

// The sheet at kRasterDpi, and the bounding box of its strongly red pixels.
std::pair<QImage, QRect> rasterise(const QString& pdf, const testsupport::TempDir& dir)
{
    const QString prefix = QString::fromStdString((dir.path() / "sheet").string());
    const QStringList args{"-r", QString::number(kRasterDpi), "-png", "-singlefile", pdf, prefix};
    QImage image = run(QStringLiteral("pdftoppm"), args) ? QImage(prefix + ".png") : QImage();
    // CUPS may lay a landscape job onto an upright sheet, turned a quarter anticlockwise.
    if (image.height() > image.width())
        image = image.transformed(QTransform().rotate(90));
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 80 && c.blue() < 80)
                box |= QRect(x, y, 1, 1);
    return {image, box};
}

// A landscape A4 page store over `printer` with the red rectangle recorded on it.
void composeSheet(TQRPrinter& store, const QString& title)
{
    store.setOrientation(platform::poLandscape);
    store.setPaperSize(qrpA4);
    store.BeginDoc();
    store.setTitle(title);
    store.canvas().setBrushColor(QColor(255, 0, 0));
    store.canvas().fillRect(kRectangle);
    store.EndDoc();
    store.setShowProgress(false);
}

// The page's origin is the corner of the printable area, so the printing offsets come first.
void expectSheet(const std::pair<QImage, QRect>& sheet, const TQRPrinter& store)
{
    const auto& [image, box] = sheet;
    ASSERT_FALSE(image.isNull());
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
    const QString pdf = QString::fromStdString((dir.path() / "sheet.pdf").string());
    testsupport::ui().onPdfFileName = [&](const QString&) { return std::optional<QString>(pdf); };
    auto printer = platform::createSystemPrinter();
    printer->setPrinterIndex(static_cast<int>(printer->printers().indexOf(QString::fromLatin1(platform::printToPdfName))));
    TQRPrinter store(*printer, 96);
    composeSheet(store, QStringLiteral("Sheet"));
    store.Print();

    expectSheet(rasterise(pdf, dir), store);
}

TEST(QRPrinterOutput, CupsPdfQueuePutsThePageOnLandscapeA4)
{
    if (!havePdftoppm() || QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty() ||
        !run(QStringLiteral("lpstat"), {QStringLiteral("-p"), QStringLiteral("PDF")}))
        GTEST_SKIP() << "the CUPS queue PDF (cups-pdf) is not set up: bash tools/dev.sh test does that";

    auto printer = platform::createSystemPrinter();
    const int queue = static_cast<int>(printer->printers().indexOf(QStringLiteral("PDF")));
    ASSERT_GE(queue, 0) << "Qt lists the queue";
    printer->setPrinterIndex(queue);
    TQRPrinter store(*printer, 96);
    ASSERT_TRUE(store.printEnabled());

    // cups-pdf names the file after the job title: make it one nobody else uses.
    const QString title = QStringLiteral("stellaro-store-%1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(QDateTime::currentMSecsSinceEpoch());
    composeSheet(store, title);
    store.Print();

    const QDir out(QDir::homePath() + QStringLiteral("/PDF"));
    QString pdf;
    for (int i = 0; i < 600 && pdf.isEmpty(); ++i) {
        const QStringList found = out.entryList({title + QStringLiteral("*.pdf")}, QDir::Files);
        if (!found.isEmpty())
            pdf = out.filePath(found.first());
        else
            QThread::msleep(100);
    }
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF named after " << title.toStdString() << " in " << out.path().toStdString();
    QThread::msleep(500); // cups-pdf may still be closing the file

    testsupport::TempDir dir;
    expectSheet(rasterise(pdf, dir), store);
    if (!HasFailure())
        QFile::remove(pdf); // kept as evidence otherwise
}
