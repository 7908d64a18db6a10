#include "platform/emf_region.h"

#include "platform/emf_format.h"

#include <QPolygonF>

#include <utility>

namespace platform::emf {

std::optional<std::vector<QRect>> readRegionRects(const std::uint8_t* data, std::uint64_t size)
{
    if (size < rgn::kHeaderBytes)
        return std::nullopt;
    const std::uint64_t headerSize = readU32(data + rgn::kSize);
    const std::uint64_t count = readU32(data + rgn::kCount);
    // Writers disagree on dwSize; anything but the plain header is suspect.
    if (headerSize != rgn::kHeaderBytes || readU32(data + rgn::kType) != rgn::kTypeRects)
        return std::nullopt;
    if (count > (size - rgn::kHeaderBytes) / rectl::kSize)
        return std::nullopt;
    std::vector<QRect> rects;
    rects.reserve(static_cast<size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* r = data + rgn::kHeaderBytes + rectl::kSize * i;
        const std::int64_t l = readI32(r + rectl::kLeft), t = readI32(r + rectl::kTop), ri = readI32(r + rectl::kRight),
                           b = readI32(r + rectl::kBottom);
        if (ri <= l || b <= t)
            continue;
        // Stored exclusive; QRect takes a size that fits an int.
        rects.push_back(QRect(QPoint(int(l), int(t)), QPoint(int(ri - 1), int(b - 1))));
    }
    return rects;
}

QRegion unitedRegion(const std::vector<QRect>& rects, const std::function<QRect(const QRect&)>& map)
{
    std::vector<QRegion> parts;
    parts.reserve(rects.size());
    for (const QRect& r : rects) {
        const QRect m = map(r);
        if (!m.isEmpty())
            parts.emplace_back(m);
    }
    while (parts.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            next.push_back(parts[i].united(parts[i + 1]));
        if (parts.size() % 2)
            next.push_back(parts.back());
        parts.swap(next);
    }
    return parts.empty() ? QRegion() : parts.front();
}

std::optional<QRegion> combineRegions(const QRegion& current, const QRegion& region, std::uint32_t mode)
{
    switch (static_cast<ClipMode>(mode)) {
    case ClipMode::And: return current.intersected(region);
    case ClipMode::Or: return current.united(region);
    case ClipMode::Xor: return current.xored(region);
    case ClipMode::Diff: return current.subtracted(region);
    case ClipMode::Copy: return region;
    }
    return std::nullopt;
}

PainterClip::PainterClip(QPainter& painter, const QRect& target, std::function<void(std::uint64_t)> pay)
    : painter_(painter)
    , bound_(nearTarget(target))
    , pay_(std::move(pay))
{
    if (painter_.hasClipping())
        initial_ = painter_.clipRegion();
}

QRegion PainterClip::current()
{
    if (!painter_.hasClipping())
        return QRegion(bound_);
    QRegion clip = painter_.clipRegion();
    pay_(std::uint64_t(clip.rectCount()));
    return clip;
}

void PainterClip::replace(const QRegion& region)
{
    painter_.setClipRegion(initial_ ? region.intersected(*initial_) : region, Qt::ReplaceClip);
}

void PainterClip::reset()
{
    if (initial_)
        painter_.setClipRegion(*initial_, Qt::ReplaceClip);
    else
        painter_.setClipping(false);
}

void PainterClip::combine(const QRegion& region, std::uint32_t mode)
{
    if (const std::optional<QRegion> next = combineRegions(current(), region, mode))
        replace(*next);
}

void PainterClip::combinePath(const QPainterPath& path, std::uint32_t mode)
{
    // The painter intersects and replaces with a path directly; the other
    // modes need the path as a region. So does a path reaching far beyond the
    // target: the painter would hand back, at the next combine, a clip region
    // the size of the whole path, seconds of work and gigabytes for a page of
    // a few bytes. Cut to the target first, it costs what the target does.
    const QRectF reach = QRectF(bound_).adjusted(-bound_.width(), -bound_.height(), bound_.width(), bound_.height());
    const bool nearTheTarget = reach.contains(path.controlPointRect());
    if (nearTheTarget && mode == std::uint32_t(ClipMode::And) && painter_.hasClipping()) {
        painter_.setClipPath(path, Qt::IntersectClip);
    } else if (nearTheTarget && mode == std::uint32_t(ClipMode::Copy)) {
        painter_.setClipPath(path, Qt::ReplaceClip);
        if (initial_)
            painter_.setClipRegion(*initial_, Qt::IntersectClip);
    } else {
        QRegion region;
        for (const QPolygonF& poly : path.toFillPolygons())
            region = region.xored(QRegion(poly.intersected(QPolygonF(QRectF(bound_))).toPolygon(), path.fillRule()));
        combine(region, mode);
    }
}

void PainterClip::offset(QPoint by)
{
    if (painter_.hasClipping())
        replace(current().translated(by).intersected(bound_));
}

} // namespace platform::emf
