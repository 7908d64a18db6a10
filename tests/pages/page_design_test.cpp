// Cross-checks of the two page design tables against each other: the two pages
// must differ only where the designs are meant to differ, so a slip in either
// table shows up as an unexpected difference.
#include "pages/page_design.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using pages::femalePageDesign;
using pages::ImageDesign;
using pages::LabelDesign;
using pages::malePageDesign;
using pages::PageDesign;
using pages::StripBitmap;

// The two pages print the same fonts, whether a label carries its own or takes the band's.
int printedFontHeight(const PageDesign& page, const LabelDesign& label)
{
    return label.parentFont ? page.band.font.height : label.fontHeight;
}

TEST(PageDesign, LabelsDifferOnlyWhereTheDesignsDo)
{
    const auto& m = malePageDesign().labels;
    const auto& f = femalePageDesign().labels;
    ASSERT_EQ(m.size(), 23u);
    ASSERT_EQ(f.size(), 23u);
    std::set<std::string> diffs;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const std::string n = m[i].name;
        EXPECT_EQ(n, f[i].name);
        EXPECT_EQ(n, "QRLabel" + std::to_string(i + 1));
        auto cmp = [&](const char* what, auto a, auto b) {
            if (a != b)
                diffs.insert(n + "." + what + " " + std::to_string(a) + "/" + std::to_string(b));
        };
        cmp("left", m[i].left, f[i].left);
        cmp("top", m[i].top, f[i].top);
        cmp("width", m[i].width, f[i].width);
        cmp("height", m[i].height, f[i].height);
        cmp("align", int(m[i].alignment), int(f[i].alignment));
        cmp("auto", m[i].autoSize, f[i].autoSize);
        cmp("font", printedFontHeight(malePageDesign(), m[i]),
            printedFontHeight(femalePageDesign(), f[i]));
        if (std::string(m[i].caption) != f[i].caption)
            diffs.insert(n + ".caption " + m[i].caption + "/" + f[i].caption);
    }
    const std::set<std::string> expected{
        "QRLabel6.caption La Sante/Health",
        "QRLabel7.left 239/247",
        "QRLabel9.left 666/690",
        "QRLabel13.left 511/519",
        "QRLabel14.left 503/511",
        "QRLabel15.left 495/511",
        "QRLabel15.top 548/556",
        "QRLabel16.left 320/304",
        "QRLabel17.left 554/578",
        "QRLabel19.caption Birthday/Birthdate",
        "QRLabel19.width 69/74",
        "QRLabel23.left 533/535",
        "QRLabel23.width 193/225",
    };
    EXPECT_EQ(diffs, expected);
}

// The placements once more, written out independently of the design tables:
// "name bitmap left,top width x height" and "label left,top width x height".
const char* const kMaleStrips =
    "Image1 H 32,11 161x17 Image2 H 179,11 158x17 Image3 H 339,11 158x17 Image4 H 491,11 158x17 "
    "Image5 H 651,11 158x17 Image6 H 771,11 125x17 Image7 H 879,747 161x17 Image8 V 1029,184 14x153 "
    "Image9 V 1029,32 14x153 Image10 V 1029,336 14x153 Image11 V 1029,480 14x153 "
    "Image12 V 1029,591 14x158 Image13 H 892,11 145x17 Image24 V 7,8 14x153 Image25 V 7,160 14x153 "
    "Image26 V 7,608 14x131 Image27 V 7,456 14x153 Image28 V 7,304 14x153 Image29 H 8,747 153x17 "
    "Image30 H 736,745 153x17 Image31 H 592,745 153x17 Image32 H 304,745 153x17 "
    "Image33 H 160,745 153x17 Image34 H 448,745 153x17";
const char* const kFemaleStrips =
    "Image1 H 40,19 153x17 Image2 H 187,19 158x17 Image3 H 339,19 158x17 Image4 H 499,19 158x17 "
    "Image5 H 659,19 158x17 Image6 H 891,19 158x17 Image8 V 1029,192 14x153 Image9 V 1029,40 14x153 "
    "Image10 V 1029,344 14x153 Image11 V 1029,488 14x153 Image12 V 1029,615 14x148 "
    "Image13 H 812,19 145x17 Image24 V 15,16 14x153 Image25 V 15,168 14x153 Image26 V 15,616 14x131 "
    "Image27 V 15,464 14x153 Image28 V 15,312 14x153 Image29 H 16,747 153x17 "
    "Image30 H 744,745 153x17 Image31 H 600,745 153x17 Image32 H 304,745 153x17 "
    "Image33 H 160,745 153x17 Image34 H 456,745 153x17 Image35 H 896,745 153x17";
const char* const kMaleLabels =
    "QRLabel1 247,82 578x41 QRLabel2 247,187 577x19 QRLabel3 247,260 577x19 QRLabel4 247,341 577x19 "
    "QRLabel5 247,422 577x19 QRLabel6 247,503 577x19 QRLabel7 239,592 577x19 QRLabel8 386,634 118x19 "
    "QRLabel9 666,634 58x22 QRLabel10 495,151 74x22 QRLabel11 487,224 93x22 QRLabel12 495,305 95x22 "
    "QRLabel13 511,386 38x22 QRLabel14 503,459 54x22 QRLabel15 495,548 64x22 QRLabel16 320,634 81x22 "
    "QRLabel17 554,634 105x19 QRLabel18 242,24 586x54 QRLabel19 383,128 69x22 QRLabel20 583,128 125x19 "
    "QRLabel21 247,673 577x19 QRLabel22 387,705 145x19 QRLabel23 533,705 193x19";

std::string stripsOf(const PageDesign& page)
{
    std::string out;
    for (const ImageDesign& i : page.images) {
        out += out.empty() ? "" : " ";
        out += std::string(i.name) + (i.bitmap == StripBitmap::Horizontal ? " H " : " V ") +
               std::to_string(i.left) + "," + std::to_string(i.top) + " " + std::to_string(i.width) + "x" +
               std::to_string(i.height);
    }
    return out;
}

std::string labelsOf(const PageDesign& page)
{
    std::string out;
    for (const LabelDesign& l : page.labels) {
        out += out.empty() ? "" : " ";
        out += std::string(l.name) + " " + std::to_string(l.left) + "," + std::to_string(l.top) + " " +
               std::to_string(l.width) + "x" + std::to_string(l.height);
    }
    return out;
}

TEST(PageDesign, PlacementsAreAsDesigned)
{
    EXPECT_EQ(stripsOf(malePageDesign()), kMaleStrips);
    EXPECT_EQ(stripsOf(femalePageDesign()), kFemaleStrips);
    // The female labels follow from these through LabelsDifferOnlyWhereTheDesignsDo.
    EXPECT_EQ(labelsOf(malePageDesign()), kMaleLabels);
}

} // namespace
