// A page recorded as EMF and played back must look like the same page painted
// directly; and other programs must be able to read the recorded page.
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "support/paint_surface.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>

using namespace platform;

namespace {

// A small 1-bit glyph, like the page borders' astrological signs.
QImage borderGlyph(int seed)
{
    QImage img(30, 17, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    img.fill(0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (((x * 7 + y * 3 + seed) % 11) < 3 || x == seed % 30)
                img.setPixel(x, y, 1);
    return img;
}

struct PageLabel {
    int left, top, width, height;
    HAlign align;
    int fontHeight;
    const char* text;
    bool clipped;
};

// A page like a profile page: background, labels in every style the pages
// use (each alignment, clipped or not, opaque or not, sizes, faces, underline,
// a coloured font and fill, non-Latin text), 24 border bitmaps, a frame.
void drawPage(Canvas& c, int width, int height)
{
    c.setBrushColor(QColor(255, 255, 255));
    c.fillRect(Rect{0, 0, width, height});
    static const PageLabel labels[] = {
        {247, 20, 578, 50, HAlign::Center, 48, "Alexandra Pemberton", false},
        {247, 82, 578, 41, HAlign::Center, 35, "Aries", true},
        {247, 187, 577, 19, HAlign::Center, 19, "Courageous, determined and confident", true},
        {386, 634, 118, 19, HAlign::Center, 19, "Diamond, too long to fit", true},
        {666, 634, 58, 22, HAlign::Left, 19, "Red", false},
        {495, 151, 74, 22, HAlign::Center, 19, "Strengths", false},
        {300, 700, 150, 22, HAlign::Right, 19, "Lucky Numbers", false},
        {60, 740, 300, 19, HAlign::Right, 19, "\xc3\x86sop \xe2\x82\xac 5", true},
    };
    for (size_t i = 0; i < std::size(labels); ++i) {
        const PageLabel& l = labels[i];
        CanvasFont f;
        f.face = i % 4 == 3 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
        f.height = l.fontHeight;
        f.bold = true;
        f.italic = i % 3 != 2;
        f.underline = i == 5;
        f.color = i == 2 ? QColor(0, 0, 128) : QColor(0, 0, 0);
        c.setFont(f);
        c.setBrushColor(i == 4 ? QColor(255, 255, 200) : QColor(255, 255, 255));
        const bool transparent = i == 6;
        c.setBackgroundMode(transparent ? BackgroundMode::Transparent : BackgroundMode::Opaque);
        const QString text = QString::fromUtf8(l.text);
        const int w = l.clipped ? l.width : c.textWidth(text);
        const Rect r{l.left, l.top, l.left + w, l.top + l.height};
        int x = r.left;
        if (l.align == HAlign::Right)
            x = r.right;
        else if (l.align == HAlign::Center)
            x = r.left + (r.right - r.left) / 2;
        c.setTextAlign(TextAlign{l.align, VAlign::Top});
        c.textOut(x, r.top, r, (transparent ? 0u : TextOpaque) | (l.clipped ? TextClipped : 0u), text);
    }
    for (int i = 0; i < 24; ++i) {
        const QImage g = borderGlyph(i);
        if (i < 12)
            c.drawImage(20 + i * 88, i % 2 ? 4 : 728, g);
        else
            c.drawImage(i % 2 ? 8 : 1050, 40 + (i - 12) * 56, g);
    }
    c.setPen(CanvasPen{QColor(0, 0, 0), 1, PenStyle::Solid});
    c.moveTo(2, 2);
    c.lineTo(width - 3, 2);
    c.lineTo(width - 3, height - 3);
    c.setPen(CanvasPen{QColor(200, 0, 0), 3, PenStyle::Solid});
    c.moveTo(100, 30);
    c.lineTo(200, 30);
}

constexpr int kW = 1090;
constexpr int kH = 762;

constexpr QRgb kGround = qRgb(90, 90, 90);

QByteArray recordPage()
{
    EmfRecorder rec(kW, kH, 96);
    drawPage(rec, kW, kH);
    return rec.finish();
}

QImage paintDirect()
{
    Surface s(kW, kH, kGround);
    drawPage(s.canvas, kW, kH);
    return s.done();
}

QImage playBack(const QByteArray& emf, const Rect& target)
{
    Surface s(kW, kH, kGround);
    playEmf(emf, s.canvas, target);
    return s.done();
}

// Differing pixels, and the largest channel difference among them.
std::pair<int, int> compare(const QImage& a, const QImage& b)
{
    int count = 0, worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (pa[x] == pb[x])
                continue;
            ++count;
            worst = std::max({worst, std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                              std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
        }
    }
    return {count, worst};
}

// The recorded page played back, and played again after drawMetafile recorded
// it into another page, looks like the same page painted directly; played into
// a smaller rectangle, it fills exactly that rectangle.
TEST(EmfRoundTrip, PlayedAndReRecordedPagesMatchDirectPaintingAndFillTheTarget)
{
    const QByteArray page = recordPage();
    EmfRecorder outer(kW, kH, 96);
    outer.drawMetafile(Rect{0, 0, kW, kH}, page);
    const QByteArray nested = outer.finish();
    const QImage direct = paintDirect();
    for (const QByteArray& emf : {page, nested}) {
        const auto [count, worst] = compare(direct, playBack(emf, Rect{0, 0, kW, kH}));
        // Every glyph sits at the same whole pixel with the same size, so the page
        // should come back identical; a handful of anti-aliased edge pixels may
        // differ where the rasteriser sees a sub-pixel offset of the frame scale.
        EXPECT_LE(count, kW * kH / 2000) << "worst channel difference " << worst;
    }

    // Half size, shifted: the black 1-pixel line along the page top lands at
    // the target's top, the background fill covers exactly the target.
    const QImage img = playBack(page, Rect{100, 50, 100 + kW / 2, 50 + kH / 2});
    EXPECT_EQ(img.pixel(99, 200), kGround);
    EXPECT_EQ(img.pixel(100 + kW / 2, 200), kGround);
    EXPECT_EQ(img.pixel(300, 49), kGround);
    EXPECT_EQ(img.pixel(300, 50 + kH / 2), kGround);
    EXPECT_NE(img.pixel(100, 200), kGround);
    EXPECT_NE(img.pixel(99 + kW / 2, 200), kGround);
    EXPECT_EQ(img.pixel(300, 51), qRgb(0, 0, 0));
}

// Other EMF readers must accept our pages. LibreOffice renders the page onto
// an A4 sheet; we check that it converts and that the result is not blank.
TEST(EmfRoundTrip, LibreOfficeReadsTheRecordedPage)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    testsupport::TempDir dir;
    const auto emfPath = dir.path() / "page.emf";
    const QByteArray emf = recordPage();
    testsupport::writeFileBytes(emfPath, std::vector<unsigned char>(emf.begin(), emf.end()));
    QProcess proc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QString::fromStdString(dir.path().string()));
    proc.setProcessEnvironment(env);
    proc.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("png"),
                         QStringLiteral("--outdir"), QString::fromStdString(dir.path().string()),
                         QString::fromStdString(emfPath.string())});
    ASSERT_TRUE(proc.waitForFinished(120000));
    const QImage png(QString::fromStdString((dir.path() / "page.png").string()));
    ASSERT_FALSE(png.isNull()) << proc.readAllStandardError().toStdString();
    int dark = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            dark += qGray(png.pixel(x, y)) < 100;
    // Text, glyph bitmaps and the frame lines all leave dark pixels.
    EXPECT_GT(dark, 2000);
    if (const char* keep = std::getenv("STELLARO_KEEP_EMF_RENDER"))
        QFile::copy(QString::fromStdString((dir.path() / "page.png").string()), QString::fromLocal8Bit(keep));
}

} // namespace
