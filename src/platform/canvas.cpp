#include "platform/canvas.h"

#include "platform/emf_player.h"

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

// Windows' MulDiv: a * b / c in 64 bits, halves rounded away from zero.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = (std::llabs(p) * 2 + std::llabs(c)) / (2 * std::llabs(static_cast<std::int64_t>(c)));
    return static_cast<int>(((p < 0) != (c < 0)) ? -q : q);
}

} // namespace

int fontPointsFromHeight(int characterHeight, int pixelsPerInch)
{
    return mulDiv(characterHeight, 72, pixelsPerInch);
}

int fontHeightFromPoints(int points, int pixelsPerInch)
{
    return mulDiv(points, pixelsPerInch, 72);
}

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

void Canvas::setFont(const CanvasFont& font)
{
    if (font == state_.font)
        return;
    state_.font = font;
    onFontChanged();
}

void Canvas::setPen(const CanvasPen& pen)
{
    if (pen == state_.pen)
        return;
    state_.pen = pen;
    onPenChanged();
}

void Canvas::setBrush(const CanvasBrush& brush)
{
    const bool bkChanges = !brush.clear && brush.color != state_.backgroundColor;
    if (brush != state_.brush) {
        state_.brush = brush;
        onBrushChanged();
    }
    if (bkChanges) {
        state_.backgroundColor = brush.color;
        onBackgroundChanged();
    }
}

void Canvas::setBackgroundColor(const QColor& color)
{
    if (color == state_.backgroundColor)
        return;
    state_.backgroundColor = color;
    onBackgroundChanged();
}

void Canvas::setBackgroundMode(BackgroundMode mode)
{
    if (mode == state_.backgroundMode)
        return;
    state_.backgroundMode = mode;
    onBackgroundChanged();
}

void Canvas::setTextAlign(TextAlign align)
{
    if (align == state_.textAlign)
        return;
    state_.textAlign = align;
    onTextAlignChanged();
}

void Canvas::intersectClipRect(const Rect& r)
{
    onIntersectClip(r);
}

void Canvas::saveState()
{
    saved_.push_back(state_);
    onSaveState();
}

void Canvas::restoreState()
{
    if (saved_.empty())
        return;
    state_ = saved_.back();
    saved_.pop_back();
    onRestoreState();
}

void Canvas::moveTo(int x, int y)
{
    state_.position = QPoint(x, y);
    onMoveTo();
}

void Canvas::lineTo(int x, int y)
{
    const QPoint from = state_.position;
    state_.position = QPoint(x, y);
    onLineTo(from, state_.position);
}

void Canvas::drawMetafile(const Rect& r, const QByteArray& emf)
{
    playEmf(emf, *this, r);
}

} // namespace platform
