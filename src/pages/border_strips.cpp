#include "pages/border_strips.h"

#include <array>

namespace pages {

namespace {

// The glyph rows of the horizontal strip, "#" black and "." white. The glyphs
// occupy rows 2 to 12; every other row and column of the strip is white.
constexpr int kFirstGlyphRow = 2;
constexpr std::array<int, 6> kGlyphFirstColumn{7, 32, 57, 82, 107, 132};

constexpr std::array<std::array<const char*, 6>, 11> kGlyphRows{{
    //  Libra          Scorpio        Sagittarius    Capricorn      Aquarius       Pisces
    {{"...........", "##.##.##...", ".#....#####", "##....##...", "..#...#...#", "##.....##"}},
    {{"...#####...", "########...", ".##.....###", "#######....", ".###.###.##", ".##...##."}},
    {{"..#######..", "########...", ".##....####", ".######....", "###########", ".##...##."}},
    {{"..##...##..", "##.##.##...", "..##..###.#", "....##.....", "##.###.###.", "..##.##.."}},
    {{"..##...##..", "##.##.##...", "...#####..#", "....##.....", "#...#...#..", "..##.##.."}},
    {{"####...####", "##.##.##...", "....###....", "...##.####.", "...........", "..##.##.."}},
    {{"###.....###", "##.##.##.##", "...####....", "...########", "..#...#...#", "#########"}},
    {{"...........", "##.##.####.", "..###.##...", "..##.##..##", ".###.###.##", "#########"}},
    {{"###########", "##.##.###..", ".###...###.", "..##.##..##", "###########", "..##.##.."}},
    {{"###########", "##.########", "###.....###", ".##..######", "##.###.###.", ".##...##."}},
    {{"...........", "##.####.###", "##.........", "......####.", "#...#...#..", ".##...##."}},
}};

constexpr uint kBlackIndex = 0;
constexpr uint kWhiteIndex = 1;

QImage blankStrip(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(kWhiteIndex);
    return image;
}

QImage buildHorizontal()
{
    QImage image = blankStrip(kStripLength, kStripThickness);
    for (std::size_t row = 0; row < kGlyphRows.size(); ++row) {
        for (std::size_t glyph = 0; glyph < kGlyphFirstColumn.size(); ++glyph) {
            const char* cells = kGlyphRows[row][glyph];
            for (std::size_t i = 0; cells[i] != '\0'; ++i) {
                if (cells[i] == '#')
                    image.setPixel(kGlyphFirstColumn[glyph] + int(i), kFirstGlyphRow + int(row),
                                   kBlackIndex);
            }
        }
    }
    return image;
}

QImage buildVertical(const QImage& horizontal)
{
    QImage image = blankStrip(kStripThickness, kStripLength);
    for (int r = 0; r < kStripLength; ++r)
        for (int c = 0; c < kStripThickness; ++c)
            image.setPixel(c, r, horizontal.pixelIndex(r, kStripThickness - 1 - c));
    return image;
}

} // namespace

QImage horizontalBorderStrip()
{
    // Built once; QImage copies share the pixels until someone writes to them.
    static const QImage strip = buildHorizontal();
    return strip;
}

QImage verticalBorderStrip()
{
    static const QImage strip = buildVertical(horizontalBorderStrip());
    return strip;
}

QImage borderStrip(StripBitmap which)
{
    return which == StripBitmap::Horizontal ? horizontalBorderStrip() : verticalBorderStrip();
}

} // namespace pages
