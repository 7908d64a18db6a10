// The page forms composed by the report engine: what lands on the page image,
// where, and what happens when detail.fdg cannot be read.
#include "pages/border_strips.h"
#include "pages/detail_binding.h"
#include "pages/page_design.h"
#include "pages/page_forms.h"

#include "desktop/handler.h"
#include "platform/emf_player.h"
#include "platform/text_file.h"
#include "report/page_report.h"
#include "report/qr_label.h"
#include "report/qr_printer.h"
#include "support/emf_page.h"
#include "support/engine_override.h"
#include "support/fake_user_interface.h"
#include "support/paint_surface.h"
#include "support/printer_fake.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <vector>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const std::vector<QString> kProfile{
    "Aries", "Bold and eager.", "Impatient.", "Loyal to a few.", "Ardent.", "Robust.",
    "Rising.", "Diamond", "Red", "April 5th", "Jo Bloggs", "Ever onwards", "3 14 15 22 35 41",
};

class ComposedPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Printable height above 762 design units: the band fits on page 1.
        printer.vertRes = 4800;
        store = std::make_unique<TQRPrinter>(printer, 96);
    }

    // detail.fdg holding `lines`, as the main window writes it.
    static std::string detailBytes(const std::vector<QString>& lines)
    {
        std::vector<std::string> bytes;
        for (const QString& l : lines)
            bytes.push_back(*platform::encodeCp1252(l));
        return platform::joinLinesCrLf(bytes);
    }
    void writeProfile(const std::vector<QString>& lines)
    {
        platform::replaceFileContents(pages::kDetailFileName, detailBytes(lines));
    }

    std::vector<QByteArray> compose(ProfilePageForm& form)
    {
        previewed.clear();
        form.PageReport1->Preview();
        return previewed;
    }

    QImage render(const QByteArray& page)
    {
        Surface s(store->printableWidth(), store->printableHeight(), qRgb(128, 128, 128));
        platform::playEmf(page, s.canvas, platform::Rect{0, 0, s.image.width(), s.image.height()});
        return s.done();
    }

    static std::vector<emfpage::Text> textsOf(const QByteArray& page) { return emfpage::readPage(page).texts; }

    testsupport::TempDir dir;
    testsupport::ScopedCwd cwd{dir.path()};
    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    std::vector<QByteArray> previewed;
    // The preview window would wait for the user: it hands over the pages instead.
    testsupport::EngineOverride preview{[this](report::EngineWindows& w) {
        w.preview = [this](TQRPrinter& s) {
            for (int n = 1; n <= s.storedPageCount(); ++n)
                previewed.push_back(s.pageImage(n));
        };
    }};
};

struct PageCase {
    const char* name;
    std::unique_ptr<ProfilePageForm> (*make)(TQRPrinter*);
};
const PageCase kPages[] = {
    {"male", [](TQRPrinter* s) -> std::unique_ptr<ProfilePageForm> { return std::make_unique<TFFormM>(s); }},
    {"female", [](TQRPrinter* s) -> std::unique_ptr<ProfilePageForm> { return std::make_unique<TForm2>(s); }},
};

// The expected colour of every strip pixel: the strips painted in print order,
// each covering the earlier ones, white pixels included. -1 where no strip lies.
std::vector<int> expectedStripPixels(const pages::PageDesign& design, int margin, int width, int height)
{
    const QImage h = pages::horizontalBorderStrip();
    const QImage v = pages::verticalBorderStrip();
    std::vector<int> black(std::size_t(width) * height, -1);
    for (const pages::ImageDesign& img : design.images) {
        const QImage& strip = img.bitmap == pages::StripBitmap::Horizontal ? h : v;
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x) {
                const int px = margin + img.left + x;
                const int py = img.top + y;
                if (px < width && py < height)
                    black[std::size_t(py) * width + px] = strip.pixel(x, y) == qRgb(0, 0, 0);
            }
    }
    return black;
}

TEST_F(ComposedPage, OneBitStripsOfThePixelMapLandPixelExactOnBothPagesAtEveryMargin)
{
    // The strips themselves: black first in the palette, as the page's palette has it.
    // Their glyphs, pixel for pixel, are checked on the printed sheets against a copy
    // of the glyph map of their own (tests/e2e/sheet_check.py).
    const QImage h = pages::horizontalBorderStrip();
    const QImage v = pages::verticalBorderStrip();
    ASSERT_EQ(std::pair(h.size(), v.size()), std::pair(QSize(150, 15), QSize(15, 150)));
    for (const QImage& img : {h, v}) {
        EXPECT_EQ(img.format(), QImage::Format_Mono);
        EXPECT_EQ(img.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
    }

    writeProfile(kProfile);
    // Margin in tenths of an inch (-1 keeps the design's 5 mm) and the design units it shifts by.
    const struct { int tenths; int shift; } margins[] = {{-1, 19}, {0, 0}, {3, 29}, {10, 96}};
    for (const auto& pc : kPages) {
        auto form = pc.make(store.get());
        for (const auto& m : margins) {
            SCOPED_TRACE(std::string(pc.name) + " margin " + std::to_string(m.tenths));
            if (m.tenths >= 0)
                form->PageReport1->setLeftMarginInches(m.tenths);
            const auto pages = compose(*form);
            ASSERT_EQ(pages.size(), 1u);
            const QImage image = render(pages[0]);
            const auto expected = expectedStripPixels(form->design(), m.shift, image.width(), image.height());
            int wrong = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const int want = expected[std::size_t(y) * image.width() + x];
                    wrong += want >= 0 && image.pixel(x, y) != (want ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST_F(ComposedPage, LabelsPrintTheProfileAndHeadingsAtTheirPlaces)
{
    writeProfile(kProfile);
    const int m = 19;
    const std::map<int, int> lineOfLabel{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6},
                                         {8, 7}, {9, 8}, {20, 9}, {18, 10}, {21, 11}, {23, 12}};
    for (const auto& pc : kPages) {
        SCOPED_TRACE(pc.name);
        auto form = pc.make(store.get());
        const auto pages = compose(*form);
        ASSERT_EQ(pages.size(), 1u);
        const auto texts = textsOf(pages[0]);
        ASSERT_EQ(texts.size(), 23u);
        for (int n = 1; n <= 23; ++n) {
            SCOPED_TRACE("QRLabel" + std::to_string(n));
            const pages::LabelDesign& d = form->design().labels[n - 1];
            const emfpage::Text& t = texts[n - 1];
            const auto line = lineOfLabel.find(n);
            const QString text = line != lineOfLabel.end() ? kProfile[line->second] : QString::fromLatin1(d.caption);
            EXPECT_EQ(std::tuple(t.text, t.left, t.top, t.bottom, t.y),
                      std::tuple(text, m + d.left, d.top, d.top + d.height, d.top));
            EXPECT_TRUE(t.options & platform::TextOpaque);
            if (!d.autoSize) {
                EXPECT_EQ(t.right, m + d.left + d.width);
                EXPECT_TRUE(t.options & platform::TextClipped);
            }
            const bool left = d.alignment == pages::TextAlignment::Left;
            EXPECT_EQ(t.align, left ? 0u : 6u) << "TA_LEFT or TA_CENTER";
            EXPECT_EQ(t.x, left ? t.left : t.left + (t.right - t.left) / 2);
            EXPECT_EQ(std::tuple(t.face, t.fontWeight, t.italic, t.color, t.fontHeight),
                      std::tuple(QStringLiteral("Times New Roman"), 700, true, qRgb(0, 0, 0), n == 18 ? -48 : n == 1 ? -35 : -19));
        }
        // Where the two designs differ, worked out independently of the design tables.
        const struct { const char* page; int n; int left, top; const char* text; } spots[] = {
            {"male", 7, 239, 592, "Rising."},     {"female", 7, 247, 592, "Rising."},
            {"male", 9, 666, 634, "Red"},         {"female", 9, 690, 634, "Red"},
            {"male", 15, 495, 548, "Fortune"},    {"female", 15, 511, 556, "Fortune"},
            {"male", 16, 320, 634, "Birthstone"}, {"female", 16, 304, 634, "Birthstone"},
            {"male", 19, 383, 128, "Birthday"},   {"female", 19, 383, 128, "Birthdate"},
            {"male", 18, 242, 24, "Jo Bloggs"},   {"female", 18, 242, 24, "Jo Bloggs"},
        };
        for (const auto& spot : spots) {
            if (spot.page != std::string_view(pc.name))
                continue;
            const emfpage::Text& t = texts[spot.n - 1];
            EXPECT_EQ(t.text, QLatin1String(spot.text)) << spot.n;
            EXPECT_EQ(QPoint(t.left - m, t.top), QPoint(spot.left, spot.top)) << spot.n;
        }
        // Each composition reads the file afresh: a shorter profile leaves its missing values blank.
        writeProfile({"Leo", "Warm."});
        QStringList printed;
        for (const auto& t : textsOf(compose(*form).at(0)))
            printed << t.text;
        const QString birth = QString::fromLatin1(form->design().labels[18].caption);
        EXPECT_EQ(printed, (QStringList{"Leo", "Warm.", "Strengths", "Weaknesses", "Friendships", "Love",
                                        "Health", "Fortune", "Birthstone", "Colour", birth, "Lucky Numbers"}));
        // Lines after the 13th are ignored; the code page is decoded, trailing blanks are kept and the
        // last line needs no line end.
        const struct { const char* what; std::string bytes; std::vector<QString> lines; } files[] = {
            {"fourteen lines", detailBytes(kProfile) + "fourteen\r\n", kProfile},
            {"empty file", "", {}},
            {"code page", "Ren\xe9\x65 \r\n\x80 5", {QStringLiteral("Ren\u00e9e "), QStringLiteral("\u20ac 5")}},
        };
        for (const auto& f : files) {
            SCOPED_TRACE(f.what);
            platform::replaceFileContents(pages::kDetailFileName, f.bytes);
            compose(*form);
            for (const auto& [label, line] : lineOfLabel)
                EXPECT_EQ(form->label(label)->Caption, line < int(f.lines.size()) ? f.lines[line] : QString()) << label;
        }
        writeProfile(kProfile);
    }
}

TEST_F(ComposedPage, UnreadableProfileStopsTheCompositionAndLeavesTheStoreIdle)
{
    const struct { const char* what; bool writeFails; const char* box; } cases[] = {
        {"no file yet", false, "File not found (detail.fdg)."},
        {"last update failed", true, "The profile could not be written: File access denied."},
    };
    for (const auto& pc : kPages) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(pc.name) + ": " + c.what);
            auto form = pc.make(store.get());
            profile::DetailFileState state;
            form->watchDetailFile(&state);
            if (c.writeFails) {
                writeProfile(kProfile);
                state.failed(QStringLiteral("The profile could not be written: File access denied"));
            }
            QStringList& boxes = testsupport::ui().errors;
            boxes.clear();
            previewed.clear();
            // The main window's Preview and Print run through the handler wrapper.
            desktop::runHandler([&] { form->PageReport1->Preview(); });
            desktop::runHandler([&] { form->PageReport1->Print(); });
            EXPECT_EQ(boxes, (QStringList{c.box, c.box}));
            EXPECT_TRUE(previewed.empty());
            EXPECT_EQ(printer.jobsBegun, 0);
            EXPECT_EQ(store->status(), QRPrinterStatus::Idle);
            EXPECT_EQ(store->storedPageCount(), 0);
            // No design caption stands in for the profile.
            EXPECT_EQ(form->label(18)->Caption, QStringLiteral("QRLabel18"));
            std::filesystem::remove(pages::kDetailFileName);
        }
    }
}

} // namespace
