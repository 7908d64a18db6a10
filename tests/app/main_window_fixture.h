// The main window with both page forms and a page store over a fake printer,
// as start-up makes them, shown and activated in a folder of its own. Every
// handler the window runs is logged as "Handler(Sender)"; notices, error boxes
// and previews are captured instead of shown.
#pragma once

#include "app/main_window.h"
#include "pages/page_forms.h"
#include "report/page_report.h"
#include "report/qr_printer.h"
#include "support/engine_override.h"
#include "support/fake_user_interface.h"
#include "support/printer_fake.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    using Log = std::vector<std::string>;

    void SetUp() override
    {
        fakePrinter(); // the program's printer and page store, made once as start-up makes them
        FForm1 = new TFForm1;
        createForm2();
        createFFormM();
        FForm1->setHandlerTrace([this](const char* handler, QObject* sender) {
            log.push_back(std::string(handler) + "(" + sender->objectName().toStdString() + ")");
        });
        FForm1->setObjectName(QStringLiteral("FForm1"));
        FForm1->show();
        FForm1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FForm1));
    }

    void TearDown() override
    {
        destroyPageForms();
        delete FForm1; // which clears the reference
    }

    static platform::FakePrinter* fakePrinter()
    {
        static platform::FakePrinter* const fake = [] {
            auto made = std::make_unique<platform::FakePrinter>();
            platform::FakePrinter* printer = made.get();
            platform::setPrinter(std::move(made));
            createQRPrinter(qApp);
            return printer;
        }();
        return fake;
    }

    TFForm1& w() { return *FForm1; }

    static void click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center()); }
    static void tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }

    // Makes `control` the focused one; the handlers run on the way are not logged.
    void focusQuietly(QWidget* control)
    {
        control->setFocus();
        log.clear();
    }

    // The lines of detail.fdg; every line must end in CR LF.
    std::vector<std::string> detailLines() const
    {
        const auto bytes = testsupport::readFileBytes(dir.path() / "detail.fdg");
        std::string text(bytes.begin(), bytes.end());
        std::vector<std::string> lines;
        for (std::size_t end; (end = text.find("\r\n")) != std::string::npos; text.erase(0, end + 2))
            lines.push_back(text.substr(0, end));
        EXPECT_TRUE(text.empty()) << "bytes after the last CR LF";
        return lines;
    }

    bool detailExists() const { return std::filesystem::exists(dir.path() / "detail.fdg"); }

    testsupport::TempDir dir;
    testsupport::ScopedCwd cwd{dir.path()};
    Log log;
    // What the user was shown, as the fake user interface recorded it.
    QStringList& notices = testsupport::ui().messages;
    QStringList& errors = testsupport::ui().errors;
    std::vector<int> previews; // the pages the store held at each preview
    std::function<void()> onPreview;
    testsupport::EngineOverride preview{[this](report::EngineWindows& w) {
        w.preview = [this](TQRPrinter& store) {
            previews.push_back(store.storedPageCount());
            if (onPreview)
                onPreview();
        };
    }};
};
