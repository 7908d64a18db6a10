#include "platform/emf_rops.h"

#include "platform/emf_format.h"

#include <QPaintEngine>

#include <algorithm>

namespace platform::emf {

bool drawsWithPenOrBrush(std::uint32_t type)
{
    switch (type) {
    case LineTo: case Polyline: case Polyline16: case PolylineTo: case PolylineTo16: case Polygon: case Polygon16:
    case PolyBezier: case PolyBezier16: case PolyBezierTo: case PolyBezierTo16: case PolyPolyline:
    case PolyPolyline16: case PolyPolygon: case PolyPolygon16: case Rectangle: case Ellipse: case RoundRect:
    case Arc: case Chord: case Pie: case ArcTo: case AngleArc: case FillPath: case StrokePath:
    case StrokeAndFillPath: case FillRgn: case PaintRgn:
        return true;
    default:
        return false;
    }
}

QPainter::CompositionMode penRopMode(std::uint32_t rop2)
{
    static const QPainter::CompositionMode modes[] = {
        QPainter::RasterOp_ClearDestination,            // 1 BLACK
        QPainter::RasterOp_NotSourceAndNotDestination,  // 2 NOTMERGEPEN
        QPainter::RasterOp_NotSourceAndDestination,     // 3 MASKNOTPEN
        QPainter::RasterOp_NotSource,                   // 4 NOTCOPYPEN
        QPainter::RasterOp_SourceAndNotDestination,     // 5 MASKPENNOT
        QPainter::RasterOp_NotDestination,              // 6 NOT
        QPainter::RasterOp_SourceXorDestination,        // 7 XORPEN
        QPainter::RasterOp_NotSourceOrNotDestination,   // 8 NOTMASKPEN
        QPainter::RasterOp_SourceAndDestination,        // 9 MASKPEN
        QPainter::RasterOp_NotSourceXorDestination,     // 10 NOTXORPEN
        QPainter::CompositionMode_Destination,          // 11 NOP
        QPainter::RasterOp_NotSourceOrDestination,      // 12 MERGENOTPEN
        QPainter::CompositionMode_SourceOver,           // 13 COPYPEN
        QPainter::RasterOp_SourceOrNotDestination,      // 14 MERGEPENNOT
        QPainter::RasterOp_SourceOrDestination,         // 15 MERGEPEN
        QPainter::RasterOp_SetDestination,              // 16 WHITE
    };
    return modes[std::clamp<std::uint32_t>(rop2, 1, 16) - 1];
}

std::optional<QPainter::CompositionMode> bitmapRopMode(std::uint32_t rop)
{
    switch (rop) {
    case 0x008800C6: return QPainter::RasterOp_SourceAndDestination;        // SRCAND
    case 0x00EE0086: return QPainter::RasterOp_SourceOrDestination;         // SRCPAINT
    case 0x00660046: return QPainter::RasterOp_SourceXorDestination;        // SRCINVERT
    case 0x00330008: return QPainter::RasterOp_NotSource;                   // NOTSRCCOPY
    case 0x00440328: return QPainter::RasterOp_SourceAndNotDestination;     // SRCERASE
    case 0x001100A6: return QPainter::RasterOp_NotSourceAndNotDestination;  // NOTSRCERASE
    case 0x00BB0226: return QPainter::RasterOp_NotSourceOrDestination;      // MERGEPAINT
    default: return std::nullopt;
    }
}

bool paintsPixels(QPainter& painter)
{
    return painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

RopScope::RopScope(QPainter* p, QPainter::CompositionMode mode)
    : p_(mode == QPainter::CompositionMode_SourceOver ? nullptr : p)
{
    if (p_) {
        old_ = p_->compositionMode();
        p_->setCompositionMode(mode);
    }
}

RopScope::~RopScope()
{
    if (p_)
        p_->setCompositionMode(old_);
}

} // namespace platform::emf
