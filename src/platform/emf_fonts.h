// Faces for the fonts a metafile names, and text for glyph indices.
// Pages play on the preview's drawing thread too: everything here is safe to
// call from any thread.
#pragma once

#include "platform/canvas.h"

#include <QString>

#include <cstdint>

namespace platform::emf {

// Character height over cell height of `face`, for LOGFONTs given by cell height.
double emPerCell(const QString& face);

// The characters of the `n` 16-bit glyph indices at `glyphs` in `font`'s face.
QString textForGlyphs(const CanvasFont& font, const std::uint8_t* glyphs, std::uint64_t n);

} // namespace platform::emf
