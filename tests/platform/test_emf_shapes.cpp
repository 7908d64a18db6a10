// Records as other programs write them, most of which our writer never writes:
// fills, lines and map modes as Windows records them, paths, fill modes, clip
// regions and paths, wide pens' ends, joins and dashes, palette-index and
// halftone-shrunk bitmaps, hatch brushes, blends and gradients. Each case fills with red and looks at pixels that the records
// must paint or leave white.
#include "platform/emf_builder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
constexpr std::uint32_t kNullPen = 0x80000008;

std::uint32_t xy16(int x, int y) { return std::uint32_t(std::uint16_t(x)) | (std::uint32_t(std::uint16_t(y)) << 16); }

// Red brush in slot 1 and no pen: fills show as red, with no outline.
EmfBuilder redFill()
{
    EmfBuilder b;
    b.rec(39, {1, 0, colorRef(0xFF0000), 0}).rec(37, {1}).rec(37, {kNullPen});
    return b;
}
// The whole frame filled with the brush, as Windows records FillRect.
void fillAll(EmfBuilder& b)
{
    b.rec(76, {0, 0, 99, 99, 0, 0, 100, 100, 0x00F00021, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0});
}
void triangle(EmfBuilder& b)
{
    b.rec(59, {}).rec(27, {10, 10}).rec(54, {90, 10}).rec(54, {10, 90}).rec(61, {}).rec(60, {});
}
// Two squares, 10..90 and 30..70, both drawn the same way round.
void rings(EmfBuilder& b)
{
    b.rec(91, {0, 0, 100, 100, 2, 8, 4, 4, xy16(10, 10), xy16(90, 10), xy16(90, 90), xy16(10, 90), xy16(30, 30),
               xy16(70, 30), xy16(70, 70), xy16(30, 70)});
}
// EXTSELECTCLIPRGN with the rectangles given (left, top, right, bottom each).
void clipRegion(EmfBuilder& b, std::uint32_t mode, const std::vector<std::uint32_t>& rects)
{
    const auto n = static_cast<std::uint32_t>(rects.size() / 4);
    std::vector<std::uint32_t> r{75, 0, 32 + 16 * n, mode, 32, 1, n, 16 * n, 0, 0, 100, 100};
    r.insert(r.end(), rects.begin(), rects.end());
    r[1] = static_cast<std::uint32_t>(4 * r.size());
    b.raw(r);
}

// A one-pixel, two-colour bitmap stretched over [x, x + 50) x [0, 100), whose colour
// table holds the palette indices `first` and `second`; its pixel takes the second.
void paletteBitmap(EmfBuilder& b, int x, std::uint16_t first, std::uint16_t second, bool takesSecond)
{
    b.raw({81, 128, 0, 0, 99, 99, std::uint32_t(x), 0, 0, 0, 1, 1, 80, 44, 124, 4, 1, 0x00CC0020, 50, 100,
           40, 1, 1, 1 | (1 << 16), 0, 0, 0, 0, 2, 0, first | (std::uint32_t(second) << 16), takesSecond ? 0x80u : 0u});
}

// A pixel and its colour: exact, or within `tolerance` in each channel.
struct Probe {
    int x, y;
    QRgb color;
    int tolerance = 0;
};
struct Case {
    const char* name;
    std::function<void(EmfBuilder&)> records;
    std::vector<Probe> probes;
};

// Fills, lines, map modes, paths, fill modes, clip regions and paths, chords and
// pies paint exactly where Windows paints; ALPHABLEND with the bitmap's own (premultiplied) alpha and with
// a constant alpha, GRADIENTFILL across a rectangle, and a destination-inverting
// fill give colours within 3 of what Windows computes.
TEST(EmfPlayerShapes, ShapesClipsBlendsAndGradientsPaintWhatWindowsPaints)
{
    auto blend = [](std::uint32_t constantAlpha, std::uint32_t alphaFormat, std::uint32_t pixel) {
        return std::vector<std::uint32_t>{114, 152, 0, 0, 99, 99, 0, 0, 100, 100, (constantAlpha << 16) | (alphaFormat << 24),
                                          0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 108, 40, 148, 4, 1, 1,
                                          40, 1, 1, 1 | (32 << 16), 0, 4, 0, 0, 0, 0, pixel};
    };
    const std::vector<Case> cases = {
        {"fills, lines and shapes as Windows records them",
         [](EmfBuilder& b) {
             b.rec(76, {10, 10, 29, 29, 10, 10, 20, 20, 0x00F00021, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0})
                 .rec(37, {0x80000000}) // stock white brush, and the red one deleted
                 .rec(40, {1})
                 .rec(95, {2, 0, 0, 0, 0, 0x00010000, 3, 0, colorRef(0x0000FF), 0, 0}) // geometric blue pen, width 3
                 .rec(37, {2})
                 .rec(27, {40, 60})
                 .rec(54, {90, 60})
                 .rec(37, {0x80000007}) // stock black pen
                 .rec(43, {40, 70, 60, 90});
         },
         {{15, 15, kRed}, {29, 29, kRed}, {30, 30, kWhite}, {60, 60, 0xFF0000FF}, {40, 70, kBlack}, {50, 80, kWhite}}},
        {"map mode, and save and restore of the window origin",
         [](EmfBuilder& b) {
             b.rec(17, {8})                                   // MM_ANISOTROPIC
                 .rec(9, {1000, 1000})                        // window 1000 x 1000 ...
                 .rec(11, {100, 100})                         // ... onto viewport 100 x 100 device pixels
                 .rec(33, {})
                 .rec(10, {static_cast<std::uint32_t>(-500), 0}) // window origin moved: logical 0 is at x 50
                 .rec(34, {static_cast<std::uint32_t>(-1)})
                 .rec(39, {2, 0, 0, 0})
                 .rec(37, {2})
                 .rec(76, {0, 0, 0, 0, 200, 200, 100, 100, 0x00F00021, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0})
                 .rec(34, {static_cast<std::uint32_t>(-5)}) // deeper than saved: ignored
                 .rec(34, {3});                             // absolute: ignored
         },
         {{19, 19, kWhite}, {20, 20, kBlack}, {29, 29, kBlack}, {30, 30, kWhite}}},
        {"wide pens: flat and square ends, miters to the limit and bevels past it, dashes in line widths",
         [](EmfBuilder& b) {
             auto pen = [&](std::uint32_t slot, std::uint32_t style, std::uint32_t width) {
                 b.rec(95, {slot, 0, 0, 0, 0, 0x00010000 | style, width, 0, colorRef(0xFF0000), 0, 0}).rec(37, {slot});
             };
             auto vee = [&](int x) {
                 b.rec(87, {0, 0, 100, 100, 3, xy16(x, 95), xy16(x + 20, 65), xy16(x + 40, 95)});
             };
             pen(2, 0x2200, 10);  // flat ends, miter joins
             b.rec(27, {20, 8}).rec(54, {80, 8});
             vee(5);
             b.rec(58, {1});  // every corner's miter is now too long
             vee(55);
             pen(3, 0x0100, 12);  // square ends
             b.rec(27, {20, 25}).rec(54, {80, 25});
             pen(4, 0x2201, 4);  // dashes of 3 widths, gaps of 1
             b.rec(27, {10, 40}).rec(54, {90, 40});
         },
         {{17, 8, kWhite}, {22, 8, kRed}, {15, 20, kRed}, {15, 40, kRed}, {23, 40, kWhite}, {30, 40, kRed},
          {25, 59, kRed}, {75, 59, kWhite}, {75, 64, kRed}}},
        {"pens of their own style: dashes in logical units, and every other pixel",
         [](EmfBuilder& b) {
             b.rec(95, {2, 0, 0, 0, 0, 0x00010207, 4, 0, colorRef(0xFF0000), 0, 2, 8, 4}).rec(37, {2});
             b.rec(27, {10, 50}).rec(54, {90, 50});
             b.rec(95, {3, 0, 0, 0, 0, 0x00000008, 1, 0, colorRef(0xFF0000), 0, 0}).rec(37, {3});
             b.rec(27, {10, 80}).rec(54, {90, 80});
         },
         {{14, 50, kRed}, {19, 50, kWhite}, {25, 50, kRed}, {10, 80, kRed}, {11, 80, kWhite}, {12, 80, kRed}}},
        {"a closed figure's stroke joins at its start",
         [](EmfBuilder& b) {
             b.rec(95, {2, 0, 0, 0, 0, 0x00012200, 10, 0, colorRef(0xFF0000), 0, 0}).rec(37, {2});
             b.rec(59, {}).rec(27, {20, 20}).rec(54, {80, 20}).rec(54, {80, 80}).rec(54, {20, 80}).rec(61, {});
             b.rec(60, {}).rec(64, {0, 0, 100, 100});
         },
         {{16, 16, kRed}, {84, 84, kRed}, {50, 50, kWhite}}},
        {"a bitmap shrunk in halftone mode averages its pixels",
         [](EmfBuilder& b) {
             // Black, white, black, white, 24 bits each, squeezed into two columns.
             b.rec(21, {4}).raw({81, 132, 0, 0, 99, 99, 0, 0, 0, 0, 4, 1, 80, 40, 120, 12, 0, 0x00CC0020, 2, 100,
                                 40, 4, 1, 1 | (24 << 16), 0, 0, 0, 0, 0, 0, 0xFF000000, 0x0000FFFF, 0xFFFFFF00});
         },
         {{0, 50, 0xFF808080, 40}, {1, 50, 0xFF808080, 40}}},
        {"palette-index bitmaps take Windows' default palette, and past its end black",
         [](EmfBuilder& b) { paletteBitmap(b, 0, 13, 16, false); paletteBitmap(b, 50, 13, 200, true); },
         {{25, 50, kRed}, {75, 50, kBlack}}},
        {"palette-index bitmaps take the palette selected, as its entries were last set",
         [](EmfBuilder& b) {
             b.rec(49, {2, 0x300 | (2 << 16), 0x0000FF00, 0x00FF0000})  // green, blue
                 .rec(50, {2, 1, 1, 0x000000FF})                        // blue becomes red
                 .rec(48, {2});
             paletteBitmap(b, 0, 0, 1, false);
             paletteBitmap(b, 50, 0, 1, true);
         },
         {{25, 50, 0xFF00FF00}, {75, 50, kRed}}},
        {"filled path", [](EmfBuilder& b) { triangle(b); b.rec(62, {0, 0, 100, 100}); },
         {{20, 20, kRed}, {80, 80, kWhite}}},
        {"stroked path is not filled",
         [](EmfBuilder& b) { b.rec(37, {0x80000007}); triangle(b); b.rec(64, {0, 0, 100, 100}); },
         {{50, 10, kBlack}, {20, 20, kWhite}}},
        {"figures outside a path bracket are not part of it",
         [](EmfBuilder& b) { b.rec(43, {60, 60, 90, 90}); triangle(b); b.rec(68, {}).rec(62, {0, 0, 100, 100}); },
         {{20, 20, kWhite}, {70, 70, kRed}}},
        {"alternate fill leaves the inner ring empty", [](EmfBuilder& b) { rings(b); },
         {{20, 50, kRed}, {50, 50, kWhite}}},
        {"winding fill fills it", [](EmfBuilder& b) { b.rec(19, {2}); rings(b); },
         {{20, 50, kRed}, {50, 50, kRed}}},
        {"region replaces the clip", [](EmfBuilder& b) { clipRegion(b, 5, {0, 0, 50, 100}); fillAll(b); },
         {{25, 50, kRed}, {75, 50, kWhite}}},
        {"regions combine by xor",
         [](EmfBuilder& b) { clipRegion(b, 5, {0, 0, 60, 100}); clipRegion(b, 3, {40, 0, 100, 100}); fillAll(b); },
         {{20, 50, kRed}, {50, 50, kWhite}, {80, 50, kRed}}},
        {"regions combine by union, then difference",
         [](EmfBuilder& b) {
             clipRegion(b, 5, {0, 0, 20, 100});
             clipRegion(b, 2, {80, 0, 100, 100});
             clipRegion(b, 4, {0, 0, 10, 100});
             fillAll(b);
         },
         {{5, 50, kWhite}, {15, 50, kRed}, {50, 50, kWhite}, {90, 50, kRed}}},
        {"an empty copy resets the clip",
         [](EmfBuilder& b) { clipRegion(b, 5, {0, 0, 10, 10}); b.rec(75, {0, 5}); fillAll(b); },
         {{50, 50, kRed}}},
        {"excluded rectangle and moved clip",
         [](EmfBuilder& b) { b.rec(30, {0, 0, 50, 100}).rec(29, {0, 0, 10, 100}).rec(26, {40, 0}); fillAll(b); },
         {{45, 50, kWhite}, {55, 50, kRed}, {89, 50, kRed}, {95, 50, kWhite}}},
        {"clip path", [](EmfBuilder& b) { triangle(b); b.rec(67, {5}); fillAll(b); },
         {{20, 20, kRed}, {80, 80, kWhite}}},
        {"region data that does not fit is ignored",
         [](EmfBuilder& b) { b.rec(75, {48, 5, 32, 1, 0x40000001, 16, 0, 0, 10, 10, 0, 0, 10, 10}); fillAll(b); },
         {{50, 50, kRed}}},
        {"chord", [](EmfBuilder& b) { b.rec(46, {10, 10, 90, 90, 90, 50, 10, 50}); },
         {{50, 30, kRed}, {50, 70, kWhite}}},
        {"pie inside a path", [](EmfBuilder& b) {
             b.rec(59, {}).rec(47, {10, 10, 90, 90, 50, 90, 90, 50}).rec(60, {}).rec(62, {0, 0, 100, 100});
         },
         {{70, 70, kRed}, {30, 30, kWhite}}},
        {"bitmap alpha", [&](EmfBuilder& b) { b.raw(blend(255, 1, 0x80800000)); }, {{50, 50, 0xFFFF7F7F, 3}}},
        {"constant alpha", [&](EmfBuilder& b) { b.raw(blend(128, 0, 0x00FF0000)); }, {{50, 50, 0xFFFF7F7F, 3}}},
        {"horizontal gradient",
         [](EmfBuilder& b) { b.rec(118, {0, 0, 100, 100, 2, 1, 0, 0, 0, 0xFF00, 0, 100, 100, 0, 0xFF00, 0, 1}); },
         {{0, 50, kRed, 3}, {99, 50, 0xFF0000FF, 3}, {50, 50, 0xFF7F007F, 3}}},
        {"destination inverted", [](EmfBuilder& b) {
             fillAll(b);
             b.rec(76, {0, 0, 49, 99, 0, 0, 50, 100, 0x00550009, 0, 0, f32(1), 0, 0, f32(1), 0, 0, 0, 0, 0, 0, 0, 0});
         },
         {{25, 50, 0xFF00FFFF, 3}, {75, 50, kRed, 3}}},
    };
    for (const Case& c : cases) {
        EmfBuilder b = redFill();
        c.records(b);
        const auto s = play(b);
        for (const Probe& p : c.probes) {
            const QRgb got = s->at(p.x, p.y);
            EXPECT_LE(std::max({std::abs(qRed(got) - qRed(p.color)), std::abs(qGreen(got) - qGreen(p.color)),
                                std::abs(qBlue(got) - qBlue(p.color))}),
                      p.tolerance)
                << c.name << " at " << p.x << "," << p.y << ": " << std::hex << got;
        }
        EXPECT_FALSE(s->painter.hasClipping()) << c.name << ": the page's clip outlived it";
    }
}

// A hatched brush paints its lines in its colour and, in transparent mode,
// leaves the paper between them.
TEST(EmfPlayerShapes, HatchedBrushPaintsLinesNotAFlatColour)
{
    for (std::uint32_t hatch = 0; hatch <= 5; ++hatch) {
        EmfBuilder b;
        b.rec(18, {1}).rec(39, {1, 2, colorRef(0xFF0000), hatch}).rec(37, {1}).rec(37, {kNullPen}).rec(43, {0, 0, 100, 100});
        const auto s = play(b);
        int red = 0;
        for (int y = 10; y < 90; ++y)
            for (int x = 10; x < 90; ++x)
                red += s->at(x, y) == kRed;
        EXPECT_GT(red, 80 * 80 / 20) << "hatch " << hatch;
        EXPECT_LT(red, 80 * 80 / 2) << "hatch " << hatch;
    }
}

// SMALLTEXTOUT in 8-bit characters without a rectangle draws its text; a
// character count that the record cannot hold draws nothing.
TEST(EmfPlayerShapes, SmallTextOutDrawsItsTextOnlyWhenTheCountFits)
{
    for (const std::uint32_t count : {4u, 5u, 0x40000001u}) {
        EmfBuilder b;
        // x, y, cChars, ETO_NO_RECT | ETO_SMALL_CHARS, graphics mode, scales, "Text"
        b.rec(108, {10, 10, count, 0x300, 1, f32(1), f32(1), 'T' | ('e' << 8) | ('x' << 16) | ('t' << 24)});
        EXPECT_EQ(!play(b)->inkBox().isEmpty(), count == 4) << count;
    }
}

// Region rectangles pay for themselves before any is read into a region, and
// a clip of many rectangles pays again each time a record moves or combines it.
TEST(EmfPlayerShapes, ClipRegionRectanglesCountAgainstThePointBudget)
{
    struct Case {
        std::uint32_t rects;
        int offsets;
    };
    for (const Case c : {Case{static_cast<std::uint32_t>(EmfBudget::maxPoints / 4 + 1), 0}, Case{10'000, 100}}) {
        std::vector<std::uint32_t> rects;
        for (std::uint32_t i = 0; i < c.rects; ++i)  // separate pixels, so that none merge
            rects.insert(rects.end(), {2 * (i % 100), 2 * (i / 100 % 100), 2 * (i % 100) + 1, 2 * (i / 100 % 100) + 1});
        EmfBuilder b;
        clipRegion(b, 5, rects);
        for (int i = 0; i < c.offsets; ++i)
            b.rec(26, {static_cast<std::uint32_t>(i % 2 ? -1 : 1), 0});
        EXPECT_THROW(play(b), EmfTooComplex) << c.rects;
    }
}

} // namespace
