#include "platform/canvas_text.h"

#include <algorithm>

namespace platform {

QFont toQFont(const CanvasFont& font)
{
    QFont f(font.face);
    f.setPixelSize(std::clamp(font.height, 1, kMaxFontHeight));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    // Windows places glyphs by their own advances only.
    f.setKerning(false);
    return f;
}

FontMeasure::FontMeasure(const CanvasFont& font, QPaintDevice* device)
    : qfont_(toQFont(font))
    , metrics_(device ? QFontMetrics(qfont_, device) : QFontMetrics(qfont_))
{
    ascent_ = metrics_.ascent();
    descent_ = metrics_.descent();
    latin_.fill(-1);
}

int FontMeasure::advance(char16_t c)
{
    if (c < latin_.size()) {
        int& a = latin_[c];
        if (a < 0)
            a = metrics_.horizontalAdvance(QChar(c));
        return a;
    }
    auto it = other_.find(c);
    if (it == other_.end())
        it = other_.insert(c, metrics_.horizontalAdvance(QChar(c)));
    return *it;
}

std::vector<int> FontMeasure::advances(const QString& text)
{
    std::vector<int> out(static_cast<size_t>(text.size()), 0);
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            out[static_cast<size_t>(i)] = metrics_.horizontalAdvance(text.mid(i, 2));
            ++i;
        } else {
            out[static_cast<size_t>(i)] = advance(c);
        }
    }
    return out;
}

int FontMeasure::width(const QString& text)
{
    int w = 0;
    for (int a : advances(text))
        w += a;
    return w;
}

FontMeasure& FontMeasureCache::get(const CanvasFont& font)
{
    // The colour does not change any measure.
    CanvasFont key = font;
    key.color = QColor();
    if (!measure_ || !(key == key_)) {
        measure_.emplace(font, device_);
        key_ = key;
    }
    return *measure_;
}

} // namespace platform
