// Device-independent bitmaps inside metafile records (BITBLT, STRETCHBLT,
// STRETCHDIBITS, ALPHABLEND, pattern brushes), decoded with every offset and
// size checked against the record.
#pragma once

#include "platform/emf_records.h"

#include <QImage>
#include <QList>

#include <cstdint>
#include <optional>

namespace platform::emf {

// The bitmap whose header lies at [offBmi, offBmi + cbBmi) and whose bits lie
// at [offBits, offBits + cbBits) of the record `rec` of `recSize` bytes;
// null when anything does not fit or is not a bitmap we read (uncompressed or
// bit-field, 1 to 32 bits). `usage` 1 means that the colour table holds
// 16-bit indices into `palette`, the logical palette selected on the page,
// instead of colours. Its pixels are taken from `pixelBudget`, and a bitmap
// larger than what is left is refused. `withAlpha` keeps a 32-bit bitmap's
// fourth byte as alpha.
std::optional<QImage> decodeDib(const std::uint8_t* rec, std::uint64_t recSize, std::uint64_t offBmi,
                                std::uint64_t cbBmi, std::uint64_t offBits, std::uint64_t cbBits, std::uint32_t usage,
                                const QList<QRgb>& palette, std::uint64_t& pixelBudget, bool withAlpha);

// The palette a page starts with (DEFAULT_PALETTE): Windows' twenty static colours.
const QList<QRgb>& defaultPalette();

} // namespace platform::emf
