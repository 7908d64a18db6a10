// Fonts and text advances shared by the canvases. A canvas font becomes a
// QFont without kerning, and every UTF-16 unit advances by a whole number of
// pixels, as on a Windows device context; the painter canvas and the EMF
// recorder measure through the same code, so a recorded page's Dx array is
// exactly what direct painting would use.
#pragma once

#include "platform/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>

#include <array>
#include <optional>
#include <vector>

class QPaintDevice;

namespace platform {

// Heights above this are drawn at this height; a stranger's metafile can ask
// for fonts that would take seconds and gigabytes to rasterise.
constexpr int kMaxFontHeight = 4000;

QFont toQFont(const CanvasFont& font);

class FontMeasure {
public:
    FontMeasure(const CanvasFont& font, QPaintDevice* device);

    const QFont& qfont() const { return qfont_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    // One advance per UTF-16 unit; the second unit of a surrogate pair has 0.
    std::vector<int> advances(const QString& text);
    int width(const QString& text);

private:
    int advance(char16_t c);

    QFont qfont_;
    QFontMetrics metrics_;
    int ascent_ = 0;
    int descent_ = 0;
    std::array<int, 256> latin_;
    QHash<char16_t, int> other_;
};

// The measure of the current font, rebuilt only when the font changes.
class FontMeasureCache {
public:
    explicit FontMeasureCache(QPaintDevice* device) : device_(device) {}
    FontMeasure& get(const CanvasFont& font);

private:
    QPaintDevice* device_;
    CanvasFont key_;
    std::optional<FontMeasure> measure_;
};

} // namespace platform
