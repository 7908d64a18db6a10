// The painter canvas draws like a Windows device context: exclusive right and
// bottom edges, lines without their end point, whole-pixel text advances.
#include "platform/emf_writer.h"
#include "support/paint_surface.h"

#include "platform/canvas_painter.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <cstring>

using namespace platform;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

CanvasFont font(const char* face, int height, bool bold = false, bool italic = false)
{
    return CanvasFont{QString::fromLatin1(face), height, bold, italic};
}

TEST(CanvasFontSize, PointsAndCharacterHeightsConvertLikeWindows)
{
    struct Case { int height, points; };
    for (const Case c : {Case{19, 14}, Case{35, 26}, Case{48, 36}, Case{16, 12}, Case{11, 8}}) {
        EXPECT_EQ(fontPointsFromHeight(c.height, 96), c.points) << c.height;
        EXPECT_EQ(fontHeightFromPoints(c.points, 96), c.height) << c.points;
    }
    EXPECT_EQ(fontPointsFromHeight(-19, 96), -14);
    EXPECT_EQ(fontHeightFromPoints(12, 600), 100);
    EXPECT_EQ(fontHeightFromPoints(12, 0), 0);
}

TEST(CanvasText, WidthIsTheSumOfWholePixelAdvancesOfTheNamedFace)
{
    Surface s;
    // Liberation Sans "M" is 1706/2048 em: 9.996 px at 12 px, so 10 each.
    s.canvas.setFont(font("Arial", 12));
    EXPECT_EQ(s.canvas.textWidth(QStringLiteral("MMMM")), 40);
    // "a" is 1139/2048 em: 10.01 px at 18 px.
    s.canvas.setFont(font("Arial", 18));
    EXPECT_EQ(s.canvas.textWidth(QStringLiteral("aaa")), 30);

    EmfRecorder rec(100, 100);
    for (const CanvasFont& f : {font("Times New Roman", 19, true, true), font("Arial", 35), font("Times New Roman", 48)}) {
        s.canvas.setFont(f);
        rec.setFont(f);
        for (const QString& t : {QStringLiteral("Aries"), QStringLiteral("Birthday April 5th"), QStringLiteral("\u00C6sop \u20AC")}) {
            const std::vector<int> adv = s.canvas.textAdvances(t);
            ASSERT_EQ(adv.size(), static_cast<size_t>(t.size()));
            int sum = 0;
            for (int a : adv)
                sum += a;
            EXPECT_EQ(s.canvas.textWidth(t), sum) << t.toStdString();
            // The recorder measures against the screen exactly as painting does.
            EXPECT_EQ(rec.textAdvances(t), adv) << t.toStdString();
        }
    }
}

TEST(CanvasText, AlignmentPlacesTheTextAroundTheReferencePointAndUnderlineBelowIt)
{
    const QString text = QStringLiteral("HHHH");
    struct Case { HAlign align; int x; };
    for (const Case c : {Case{HAlign::Left, 50}, Case{HAlign::Right, 150}, Case{HAlign::Center, 100}}) {
        Surface s, underlined;
        CanvasFont f = font("Arial", 20);
        for (Surface* t : {&s, &underlined}) {
            t->canvas.setFont(f);
            t->canvas.setBackgroundMode(BackgroundMode::Transparent);
            t->canvas.setTextAlign(TextAlign{c.align, VAlign::Top});
            t->canvas.textOut(c.x, 10, Rect{}, 0, text);
            f.underline = true;
        }
        const int w = s.canvas.textWidth(text);
        const QRect ink = s.inkBox();
        const int expectedLeft = c.align == HAlign::Left ? c.x : c.align == HAlign::Right ? c.x - w : c.x - w / 2;
        // "H" has a small side bearing: ink starts just right of the pen.
        EXPECT_GE(ink.left(), expectedLeft);
        EXPECT_LE(ink.left(), expectedLeft + 3);
        EXPECT_LE(ink.right(), expectedLeft + w);
        EXPECT_GE(ink.top(), 10);
        EXPECT_GT(underlined.inkBox().bottom(), ink.bottom());
    }
}

TEST(CanvasText, ClippedOpaqueTextStaysInItsRectangle)
{
    Surface s;
    s.canvas.setFont(font("Times New Roman", 19, true, true));
    s.canvas.setBrushColor(QColor(255, 255, 0));
    const Rect r{20, 20, 80, 40};
    s.canvas.textOut(20, 20, r, TextOpaque | TextClipped, QStringLiteral("A text far wider than its box"));
    EXPECT_EQ(s.at(20, 20) & 0xFFFFFF, 0xFFFF00u & 0xFFFFFF) << std::hex << s.at(20, 20);
    EXPECT_EQ(s.at(79, 39) & 0xFFFFFF, 0xFFFF00u);
    const QRect ink = s.inkBox();
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.right(), 79);
    EXPECT_LE(ink.bottom(), 39);
    EXPECT_EQ(s.at(80, 30), kWhite);
    EXPECT_EQ(s.at(50, 40), kWhite);
}

TEST(CanvasText, TextAfterOpaqueLinesShowsUnderATranslatedPainter)
{
    // A preview draws the page through a painter moved inside its window.
    Surface s;
    s.painter.translate(30, 20);
    s.canvas.setBackgroundMode(BackgroundMode::Opaque);
    s.canvas.setPen(CanvasPen{QColor(0, 0, 0), 1, PenStyle::Dot});
    s.canvas.moveTo(0, 70);
    s.canvas.lineTo(100, 70);
    s.canvas.rectangle(Rect{120, 60, 140, 75});
    s.canvas.setFont(font("Arial", 20));
    s.canvas.textOut(10, 5, Rect{10, 5, 150, 30}, TextOpaque, QStringLiteral("HHHH"));
    // The text box lies at (40, 25)-(180, 50) on the image.
    int textInk = 0;
    for (int y = 25; y < 50; ++y)
        for (int x = 40; x < 180; ++x)
            textInk += qGray(s.image.pixel(x, y)) < 128;
    EXPECT_GT(textInk, 40) << "the text shows, moved with the painter";
}

TEST(CanvasShapes, FillsAndLinesLeaveOutTheRightAndBottomEdges)
{
    Surface s;
    s.canvas.setBrushColor(QColor(0, 0, 0));
    s.canvas.fillRect(Rect{10, 10, 20, 20});
    s.canvas.setBrush(CanvasBrush{QColor(0, 0, 0), true});
    s.canvas.fillRect(Rect{30, 30, 40, 40});
    s.canvas.moveTo(50, 5);
    s.canvas.lineTo(60, 5);
    s.canvas.lineTo(60, 15);
    EXPECT_EQ(s.canvas.penPosition(), QPoint(60, 15));
    s.canvas.setBrushColor(QColor(255, 0, 0));
    s.canvas.rectangle(Rect{100, 10, 110, 20});

    const struct { int x, y; QRgb colour; const char* what; } probes[] = {
        {10, 10, kBlack, "fill, first pixel"}, {19, 19, kBlack, "fill, last pixel"},
        {20, 19, kWhite, "fill, right edge"},  {19, 20, kWhite, "fill, bottom edge"}, {9, 10, kWhite, "left of the fill"},
        {35, 35, kWhite, "a clear brush fills nothing"},
        {50, 5, kBlack, "line start"}, {59, 5, kBlack, "line"}, {60, 5, kBlack, "start of the second line"},
        {60, 14, kBlack, "second line"}, {60, 15, kWhite, "end point is not painted"},
        {100, 10, kBlack, "rectangle outline"}, {109, 19, kBlack, "rectangle outline, last pixel"},
        {105, 15, 0xFFFF0000, "rectangle inside, brush"}, {110, 15, kWhite, "right of the rectangle"},
    };
    for (const auto& p : probes)
        EXPECT_EQ(s.at(p.x, p.y), p.colour) << p.what;
}

TEST(CanvasImages, OneBitBitmapsDrawUnscaledOrStretched)
{
    QImage mono(8, 4, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 255)});
    mono.fill(0);
    mono.setPixel(0, 0, 1);
    mono.setPixel(7, 3, 1);
    Surface s;
    s.canvas.drawImage(10, 10, mono);
    EXPECT_EQ(s.at(10, 10), 0xFF0000FF);
    EXPECT_EQ(s.at(17, 13), 0xFF0000FF);
    EXPECT_EQ(s.at(11, 10), kWhite);
    s.canvas.stretchImage(Rect{40, 40, 56, 48}, mono);
    EXPECT_EQ(s.at(41, 41), 0xFF0000FF);
    EXPECT_EQ(s.at(55, 47), 0xFF0000FF);
    EXPECT_EQ(s.at(42, 40), kWhite);

    // Into a PDF, equal pictures drawn on many pages (as each page's metafile
    // decodes its own copy) are stored once; a different one is stored as well.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        QPainter painter(&writer);
        QPainterCanvas canvas(painter, 96);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                writer.newPage();
            QImage copy = mono.copy();
            std::memset(copy.scanLine(0) + 1, 0x5A, 3); // QImage's padding is anybody's guess
            canvas.drawImage(10, 10, copy);
            canvas.stretchImage(Rect{40, 40, 56, 48}, copy);
        }
        QImage other = mono.copy();
        other.setPixel(3, 3, 1);
        canvas.drawImage(10, 10, other);
    }
    EXPECT_EQ(pdf.data().count("/Subtype /Image"), 2);
}

TEST(CanvasState, RestoreBringsBackStateAndClip)
{
    Surface s;
    const CanvasFont before = font("Arial", 12);
    s.canvas.setFont(before);
    s.canvas.setBrushColor(QColor(1, 2, 3));
    s.canvas.saveState();
    s.canvas.setFont(font("Times New Roman", 30));
    s.canvas.setBrushColor(QColor(0, 0, 0));
    s.canvas.setPen(CanvasPen{QColor(9, 9, 9), 4, PenStyle::Dash});
    s.canvas.intersectClipRect(Rect{0, 0, 10, 10});
    s.canvas.fillRect(Rect{0, 0, 50, 50});
    EXPECT_EQ(s.at(20, 20), kWhite) << "clipped away";
    s.canvas.restoreState();
    s.canvas.restoreState();  // nothing saved: ignored
    EXPECT_EQ(s.canvas.font(), before);
    EXPECT_EQ(s.canvas.brush().color, QColor(1, 2, 3));
    EXPECT_EQ(s.canvas.pen(), CanvasPen{});
    s.canvas.setBrushColor(QColor(0, 0, 0));
    s.canvas.fillRect(Rect{0, 0, 50, 50});
    EXPECT_EQ(s.at(20, 20), kBlack) << "clip restored";
}

} // namespace
