#include "report_windows/qr_preview_zoom.h"

#include "platform/units.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace report::zoom {

namespace {

// Largest coordinate we let the arithmetic produce: a widget can be no larger.
constexpr double kLimit = QWIDGETSIZE_MAX;

int roundClamped(double v)
{
    if (std::isnan(v))
        return 0;
    return platform::roundHalfEven(std::clamp(v, -kLimit, kLimit));
}

int imageSide(int physical, int zoom)
{
    const int scaled = roundClamped(static_cast<double>(physical) * 0.01 * zoom);
    return std::clamp(scaled + kFrameAndShadow, 0, QWIDGETSIZE_MAX);
}

int centred(int view, int image)
{
    return image < view ? (view - image) / 2 : 0;
}

} // namespace

QSize imageSize(QSize physical, int zoom)
{
    return {imageSide(physical.width(), zoom), imageSide(physical.height(), zoom)};
}

QPoint imagePosition(QSize view, QSize image)
{
    return {centred(view.width(), image.width()), centred(view.height(), image.height())};
}

int sideZoom(int view, int physical, int current)
{
    if (physical <= 0)
        return current;
    return roundClamped(static_cast<double>(view) / physical * kFitFactor);
}

int fitZoom(QSize view, QSize physical, int current)
{
    // A side without size cannot limit the page: the other side decides.
    if (physical.height() <= 0)
        return sideZoom(view.width(), physical.width(), current);
    if (physical.width() <= 0)
        return sideZoom(view.height(), physical.height(), current);
    const int zx = sideZoom(view.width(), physical.width(), current);
    const int zy = sideZoom(view.height(), physical.height(), current);
    return zy <= zx ? zy : zx;
}

int widthZoom(QSize view, QSize physical, int current)
{
    return sideZoom(view.width(), physical.width(), current);
}

QRect pageContentRect(QPoint printingOffset, QSize printable, int zoom)
{
    const int left = roundClamped(printingOffset.x() * static_cast<double>(zoom) * 0.01) + 1;
    const int top = roundClamped(printingOffset.y() * static_cast<double>(zoom) * 0.01) + 1;
    const int right = roundClamped(printable.width() * static_cast<double>(zoom) * 0.01);
    const int bottom = roundClamped(printable.height() * static_cast<double>(zoom) * 0.01);
    // Right and bottom are exclusive edges.
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace report::zoom
