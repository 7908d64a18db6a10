// What the report tests build on: a page store over a fake landscape A4 printer at
// 96 dpi (printable 1090 x 762, offsets 16 x 16, sheet 1123 x 794) with pages to put
// in it; a user at the file dialogs; and a page form with one report over its own
// store, whose Preview hands the composed pages to the test instead of a window.
#pragma once

#include "report/data_set.h"
#include "report/page_report.h"
#include "report/qr_band.h"
#include "report/qr_label.h"
#include "report/qr_printer.h"
#include "support/emf_page.h"
#include "support/engine_override.h"
#include "support/fake_user_interface.h"
#include "support/printer_fake.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

inline QString qpath(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

// The 32-bit value at `at` of a report file's bytes: the test machine is
// little-endian, like the file.
template <class Bytes>
std::uint32_t u32At(const Bytes& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

using Texts = std::vector<std::string>;

// "x,y text", or the text alone, for every text on a page in drawing order.
inline Texts textsAt(const emfpage::Page& page, bool withPlace = true)
{
    Texts out;
    for (const auto& t : page.texts)
        out.push_back((withPlace ? QStringLiteral("%1,%2 %3").arg(t.x).arg(t.y).arg(t.text) : t.text).toStdString());
    return out;
}

// Points a data-aware component at a field of `data`.
template <class T>
T& bound(T& component, report::DataSet& data, const char* field)
{
    component.DataSource = &data;
    component.DataField = QString::fromLatin1(field);
    return component;
}

// Each page's own colour, so that printed, saved or shown pages can be told apart.
inline QColor pageColour(int page)
{
    return QColor(QColor::fromHsv((page * 50) % 360, 255, 200).rgb());
}

// Records `count` pages, each filled over its printable area in its own colour
// and numbered in a line of text.
inline void composePages(TQRPrinter& store, int count)
{
    store.BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            store.NewPage();
        store.canvas().setBrushColor(pageColour(page));
        store.canvas().fillRect({0, 0, store.printableWidth(), store.printableHeight()});
        store.canvas().textOut(20, 120, {20, 120, 400, 160}, 0, QStringLiteral("Page %1").arg(page));
    }
    store.EndDoc();
}

// Without progress windows, unless a test asks for them; holding `pages` composed pages.
struct Store {
    platform::FakePrinter fake;
    TQRPrinter store{fake, 96};
    explicit Store(int pages = 0)
    {
        store.setShowProgress(false);
        if (pages > 0)
            composePages(store, pages);
    }
};

// The user at the file dialogs: answers each one with the next of `answers` and
// Cancel once they are used up, keeps what each dialog asked for, and answers
// "Do you want to replace it?" with `replace`.
struct DialogUser {
    std::deque<std::optional<QString>> answers;
    std::vector<desktop::FileDialogOptions> asked;
    QStringList askedToReplace;
    bool replace = false;

    DialogUser()
    {
        testsupport::ui().onFileName = [this](desktop::FileDialogKind, const desktop::FileDialogOptions& o) {
            asked.push_back(o);
            std::optional<QString> answer;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            return answer;
        };
        testsupport::ui().onReplace = [this](const QString& name) {
            askedToReplace << name;
            return replace;
        };
    }
    DialogUser(const DialogUser&) = delete;
    DialogUser& operator=(const DialogUser&) = delete;
};

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

    // A band with one label at its top-left corner that prints `text`; the label
    // is named after the band.
    TQRBand& addBand(const QString& name, TQRBandType type, int height, const QString& text)
    {
        TQRBand& b = addBand(name, type, height);
        addLabel(b, name + QStringLiteral("Text"), text, 0, 0);
        return b;
    }

    // A component on `band` at the given place.
    template <class T>
    T& addChild(TQRBand& band, const QString& name, int left, int top, int width, int height)
    {
        T& c = form.add<T>(name);
        c.setParent(&band);
        std::tie(c.Left, c.Top, c.Width, c.Height) = std::tuple(left, top, width, height);
        return c;
    }

    template <class T = TQRLabel>
    T& addLabel(TQRBand& band, const QString& name, const QString& caption, int left, int top, int width = 100,
                int height = 19)
    {
        T& l = addChild<T>(band, name, left, top, width, height);
        l.Caption = caption;
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

    // Composes through Preview a report that must fill exactly one page.
    emfpage::Page onlyPage()
    {
        auto pages = previewPages();
        EXPECT_EQ(pages.size(), 1u);
        return pages.empty() ? emfpage::Page{} : pages.front();
    }

    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    ReportForm form;
    TPageReport* report = nullptr;
    int previewCalls = 0;
    std::vector<QByteArray> previewed;
};
