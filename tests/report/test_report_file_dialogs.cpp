// The report file dialogs: filters, default extension, and the replace prompt.
#include "support/fake_user_interface.h"
#include "desktop/file_dialogs.h"
#include "report/report_file.h"
#include "report_windows/report_file_dialogs.h"
#include "support/test_support.h"

#include "store_fixture.h"

#include <gtest/gtest.h>

#include <deque>

using platform::FileDialogKind;
using platform::FileDialogOptions;

namespace {

// Plays a user who types the given answers, one per time the dialog opens.
struct User {
    std::deque<std::optional<QString>> answers;
    int dialogs = 0;
    QStringList askedToReplace;
    bool replace = false;

    void install()
    {
        testsupport::ui().onFileName = [this](FileDialogKind, const FileDialogOptions&) {
            ++dialogs;
            if (answers.empty())
                return std::optional<QString>();
            auto a = answers.front();
            answers.pop_front();
            return a;
        };
        testsupport::ui().onReplace = [this](const QString& name) {
            askedToReplace << name;
            return replace;
        };
    }
};

} // namespace

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
        EXPECT_EQ(platform::qtNameFilters(filter), expected) << filter.toStdString();
}

TEST(FileDialogs, DefaultExtensionOnlyForNamesWithoutOne)
{
    const std::pair<QString, QString> cases[] = {
        {"/tmp/report", "/tmp/report.QRP"},
        {"report", "report.QRP"},
        {"/tmp/report.qrp", "/tmp/report.qrp"},
        {"/tmp/report.txt", "/tmp/report.txt"},
        {"/tmp/some.dir/report", "/tmp/some.dir/report.QRP"},
        {"", ""},
    };
    for (const auto& [typed, chosen] : cases)
        EXPECT_EQ(platform::withDefaultExtension(typed, "QRP"), chosen) << typed.toStdString();
    EXPECT_EQ(platform::withDefaultExtension("/tmp/report", ""), "/tmp/report");
}

TEST(FileDialogs, SaveAddsTheExtensionAndAsksBeforeReplacing)
{
    testsupport::TempDir dir;
    const QString base = QString::fromStdString((dir.path() / "kept").string());
    testsupport::writeFileBytes(dir.path() / "kept.QRP", {1});

    User user;
    user.install();
    // Declined: the dialog comes back; the second answer is a new name.
    user.answers = {base, base + "-new"};
    auto chosen = platform::runSaveDialog(nullptr, report::saveReportDialogOptions());
    EXPECT_EQ(chosen, base + "-new.QRP");
    EXPECT_EQ(user.askedToReplace, QStringList{base + ".QRP"});
    EXPECT_EQ(user.dialogs, 2);

    // Accepted: the existing name is the answer.
    user.replace = true;
    user.answers = {base};
    EXPECT_EQ(platform::runSaveDialog(nullptr, report::saveReportDialogOptions()), base + ".QRP");

    // Cancel: nothing, and no question.
    user.askedToReplace.clear();
    user.answers = {std::nullopt};
    EXPECT_EQ(platform::runSaveDialog(nullptr, report::saveReportDialogOptions()), std::nullopt);
    EXPECT_TRUE(user.askedToReplace.isEmpty());
}

TEST(FileDialogs, OpenTakesAnyNameAsTyped)
{
    User user;
    user.install();
    user.answers = {QStringLiteral("/no/such/report")};
    EXPECT_EQ(platform::runOpenDialog(nullptr, report::openReportDialogOptions()), "/no/such/report");
    EXPECT_TRUE(user.askedToReplace.isEmpty());
    const FileDialogOptions o = report::openReportDialogOptions();
    EXPECT_EQ(o.filter, "PageReport files|*.QRP");
    EXPECT_TRUE(o.defaultExtension.isEmpty());
    EXPECT_FALSE(o.overwritePrompt);
}
