#include "pages/page_design.h"

#include <array>

namespace pages {

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr const char* kFace = "Times New Roman";

constexpr auto C = TextAlignment::Centre;
constexpr auto L = TextAlignment::Left;
constexpr auto H = StripBitmap::Horizontal;
constexpr auto V = StripBitmap::Vertical;

// On the male page every label carries its own font.
constexpr std::array<LabelDesign, 23> kMaleLabels{{
    // name         left  top  width height align auto  caption            parent font
    {"QRLabel1",    247,  82,  578,  41,   C,    false, "QRLabel1",        false, 35},
    {"QRLabel2",    247,  187, 577,  19,   C,    false, "QRLabel2",        false, 19},
    {"QRLabel3",    247,  260, 577,  19,   C,    false, "Les Faiblesses",  false, 19},
    {"QRLabel4",    247,  341, 577,  19,   C,    false, "Les Amities",     false, 19},
    {"QRLabel5",    247,  422, 577,  19,   C,    false, "Aimer",           false, 19},
    {"QRLabel6",    247,  503, 577,  19,   C,    false, "La Sante",        false, 19},
    {"QRLabel7",    239,  592, 577,  19,   C,    false, "La Fortune",      false, 19},
    {"QRLabel8",    386,  634, 118,  19,   C,    false, "QRLabel8",        false, 19},
    {"QRLabel9",    666,  634, 58,   22,   L,    true,  "Colerer",         false, 19},
    {"QRLabel10",   495,  151, 74,   22,   C,    true,  "Strengths",       false, 19},
    {"QRLabel11",   487,  224, 93,   22,   C,    true,  "Weaknesses",      false, 19},
    {"QRLabel12",   495,  305, 95,   22,   C,    true,  "Friendships",     false, 19},
    {"QRLabel13",   511,  386, 38,   22,   C,    true,  "Love",            false, 19},
    {"QRLabel14",   503,  459, 54,   22,   C,    true,  "Health",          false, 19},
    {"QRLabel15",   495,  548, 64,   22,   C,    true,  "Fortune",         false, 19},
    {"QRLabel16",   320,  634, 81,   22,   L,    true,  "Birthstone",      false, 19},
    {"QRLabel17",   554,  634, 105,  19,   C,    false, "Colour",          false, 19},
    {"QRLabel18",   242,  24,  586,  54,   C,    false, "QRLabel18",       false, 48},
    {"QRLabel19",   383,  128, 69,   22,   L,    true,  "Birthday",        false, 19},
    {"QRLabel20",   583,  128, 125,  19,   C,    false, "QRLabel20",       false, 19},
    {"QRLabel21",   247,  673, 577,  19,   C,    false, "QRLabel21",       false, 19},
    {"QRLabel22",   387,  705, 145,  19,   C,    false, "Lucky Numbers",   false, 19},
    {"QRLabel23",   533,  705, 193,  19,   C,    false, "QRLabel23",       false, 19},
}};

// On the female page only the sign and the name carry their own font; the others
// take the band's (height 19), so both pages print the same fonts.
constexpr std::array<LabelDesign, 23> kFemaleLabels{{
    // name         left  top  width height align auto  caption            parent font
    {"QRLabel1",    247,  82,  578,  41,   C,    false, "QRLabel1",        false, 35},
    {"QRLabel2",    247,  187, 577,  19,   C,    false, "QRLabel2",        true,  19},
    {"QRLabel3",    247,  260, 577,  19,   C,    false, "Les Faiblesses",  true,  19},
    {"QRLabel4",    247,  341, 577,  19,   C,    false, "Les Amities",     true,  19},
    {"QRLabel5",    247,  422, 577,  19,   C,    false, "Aimer",           true,  19},
    {"QRLabel6",    247,  503, 577,  19,   C,    false, "Health",          true,  19},
    {"QRLabel7",    247,  592, 577,  19,   C,    false, "La Fortune",      true,  19},
    {"QRLabel8",    386,  634, 118,  19,   C,    false, "QRLabel8",        true,  19},
    {"QRLabel9",    690,  634, 58,   22,   L,    true,  "Colerer",         true,  19},
    {"QRLabel10",   495,  151, 74,   22,   C,    true,  "Strengths",       true,  19},
    {"QRLabel11",   487,  224, 93,   22,   C,    true,  "Weaknesses",      true,  19},
    {"QRLabel12",   495,  305, 95,   22,   C,    true,  "Friendships",     true,  19},
    {"QRLabel13",   519,  386, 38,   22,   C,    true,  "Love",            true,  19},
    {"QRLabel14",   511,  459, 54,   22,   C,    true,  "Health",          true,  19},
    {"QRLabel15",   511,  556, 64,   22,   C,    true,  "Fortune",         true,  19},
    {"QRLabel16",   304,  634, 81,   22,   L,    true,  "Birthstone",      true,  19},
    {"QRLabel17",   578,  634, 105,  19,   C,    false, "Colour",          true,  19},
    {"QRLabel18",   242,  24,  586,  54,   C,    false, "QRLabel18",       false, 48},
    {"QRLabel19",   383,  128, 74,   22,   L,    true,  "Birthdate",       true,  19},
    {"QRLabel20",   583,  128, 125,  19,   C,    false, "QRLabel20",       true,  19},
    {"QRLabel21",   247,  673, 577,  19,   C,    false, "QRLabel21",       true,  19},
    {"QRLabel22",   387,  705, 145,  19,   C,    false, "Lucky Numbers",   true,  19},
    {"QRLabel23",   535,  705, 225,  19,   C,    false, "QRLabel23",       true,  19},
}};

// Border strips in the order the band holds and prints them; a later strip covers
// an earlier one where they overlap.
constexpr std::array<ImageDesign, 24> kMaleImages{{
    {"Image1",  H, 32,   11,  161, 17},
    {"Image2",  H, 179,  11,  158, 17},
    {"Image3",  H, 339,  11,  158, 17},
    {"Image4",  H, 491,  11,  158, 17},
    {"Image5",  H, 651,  11,  158, 17},
    {"Image6",  H, 771,  11,  125, 17},
    {"Image7",  H, 879,  747, 161, 17},
    {"Image8",  V, 1029, 184, 14,  153},
    {"Image9",  V, 1029, 32,  14,  153},
    {"Image10", V, 1029, 336, 14,  153},
    {"Image11", V, 1029, 480, 14,  153},
    {"Image12", V, 1029, 591, 14,  158},
    {"Image13", H, 892,  11,  145, 17},
    {"Image24", V, 7,    8,   14,  153},
    {"Image25", V, 7,    160, 14,  153},
    {"Image26", V, 7,    608, 14,  131},
    {"Image27", V, 7,    456, 14,  153},
    {"Image28", V, 7,    304, 14,  153},
    {"Image29", H, 8,    747, 153, 17},
    {"Image30", H, 736,  745, 153, 17},
    {"Image31", H, 592,  745, 153, 17},
    {"Image32", H, 304,  745, 153, 17},
    {"Image33", H, 160,  745, 153, 17},
    {"Image34", H, 448,  745, 153, 17},
}};

constexpr std::array<ImageDesign, 24> kFemaleImages{{
    {"Image1",  H, 40,   19,  153, 17},
    {"Image2",  H, 187,  19,  158, 17},
    {"Image3",  H, 339,  19,  158, 17},
    {"Image4",  H, 499,  19,  158, 17},
    {"Image5",  H, 659,  19,  158, 17},
    {"Image6",  H, 891,  19,  158, 17},
    {"Image8",  V, 1029, 192, 14,  153},
    {"Image9",  V, 1029, 40,  14,  153},
    {"Image10", V, 1029, 344, 14,  153},
    {"Image11", V, 1029, 488, 14,  153},
    {"Image12", V, 1029, 615, 14,  148},
    {"Image13", H, 812,  19,  145, 17},
    {"Image24", V, 15,   16,  14,  153},
    {"Image25", V, 15,   168, 14,  153},
    {"Image26", V, 15,   616, 14,  131},
    {"Image27", V, 15,   464, 14,  153},
    {"Image28", V, 15,   312, 14,  153},
    {"Image29", H, 16,   747, 153, 17},
    {"Image30", H, 744,  745, 153, 17},
    {"Image31", H, 600,  745, 153, 17},
    {"Image32", H, 304,  745, 153, 17},
    {"Image33", H, 160,  745, 153, 17},
    {"Image34", H, 456,  745, 153, 17},
    {"Image35", H, 896,  745, 153, 17},
}};

// The design stores LeftMarginInches 2 and then LeftMarginMM 5; the later one wins.
constexpr ReportDesign kReport{
    PaperOrientation::Landscape,
    9,      // A4
    0, 0,
    2, 5,
    1, 0,
    false,  // no print dialog
    true, false, false,
    true,   // progress window while composing and printing
    "",
};

constexpr FontDesign kLabelFont{kFace, 19, true, true, kBlack};

const PageDesign kMale{
    "FFormM", "PageReport1", kReport,
    {"QRBand1", 1101, 762, kWhite, {kFace, 16, true, true, kBlack}, false},
    kLabelFont, kMaleLabels, kMaleImages,
};

const PageDesign kFemale{
    "Form2", "PageReport1", kReport,
    {"QRBand1", 1157, 762, kWhite, {kFace, 19, true, true, kBlack}, false},
    kLabelFont, kFemaleLabels, kFemaleImages,
};

// detail.fdg line n fills label kDetailLineLabels[n - 1], the same on both pages:
// sign, six texts, birthstone, colour, birthday, name, sentiment, lucky numbers.
constexpr std::array<int, 13> kDetailLineLabels{1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 18, 21, 23};

} // namespace

const PageDesign& malePageDesign() { return kMale; }
const PageDesign& femalePageDesign() { return kFemale; }
std::span<const int> detailLineLabels() { return kDetailLineLabels; }

} // namespace pages
