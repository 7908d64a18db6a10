// The preview draws pages off the window's thread and keeps the image: a page
// that takes long never freezes the window, and one over budget shows why.
#include "report_windows/qr_preview.h"

#include "platform/emf_player.h"
#include "report_fixtures.h"
#include "report_windows/qr_preview_zoom.h"
#include "tools/hostile_pages.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace {

// The image as the window shows it, once the worker has finished drawing it.
QImage shown(TQRCustomPreview& image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(QColor(0, 255, 0));
    image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    if (image.drawing()) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !image.drawing(); }, 60'000));
        QCoreApplication::processEvents();
        image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    return out;
}

int countColour(const QImage& img, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

TEST(PreviewDrawing, APageLooksTheSameDrawnOffTheWindowThreadAloneOrInsideTheWindow)
{
    // Lines and rectangles before clipped, opaque text beyond ASCII: drawn on the
    // worker, and inside the window through a translated painter, it must lose nothing.
    Store s;
    s.store.BeginDoc();
    platform::Canvas& c = s.store.canvas();
    c.setPen(platform::CanvasPen{Qt::black, 1, platform::PenStyle::Solid});
    c.rectangle({5, 5, 400, 200});
    c.moveTo(10, 150);
    c.lineTo(390, 150);
    c.setFont({QStringLiteral("Times New Roman"), 40, true});
    c.setTextAlign({platform::HAlign::Center, platform::VAlign::Top});
    c.textOut(200, 40, {20, 40, 380, 90}, platform::TextOpaque | platform::TextClipped,
              QStringLiteral("Courageous \u00C6 \u20AC"));
    s.store.EndDoc();

    const QSize size = report::zoom::imageSize({s.store.physicalWidth(), s.store.physicalHeight()}, 100);
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(QColor(0, 255, 0));
    {
        QPainter painter(&direct);
        report::paintPreviewPage(painter, s.store, size, 100);
    }
    TQRCustomPreview alone(s.store);
    alone.resize(size);
    EXPECT_EQ(shown(alone), direct);

    QWidget parent;
    parent.resize(size + QSize(60, 40));
    TQRCustomPreview inside(s.store, &parent);
    inside.setGeometry(QRect(QPoint(37, 23), size));
    shown(inside);
    QImage whole(parent.size(), QImage::Format_RGB32);
    whole.fill(QColor(0, 255, 0));
    parent.render(&whole, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(whole.copy(QRect(QPoint(37, 23), size)), direct);
}

TEST(PreviewDrawing, APageOverBudgetShowsItsErrorOnBlankPaper)
{
    const int over = static_cast<int>(platform::EmfBudget::maxOperations) / 2 + 1;
    Store s;
    s.store.adoptPages({hostile::triangles(2, over)}, hostile::kPageWidth, hostile::kPageHeight);
    // The first record draws, the second goes over.
    TQRCustomPreview image(s.store);
    image.resize(1203, 842);
    image.setZoom(100);
    const QImage img = shown(image);
    EXPECT_EQ(countColour(img, qRgb(0x40, 0x80, 0xC0)), 0) << "no triangle of the refused page";
    int ink = 0;  // the message, in the middle of the page
    for (int y = 380; y < 460; ++y)
        for (int x = 300; x < 900; ++x)
            ink += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(ink, 100);
}

TEST(PreviewDrawing, TheWindowAnswersInputWhileALongPageIsDrawnAndKeepsTheImage)
{
    // The slowest kind of page within budget: 200,000 characters no face has,
    // about half a second even in an optimised build.
    const int glyphs = static_cast<int>(platform::EmfBudget::maxGlyphs);
    Store s;
    s.store.adoptPages({hostile::text(4, glyphs / 4, -8, QChar(0xE000)), hostile::triangles(1, 10)},
                       hostile::kPageWidth, hostile::kPageHeight);
    TQRStandardPreview p(s.store);
    p.window()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p.window()));
    TQRCustomPreview* image = p.preview()->pageImage();
    if (!image->drawing())
        image->repaint();  // the paint returns while the page is still drawn
    ASSERT_TRUE(image->drawing());
    QTest::mouseClick(p.nextButton(), Qt::LeftButton);
    EXPECT_EQ(p.pageIndicator()->text(), QStringLiteral("Page 2 of 2"));

    // Back on the long page: drawn once, then every repaint reuses its image.
    QTest::mouseClick(p.firstButton(), Qt::LeftButton);
    shown(*image);
    image->repaint();
    EXPECT_FALSE(image->drawing()) << "a repaint of the same view draws nothing anew";
    p.preview()->setZoom(50);
    image->repaint();
    EXPECT_TRUE(image->drawing()) << "a new zoom draws the page anew";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !image->drawing(); }, 60'000));
    p.window()->close();
}

} // namespace
