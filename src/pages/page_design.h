// The two profile page designs as data: report and band properties, the 23 labels
// and the border strips of the male and the female page. All positions and sizes
// are design units (pixels at 96 per inch) relative to the band's top left corner;
// font heights are character heights in the same units.
#pragma once

#include <QRgb>

#include <span>

namespace pages {

enum class TextAlignment { Left, Centre };

// Which of the two border bitmaps a strip shows.
enum class StripBitmap { Horizontal, Vertical };

struct FontDesign {
    const char* name;
    int height;    // character height in design units
    bool bold;
    bool italic;
    QRgb color;
};

struct LabelDesign {
    const char* name;       // "QRLabel1" .. "QRLabel23"
    int left;
    int top;
    int width;              // for auto-size labels: the design caption's width
    int height;
    TextAlignment alignment;
    bool autoSize;
    const char* caption;    // design caption (value labels get theirs from detail.fdg)
    bool parentFont;        // takes the band's font instead of its own
    int fontHeight;         // own font height (ignored when parentFont)
};

struct ImageDesign {
    const char* name;       // "Image1" .. "Image35"
    StripBitmap bitmap;
    int left;
    int top;
    int width;              // design box; the bitmap is drawn unscaled and unclipped
    int height;
};

enum class PaperOrientation { Portrait, Landscape };

struct ReportDesign {
    PaperOrientation orientation;
    int paperCode;              // 9 = A4
    int paperLength;            // tenths of a millimetre, 0 = the paper size's own
    int paperWidth;
    int leftMarginInches;       // applied first ...
    int leftMarginMM;           // ... then this one, which wins
    int columns;
    int columnMarginInches;
    bool displayPrintDialog;
    bool restartData;
    bool sqlCompatible;
    bool titleBeforeHeader;
    bool showProgress;
    const char* reportTitle;
};

struct BandDesign {
    const char* name;           // "QRBand1"
    int width;                  // no effect on paper
    int height;
    QRgb color;
    FontDesign font;
    bool forceNewPage;
};

struct PageDesign {
    const char* formName;       // "Form2" / "FFormM"
    const char* reportName;     // "PageReport1"
    ReportDesign report;
    BandDesign band;
    FontDesign labelFont;       // the labels' own font, apart from its height
    std::span<const LabelDesign> labels;   // in print order, QRLabel1 .. QRLabel23
    std::span<const ImageDesign> images;   // in print order
};

const PageDesign& malePageDesign();
const PageDesign& femalePageDesign();

// The label each line of detail.fdg fills, line 1 first: label numbers.
std::span<const int> detailLineLabels();

} // namespace pages
