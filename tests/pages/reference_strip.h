// An independent copy of the border glyph map, for checking what the pages print.
#pragma once

#include <array>
#include <string>

namespace pagetest {

// The horizontal strip as 15 rows of 150 characters, "#" black, "." white.
inline std::array<std::string, 15> referenceRows()
{
    static const char* glyphs[11][6] = {
        {"...........", "##.##.##...", ".#....#####", "##....##...", "..#...#...#", "##.....##"},
        {"...#####...", "########...", ".##.....###", "#######....", ".###.###.##", ".##...##."},
        {"..#######..", "########...", ".##....####", ".######....", "###########", ".##...##."},
        {"..##...##..", "##.##.##...", "..##..###.#", "....##.....", "##.###.###.", "..##.##.."},
        {"..##...##..", "##.##.##...", "...#####..#", "....##.....", "#...#...#..", "..##.##.."},
        {"####...####", "##.##.##...", "....###....", "...##.####.", "...........", "..##.##.."},
        {"###.....###", "##.##.##.##", "...####....", "...########", "..#...#...#", "#########"},
        {"...........", "##.##.####.", "..###.##...", "..##.##..##", ".###.###.##", "#########"},
        {"###########", "##.##.###..", ".###...###.", "..##.##..##", "###########", "..##.##.."},
        {"###########", "##.########", "###.....###", ".##..######", "##.###.###.", ".##...##."},
        {"...........", "##.####.###", "##.........", "......####.", "#...#...#..", ".##...##."},
    };
    std::array<std::string, 15> rows;
    rows.fill(std::string(150, '.'));
    for (int r = 0; r < 11; ++r) {
        std::string& row = rows[r + 2];
        row.replace(7, 11, glyphs[r][0]);
        row.replace(32, 11, glyphs[r][1]);
        row.replace(57, 11, glyphs[r][2]);
        row.replace(82, 11, glyphs[r][3]);
        row.replace(107, 11, glyphs[r][4]);
        row.replace(132, 9, glyphs[r][5]);
    }
    return rows;
}

// Whether the horizontal strip is black at column x, row y.
inline bool horizontalBlack(int x, int y)
{
    static const auto rows = referenceRows();
    return rows[y][x] == '#';
}

// The vertical strip is the horizontal one turned a quarter clockwise.
inline bool verticalBlack(int c, int r) { return horizontalBlack(r, 14 - c); }

} // namespace pagetest
