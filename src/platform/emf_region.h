// Region data (RGNDATA) inside metafile records, read with every count and
// size checked, and the clip combinations Windows applies with it.
#pragma once

#include "platform/emf_records.h"

#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace platform::emf {

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

// The target and as much again around it: how far regions reach (see PainterClip).
inline QRect nearTarget(const QRect& target)
{
    return target.adjusted(-target.width(), -target.height(), target.width(), target.height());
}

// The page's clip on a painter beyond the rectangles the canvas narrows it
// by: regions and paths combined in every mode, never wider than the clip the
// painter had when the page began. Regions are kept within the target and as
// much again around it, so that a hostile figure millions of pixels tall
// cannot become millions of region bands; what lies further out is never seen.
class PainterClip {
public:
    // `pay` is charged a point for each rectangle of the clip whenever a
    // combination walks them all.
    PainterClip(QPainter& painter, const QRect& target, std::function<void(std::uint64_t)> pay);

    QRect bound() const { return bound_; }
    void combine(const QRegion& region, std::uint32_t mode);
    // A path (in painter coordinates, with its fill rule) combined by `mode`.
    void combinePath(const QPainterPath& path, std::uint32_t mode);
    // Moves the clip, when there is one.
    void offset(QPoint by);
    // Back to the clip the page began with.
    void reset();

private:
    QRegion current();
    void replace(const QRegion& region);

    QPainter& painter_;
    QRect bound_;
    std::optional<QRegion> initial_;
    std::function<void(std::uint64_t)> pay_;
};

} // namespace platform::emf
