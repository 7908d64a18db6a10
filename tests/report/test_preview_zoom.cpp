// The preview's zoom arithmetic: image size, centring, fitted zooms, the page content rectangle.
#include "report_windows/qr_preview_zoom.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <climits>

using namespace report::zoom;

TEST(PreviewZoom, ImageIsThePaperAtTheZoomPlusFramePixels)
{
    struct Case { QSize physical; int zoom; QSize image; };
    const Case cases[] = {
        {{1199, 838}, 50, {604, 423}},   // 599.5 -> 600 (even), 419 + 4
        {{1123, 794}, 50, {566, 401}},   // 561.5 -> 562 (even), 397 + 4
        {{1125, 794}, 50, {566, 401}},   // 562.5 -> 562 (even), not 563
        {{1199, 838}, 0, {4, 4}},        // a zoom of 0 leaves frame and shadow only
        {{0, 0}, 100, {4, 4}},
        {{1199, 838}, -10, {0, 0}},      // never a negative widget size
        {{1199, 838}, INT_MAX, {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imageSize(c.physical, c.zoom), c.image) << c.physical.width() << " at " << c.zoom;
}

TEST(PreviewZoom, ImageIsCentredOnlyAlongSidesWhereItIsSmaller)
{
    struct Case { QSize view; QSize image; QPoint at; };
    const Case cases[] = {
        {{1001, 601}, {500, 300}, {250, 150}},   // div drops the half pixel
        {{1000, 600}, {1203, 300}, {0, 150}},    // wider than the view: at the left edge
        {{1000, 600}, {500, 842}, {250, 0}},
        {{1000, 600}, {1203, 842}, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imagePosition(c.view, c.image), c.at);
}

TEST(PreviewZoom, FitTakesTheSmallerOfTheTwoSideZoomsWithFactor98)
{
    struct Case { QSize view; QSize physical; int fit; int width; int current = 100; };
    const Case cases[] = {
        // A landscape A4 sheet (1199 x 838) in a 1280 x 990 view:
        // x: 1280/1199*98 = 104.62 -> 105; y: 990/838*98 = 115.78 -> 116.
        {{1280, 990}, {1199, 838}, 105, 105},
        // A narrow, tall view: height no longer limits.
        {{600, 2000}, {1199, 838}, 49, 49},
        // A wide, low view: height limits, width would be larger.
        {{2000, 400}, {1199, 838}, 47, 163},
        // Exact halves round to even: 1/2*98 = 49; 0.25*98 = 24.5 -> 24.
        {{500, 250}, {1000, 1000}, 24, 49},
        // A view too small for anything.
        {{4, 4}, {1199, 838}, 0, 0},
        // A page without a size keeps the zoom instead of dividing by zero; where
        // one side is unusable, the other decides the fit.
        {{800, 600}, {0, 0}, 77, 77, 77},
        {{800, 600}, {0, 838}, 70, 63, 63},
        {{800, 600}, {1199, -5}, 65, 65, 40},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitZoom(c.view, c.physical, c.current), c.fit) << c.view.width() << "x" << c.view.height();
        EXPECT_EQ(widthZoom(c.view, c.physical, c.current), c.width) << c.view.width() << "x" << c.view.height();
    }
    EXPECT_EQ(sideZoom(800, 1, 0), 78'400);
}

TEST(PreviewZoom, ContentRectangleUsesOffsetsForTheCornerAndPrintableSizesForTheEdges)
{
    struct Case { QPoint offset; QSize printable; int zoom; int left, top, right, bottom; };
    const Case cases[] = {
        {{19, 19}, {1090, 762}, 100, 20, 20, 1090, 762},
        {{19, 19}, {1090, 762}, 50, 11, 11, 545, 381},   // 9.5 -> 10 (even) + 1
        {{21, 5}, {1090, 762}, 50, 11, 3, 545, 381},     // 10.5 -> 10, 2.5 -> 2
        {{20, 20}, {748, 1080}, 0, 1, 1, 0, 0},           // zoom 0: an empty rectangle
    };
    for (const Case& c : cases) {
        const QRect r = pageContentRect(c.offset, c.printable, c.zoom);
        EXPECT_EQ(r.left(), c.left);
        EXPECT_EQ(r.top(), c.top);
        EXPECT_EQ(r.left() + r.width(), c.right) << "exclusive right edge";
        EXPECT_EQ(r.top() + r.height(), c.bottom) << "exclusive bottom edge";
    }
}
