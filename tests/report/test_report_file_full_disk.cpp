// Saving a report file onto a full disk, run by the full-disk end-to-end test on
// a real file system that is full.
#include "report/report_file.h"

#include "support/printer_fake.h"
#include "report/qr_printer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(FullDisk, SaveKeepsTheOldReportFileAndNamesTheCause)
{
    const fs::path dir = testsupport::fullDiskDir();
    if (dir.empty())
        GTEST_SKIP() << "needs the small file system of the full-disk test";
    platform::FakePrinter fake;
    TQRPrinter store{fake, 96};
    store.setShowProgress(false);
    store.BeginDoc();
    for (int i = 0; i < 40; ++i)
        store.canvas().textOut(20, 20 + i * 10, {0, 0, 900, 700}, 0, QString(200, QLatin1Char('x')));
    store.EndDoc();

    const fs::path old = dir / "old.QRP";
    testsupport::writeFileBytes(old, {'o', 'l', 'd'});
    testsupport::fillDisk(dir);
    try {
        store.Save(QString::fromStdString(old.string()));
        ADD_FAILURE() << "a report file on a full disk reported success";
    } catch (const report::ReportFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Stream write error (old.QRP: No space left on device)");
    }
    EXPECT_EQ(testsupport::readFileBytes(old), (std::vector<unsigned char>{'o', 'l', 'd'}));
    fs::remove(dir / "filler");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}
