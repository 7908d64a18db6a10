// The border strips must print exactly the glyphs of the pixel map, pixel by pixel.
#include "pages/border_strips.h"

#include "reference_strip.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using pages::horizontalBorderStrip;
using pages::verticalBorderStrip;

using pagetest::referenceRows;

bool isBlack(const QImage& img, int x, int y) { return img.pixel(x, y) == qRgb(0, 0, 0); }

std::string describe(const QImage& img)
{
    std::string out;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            out += isBlack(img, x, y) ? '#' : '.';
        out += '\n';
    }
    return out;
}

TEST(BorderStrips, BothAreOneBitWithBlackThenWhitePalette)
{
    for (const QImage& img : {horizontalBorderStrip(), verticalBorderStrip()}) {
        EXPECT_EQ(img.format(), QImage::Format_Mono);
        ASSERT_EQ(img.colorCount(), 2);
        EXPECT_EQ(img.color(0), qRgb(0, 0, 0));
        EXPECT_EQ(img.color(1), qRgb(255, 255, 255));
    }
    EXPECT_EQ(horizontalBorderStrip().size(), QSize(150, 15));
    EXPECT_EQ(verticalBorderStrip().size(), QSize(15, 150));
}

TEST(BorderStrips, HorizontalMatchesThePixelMap)
{
    const QImage h = horizontalBorderStrip();
    const auto rows = referenceRows();
    std::string expected;
    for (const auto& row : rows)
        expected += row + '\n';
    EXPECT_EQ(describe(h), expected);
}

TEST(BorderStrips, VerticalIsTheHorizontalTurnedClockwise)
{
    // Turning the reference a quarter clockwise: column c of V is row 14 - c of H.
    const QImage v = verticalBorderStrip();
    const auto rows = referenceRows();
    int mismatches = 0;
    for (int r = 0; r < 150; ++r)
        for (int c = 0; c < 15; ++c)
            if (isBlack(v, c, r) != (rows[14 - c][r] == '#'))
                ++mismatches;
    EXPECT_EQ(mismatches, 0) << describe(v);
}

} // namespace
