// The two border bitmaps of the profile pages: a horizontal strip of six small
// astrological glyphs (Libra, Scorpio, Sagittarius, Capricorn, Aquarius, Pisces)
// and the same strip turned a quarter turn clockwise. Both are 1 bit per pixel
// with palette index 0 black and index 1 white, drawn unscaled and opaque.
#pragma once

#include <QImage>

#include "pages/page_design.h"

namespace pages {

inline constexpr int kStripLength = 150;     // along the strip
inline constexpr int kStripThickness = 15;   // across it

// 150 x 15.
QImage horizontalBorderStrip();
// 15 x 150: pixel (c, r) is the horizontal strip's pixel (r, 14 - c).
QImage verticalBorderStrip();

QImage borderStrip(StripBitmap which);

} // namespace pages
