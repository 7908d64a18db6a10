// Band drawing, checked on the records of the composed page.
#include "test_run_fixture.h"

#include "platform/emf_writer.h"
#include "report/qr_memo.h"
#include "report/qr_picture.h"

#include <QFont>
#include <QFontMetrics>

namespace {

// The caption's width as the form measures it: whole-pixel advances of
// Times New Roman bold italic at 19 pixels, without kerning.
int captionWidth(const char* caption)
{
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(19);
    f.setBold(true);
    f.setItalic(true);
    f.setKerning(false);
    const QFontMetrics m(f);
    int w = 0;
    for (QChar c : QString::fromLatin1(caption))
        w += m.horizontalAdvance(c);
    return w;
}

constexpr unsigned kOpaque = 0x2;
constexpr unsigned kClipped = 0x4;
constexpr unsigned kAlignLeft = 0, kAlignRight = 2, kAlignCentre = 6;

class BandDrawing : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        band = &addBand(QStringLiteral("QRBand1"), rbTitle, 700);
        band->setFont(timesBoldItalic(19));
    }

    emfpage::Page onlyPage()
    {
        auto pages = previewPages();
        EXPECT_EQ(pages.size(), 1u);
        return pages.empty() ? emfpage::Page{} : pages.front();
    }

    TQRBand* band = nullptr;
};

struct LabelCase {
    const char* what;
    int leftMarginTenths;
    int left, top, width, height;
    TAlignment alignment;
    bool autoSize;
    const char* caption;
    bool transparent;
    // Expected on the page.
    const char* printed;
    int x;
    unsigned align;
    int rectLeft, rectRight;
    unsigned options;
};

// Auto-size widths come from the caption's measure (-1 below), not from Width.
// A blank in Times New Roman bold italic at 19 pixels is 5 wide (0.25 em).
const LabelCase kLabelCases[] = {
    {"centred fixed width", 0, 247, 82, 577, 19, taCenter, false, "Aries", false, "Aries", 535, kAlignCentre, 247, 824, kOpaque | kClipped},
    {"centred, margin 3", 3, 247, 82, 577, 19, taCenter, false, "Aries", false, "Aries", 564, kAlignCentre, 276, 853, kOpaque | kClipped},
    {"auto-size left", 0, 320, 634, 10, 22, taLeftJustify, true, "Birthstone", false, "Birthstone", 320, kAlignLeft, 320, -1, kOpaque},
    {"auto-size left, transparent, margin -10", -10, 320, 634, 10, 22, taLeftJustify, true, "Birthstone", true, "Birthstone", 224, kAlignLeft, 224, -1, 0},
    {"right-justified fixed", 0, 100, 50, 200, 19, taRightJustify, false, "Right", false, "Right ", 305, kAlignRight, 100, 305, kOpaque | kClipped},
};

TEST_F(BandDrawing, LabelsAnchorClipAndFillAsDesigned)
{
    for (const LabelCase& c : kLabelCases) {
        SCOPED_TRACE(c.what);
        TQRLabel& l = addLabel(*band, QStringLiteral("L"), QString::fromLatin1(c.caption), c.left, c.top, c.width, c.height);
        l.Alignment = c.alignment;
        l.AutoSize = c.autoSize;
        l.Transparent = c.transparent;
        report->setLeftMarginInches(c.leftMarginTenths);

        const auto page = onlyPage();
        ASSERT_EQ(page.texts.size(), 1u);
        const emfpage::Text& t = page.texts[0];
        EXPECT_EQ(t.text, QString::fromLatin1(c.printed));
        EXPECT_EQ(t.x, c.x);
        EXPECT_EQ(t.y, c.top);
        EXPECT_EQ(t.align, c.align);
        EXPECT_EQ(t.left, c.rectLeft);
        EXPECT_EQ(t.right, c.rectRight >= 0 ? c.rectRight : c.rectLeft + captionWidth(c.caption));
        EXPECT_EQ(t.top, c.top);
        EXPECT_EQ(t.bottom, c.top + c.height);
        EXPECT_EQ(t.options & (kOpaque | kClipped), c.options);
        EXPECT_EQ(t.fontHeight, -19);
        EXPECT_EQ(t.bkMode, c.transparent ? 1 : 2);
        EXPECT_EQ(t.background, qRgb(255, 255, 255)) << "a label takes its band's colour";
        form.remove(l);
    }
}

TEST_F(BandDrawing, EmptyLabelDrawsNothingNotEvenItsBackground)
{
    for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
        TQRLabel& l = addLabel(*band, QStringLiteral("Empty"), QString(), 100, 100, 200, 19);
        l.Alignment = a;
        l.AutoSize = false;
        l.setColor(QColor(255, 0, 0));
        const auto page = onlyPage();
        EXPECT_TRUE(page.texts.empty());
        ASSERT_EQ(page.fills.size(), 1u) << "only the band's own background";
        EXPECT_EQ(page.fills[0].color, qRgb(255, 255, 255));
        form.remove(l);
    }
}

TEST_F(BandDrawing, BandBackgroundStartsAtTheMarginAndSpansTheColumn)
{
    struct Margin {
        bool millimetres;
        int value;
        int startsAt;
    };
    for (const Margin m : {Margin{false, 3, 29}, Margin{false, -10, -96}, Margin{false, 20, 192},
                           Margin{false, 0, 0}, Margin{true, 5, 19}}) {
        SCOPED_TRACE(m.value);
        if (m.millimetres)
            report->setLeftMarginMM(m.value);
        else
            report->setLeftMarginInches(m.value);
        band->Color = QColor(0, 128, 255);
        const auto page = onlyPage();
        ASSERT_EQ(page.fills.size(), 1u);
        EXPECT_EQ(page.fills[0].x, m.startsAt);
        EXPECT_EQ(page.fills[0].y, 0);
        EXPECT_EQ(page.fills[0].cx, 1090 - m.startsAt) << "the column is the printable width less the margin";
        EXPECT_EQ(page.fills[0].cy, 699) << "the bottom row is left to the next band";
        EXPECT_EQ(page.fills[0].color, qRgb(0, 128, 255));
    }
}

TEST_F(BandDrawing, FontHeightsSurviveTheRoundTripThroughWholePoints)
{
    for (int height : {19, 35, 48, 16, 11}) {
        SCOPED_TRACE(height);
        TQRLabel& l = addLabel(*band, QStringLiteral("F"), QStringLiteral("Text"), 10, 10);
        l.setFont(timesBoldItalic(height));
        const auto page = onlyPage();
        ASSERT_EQ(page.texts.size(), 1u);
        EXPECT_EQ(page.texts[0].fontHeight, -height);
        form.remove(l);
    }
}

TEST_F(BandDrawing, AlignToBandUsesThePrintableWidthAndIgnoresTheMargin)
{
    report->setLeftMarginInches(3);
    struct Case {
        TAlignment alignment;
        int x, rectLeft, rectRight;
    };
    // Printable width 1090; a fixed width of 100.
    for (const Case c : {Case{taLeftJustify, 0, 0, 100}, Case{taCenter, 545, 495, 595},
                         Case{taRightJustify, 1085, 987, 1085}}) {
        TQRLabel& l = addLabel(*band, QStringLiteral("A"), QStringLiteral("Band"), 400, 10, 100);
        l.AlignToBand = true;
        l.AutoSize = false;
        l.Alignment = c.alignment;
        const auto page = onlyPage();
        ASSERT_EQ(page.texts.size(), 1u);
        EXPECT_EQ(page.texts[0].text, QStringLiteral("Band"));
        EXPECT_EQ(page.texts[0].x, c.x);
        EXPECT_EQ(page.texts[0].left, c.rectLeft);
        EXPECT_EQ(page.texts[0].right, c.rectRight);
        form.remove(l);
    }
}

TEST_F(BandDrawing, OnlyVisibleChildrenOfThePrintedBandAreDrawn)
{
    addLabel(*band, QStringLiteral("Shown"), QStringLiteral("Shown"), 10, 10);
    addLabel(*band, QStringLiteral("Hidden"), QStringLiteral("Hidden"), 10, 40).Visible = false;
    TQRLabel& loose = form.add<TQRLabel>(QStringLiteral("Loose"));
    loose.Caption = QStringLiteral("Loose");
    TImage& empty = form.add<TImage>(QStringLiteral("EmptyImage"));
    empty.setParent(band);
    const auto page = onlyPage();
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0].text, QStringLiteral("Shown"));
    EXPECT_TRUE(page.images.empty());
}

TEST_F(BandDrawing, BitmapsDrawUnscaledUnlessStretched)
{
    report->setLeftMarginInches(2);  // 19 design units
    QImage strip(150, 15, QImage::Format_Mono);
    strip.fill(1);
    for (bool stretch : {false, true}) {
        TImage& image = form.add<TImage>(QStringLiteral("Image1"));
        image.setParent(band);
        image.Left = 32;
        image.Top = 11;
        image.Width = 158;
        image.Height = 17;
        image.Stretch = stretch;
        image.Picture.setBitmap(strip);
        const auto page = onlyPage();
        ASSERT_EQ(page.images.size(), 1u);
        EXPECT_EQ(page.images[0].x, 51);
        EXPECT_EQ(page.images[0].y, 11);
        EXPECT_EQ(page.images[0].cx, stretch ? 158 : 150);
        EXPECT_EQ(page.images[0].cy, stretch ? 17 : 15);
        form.remove(image);
    }
}

TEST_F(BandDrawing, LaterChildrenDrawOverEarlierOnesWindowedOnesLast)
{
    TQRMemo& memo = form.add<TQRMemo>(QStringLiteral("QRMemo1"));
    memo.setParent(band);
    memo.Lines = QStringList{QStringLiteral("memo one"), QStringLiteral("memo two"), QStringLiteral("no room")};
    memo.Left = 10;
    memo.Top = 100;
    memo.Width = 300;
    memo.Height = 50;  // two lines of a 19-pixel font
    addLabel(*band, QStringLiteral("First"), QStringLiteral("first"), 10, 10);
    QImage dot(2, 2, QImage::Format_RGB32);
    dot.fill(Qt::black);
    TImage& image = form.add<TImage>(QStringLiteral("Image1"));
    image.setParent(band);
    image.Picture.setBitmap(dot);
    addLabel(*band, QStringLiteral("Second"), QStringLiteral("second"), 10, 40);

    const auto page = onlyPage();
    QStringList order;
    for (const auto& t : page.texts)
        order << t.text;
    EXPECT_EQ(order, (QStringList{"first", "second", "memo one", "memo two"}));
    ASSERT_EQ(page.texts.size(), 4u);
    EXPECT_EQ(page.texts[2].y, 100);
    EXPECT_GT(page.texts[3].y, 100);
    EXPECT_EQ(page.images.size(), 1u);
}

TEST_F(BandDrawing, FrameLinesRunAlongTheColumnWithoutTheirEndPoints)
{
    report->setLeftMarginInches(1);  // 10 design units (9.6)
    band->Frame.DrawTop = band->Frame.DrawBottom = band->Frame.DrawLeft = band->Frame.DrawRight = true;
    const auto page = onlyPage();
    const int l = 10, r = 1089, t = 0, b = 699;
    std::vector<std::vector<int>> lines;
    for (const auto& line : page.lines)
        lines.push_back({line.x1, line.y1, line.x2, line.y2});
    EXPECT_EQ(lines, (std::vector<std::vector<int>>{{l, t, r, t}, {l, b, r, b}, {l, t, l, b}, {r, t, r, b}}));

    band->Frame.width = 0;
    EXPECT_TRUE(onlyPage().lines.empty()) << "a frame of width 0 draws nothing";
}

TEST_F(BandDrawing, ScaledFormsRoundPositionsHalfToEven)
{
    // At 120 pixels per inch a design unit is 1.25 page units: 2 -> 2.5 -> 2
    // and 6 -> 7.5 -> 8. A 19-pixel font is 11 points there, 13.75 -> 14
    // points on the page, which is 19 pixels again at 96 per inch.
    form.PixelsPerInch = 120;
    band->Height = 100;
    TQRLabel& l = addLabel(*band, QStringLiteral("S"), QStringLiteral("Scaled"), 2, 6, 4, 10);
    l.AutoSize = false;
    l.setFont(timesBoldItalic(19));
    const auto page = onlyPage();
    ASSERT_EQ(page.texts.size(), 1u);
    EXPECT_EQ(page.texts[0].x, 2);
    EXPECT_EQ(page.texts[0].y, 8);
    EXPECT_EQ(page.texts[0].right, 8);  // 6 design units = 7.5 -> 8
    EXPECT_EQ(page.texts[0].fontHeight, -19);
}

TEST_F(BandDrawing, MetafilePicturesAreStretchedIntoTheirBox)
{
    platform::EmfRecorder small(10, 10);
    small.setBrushColor(QColor(255, 0, 0));
    small.fillRect({0, 0, 10, 10});
    TImage& image = form.add<TImage>(QStringLiteral("Logo"));
    image.setParent(band);
    image.Left = 40;
    image.Top = 60;
    image.Width = 20;
    image.Height = 20;
    image.Picture.setMetafile(small.finish());
    const auto page = onlyPage();
    bool found = false;
    for (const auto& f : page.fills)
        if (f.color == qRgb(255, 0, 0)) {
            found = true;
            EXPECT_EQ(f.x, 40);
            EXPECT_EQ(f.y, 60);
            EXPECT_EQ(f.cx, 20);
            EXPECT_EQ(f.cy, 20);
        }
    EXPECT_TRUE(found);
}

} // namespace
