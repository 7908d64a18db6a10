// Band drawing, checked on the records of the composed page.
#include "report_fixtures.h"

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

const platform::CanvasFont kTimesBoldItalic19{QStringLiteral("Times New Roman"), 19, true, true};

constexpr unsigned kOpaque = 0x2;
constexpr unsigned kClipped = 0x4;
constexpr unsigned kAlignLeft = 0, kAlignRight = 2, kAlignCentre = 6;

class BandDrawing : public ReportFixture {
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        band = &addBand(QStringLiteral("QRBand1"), rbTitle, 700);
        band->setFont(kTimesBoldItalic19);
    }

    TQRBand* band = nullptr;
};

struct LabelCase {
    const char* what;
    int leftMarginTenths, left, top, width, height;
    TAlignment alignment;
    bool autoSize;
    const char* caption;
    bool transparent;
    const char* printed; // what the page should hold from here on
    int x;
    unsigned align;
    int rectLeft, rectRight;
    unsigned options;
    bool alignToBand = false;
};

// Auto-size widths come from the caption's measure (-1 below), not from Width.
// A blank in Times New Roman bold italic at 19 pixels is 5 wide (0.25 em).
// Labels aligned to the band use the printable width, 1090, and ignore the margin.
const LabelCase kLabelCases[] = {
    {"centred fixed width", 0, 247, 82, 577, 19, taCenter, false, "Aries", false, "Aries", 535, kAlignCentre, 247, 824, kOpaque | kClipped},
    {"auto-size left", 0, 320, 634, 10, 22, taLeftJustify, true, "Birthstone", false, "Birthstone", 320, kAlignLeft, 320, -1, kOpaque},
    {"auto-size left, transparent, margin -10", -10, 320, 634, 10, 22, taLeftJustify, true, "Birthstone", true, "Birthstone", 224, kAlignLeft, 224, -1, 0},
    {"right-justified fixed", 0, 100, 50, 200, 19, taRightJustify, false, "Right", false, "Right ", 305, kAlignRight, 100, 305, kOpaque | kClipped},
    {"band left, margin 3", 3, 400, 10, 100, 19, taLeftJustify, false, "Band", false, "Band", 0, kAlignLeft, 0, 100, kOpaque | kClipped, true},
    {"band centre, margin 3", 3, 400, 10, 100, 19, taCenter, false, "Band", false, "Band", 545, kAlignCentre, 495, 595, kOpaque | kClipped, true},
    {"band right, margin 3", 3, 400, 10, 100, 19, taRightJustify, false, "Band", false, "Band", 1085, kAlignRight, 987, 1085, kOpaque | kClipped, true},
};

TEST_F(BandDrawing, LabelsAnchorClipAndFillAsDesigned)
{
    for (const LabelCase& c : kLabelCases) {
        SCOPED_TRACE(c.what);
        TQRLabel& l = addLabel(*band, QStringLiteral("L"), QString::fromLatin1(c.caption), c.left, c.top, c.width, c.height);
        l.Alignment = c.alignment;
        l.AutoSize = c.autoSize;
        l.Transparent = c.transparent;
        l.AlignToBand = c.alignToBand;
        report->setLeftMarginInches(c.leftMarginTenths);

        const auto page = onlyPage();
        ASSERT_EQ(page.texts.size(), 1u);
        const emfpage::Text& t = page.texts[0];
        EXPECT_EQ(t.text, QString::fromLatin1(c.printed));
        const int right = c.rectRight >= 0 ? c.rectRight : c.rectLeft + captionWidth(c.caption);
        EXPECT_EQ(std::tuple(t.x, t.y, t.align), std::tuple(c.x, c.top, c.align));
        EXPECT_EQ(std::tuple(t.left, t.top, t.right, t.bottom), std::tuple(c.rectLeft, c.top, right, c.top + c.height));
        EXPECT_EQ(t.options & (kOpaque | kClipped), c.options);
        EXPECT_EQ(std::tuple(t.fontHeight, t.bkMode), std::tuple(-19, c.transparent ? 1 : 2));
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
    struct Margin { bool millimetres; int value, startsAt; };
    for (const Margin m : {Margin{false, 3, 29}, Margin{false, -10, -96}, Margin{false, 20, 192}, Margin{true, 5, 19}}) {
        SCOPED_TRACE(m.value);
        if (m.millimetres)
            report->setLeftMarginMM(m.value);
        else
            report->setLeftMarginInches(m.value);
        band->Color = QColor(0, 128, 255);
        const auto page = onlyPage();
        ASSERT_EQ(page.fills.size(), 1u);
        const emfpage::Fill& f = page.fills[0];
        // The column is the printable width less the margin; the bottom row is left to the next band.
        EXPECT_EQ(std::tuple(f.x, f.y, f.cx, f.cy), std::tuple(m.startsAt, 0, 1090 - m.startsAt, 699));
        EXPECT_EQ(f.color, qRgb(0, 128, 255));
    }
}

// Metafiles always fill their box; bitmaps only when stretched.
TEST_F(BandDrawing, PicturesDrawAtTheMarginBitmapsUnscaledUnlessStretched)
{
    report->setLeftMarginInches(2);  // 19 design units
    platform::EmfRecorder small(10, 10);
    small.setBrushColor(QColor(255, 0, 0));
    small.fillRect({0, 0, 10, 10});
    addChild<TImage>(*band, QStringLiteral("Logo"), 40, 60, 20, 20).Picture.setMetafile(small.finish());
    QImage strip(150, 15, QImage::Format_Mono);
    strip.fill(1);
    for (bool stretch : {false, true}) {
        TImage& image = addChild<TImage>(*band, QStringLiteral("Image1"), 32, 11, 158, 17);
        image.Stretch = stretch;
        image.Picture.setBitmap(strip);
        const auto page = onlyPage();
        ASSERT_EQ(page.images.size(), 1u);
        const emfpage::Image& i = page.images[0];
        EXPECT_EQ(std::tuple(i.x, i.y, i.cx, i.cy), std::tuple(51, 11, stretch ? 158 : 150, stretch ? 17 : 15));
        std::vector<std::tuple<int, int, int, int>> red;
        for (const auto& f : page.fills)
            if (f.color == qRgb(255, 0, 0))
                red.emplace_back(f.x, f.y, f.cx, f.cy);
        EXPECT_EQ(red, (std::vector<std::tuple<int, int, int, int>>{{59, 60, 20, 20}}));
        form.remove(image);
    }
}

// Hidden children, components on no band and images without a picture draw nothing.
TEST_F(BandDrawing, VisibleChildrenDrawInOrderLaterOverEarlierWindowedOnesLast)
{
    TQRMemo& memo = addChild<TQRMemo>(*band, QStringLiteral("QRMemo1"), 10, 100, 300, 50); // two 19-pixel lines
    memo.Lines = QStringList{QStringLiteral("memo one"), QStringLiteral("memo two"), QStringLiteral("no room")};
    addLabel(*band, QStringLiteral("First"), QStringLiteral("first"), 10, 10);
    addLabel(*band, QStringLiteral("Hidden"), QStringLiteral("hidden"), 10, 25).Visible = false;
    form.add<TQRLabel>(QStringLiteral("Loose")).Caption = QStringLiteral("loose");
    addChild<TImage>(*band, QStringLiteral("EmptyImage"), 40, 70, 20, 20);
    QImage dot(2, 2, QImage::Format_RGB32);
    dot.fill(Qt::black);
    addChild<TImage>(*band, QStringLiteral("Image1"), 10, 70, 2, 2).Picture.setBitmap(dot);
    addLabel(*band, QStringLiteral("Second"), QStringLiteral("second"), 10, 40);

    const auto page = onlyPage();
    ASSERT_EQ(textsAt(page, false), (Texts{"first", "second", "memo one", "memo two"}));
    EXPECT_EQ(page.texts[2].y, 100);
    EXPECT_GT(page.texts[3].y, 100);
    ASSERT_EQ(page.images.size(), 1u);
    EXPECT_EQ(std::pair(page.images[0].x, page.images[0].y), std::pair(10, 70)) << "the dot, not the empty image";
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
    l.setFont(kTimesBoldItalic19);
    const auto page = onlyPage();
    ASSERT_EQ(page.texts.size(), 1u);
    const emfpage::Text& t = page.texts[0];
    EXPECT_EQ(std::tuple(t.x, t.y, t.right, t.fontHeight), std::tuple(2, 8, 8, -19));
}

} // namespace
