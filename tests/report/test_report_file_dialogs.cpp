// The report file dialogs: filters, default extension, and the replace prompt.
#include "desktop/file_dialogs.h"
#include "report_windows/report_file_dialogs.h"
#include "support/test_support.h"

#include "report_fixtures.h"

TEST(FileDialogs, FilterStringsBecomeQtNameFilters)
{
    const std::pair<QString, QStringList> cases[] = {
        {"PageReport files|*.QRP", {"PageReport files (*.QRP)"}},
        {"Text|*.txt|All files|*.*", {"Text (*.txt)", "All files (*.*)"}},
        {"Pictures|*.bmp;*.png", {"Pictures (*.bmp *.png)"}},
        {"Lonely", {"Lonely (*)"}},
        {"", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(desktop::qtNameFilters(filter), expected) << filter.toStdString();
}

TEST(FileDialogs, DefaultExtensionOnlyForNamesWithoutOne)
{
    const std::pair<QString, QString> cases[] = {
        {"report", "report.QRP"},
        {"/tmp/report.qrp", "/tmp/report.qrp"},
        {"/tmp/report.txt", "/tmp/report.txt"},
        {"/tmp/some.dir/report", "/tmp/some.dir/report.QRP"},
        {"", ""},
    };
    for (const auto& [typed, chosen] : cases)
        EXPECT_EQ(desktop::withDefaultExtension(typed, "QRP"), chosen) << typed.toStdString();
    EXPECT_EQ(desktop::withDefaultExtension("/tmp/report", ""), "/tmp/report");
}

TEST(FileDialogs, SaveAddsTheExtensionAndAsksBeforeReplacingOpenTakesAnyNameAsTyped)
{
    testsupport::TempDir dir;
    const QString base = qpath(dir.path() / "kept");
    testsupport::writeFileBytes(dir.path() / "kept.QRP", {1});

    DialogUser user;
    // Declined: the dialog comes back; the second answer is a new name.
    user.answers = {base, base + "-new"};
    auto chosen = desktop::runSaveDialog(nullptr, report::saveReportDialogOptions());
    EXPECT_EQ(chosen, base + "-new.QRP");
    EXPECT_EQ(user.askedToReplace, QStringList{base + ".QRP"});

    // Accepted: the existing name is the answer.
    user.replace = true;
    user.answers = {base};
    EXPECT_EQ(desktop::runSaveDialog(nullptr, report::saveReportDialogOptions()), base + ".QRP");

    // Cancel: nothing, and no question.
    user.askedToReplace.clear();
    user.answers = {std::nullopt};
    EXPECT_EQ(desktop::runSaveDialog(nullptr, report::saveReportDialogOptions()), std::nullopt);

    // Open: no extension added, the name need not exist, and no question.
    user.answers = {QStringLiteral("/no/such/report")};
    EXPECT_EQ(desktop::runOpenDialog(nullptr, report::openReportDialogOptions()), "/no/such/report");
    EXPECT_TRUE(user.askedToReplace.isEmpty());
    const desktop::FileDialogOptions& open = user.asked.back();
    EXPECT_EQ(std::tuple(open.filter, open.defaultExtension, open.overwritePrompt),
              std::tuple(QStringLiteral("PageReport files|*.QRP"), QString(), false));
}
