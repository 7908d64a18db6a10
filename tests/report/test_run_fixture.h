// A page form with one report over a fake printer and its own page store;
// Preview hands the composed pages to the test instead of a window.
#pragma once

#include "support/printer_fake.h"
#include "report/page_report.h"
#include "report/qr_band.h"
#include "report/qr_label.h"
#include "report/qr_printer.h"

#include "support/emf_page.h"

#include "support/engine_override.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 768 page units high, so that a 762-unit band fits.
        printer.vertRes = 4800;
        store = std::make_unique<TQRPrinter>(printer, 96);
        report = &form.add<TPageReport>(QStringLiteral("PageReport1"));
        report->setPageStore(store.get());
        report->ShowProgress = false;
        preview_ = std::make_unique<testsupport::EngineOverride>([this](report::EngineWindows& w) {
            w.preview = [this](TQRPrinter& s) {
                ++previewCalls;
                previewed.clear();
                for (int n = 1; n <= s.storedPageCount(); ++n)
                    previewed.push_back(s.pageImage(n));
            };
        });
    }

    void TearDown() override { preview_.reset(); }
    std::unique_ptr<testsupport::EngineOverride> preview_;

    TQRBand& addBand(const QString& name, TQRBandType type, int height)
    {
        TQRBand& b = form.add<TQRBand>(name);
        std::tie(b.BandType, b.Height, b.Width) = std::tuple(type, height, 1000);
        return b;
    }

    template <class T = TQRLabel>
    T& addLabel(TQRBand& band, const QString& name, const QString& caption, int left, int top, int width = 100,
                int height = 19)
    {
        T& l = form.add<T>(name);
        l.setParent(&band);
        l.Caption = caption;
        std::tie(l.Left, l.Top, l.Width, l.Height) = std::tuple(left, top, width, height);
        return l;
    }

    // Composes through Preview and reads every page.
    std::vector<emfpage::Page> previewPages()
    {
        report->Preview();
        std::vector<emfpage::Page> pages;
        for (const QByteArray& emf : previewed)
            pages.push_back(emfpage::readPage(emf));
        return pages;
    }

    static platform::CanvasFont timesBoldItalic(int height)
    {
        platform::CanvasFont f;
        f.face = QStringLiteral("Times New Roman");
        f.height = height;
        f.bold = f.italic = true;
        return f;
    }

    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    ReportForm form;
    TPageReport* report = nullptr;
    int previewCalls = 0;
    std::vector<QByteArray> previewed;
};
