// The border strips must print exactly the glyphs of the pixel map, pixel by pixel.
#include "pages/border_strips.h"

#include "reference_strip.h"

#include <gtest/gtest.h>

namespace {

TEST(BorderStrips, OneBitStripsMatchThePixelMap)
{
    const QImage h = pages::horizontalBorderStrip();
    const QImage v = pages::verticalBorderStrip();
    ASSERT_EQ(h.size(), QSize(150, 15));
    ASSERT_EQ(v.size(), QSize(15, 150));
    for (const QImage& img : {h, v}) {
        EXPECT_EQ(img.format(), QImage::Format_Mono);
        ASSERT_EQ(img.colorCount(), 2);
        EXPECT_EQ(img.color(0), qRgb(0, 0, 0)); // black first, as the page's palette has it
        EXPECT_EQ(img.color(1), qRgb(255, 255, 255));
    }
    int wrongH = 0;
    int wrongV = 0;
    for (int a = 0; a < 150; ++a)
        for (int b = 0; b < 15; ++b) {
            wrongH += (h.pixel(a, b) == qRgb(0, 0, 0)) != pagetest::horizontalBlack(a, b);
            wrongV += (v.pixel(b, a) == qRgb(0, 0, 0)) != pagetest::verticalBlack(b, a);
        }
    EXPECT_EQ(wrongH, 0);
    EXPECT_EQ(wrongV, 0);
}

} // namespace
