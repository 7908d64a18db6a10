// The page store printing through the real printer object: once into the built-in
// "Print to PDF" printer, once through CUPS into the cups-pdf queue "PDF" (skipped
// when that queue is not set up). Each sheet is rasterised with pdftoppm and the
// recorded rectangle must be on landscape A4 where the page put it.
#include "platform/canvas.h"
#include "platform/printer_system.h"
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

QImage rasterise(const QString& pdf, const QString& workDir)
{
    const QString prefix = workDir + QStringLiteral("/sheet");
    if (!run(QStringLiteral("pdftoppm"),
             {QStringLiteral("-r"), QString::number(kRasterDpi), QStringLiteral("-png"),
              QStringLiteral("-singlefile"), pdf, prefix}))
        return {};
    return QImage(prefix + QStringLiteral(".png"));
}

// The bounding box of the strongly red pixels.
QRect redBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                box |= QRect(x, y, 1, 1);
        }
    return box;
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

// Where the rectangle must be at kRasterDpi: the page's origin is the corner of
// the printable area, so the printing offsets come first.
// A landscape job may come back as a portrait sheet with the content turned a
// quarter anticlockwise (that is how CUPS lays landscape onto the paper, as a
// printer feeding A4 upright does); turned back it must be the landscape page.
void expectSheet(QImage sheet, const TQRPrinter& store)
{
    ASSERT_FALSE(sheet.isNull());
    if (sheet.height() > sheet.width())
        sheet = sheet.transformed(QTransform().rotate(90));
    const double toRaster = double(kRasterDpi) / store.screenPixelsPerInch();
    EXPECT_NEAR(sheet.width(), 297 / 25.4 * kRasterDpi, 2) << "A4 landscape width";
    EXPECT_NEAR(sheet.height(), 210 / 25.4 * kRasterDpi, 2) << "A4 landscape height";
    const QRect box = redBox(sheet);
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
    platform::setPdfFileNameHook([&](const QString&) { return std::optional<QString>(pdf); });
    auto printer = platform::createSystemPrinter();
    printer->setPrinterIndex(static_cast<int>(printer->printers().indexOf(QString::fromLatin1(platform::printToPdfName))));
    TQRPrinter store(*printer, 96);
    composeSheet(store, QStringLiteral("Sheet"));
    store.Print();
    platform::setPdfFileNameHook({});

    const QImage sheet = rasterise(pdf, QString::fromStdString(dir.path().string()));
    expectSheet(sheet, store);
    sheet.save(QDir::tempPath() + QStringLiteral("/stellaro-print-to-pdf.png"));
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
    const QImage sheet = rasterise(pdf, QString::fromStdString(dir.path().string()));
    expectSheet(sheet, store);
    sheet.save(QDir::tempPath() + QStringLiteral("/stellaro-cups-pdf.png"));
    if (!HasFailure())
        QFile::remove(pdf); // kept as evidence otherwise
}
