// The preview's zoom arithmetic, free of widgets so that it can be checked by itself.
// Lengths are page units (one screen pixel at 100%); "round" is to nearest with
// halves to even. Results are clamped to what a widget can be, so that no zoom,
// however large, small or negative, and no page size, zero included, can overflow.
#pragma once

#include <QRect>
#include <QSize>

namespace report::zoom {

// Extra pixels around the paper for its frame and shadow.
inline constexpr int kFrameAndShadow = 4;
// Fitted zooms use 98 instead of 100, leaving about 2% of margin around the page.
inline constexpr double kFitFactor = 98.0;

// round(physical x 0.01 x zoom) + 4 for each side.
QSize imageSize(QSize physical, int zoom);

// Where the image's top-left goes inside the view: centred along a side when it is
// smaller than the view there ((view - image) div 2), otherwise at 0.
QPoint imagePosition(QSize view, QSize image);

// round(view / physical x 98) for one side; `current` when the page side is not positive.
int sideZoom(int view, int physical, int current);

// The zoom that shows the whole page: the smaller of the width and height zooms.
int fitZoom(QSize view, QSize physical, int current);

// The zoom that shows the page's full width.
int widthZoom(QSize view, QSize physical, int current);

// The rectangle the page's metafile is stretched into, inside an image drawn at `zoom`:
// left/top = round(offset x z x 0.01) + 1, right/bottom = round(printable x z x 0.01).
// The right and bottom are the scaled printable sizes themselves, not offset + size.
QRect pageContentRect(QPoint printingOffset, QSize printable, int zoom);

} // namespace report::zoom
