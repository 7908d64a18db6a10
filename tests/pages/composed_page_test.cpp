// The page forms composed by the report engine: what lands on the page image,
// where, and what happens when detail.fdg cannot be read.
#include "pages/detail_binding.h"
#include "pages/page_design.h"
#include "pages/page_forms.h"

#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "platform/error_box.h"
#include "platform/handler.h"
#include "platform/printer_fake.h"
#include "platform/text_file.h"
#include "report/page_report.h"
#include "report/qr_label.h"
#include "report/qr_printer.h"
#include "support/test_support.h"

#include "qstring_printer.h"
#include "reference_strip.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <map>
#include <memory>
#include <vector>

namespace {

using pages::PageDesign;
using testsupport::ScopedCwd;
using testsupport::TempDir;

// Keeps every text output of a played-back page, with the font and alignment in force.
class TextRecorder final : public platform::Canvas {
public:
    struct Text {
        int x, y;
        platform::Rect rect;
        unsigned options;
        QString text;
        platform::HAlign align;
        platform::CanvasFont font;
    };
    std::vector<Text> texts;

    void fillRect(const platform::Rect&) override {}
    void rectangle(const platform::Rect&) override {}
    void ellipse(const platform::Rect&) override {}
    void polyline(const QPolygon&) override {}
    void polygon(const QPolygon&) override {}
    void textOut(int x, int y, const platform::Rect& rect, unsigned options, const QString& text,
                 const std::vector<int>*) override
    {
        texts.push_back({x, y, rect, options, text, textAlign().horizontal, font()});
    }
    int textWidth(const QString& text) override { return int(text.size()) * 8; }
    std::vector<int> textAdvances(const QString& text) override
    {
        return std::vector<int>(std::size_t(text.size()), 8);
    }
    void drawImage(int, int, const QImage&) override {}
    void stretchImage(const platform::Rect&, const QImage&) override {}
    int pixelsPerInch() const override { return 96; }

protected:
    void onLineTo(QPoint, QPoint) override {}
    void onIntersectClip(const platform::Rect&) override {}
    void onSaveState() override {}
    void onRestoreState() override {}
};

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
        TPageReport::setPreviewRunner([this](TQRPrinter& s) {
            for (int n = 1; n <= s.storedPageCount(); ++n)
                previewed.push_back(s.pageImage(n));
        });
    }
    void TearDown() override
    {
        TPageReport::setPreviewRunner({});
        platform::setErrorBoxHook({});
    }

    void writeProfile(const std::vector<QString>& lines)
    {
        std::vector<std::string> bytes;
        for (const QString& l : lines)
            bytes.push_back(*platform::encodeCp1252(l));
        platform::replaceFileContents(pages::kDetailFileName, platform::joinLinesCrLf(bytes));
    }

    // Composes the form's page through Preview and answers the pages shown.
    std::vector<QByteArray> compose(ProfilePageForm& form)
    {
        previewed.clear();
        form.PageReport1->Preview();
        return previewed;
    }

    QImage render(const QByteArray& page)
    {
        const int w = store->printableWidth();
        const int h = store->printableHeight();
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(qRgb(128, 128, 128));
        QPainter painter(&image);
        platform::QPainterCanvas canvas(painter, 96);
        platform::playEmf(page, canvas, platform::Rect{0, 0, w, h});
        painter.end();
        return image;
    }

    std::vector<TextRecorder::Text> textsOf(const QByteArray& page)
    {
        TextRecorder rec;
        platform::playEmf(page, rec, platform::Rect{0, 0, store->printableWidth(), store->printableHeight()});
        return rec.texts;
    }

    void failLastWrite()
    {
        writeProfile(kProfile);
        platform::recordWriteFailure(pages::kDetailFileName, platform::FileAccessDenied,
                                     QStringLiteral("File access denied"));
    }

    TempDir dir;
    ScopedCwd cwd{dir.path()};
    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    std::vector<QByteArray> previewed;
};

struct PageCase {
    const char* name;
    std::unique_ptr<ProfilePageForm> (*make)(TQRPrinter*);
};
const PageCase kPages[] = {
    {"male", [](TQRPrinter* s) -> std::unique_ptr<ProfilePageForm> { return std::make_unique<TFFormM>(s); }},
    {"female", [](TQRPrinter* s) -> std::unique_ptr<ProfilePageForm> { return std::make_unique<TForm2>(s); }},
};

// ---- Border strips -------------------------------------------------------------

// The expected colour of every strip pixel: strips painted in print order, each
// covering the earlier ones, white pixels included. -1 where no strip lies.
std::vector<int> expectedStripPixels(const PageDesign& design, int margin, int width, int height)
{
    std::vector<int> black(std::size_t(width) * height, -1);
    for (const pages::ImageDesign& img : design.images) {
        const bool horizontal = img.bitmap == pages::StripBitmap::Horizontal;
        const int w = horizontal ? 150 : 15;
        const int h = horizontal ? 15 : 150;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int px = margin + img.left + x;
                const int py = img.top + y;
                if (px < width && py < height)
                    black[std::size_t(py) * width + px] =
                        horizontal ? pagetest::horizontalBlack(x, y) : pagetest::verticalBlack(x, y);
            }
    }
    return black;
}

TEST_F(ComposedPage, StripsLandPixelExactOnBothPagesAtEveryMargin)
{
    writeProfile(kProfile);
    // Margin setting (tenths of an inch; -1 keeps the design's 5 mm) and the
    // design units it moves the band by.
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
            int wrong = 0;
            std::string first;
            const auto expected =
                expectedStripPixels(form->design(), m.shift, image.width(), image.height());
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const int want = expected[std::size_t(y) * image.width() + x];
                    if (want < 0)
                        continue;
                    const QRgb colour = want ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
                    if (image.pixel(x, y) != colour && wrong++ == 0)
                        first = std::to_string(x) + "," + std::to_string(y);
                }
            EXPECT_EQ(wrong, 0) << "first wrong pixel at " << first;
        }
    }
}

// A few pixels worked out by hand from the pixel map, where strips overlap.
TEST_F(ComposedPage, LaterStripsCoverEarlierOnesWhitePixelsIncluded)
{
    writeProfile(kProfile);
    const int m = 19;
    struct Probe {
        const char* page;
        int x, y;
        bool black;
        const char* why;
    };
    const Probe probes[] = {
        // Male Image1 at (32, 11): Libra's top bar, row 3 column 10 of the strip.
        {"male", m + 32 + 10, 11 + 3, true, "Libra in Image1"},
        // Male Image6 at 771 puts Pisces (column 132) at 903; Image13 at 892 prints
        // later and has Libra's blank row 2 column 11 there.
        {"male", m + 771 + 132, 11 + 2, false, "Image13 covers Image6's Pisces"},
        // Male Image29 (8, 747) is covered by Image33 (160, 745) from x 160 on: at
        // Image29 column 157 (Pisces column 25 .. no glyph), Image33 column 5, row 2+2.
        {"male", m + 160 + 7 + 3, 745 + 3, true, "Image33's Libra over Image29"},
        // Female Image13 (812, 19) prints after Image6 (891, 19) and over Image5
        // (659..809 does not reach it): at 891 + 7 + 3 = 901 Image6's Libra is black in
        // row 3, but Image13 column 89 row 3 is Capricorn's white.
        {"female", m + 901, 19 + 3, false, "Image13 covers Image6's Libra"},
        // Right side, male: Image9 (1029, 32) prints after Image8 (1029, 184) and
        // reaches down to 181; Image8's Libra (rows 7..17) is left alone from 184+7.
        {"male", m + 1029 + 14 - 3, 184 + 10, true, "Image8's Libra below Image9"},
    };
    std::map<std::string, QImage> rendered;
    for (const auto& pc : kPages) {
        auto form = pc.make(store.get());
        const auto pages = compose(*form);
        ASSERT_EQ(pages.size(), 1u);
        rendered[pc.name] = render(pages[0]);
    }
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.why);
        EXPECT_EQ(rendered[p.page].pixel(p.x, p.y), p.black ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
}

// ---- Labels ---------------------------------------------------------------------

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
            const TextRecorder::Text& t = texts[n - 1];
            const auto line = lineOfLabel.find(n);
            EXPECT_EQ(t.text, line != lineOfLabel.end() ? kProfile[line->second] : QString::fromLatin1(d.caption));
            EXPECT_EQ(t.rect.left, m + d.left);
            EXPECT_EQ(t.rect.top, d.top);
            EXPECT_EQ(t.rect.bottom, d.top + d.height);
            EXPECT_EQ(t.y, d.top);
            EXPECT_TRUE(t.options & platform::TextOpaque);
            if (!d.autoSize) {
                EXPECT_EQ(t.rect.right, m + d.left + d.width);
                EXPECT_TRUE(t.options & platform::TextClipped);
            }
            if (d.alignment == pages::TextAlignment::Left) {
                EXPECT_EQ(t.align, platform::HAlign::Left);
                EXPECT_EQ(t.x, t.rect.left);
            } else {
                EXPECT_EQ(t.align, platform::HAlign::Center);
                EXPECT_EQ(t.x, t.rect.left + (t.rect.right - t.rect.left) / 2);
            }
            EXPECT_EQ(t.font.face, QStringLiteral("Times New Roman"));
            EXPECT_TRUE(t.font.bold && t.font.italic);
            EXPECT_EQ(t.font.color, QColor(0, 0, 0));
            EXPECT_EQ(t.font.height, n == 18 ? 48 : n == 1 ? 35 : 19);
        }
        // The labels keep what they printed until the next composition.
        EXPECT_EQ(form->label(18)->Caption, QStringLiteral("Jo Bloggs"));
    }
}

TEST_F(ComposedPage, ShortFileLeavesTheMissingValuesBlankAndHeadingsStay)
{
    writeProfile({"Leo", "Warm."});
    for (const auto& pc : kPages) {
        SCOPED_TRACE(pc.name);
        auto form = pc.make(store.get());
        const auto pages = compose(*form);
        ASSERT_EQ(pages.size(), 1u);
        QStringList printed;
        for (const auto& t : textsOf(pages[0]))
            printed << t.text;
        const QString birth = QString::fromLatin1(form->design().labels[18].caption);
        EXPECT_EQ(printed, (QStringList{"Leo", "Warm.", "Strengths", "Weaknesses", "Friendships", "Love",
                                        "Health", "Fortune", "Birthstone", "Colour", birth, "Lucky Numbers"}));
    }
}

// On the male page the "Birthstone" heading, printed after the birthstone box,
// whites out the box's first pixels, so what the box holds does not show there;
// on the female page the two do not meet.
TEST_F(ComposedPage, BirthstoneHeadingCoversTheStartOfTheBoxOnTheMalePageOnly)
{
    const int m = 19;
    std::map<std::string, int> changed;
    for (const auto& pc : kPages) {
        auto form = pc.make(store.get());
        std::vector<QImage> images;
        for (const QString& stone : {QString(), QStringLiteral("WWWWWWWWWWWWWWWW")}) {
            std::vector<QString> lines = kProfile;
            lines[7] = stone;  // empty, then filling the 118-pixel box edge to edge
            writeProfile(lines);
            images.push_back(render(compose(*form).at(0)));
        }
        int differing = 0;
        for (int x = m + 386; x < m + 400; ++x)
            for (int y = 634; y < 653; ++y)
                differing += images[0].pixel(x, y) != images[1].pixel(x, y);
        changed[pc.name] = differing;
    }
    EXPECT_EQ(changed["male"], 0);
    EXPECT_GT(changed["female"], 20);
}

TEST_F(ComposedPage, EachCompositionReadsTheFileAfresh)
{
    auto form = std::make_unique<TFFormM>(store.get());
    writeProfile({"Aries"});
    EXPECT_EQ(textsOf(compose(*form).at(0)).front().text, QStringLiteral("Aries"));
    writeProfile({"Taurus"});
    EXPECT_EQ(textsOf(compose(*form).at(0)).front().text, QStringLiteral("Taurus"));
}

// ---- Failures -------------------------------------------------------------------

TEST_F(ComposedPage, UnreadableProfileStopsTheCompositionAndLeavesTheStoreIdle)
{
    struct Case {
        const char* what;
        bool writeFails;
        const char* box;
    };
    const Case cases[] = {
        {"no file yet", false, "File not found."},
        {"last write failed", true,
         "The profile could not be written to detail.fdg (File access denied)."},
    };
    for (const auto& pc : kPages) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(pc.name) + ": " + c.what);
            auto form = pc.make(store.get());
            if (c.writeFails)
                failLastWrite();
            QStringList boxes;
            platform::setErrorBoxHook([&](const QString& text) { boxes << text; });
            previewed.clear();
            // The main window's Preview and Print run through the handler wrapper.
            platform::runHandler([&] { form->PageReport1->Preview(); });
            platform::runHandler([&] { form->PageReport1->Print(); });
            EXPECT_EQ(boxes, (QStringList{c.box, c.box}));
            EXPECT_TRUE(previewed.empty());
            EXPECT_EQ(printer.jobsBegun, 0);
            EXPECT_EQ(store->status(), QRPrinterStatus::Idle);
            EXPECT_EQ(store->storedPageCount(), 0);
            // No design caption stands in for the profile.
            EXPECT_EQ(form->label(18)->Caption, QStringLiteral("QRLabel18"));
            // A good write clears the failure; then the file goes again.
            writeProfile(kProfile);
            std::filesystem::remove(pages::kDetailFileName);
        }
    }
}

} // namespace
