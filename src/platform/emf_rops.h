// Raster operations of metafile records as the painter's composition modes.
// They need a painter that draws into pixels: PDF and printers have none.
#pragma once

#include <QPainter>

#include <cstdint>
#include <optional>

namespace platform::emf {

// True for the records that draw with the pen or the brush, which the binary
// raster operation (SETROP2) applies to; text and bitmaps it leaves alone.
bool drawsWithPenOrBrush(std::uint32_t type);

// The mode for a binary raster operation R2_* (1 to 16; others clamp).
QPainter::CompositionMode penRopMode(std::uint32_t rop2);

// The mode for a bitmap's ternary raster operation; null for one we do not draw.
std::optional<QPainter::CompositionMode> bitmapRopMode(std::uint32_t rop);

// True when `painter` paints pixels that raster operations can combine with.
bool paintsPixels(QPainter& painter);

// Sets a composition mode for one drawing call and puts the old one back;
// SourceOver (plain drawing) or no painter leaves everything as it is.
class RopScope {
public:
    RopScope(QPainter* p, QPainter::CompositionMode mode);
    ~RopScope();
    RopScope(const RopScope&) = delete;
    RopScope& operator=(const RopScope&) = delete;

private:
    QPainter* p_;
    QPainter::CompositionMode old_ = QPainter::CompositionMode_SourceOver;
};

} // namespace platform::emf
