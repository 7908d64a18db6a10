// Region data (RGNDATA) inside metafile records, read with every count and
// size checked, and the clip combinations Windows applies with it.
#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platform::emf {

// Field offsets of RGNDATA: a 32-byte header, then nCount RECTLs.
namespace rgn {
constexpr std::uint64_t kSize = 0, kType = 4, kCount = 8, kHeaderBytes = 32;
constexpr std::uint32_t kTypeRects = 1;
}

// The rectangles of the region data at [data, data + size), in the units
// they are stored in (device units of the reference device): null when the
// header or the rectangles do not fit. Empty rectangles are dropped.
std::optional<std::vector<QRect>> readRegionRects(const std::uint8_t* data, std::uint64_t size);

// The union of `rects` after mapping each through `map`, built pairwise so
// that ten thousand bands cost n log n, not n squared.
QRegion unitedRegion(const std::vector<QRect>& rects, const std::function<QRect(const QRect&)>& map);

// Clip combine modes of EXTSELECTCLIPRGN and SELECTCLIPPATH.
enum class ClipMode : std::uint32_t { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// `current` combined with `region` by `mode`; null for an unknown mode.
std::optional<QRegion> combineRegions(const QRegion& current, const QRegion& region, std::uint32_t mode);

} // namespace platform::emf
