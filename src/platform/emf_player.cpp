#include "platform/emf_player.h"

#include "platform/canvas_painter.h"
#include "platform/canvas_text.h"
#include "platform/emf_dib.h"
#include "platform/emf_fonts.h"
#include "platform/emf_format.h"
#include "platform/emf_plus.h"
#include "platform/emf_records.h"
#include "platform/emf_region.h"
#include "platform/emf_rops.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QSet>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace platform {

using namespace emf;

namespace {

[[noreturn]] void fail(const std::string& why)
{
    throw EmfError("Metafile is not valid: " + why);
}

// Mapped coordinates are kept well inside what the rasteriser handles.
constexpr double kCoordLimit = 1 << 21;
constexpr int kMaxPenWidth = 4096;
// Bitmaps index a palette with 16 bits; every entry set is paid for as a point.
constexpr std::uint32_t kMaxPaletteEntries = 65536;

int clampCoord(double v)
{
    if (!(v == v))  // NaN
        return 0;
    return static_cast<int>(std::floor(std::clamp(v, -kCoordLimit, kCoordLimit) + 0.5));
}

// A size in [lo, hi]; NaN (an overflowing transform can make one) gives lo.
int clampSize(double v, int lo, int hi)
{
    if (!(v >= lo))
        return lo;
    if (v >= hi)
        return hi;
    return static_cast<int>(std::floor(v + 0.5));
}

bool finite(std::initializer_list<float> values)
{
    for (float f : values)
        if (!std::isfinite(f))
            return false;
    return true;
}

struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    QPointF map(double x, double y) const { return {m11 * x + m21 * y + dx, m12 * x + m22 * y + dy}; }
    // This transform followed by `b`.
    Affine then(const Affine& b) const
    {
        return {m11 * b.m11 + m12 * b.m21, m11 * b.m12 + m12 * b.m22, m21 * b.m11 + m22 * b.m21,
                m21 * b.m12 + m22 * b.m22, dx * b.m11 + dy * b.m21 + b.dx, dx * b.m12 + dy * b.m22 + b.dy};
    }
    double scaleX() const { return std::hypot(m11, m12); }
    double scaleY() const { return std::hypot(m21, m22); }
};

// Logical objects, as the records create them (sizes in logical units).
struct LogPen {
    PenStyle style = PenStyle::Solid;
    double width = 0;
    bool cosmetic = true;  // one pixel wide, whatever the transform
    QColor color = QColor(0, 0, 0);
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    std::vector<double> dashes = {};  // a style of its own: logical units, or pixels when cosmetic
};
struct LogBrush {
    bool clear = false;
    QColor color = QColor(255, 255, 255);
    int hatch = -1;   // HS_* style of a hatched brush
    QImage pattern;   // a pattern brush's bitmap
    bool monoPattern = false;  // CREATEMONOBRUSH: its bits take the text and background colours;
                               // a DIB pattern keeps its own colour table, whatever its depth
    bool plain() const { return hatch < 0 && pattern.isNull(); }
};
LogBrush clearBrush()
{
    LogBrush b;
    b.clear = true;
    return b;
}
LogBrush solidBrush(const QColor& c)
{
    LogBrush b;
    b.color = c;
    return b;
}
struct LogFont {
    QString face = QStringLiteral("Arial");
    double characterHeight = 12;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    double escapement = 0;  // degrees, anticlockwise
};

struct Object {
    enum Kind { None, Pen, Brush, Font, Palette, Other } kind = None;
    LogPen pen;
    LogBrush brush;
    LogFont font;
    QList<QRgb> palette;
};

QColor fromColorRef(std::uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// The end cap and join bits of a geometric pen's style.
LineCap penCapFromCode(std::uint32_t style)
{
    switch (style & 0x0F00) {
    case 0x0100: return LineCap::Square;
    case 0x0200: return LineCap::Flat;
    default: return LineCap::Round;
    }
}
LineJoin penJoinFromCode(std::uint32_t style)
{
    switch (style & 0xF000) {
    case 0x1000: return LineJoin::Bevel;
    case 0x2000: return LineJoin::Miter;
    default: return LineJoin::Round;
    }
}

PenStyle penStyleFromCode(std::uint32_t style)
{
    switch (style & 0x0F) {
    case 1: return PenStyle::Dash;
    case 2: return PenStyle::Dot;
    case 3: return PenStyle::DashDot;
    case 4: return PenStyle::DashDotDot;
    case 5: return PenStyle::Clear;
    case 6: return PenStyle::InsideFrame;
    case 8: return PenStyle::Dot;
    default: return PenStyle::Solid;
    }
}

// Windows-1252 for the bytes 0x80..0x9F; the rest are Latin-1.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Player : public PlusPage {
public:
    Player(const std::uint8_t* data, const EmfHeader& header, Canvas& canvas, const Rect& target)
        : data_(data), header_(header), canvas_(canvas), target_(target.toQRect())
        , maxPixels_(EmfBudget::pixelsFor(std::uint64_t(target.width()) * std::uint64_t(target.height())))
    {
        objects_.resize(std::max<std::uint32_t>(header.nHandles, 1));
        // Reference device pixels -> 0.01 mm -> target.
        const double mmPerPxX = double(header.deviceMillimeters.width()) * 100.0 / header.deviceSize.width();
        const double mmPerPxY = double(header.deviceMillimeters.height()) * 100.0 / header.deviceSize.height();
        const double frameW = double(header.frame.width());
        const double frameH = double(header.frame.height());
        const double sx = mmPerPxX * target.width() / frameW;
        const double sy = mmPerPxY * target.height() / frameH;
        devToTarget_ = Affine{sx, 0, 0, sy, target.left - double(header.frame.left()) * target.width() / frameW,
                              target.top - double(header.frame.top()) * target.height() / frameH};
        devPxPerMmX_ = double(header.deviceSize.width()) / header.deviceMillimeters.width();
        devPxPerMmY_ = double(header.deviceSize.height()) / header.deviceMillimeters.height();
        updateTransform();
        painter_ = canvas.painter();
        clipBound_ = nearTarget(target_);
        if (painter_)
            clip_.emplace(*painter_, target_, [this](std::uint64_t n) { spendPoints(n); });
    }

    void play()
    {
        const std::uint64_t end = header_.nBytes;
        std::uint64_t pos = readU32(data_ + record::kSize);
        std::uint32_t count = 1;
        while (pos + record::kMinSize <= end) {
            const std::uint32_t type = readU32(data_ + pos + record::kType);
            const std::uint32_t size = readU32(data_ + pos + record::kSize);
            if (type == Eof)
                return;
            if (++count > EmfLimits::maxRecords)
                return;
            record(type, data_ + pos, size);
            pos += size;
        }
    }

    const EmfWork& work() const { return work_; }

private:
    struct Dc {
        LogPen pen;
        LogBrush brush;
        LogFont font;
        QColor textColor = QColor(0, 0, 0);
        QColor bkColor = QColor(255, 255, 255);
        BackgroundMode bkMode = BackgroundMode::Opaque;
        std::uint32_t align = 0;
        QPoint position;
        Affine world;
        std::uint32_t mapMode = 1;
        double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
        double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
        bool inPath = false;
        bool winding = false;  // polygon fill mode WINDING, else ALTERNATE
        bool clockwise = false;  // arcs run clockwise (SETARCDIRECTION)
        std::uint32_t rop2 = 13;  // how pen and brush combine with the page (R2_COPYPEN)
        double miterLimit = 10;   // longest miter join, in line widths
        QList<QRgb> palette = defaultPalette();  // what palette-index bitmaps index
        bool halftone = false;  // stretch mode HALFTONE: shrunk bitmaps average their pixels
        QPoint brushOrigin;       // where hatches and patterns start, reference-device pixels
    };

    // ---- Work: each record pays for what it is about to draw, before drawing it.
    static void spend(std::uint64_t& used, std::uint64_t amount, std::uint64_t limit)
    {
        if (amount > limit - std::min(used, limit))
            throw EmfTooComplex();
        used += amount;
    }
    void spendOperations(std::uint64_t n) { spend(work_.operations, n, EmfBudget::maxOperations); }
    void spendPoints(std::uint64_t n) { spend(work_.points, n, EmfBudget::maxPoints); }
    // A fill of `r`: its pixels inside the target, at least one.
    void spendFill(const QRect& r)
    {
        const QRect in = r.intersected(target_);
        spend(work_.pixels, std::max<std::uint64_t>(1, std::uint64_t(in.width()) * std::uint64_t(in.height())), maxPixels_);
    }
    void spendFill(const Rect& r) { spendFill(r.toQRect()); }
    // Lines: their length (at most across the target) times the pen's width, and
    // with miter joins the longest miter each corner may grow, as far again.
    void spendLines(const QPolygon& p, bool closed)
    {
        const std::uint64_t across = std::uint64_t(target_.width()) + std::uint64_t(target_.height());
        const CanvasPen& pen = canvas_.pen();
        const std::uint64_t width = std::uint64_t(std::max(1, pen.width));
        const std::uint64_t miter = pen.join == LineJoin::Miter && width > 1
            ? std::uint64_t(std::min(double(across), width * pen.miterLimit / 2))
            : 0;
        std::uint64_t pixels = 0;
        for (qsizetype i = 1; i < p.size() + (closed ? 1 : 0); ++i) {
            // In 64 bits: a shape's points may lie at the ends of the int range.
            const QPoint a = p.at(i - 1);
            const QPoint b = p.at(i % p.size());
            const std::int64_t dx = std::abs(std::int64_t(b.x()) - a.x());
            const std::int64_t dy = std::abs(std::int64_t(b.y()) - a.y());
            pixels += (std::min<std::uint64_t>(std::uint64_t(std::max(dx, dy)) + 1, across) + miter) * width;
        }
        spend(work_.pixels, std::max<std::uint64_t>(1, pixels), maxPixels_);
    }

    // Letters in the canvas's font: each a square of its height, as far as the target reaches.
    void spendLetters(std::uint64_t n)
    {
        const std::uint64_t h = std::uint64_t(std::max(1, canvas_.font().height));
        spend(work_.pixels,
              std::max<std::uint64_t>(1, n * std::min<std::uint64_t>(h, target_.width()) * std::min<std::uint64_t>(h, target_.height())),
              maxPixels_);
    }

    // How many letters of a run, drawn along a line from `ref` with the
    // record's advances (pixels), can show: those whose origin lies within a
    // letter's height of the visible part of the target, which is where a
    // letter's ink stays. A name far longer than its label runs off the page,
    // and what runs off costs next to nothing to draw.
    std::uint64_t lettersInView(QPoint ref, const Rect& rect, unsigned options, const std::vector<int>& advances) const
    {
        const QRect view = (options & TextClipped) ? target_.intersected(rect.toQRect()) : target_;
        const std::int64_t h = std::max(1, canvas_.font().height);
        if (view.isEmpty() || ref.y() + 2 * h < view.top() || ref.y() - 2 * h > view.bottom())
            return 0;
        std::int64_t width = 0;
        for (int a : advances)
            width += a;
        const HAlign align = canvas_.textAlign().horizontal;
        std::int64_t x = ref.x() - (align == HAlign::Right ? width : align == HAlign::Center ? width / 2 : 0);
        std::uint64_t shown = 0;
        for (int a : advances) {
            shown += x >= view.left() - h && x <= view.right() + h;
            x += a;
        }
        return shown;
    }

    // ---- Mapping.
    void updateTransform()
    {
        double sx = 1, sy = 1;
        switch (dc_.mapMode) {
        case 2: sx = devPxPerMmX_ / 10, sy = -devPxPerMmY_ / 10; break;          // 0.1 mm
        case 3: sx = devPxPerMmX_ / 100, sy = -devPxPerMmY_ / 100; break;        // 0.01 mm
        case 4: sx = devPxPerMmX_ * 0.254, sy = -devPxPerMmY_ * 0.254; break;    // 0.01 inch
        case 5: sx = devPxPerMmX_ * 0.0254, sy = -devPxPerMmY_ * 0.0254; break;  // 0.001 inch
        case 6: sx = devPxPerMmX_ * 25.4 / 1440, sy = -devPxPerMmY_ * 25.4 / 1440; break;  // twips
        case 7:
        case 8:
            sx = dc_.vpExtX / dc_.winExtX;
            sy = dc_.vpExtY / dc_.winExtY;
            if (dc_.mapMode == 7) {
                const double m = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
            break;
        default: break;
        }
        const Affine page{sx, 0, 0, sy, dc_.vpOrgX - dc_.winOrgX * sx, dc_.vpOrgY - dc_.winOrgY * sy};
        full_ = dc_.world.then(page).then(devToTarget_);
    }
    QPoint mapPoint(double x, double y) const
    {
        const QPointF p = full_.map(x, y);
        return {clampCoord(p.x()), clampCoord(p.y())};
    }
    Rect mapRect(double l, double t, double r, double b) const
    {
        const QPointF a = full_.map(l, t), c = full_.map(r, b);
        const QPointF e = full_.map(r, t), f = full_.map(l, b);
        const double x0 = std::min({a.x(), c.x(), e.x(), f.x()}), x1 = std::max({a.x(), c.x(), e.x(), f.x()});
        const double y0 = std::min({a.y(), c.y(), e.y(), f.y()}), y1 = std::max({a.y(), c.y(), e.y(), f.y()});
        return {clampCoord(x0), clampCoord(y0), clampCoord(x1), clampCoord(y1)};
    }

    // ---- Canvas state from the device context.
    // The pen's width in pixels: a geometric pen's logical width scales with the transforms.
    int penWidth() const
    {
        if (dc_.pen.cosmetic)
            return 1;
        return clampSize(dc_.pen.width * (full_.scaleX() + full_.scaleY()) / 2, 1, kMaxPenWidth);
    }
    void applyPen()
    {
        CanvasPen p;
        p.color = dc_.pen.color;
        p.style = dc_.pen.style;
        p.width = penWidth();
        p.cap = dc_.pen.cap;
        p.join = dc_.pen.join;
        p.miterLimit = dc_.miterLimit;
        const double scale = dc_.pen.cosmetic ? 1 : (full_.scaleX() + full_.scaleY()) / 2;
        for (double d : dc_.pen.dashes)
            p.dashes.push_back(p.width > 1 ? d * scale / p.width : d * scale);
        canvas_.setPen(p);
        canvas_.setBackgroundMode(dc_.bkMode);
        canvas_.setBackgroundColor(dc_.bkColor);
    }
    void applyBrush()
    {
        CanvasBrush b{dc_.brush.color, dc_.brush.clear};
        canvas_.setBrush(b);
        canvas_.setBackgroundColor(dc_.bkColor);
    }
    void applyText()
    {
        CanvasFont f;
        f.face = dc_.font.face;
        const double h = dc_.font.characterHeight * full_.scaleY();
        f.height = clampSize(h, 1, kMaxFontHeight);
        f.bold = dc_.font.bold;
        f.italic = dc_.font.italic;
        f.underline = dc_.font.underline;
        f.strikeOut = dc_.font.strikeOut;
        f.color = dc_.textColor;
        canvas_.setFont(f);
        canvas_.setBackgroundColor(dc_.bkColor);
        canvas_.setBackgroundMode(dc_.bkMode);
        TextAlign a;
        const std::uint32_t h6 = dc_.align & 6;
        a.horizontal = h6 == kTaCenter ? HAlign::Center : h6 == kTaRight ? HAlign::Right : HAlign::Left;
        const std::uint32_t v = dc_.align & kTaBaseline;
        a.vertical = v == kTaBaseline ? VAlign::Baseline : v == kTaBottom ? VAlign::Bottom : VAlign::Top;
        canvas_.setTextAlign(a);
    }

    // ---- Records.
    void record(std::uint32_t type, const std::uint8_t* r, std::uint64_t size)
    {
        auto i32 = [&](std::uint64_t at) { return readI32(r + at); };
        auto u32 = [&](std::uint64_t at) { return readU32(r + at); };
        auto need = [&](std::uint64_t n) { return size >= n; };
        // The two halves of a POINTL or SIZEL at `at`.
        auto xAt = [&](std::uint64_t at) { return i32(at + pointl::kX); };
        auto yAt = [&](std::uint64_t at) { return i32(at + pointl::kY); };
        // A RECTL at `at`, mapped.
        auto rectAt = [&](std::uint64_t at) {
            return mapRect(i32(at + rectl::kLeft), i32(at + rectl::kTop), i32(at + rectl::kRight),
                           i32(at + rectl::kBottom));
        };

        if (type == GdiComment) {
            plus_.comment(r, size);
            return;
        }
        if (!plus_.playsGdi())
            return;

        // Lines and fills combine with the page by the binary raster operation;
        // text and bitmaps do not.
        std::optional<RopScope> mix;
        if (dc_.rop2 != 13 && drawsWithPenOrBrush(type) && rasterOps())
            mix.emplace(painter_, penRopMode(dc_.rop2));

        switch (type) {
        case SetRop2:
            if (need(set_rop2::kFixedSize) && u32(set_rop2::kRop2Mode) >= 1 && u32(set_rop2::kRop2Mode) <= 16)
                dc_.rop2 = u32(set_rop2::kRop2Mode);
            break;
        case SetMapMode:
            if (need(set_map_mode::kFixedSize) && u32(set_map_mode::kMapMode) >= 1
                && u32(set_map_mode::kMapMode) <= 8) {
                dc_.mapMode = u32(set_map_mode::kMapMode);
                updateTransform();
            }
            break;
        case SetWindowExtEx: {
            constexpr std::size_t at = set_window_ext_ex::kExtent;
            if (need(set_window_ext_ex::kFixedSize) && xAt(at) != 0 && yAt(at) != 0) {
                dc_.winExtX = xAt(at), dc_.winExtY = yAt(at);
                updateTransform();
            }
            break;
        }
        case SetWindowOrgEx:
            if (need(set_window_org_ex::kFixedSize)) {
                dc_.winOrgX = xAt(set_window_org_ex::kOrigin), dc_.winOrgY = yAt(set_window_org_ex::kOrigin);
                updateTransform();
            }
            break;
        case SetViewportExtEx: {
            constexpr std::size_t at = set_viewport_ext_ex::kExtent;
            if (need(set_viewport_ext_ex::kFixedSize) && xAt(at) != 0 && yAt(at) != 0) {
                dc_.vpExtX = xAt(at), dc_.vpExtY = yAt(at);
                updateTransform();
            }
            break;
        }
        case SetViewportOrgEx:
            if (need(set_viewport_org_ex::kFixedSize)) {
                dc_.vpOrgX = xAt(set_viewport_org_ex::kOrigin), dc_.vpOrgY = yAt(set_viewport_org_ex::kOrigin);
                updateTransform();
            }
            break;
        case SetWorldTransform:
        case ModifyWorldTransform: {
            // Both records hold the XFORM at the same place.
            static_assert(set_world_transform::kXform == modify_world_transform::kXform);
            if (!need(type == SetWorldTransform ? set_world_transform::kFixedSize : modify_world_transform::kFixedSize))
                break;
            const std::uint8_t* xf = r + set_world_transform::kXform;
            const float m[6] = {readF32(xf + xform::kM11), readF32(xf + xform::kM12), readF32(xf + xform::kM21),
                                readF32(xf + xform::kM22), readF32(xf + xform::kDx), readF32(xf + xform::kDy)};
            if (!finite({m[0], m[1], m[2], m[3], m[4], m[5]}))
                break;
            const Affine x{m[0], m[1], m[2], m[3], m[4], m[5]};
            const std::uint32_t mode =
                type == SetWorldTransform ? 4 : u32(modify_world_transform::kModifyWorldTransformMode);
            const double det = x.m11 * x.m22 - x.m12 * x.m21;
            if (mode != 1 && !(std::fabs(det) > 1e-12 && std::fabs(det) < 1e12))
                break;
            if (mode == 1)
                dc_.world = Affine{};
            else if (mode == 2)
                dc_.world = x.then(dc_.world);
            else if (mode == 3)
                dc_.world = dc_.world.then(x);
            else if (mode == 4)
                dc_.world = x;
            else
                break;
            updateTransform();
            break;
        }
        case SaveDC:
            if (static_cast<int>(stack_.size()) >= EmfLimits::maxSaveDepth)
                break;
            stack_.push_back(dc_);
            canvas_.saveState();
            break;
        case RestoreDC: {
            if (!need(restore_dc::kFixedSize))
                break;
            const std::int32_t rel = i32(restore_dc::kSavedDc);
            if (rel >= 0 || static_cast<std::int64_t>(-static_cast<std::int64_t>(rel)) > static_cast<std::int64_t>(stack_.size()))
                break;
            for (std::int32_t k = 0; k < -rel; ++k) {
                dc_ = stack_.back();
                stack_.pop_back();
                canvas_.restoreState();
            }
            updateTransform();
            break;
        }
        case SetMiterLimit:
            if (need(set_miter_limit::kFixedSize))
                dc_.miterLimit = std::max<std::uint32_t>(1, u32(set_miter_limit::kMiterLimit));
            break;
        case SetPolyFillMode:
            if (need(set_poly_fill_mode::kFixedSize))
                dc_.winding = u32(set_poly_fill_mode::kPolygonFillMode) == 2;
            break;
        case BeginPath:
            path_ = QPainterPath();
            pathWidened_ = false;
            dc_.inPath = true;
            break;
        case EndPath:
            dc_.inPath = false;
            break;
        case AbortPath:
            path_ = QPainterPath();
            dc_.inPath = false;
            break;
        case CloseFigure:
            if (dc_.inPath)
                path_.closeSubpath();
            break;
        case FillPath:
        case StrokePath:
        case StrokeAndFillPath:
            endPathDrawing(type != StrokePath, type != FillPath);
            break;
        case WidenPath:
            widenPath();
            break;
        case SelectClipPath:
            if (need(select_clip_path::kFixedSize))
                selectClipPath(u32(select_clip_path::kRegionMode));
            break;
        case ExtSelectClipRgn:
            if (need(ext_select_clip_rgn::kFixedSize))
                selectClipRegion(r, size);
            break;
        case FillRgn:
            if (need(fill_rgn::kFixedSize))
                fillRegion(r, size, true);
            break;
        case PaintRgn:
            if (need(paint_rgn::kFixedSize))
                fillRegion(r, size, false);
            break;
        case ExcludeClipRect:
            if (need(exclude_clip_rect::kFixedSize))
                combineClip(QRegion(rectAt(exclude_clip_rect::kClip).toQRect()), std::uint32_t(ClipMode::Diff));
            break;
        case OffsetClipRgn:
            if (need(offset_clip_rgn::kFixedSize) && clip_) {
                spendOperations(1);
                constexpr std::size_t offset = offset_clip_rgn::kOffset;
                const QPointF d = full_.map(xAt(offset), yAt(offset)) - full_.map(0, 0);
                clip_->offset(QPoint(clampCoord(d.x()), clampCoord(d.y())));
            }
            break;
        case Arc:
        case Chord:
        case Pie:
        case ArcTo:
            if (need(arc::kFixedSize))
                arc(type, r);
            break;
        case AngleArc:
            if (need(angle_arc::kFixedSize))
                angleArc(r);
            break;
        case SetArcDirection:
            if (need(set_arc_direction::kFixedSize))
                dc_.clockwise = u32(set_arc_direction::kArcDirection) == 2;
            break;
        case SetPixelV:
            if (need(set_pixel_v::kFixedSize) && !dc_.inPath) {
                constexpr std::size_t pixel = set_pixel_v::kPixel;
                spendOperations(1);
                spendFill(QRect(mapPoint(xAt(pixel), yAt(pixel)), QSize(1, 1)));
                const QPoint at = mapPoint(xAt(pixel), yAt(pixel));
                canvas_.setBrush(CanvasBrush{fromColorRef(u32(set_pixel_v::kColor)), false});
                canvas_.fillRect(Rect{at.x(), at.y(), at.x() + 1, at.y() + 1});
            }
            break;
        case SetStretchBltMode:
            if (need(set_stretch_blt_mode::kFixedSize))
                dc_.halftone = u32(set_stretch_blt_mode::kStretchMode) == 4;
            break;
        case SetBkMode:
            if (need(set_bk_mode::kFixedSize))
                dc_.bkMode =
                    u32(set_bk_mode::kBackgroundMode) == 1 ? BackgroundMode::Transparent : BackgroundMode::Opaque;
            break;
        case SetTextAlign:
            if (need(set_text_align::kFixedSize))
                dc_.align = u32(set_text_align::kTextAlignmentMode);
            break;
        case SetTextColor:
            if (need(set_text_color::kFixedSize))
                dc_.textColor = fromColorRef(u32(set_text_color::kColor));
            break;
        case SetBkColor:
            if (need(set_bk_color::kFixedSize))
                dc_.bkColor = fromColorRef(u32(set_bk_color::kColor));
            break;
        case CreatePen:
            if (need(create_pen::kFixedSize)) {
                Object o;
                o.kind = Object::Pen;
                o.pen.style = penStyleFromCode(u32(create_pen::kPenStyle));
                o.pen.width = xAt(create_pen::kWidth);
                // Windows scales a width of 1 with the page; our own pages' one-pixel
                // lines have always played one pixel wide at any zoom, and still do.
                o.pen.cosmetic = xAt(create_pen::kWidth) <= 1;
                o.pen.color = fromColorRef(u32(create_pen::kColorRef));
                store(u32(create_pen::kIhPen), o);
            }
            break;
        case ExtCreatePen:
            if (need(ext_create_pen::kFixedSize)) {
                Object o;
                o.kind = Object::Pen;
                const std::uint32_t style = u32(ext_create_pen::kPenStyle);
                o.pen.style = penStyleFromCode(style);
                o.pen.cosmetic = (style & 0x00010000) == 0;
                o.pen.width = u32(ext_create_pen::kWidth) > INT_MAX ? 0 : u32(ext_create_pen::kWidth);
                o.pen.color = fromColorRef(u32(ext_create_pen::kColorRef));
                o.pen.cap = penCapFromCode(style);
                o.pen.join = penJoinFromCode(style);
                o.pen.dashes = penDashes(style, r, size);
                if (u32(ext_create_pen::kBrushStyle) == 1)  // BS_NULL: the pen draws nothing
                    o.pen.style = PenStyle::Clear;
                store(u32(ext_create_pen::kIhPen), o);
            }
            break;
        case CreateBrushIndirect:
            if (need(create_brush_indirect::kFixedSize)) {
                Object o;
                o.kind = Object::Brush;
                o.brush.clear = u32(create_brush_indirect::kBrushStyle) == 1;
                o.brush.color = fromColorRef(u32(create_brush_indirect::kColor));
                if (u32(create_brush_indirect::kBrushStyle) == 2)  // BS_HATCHED
                    o.brush.hatch =
                        static_cast<int>(std::min<std::uint32_t>(u32(create_brush_indirect::kBrushHatch), 5));
                store(u32(create_brush_indirect::kIhBrush), o);
            }
            break;
        case CreateMonoBrush:
        case CreateDIBPatternBrushPt:
            if (need(create_dib_pattern_brush_pt::kFixedSize)) {
                namespace field = create_dib_pattern_brush_pt;
                Object o;
                o.kind = Object::Brush;
                // Where the pattern cannot be read (or drawn), a mid grey stands for it.
                o.brush.color = QColor(128, 128, 128);
                spendOperations(1);
                if (std::optional<QImage> img = decodeDib(r, size, u32(field::kOffBmi), u32(field::kCbBmi),
                                                          u32(field::kOffBits), u32(field::kCbBits),
                                                          u32(field::kUsage), dc_.palette, pixelBudget_, false)) {
                    o.brush.monoPattern = type == CreateMonoBrush;
                    o.brush.pattern = std::move(*img);
                }
                store(u32(field::kIhBrush), o);
            }
            break;
        case ExtCreateFontIndirectW:
            if (need(ext_create_font_indirect_w::kFixedSize)) {
                spend(work_.fonts, 1, EmfBudget::maxFonts);
                Object o;
                o.kind = Object::Font;
                readLogFont(r + ext_create_font_indirect_w::kElw, o.font);
                store(u32(ext_create_font_indirect_w::kIhFont), o);
            }
            break;
        case SelectObject:
            if (need(select_object::kFixedSize))
                selectObject(u32(select_object::kIhObject));
            break;
        case CreatePalette:
            if (need(create_palette::kFixedSize)) {
                Object o;
                o.kind = Object::Palette;
                const std::uint32_t n = readU16(r + create_palette::kNumEntries);
                setPaletteEntries(o.palette, 0, n, r, size, create_palette::kEntries);
                store(u32(create_palette::kIhPal), o);
            }
            break;
        case SetPaletteEntries:
            if (need(set_palette_entries::kFixedSize)) {
                if (Object* o = object(u32(set_palette_entries::kIhPal), Object::Palette))
                    setPaletteEntries(o->palette, u32(set_palette_entries::kStart),
                                      u32(set_palette_entries::kNumEntries), r, size, set_palette_entries::kEntries);
            }
            break;
        case ResizePalette:
            if (need(resize_palette::kFixedSize)) {
                if (Object* o = object(u32(resize_palette::kIhPal), Object::Palette)) {
                    const std::uint32_t n = std::min<std::uint32_t>(u32(resize_palette::kNumEntries), kMaxPaletteEntries);
                    spendPoints(n);
                    o->palette.resize(n, qRgb(0, 0, 0));
                }
            }
            break;
        case SelectPalette:
            if (need(select_palette::kFixedSize)) {
                const std::uint32_t ih = u32(select_palette::kIhPal);
                if (ih == (kStockObject | kStockDefaultPalette))
                    dc_.palette = defaultPalette();
                else if (const Object* o = object(ih, Object::Palette))
                    dc_.palette = o->palette;
            }
            break;
        case DeleteObject: {
            constexpr std::size_t ih = delete_object::kIhObject;
            if (need(delete_object::kFixedSize) && u32(ih) >= 1 && u32(ih) < objects_.size())
                objects_[u32(ih)] = Object{};
            break;
        }
        case MoveToEx:
            if (need(move_to_ex::kFixedSize)) {
                constexpr std::size_t point = move_to_ex::kPoint;
                dc_.position = QPoint(xAt(point), yAt(point));
                if (dc_.inPath) {
                    spendPoints(1);
                    path_.moveTo(mapPointF(xAt(point), yAt(point)));
                }
            }
            break;
        case LineTo:
            if (need(line_to::kFixedSize)) {
                const QPoint to(xAt(line_to::kPoint), yAt(line_to::kPoint));
                if (!dc_.inPath) {
                    spendOperations(1);
                    spendPoints(2);
                    applyPen();
                    const QPoint a = mapPoint(dc_.position.x(), dc_.position.y());
                    const QPoint b = mapPoint(to.x(), to.y());
                    spendLines(QPolygon({a, b}), false);
                    canvas_.moveTo(a.x(), a.y());
                    canvas_.lineTo(b.x(), b.y());
                } else {
                    spendPoints(1);
                    pathStart();
                    path_.lineTo(mapPointF(to.x(), to.y()));
                }
                dc_.position = to;
            }
            break;
        case Rectangle:
        case Ellipse:
        case RoundRect:
            // All three begin with the box; a ROUNDRECT cut short of its
            // corner is drawn as a rectangle.
            static_assert(rectangle::kBox == round_rect::kBox && rectangle::kFixedSize == round_rect::kCorner);
            if (need(rectangle::kFixedSize) && (dc_.inPath || type == RoundRect || !dc_.brush.plain() || turned())
                && (painter_ || dc_.inPath)) {
                // Figures of a path, rounded corners, hatched or patterned
                // insides and shapes turned by the transform: as a shape in
                // target pixels.
                constexpr std::size_t b = rectangle::kBox;
                const QRectF box = QRectF(QPointF(i32(b + rectl::kLeft), i32(b + rectl::kTop)),
                                          QPointF(i32(b + rectl::kRight), i32(b + rectl::kBottom))).normalized();
                QPainterPath shape;
                if (type == Ellipse) {
                    spendPoints(64);
                    shape.addEllipse(box);
                } else if (type == RoundRect && need(round_rect::kFixedSize)) {
                    spendPoints(64);
                    shape.addRoundedRect(box, std::fabs(double(xAt(round_rect::kCorner))) / 2,
                                         std::fabs(double(yAt(round_rect::kCorner))) / 2);
                } else {
                    spendPoints(4);
                    shape.addRect(box);
                }
                shape = transformed(shape);
                if (dc_.inPath)
                    path_.addPath(shape);
                else
                    drawShape(shape, true, true, false);
            } else if (need(rectangle::kFixedSize) && !dc_.inPath) {
                spendOperations(1);
                applyPen();
                applyBrush();
                const Rect rc = rectAt(rectangle::kBox);
                spendFill(rc);
                if (type == Ellipse)
                    canvas_.ellipse(rc);
                else
                    canvas_.rectangle(rc);
            }
            break;
        case IntersectClipRect:
            if (need(intersect_clip_rect::kFixedSize)) {
                spendOperations(1);
                canvas_.intersectClipRect(rectAt(intersect_clip_rect::kClip));
            }
            break;
        case Polygon16:
        case Polyline16:
        case PolyBezier16:
        case PolylineTo16:
        case PolyBezierTo16:
        case Polygon:
        case Polyline:
        case PolyBezier:
        case PolylineTo:
        case PolyBezierTo:
            poly(type, r, size);
            break;
        case PolyPolygon16:
        case PolyPolyline16:
        case PolyPolygon:
        case PolyPolyline:
            polyPoly(type, r, size);
            break;
        case ExtTextOutW:
        case ExtTextOutA:
            if (need(ext_text_out::kFixedSize))
                text(type == ExtTextOutW, r, size);
            break;
        case SmallTextOut:
            if (need(small_text_out::kFixedSize))
                smallText(r, size);
            break;
        case SetBrushOrgEx:
            if (need(set_brush_org_ex::kFixedSize))
                dc_.brushOrigin = QPoint(xAt(set_brush_org_ex::kOrigin), yAt(set_brush_org_ex::kOrigin));
            break;
        case BitBlt:
            if (need(bit_blt::kFixedSize))
                blt(r, size, false);
            break;
        case StretchBlt:
            if (need(stretch_blt::kFixedSize))
                blt(r, size, true);
            break;
        case StretchDIBits:
            if (need(stretch_dibits::kFixedSize))
                stretchDIBits(r, size);
            break;
        case AlphaBlend:
            if (need(alpha_blend::kFixedSize))
                alphaBlend(r, size);
            break;
        case GradientFill:
            if (need(gradient_fill::kFixedSize))
                gradientFill(r, size);
            break;
        default:
            // Comments, escapes, palettes and what else we do not draw.
            break;
        }
    }

    // The dash and gap lengths of a user-styled (PS_USERSTYLE) or alternate
    // (PS_ALTERNATE) EXTCREATEPEN; none for the other styles. An odd count of
    // lengths runs twice, so that each length is a dash once and a gap once.
    static std::vector<double> penDashes(std::uint32_t style, const std::uint8_t* r, std::uint64_t size)
    {
        constexpr std::uint32_t kUserStyle = 7, kAlternate = 8, kMaxEntries = 16;
        if ((style & 0x0F) == kAlternate)
            return {1, 1};
        if ((style & 0x0F) != kUserStyle)
            return {};
        const std::uint64_t n = std::min<std::uint64_t>(readU32(r + ext_create_pen::kNumStyleEntries), kMaxEntries);
        if (!fits(ext_create_pen::kStyleEntries, 4 * n, size))
            return {};
        std::vector<double> dashes;
        double total = 0;
        for (std::uint64_t i = 0; i < n; ++i) {
            dashes.push_back(std::min<std::uint32_t>(readU32(r + ext_create_pen::kStyleEntries + 4 * i), 1 << 20));
            total += dashes.back();
        }
        if (total <= 0)
            return {};
        if (n % 2) {
            const std::vector<double> once = dashes;
            dashes.insert(dashes.end(), once.begin(), once.end());
        }
        return dashes;
    }

    void store(std::uint32_t ih, const Object& o)
    {
        if (ih >= 1 && ih < objects_.size())
            objects_[ih] = o;
    }
    // The object in slot `ih` if it is of that kind.
    Object* object(std::uint32_t ih, Object::Kind kind)
    {
        return ih >= 1 && ih < objects_.size() && objects_[ih].kind == kind ? &objects_[ih] : nullptr;
    }

    // Entries [start, start + count) of `palette` from the R, G, B, flags quadruples
    // at `at` in record `r`, as many as it holds; the palette grows to take them.
    void setPaletteEntries(QList<QRgb>& palette, std::uint32_t start, std::uint32_t count, const std::uint8_t* r,
                           std::uint64_t size, std::uint64_t at)
    {
        count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, (size - at) / 4));
        if (start >= kMaxPaletteEntries)
            return;
        count = std::min(count, kMaxPaletteEntries - start);
        spendPoints(count);
        if (palette.size() < qsizetype(start + count))
            palette.resize(start + count, qRgb(0, 0, 0));
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* e = r + at + 4 * i;
            palette[start + i] = qRgb(e[0], e[1], e[2]);
        }
    }

    void selectObject(std::uint32_t ih)
    {
        if (ih & kStockObject) {
            const std::uint32_t n = ih & ~kStockObject;
            if (n > 0x13)
                return;
            static const int greys[] = {255, 192, 128, 64, 0};
            if (n <= 4)
                dc_.brush = solidBrush(QColor(greys[n], greys[n], greys[n]));
            else if (n == 5)
                dc_.brush = clearBrush();
            else if (n == 6 || n == 7)
                dc_.pen = LogPen{PenStyle::Solid, 0, true, n == 6 ? QColor(255, 255, 255) : QColor(0, 0, 0)};
            else if (n == 8)
                dc_.pen = LogPen{PenStyle::Clear, 0, true, QColor(0, 0, 0)};
            else if (n == 18)
                dc_.brush = solidBrush(QColor(255, 255, 255));
            else if (n == 19)
                dc_.pen = LogPen{};
            else if (n >= 10 && n != 15) {
                LogFont f;
                f.face = (n == 10 || n == 11 || n == 16) ? QStringLiteral("Courier New") : QStringLiteral("Arial");
                f.characterHeight = 13;
                dc_.font = f;
            }
            return;
        }
        if (ih < 1 || ih >= objects_.size())
            return;
        const Object& o = objects_[ih];
        if (o.kind == Object::Pen)
            dc_.pen = o.pen;
        else if (o.kind == Object::Brush)
            dc_.brush = o.brush;
        else if (o.kind == Object::Font)
            dc_.font = o.font;
    }

    void readLogFont(const std::uint8_t* lf, LogFont& f)
    {
        const std::int32_t height = readI32(lf + log_font::kHeight);
        char16_t face[log_font::kFaceNameChars + 1] = {};
        for (std::size_t i = 0; i < log_font::kFaceNameChars; ++i)
            face[i] = readU16(lf + log_font::kFaceName + 2 * i);
        f.face = playableFace(QString::fromUtf16(face));
        if (height < 0)
            f.characterHeight = -static_cast<double>(height);
        else if (height > 0)
            f.characterHeight = height * emPerCell(f.face);
        else
            f.characterHeight = 12;
        f.bold = readI32(lf + log_font::kWeight) >= 600;
        f.italic = lf[log_font::kItalic] != 0;
        f.underline = lf[log_font::kUnderline] != 0;
        f.strikeOut = lf[log_font::kStrikeOut] != 0;
        const std::int32_t escapement = readI32(lf + log_font::kEscapement);
        if (escapement > -36000 && escapement < 36000)
            f.escapement = escapement / 10.0;
    }

    // Points of a POLY* record, logical, checked against the record.
    bool readPoints(const std::uint8_t* r, std::uint64_t size, std::uint64_t at, std::uint64_t count, bool small,
                    std::vector<QPointF>& out)
    {
        const std::uint64_t each = small ? points::kSize : pointl::kSize;
        if (count > size / each || !fits(at, count * each, size))
            return false;
        out.resize(static_cast<size_t>(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint8_t* p = r + at + i * each;
            out[i] = small ? QPointF(readI16(p + points::kX), readI16(p + points::kY))
                           : QPointF(readI32(p + pointl::kX), readI32(p + pointl::kY));
        }
        return true;
    }

    static std::vector<QPointF> flattenBeziers(const QPointF& start, const std::vector<QPointF>& ctrl)
    {
        std::vector<QPointF> out{start};
        QPointF p0 = start;
        for (size_t i = 0; i + 2 < ctrl.size(); i += 3) {
            const QPointF p1 = ctrl[i], p2 = ctrl[i + 1], p3 = ctrl[i + 2];
            for (int k = 1; k <= 16; ++k) {
                const double t = k / 16.0, u = 1 - t;
                out.push_back(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
            }
            p0 = p3;
        }
        return out;
    }

    QPolygon mapPolygon(const std::vector<QPointF>& pts) const
    {
        QPolygon poly;
        poly.reserve(static_cast<qsizetype>(pts.size()));
        for (const QPointF& p : pts)
            poly.append(mapPoint(p.x(), p.y()));
        return poly;
    }

    void poly(std::uint32_t type, const std::uint8_t* r, std::uint64_t size)
    {
        if (size < polygon::kFixedSize)
            return;
        const bool small = type >= PolyBezier16;
        const std::uint64_t count = readU32(r + polygon::kCount);
        std::vector<QPointF> pts;
        if (!readPoints(r, size, polygon::kPoints, count, small, pts) || pts.empty())
            return;
        const QPoint startPosition = dc_.position;
        const bool fromCurrent = type == PolylineTo16 || type == PolyBezierTo16 || type == PolylineTo || type == PolyBezierTo;
        const bool bezier = type == PolyBezier16 || type == PolyBezierTo16 || type == PolyBezier || type == PolyBezierTo;
        if (fromCurrent)
            dc_.position = QPoint(static_cast<int>(pts.back().x()), static_cast<int>(pts.back().y()));
        if (dc_.inPath) {
            if (bezier) {
                const QPointF from = fromCurrent ? QPointF(startPosition) : pts.front();
                if (!fromCurrent)
                    pts.erase(pts.begin());
                spendPoints(16 * (pts.size() / 3));
                std::vector<QPointF> line = flattenBeziers(from, pts);
                if (fromCurrent)
                    line.erase(line.begin());
                pathAdd(line, fromCurrent, false);
            } else {
                pathAdd(pts, fromCurrent, type == Polygon16 || type == Polygon);
            }
            return;
        }
        // Paid for as drawn, before a curve is flattened into 16 lines.
        const std::uint64_t controls = fromCurrent ? pts.size() : pts.size() - 1;
        spendOperations(1);
        spendPoints(bezier ? 1 + 16 * (controls / 3) : pts.size() + (fromCurrent ? 1 : 0));
        const QPointF start = fromCurrent ? QPointF(startPosition) : pts.front();
        std::vector<QPointF> path;
        if (bezier) {
            if (!fromCurrent)
                pts.erase(pts.begin());
            path = flattenBeziers(start, pts);
        } else {
            if (fromCurrent)
                path.push_back(start);
            path.insert(path.end(), pts.begin(), pts.end());
        }
        applyPen();
        const QPolygon mapped = mapPolygon(path);
        if ((type == Polygon16 || type == Polygon) && painter_ && (dc_.winding || !dc_.brush.plain())) {
            QPainterPath shape;
            shape.addPolygon(QPolygonF(mapped));
            shape.closeSubpath();
            drawShape(shape, true, true, dc_.winding);
        } else if (type == Polygon16 || type == Polygon) {
            applyBrush();
            spendFill(mapped.boundingRect());
            canvas_.polygon(mapped);
        } else {
            spendLines(mapped, false);
            canvas_.polyline(mapped);
        }
    }

    void polyPoly(std::uint32_t type, const std::uint8_t* r, std::uint64_t size)
    {
        if (size < poly_polygon::kFixedSize)
            return;
        const bool small = type == PolyPolygon16 || type == PolyPolyline16;
        const std::uint64_t polys = readU32(r + poly_polygon::kNumberOfPolygons);
        const std::uint64_t total = readU32(r + poly_polygon::kCount);
        // Each figure's point count is a u32; the points follow the counts.
        if (polys > size / 4 || !fits(poly_polygon::kPolygonPointCount, polys * 4, size))
            return;
        std::vector<QPointF> pts;
        if (!readPoints(r, size, poly_polygon::kPolygonPointCount + polys * 4, total, small, pts))
            return;
        const bool filled = type == PolyPolygon16 || type == PolyPolygon;
        if (dc_.inPath || (filled && painter_ && polys > 1) || (filled && painter_ && !dc_.brush.plain())) {
            // One shape, so that the fill mode decides which overlaps are inside.
            // Each polygon still counts as a drawing call: a shape of a
            // million triangles costs what a million triangles cost.
            spendOperations(polys);
            QPainterPath saved;
            if (!dc_.inPath)
                std::swap(saved, path_);
            std::uint64_t at = 0;
            for (std::uint64_t i = 0; i < polys; ++i) {
                const std::uint64_t n = readU32(r + poly_polygon::kPolygonPointCount + 4 * i);
                if (n > total - at)
                    break;
                pathAdd(std::vector<QPointF>(pts.begin() + static_cast<std::ptrdiff_t>(at),
                                             pts.begin() + static_cast<std::ptrdiff_t>(at + n)),
                        false, filled);
                at += n;
            }
            if (!dc_.inPath) {
                drawShape(path_, true, true, dc_.winding);
                std::swap(saved, path_);
            }
            return;
        }
        spendOperations(polys);
        spendPoints(total);
        applyPen();
        if (filled)
            applyBrush();
        std::uint64_t at = 0;
        for (std::uint64_t i = 0; i < polys; ++i) {
            const std::uint64_t n = readU32(r + poly_polygon::kPolygonPointCount + 4 * i);
            if (n > total - at)
                return;
            std::vector<QPointF> one(pts.begin() + static_cast<std::ptrdiff_t>(at),
                                     pts.begin() + static_cast<std::ptrdiff_t>(at + n));
            at += n;
            const QPolygon mapped = mapPolygon(one);
            if (filled) {
                spendFill(mapped.boundingRect());
                canvas_.polygon(mapped);
            } else {
                spendLines(mapped, false);
                canvas_.polyline(mapped);
            }
        }
    }

    void text(bool wide, const std::uint8_t* r, std::uint64_t size)
    {
        namespace field = ext_text_out;
        const std::int32_t refX = readI32(r + field::kReference + pointl::kX);
        const std::int32_t refY = readI32(r + field::kReference + pointl::kY);
        const std::uint64_t n = readU32(r + field::kChars);
        const std::uint64_t offString = readU32(r + field::kOffString);
        std::uint32_t options = readU32(r + field::kOptions);
        const std::uint8_t* textRect = r + field::kRectangle;
        const std::int32_t rl = readI32(textRect + rectl::kLeft), rt = readI32(textRect + rectl::kTop),
                           rr = readI32(textRect + rectl::kRight), rb = readI32(textRect + rectl::kBottom);
        const std::uint64_t offDx = readU32(r + field::kOffDx);
        if (n > EmfLimits::maxTextChars)
            return;
        const std::uint64_t unit = wide ? 2 : 1;
        if (n > 0 && !fits(offString, n * unit, size))
            return;
        spend(work_.glyphs, n, EmfBudget::maxGlyphs);
        spendOperations(1);
        QString s;
        if (n > 0 && !(options & kEtoGlyphIndex)) {
            if (wide) {
                s.resize(static_cast<qsizetype>(n));
                for (std::uint64_t i = 0; i < n; ++i)
                    s[static_cast<qsizetype>(i)] = QChar(readU16(r + offString + 2 * i));
            } else {
                s.resize(static_cast<qsizetype>(n));
                for (std::uint64_t i = 0; i < n; ++i) {
                    const std::uint8_t c = r[offString + i];
                    s[static_cast<qsizetype>(i)] = QChar(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
                }
            }
        } else if (n > 0 && wide) {
            applyText();
            s = textForGlyphs(canvas_.font(), r + offString, n);
        }
        // Advances: each Dx value, or (with PDY) every other value.
        const std::uint64_t dxStep = (options & kEtoPdy) ? 2 : 1;
        const bool haveDx = offDx != 0 && n > 0 && fits(offDx, n * 4 * dxStep, size);
        if (options & kEtoNoRect)
            options &= ~(kEtoOpaque | kEtoClipped);
        const unsigned canvasOptions = ((options & kEtoOpaque) ? TextOpaque : 0u) | ((options & kEtoClipped) ? TextClipped : 0u);
        if (s.isEmpty() && !(canvasOptions & TextOpaque))
            return;

        applyText();
        const bool updateCp = (dc_.align & 1) != 0;
        const double x0 = updateCp ? dc_.position.x() : refX;
        const double y0 = updateCp ? dc_.position.y() : refY;
        const QPoint ref = mapPoint(x0, y0);
        const Rect rect = mapRect(rl, rt, rr, rb);

        std::vector<int> dx;
        std::vector<int>* dxp = nullptr;
        double logicalAdvance = 0;
        // Text at an angle is drawn along its baseline, through the painter.
        const double turn = (turned() ? std::atan2(full_.m12, full_.m11) * 180 / M_PI : 0) - dc_.font.escapement;
        const bool rotated = painter_ && std::fabs(turn) > 1e-6;
        // With PDY every character also moves up by the second value of its
        // pair: `drop` holds how far each lies below the reference point, in
        // pixels, ending with where the next character would go.
        std::vector<int> drop;
        double logicalRise = 0;
        if (haveDx && !s.isEmpty()) {
            dx.resize(static_cast<size_t>(n));
            double cum = 0;
            int prev = rotated ? 0 : ref.x();
            for (std::uint64_t i = 0; i < n; ++i) {
                cum += readI32(r + offDx + 4 * i * dxStep);
                const int next = rotated ? clampCoord(cum * full_.scaleX()) : clampCoord(full_.map(x0 + cum, y0).x());
                dx[i] = next - prev;
                prev = next;
                if (dxStep == 2) {
                    if (drop.empty())
                        drop.push_back(0);
                    logicalRise += readI32(r + offDx + 4 * (2 * i + 1));
                    drop.push_back(rotated ? clampCoord(-logicalRise * full_.scaleY())
                                           : clampCoord(full_.map(x0, y0 - logicalRise).y()) - ref.y());
                }
            }
            logicalAdvance = cum;
            dxp = &dx;
            if (std::all_of(drop.begin(), drop.end(), [](int d) { return d == 0; }) || s.size() != qsizetype(n))
                drop.clear();
        }
        // Letters placed by the record's own advances, along a line, pay where
        // they can show; any others (placed by the font, turned, or moved one
        // by one) pay for every letter.
        if (dxp && !rotated && drop.empty() && !s.isEmpty())
            spendLetters(lettersInView(ref, rect, canvasOptions, *dxp));
        else
            spendLetters(n);
        if (canvasOptions & TextOpaque)
            spendFill(rect);
        if (rotated) {
            painter_->save();
            if ((canvasOptions & TextOpaque) && !rect.isEmpty())
                painter_->fillRect(rect.toQRect(), dc_.bkColor);
            if (canvasOptions & TextClipped)
                painter_->setClipRect(rect.toQRect(), Qt::IntersectClip);
            painter_->translate(ref);
            painter_->rotate(turn);
            textRun(0, 0, Rect{}, 0, s, dxp, drop);
            painter_->restore();
        } else {
            textRun(ref.x(), ref.y(), rect, canvasOptions, s, dxp, drop);
        }
        if (updateCp) {
            if (!dxp) {
                const double sx = full_.scaleX();
                logicalAdvance = sx > 0 ? canvas_.textWidth(s) / sx : 0;
            }
            dc_.position = QPoint(clampCoord(x0 + logicalAdvance), clampCoord(y0 - logicalRise));
        }
    }

    // Text whose characters each lie `drop[i]` pixels below the reference
    // point (none: all on it), one character at a time; the alignment places
    // the run as a whole, its end being where the next character would go.
    void textRun(int x, int y, const Rect& rect, unsigned options, const QString& s, const std::vector<int>* dx,
                 const std::vector<int>& drop)
    {
        if (drop.empty()) {
            canvas_.textOut(x, y, rect, options, s, dx);
            return;
        }
        TextAlign align = canvas_.textAlign();
        long long width = 0;
        for (int d : *dx)
            width += d;
        long long left = x, top = y;
        if (align.horizontal != HAlign::Left) {
            const int parts = align.horizontal == HAlign::Right ? 1 : 2;
            left -= width / parts;
            top -= drop.back() / parts;
        }
        align.horizontal = HAlign::Left;
        canvas_.setTextAlign(align);
        for (qsizetype i = 0; i < s.size(); ++i) {
            const std::vector<int> one{(*dx)[size_t(i)]};
            canvas_.textOut(clampCoord(double(left)), clampCoord(double(top) + drop[size_t(i)]), rect,
                            i == 0 ? options : options & TextClipped, s.mid(i, 1), &one);
            left += one[0];
        }
    }

    // True when the transform turns or shears: rectangles are then no longer upright.
    bool turned() const { return std::fabs(full_.m12) > 1e-9 || std::fabs(full_.m21) > 1e-9; }
    // A logical shape in target pixels, with the transform's rounding to whole pixels.
    QPainterPath transformed(const QPainterPath& logical) const
    {
        const QTransform t(full_.m11, full_.m12, full_.m21, full_.m22, full_.dx, full_.dy);
        QPainterPath out = t.map(logical);
        if (!turned()) {
            // Upright corners land on whole pixels, as mapRect puts them.
            const QRectF b = out.boundingRect();
            const QRectF r = QRectF(QPointF(clampCoord(b.left()), clampCoord(b.top())), QPointF(clampCoord(b.right()), clampCoord(b.bottom())));
            if (b.width() > 0 && b.height() > 0)
                out = (QTransform::fromTranslate(-b.left(), -b.top())
                       * QTransform::fromScale(r.width() / b.width(), r.height() / b.height())
                       * QTransform::fromTranslate(r.left(), r.top()))
                          .map(out);
        }
        return out;
    }

    // ---- Paths. Figures are kept in target pixels, as Windows keeps a path
    // in device units: a transform set later does not move them.
    QPointF mapPointF(double x, double y) const { return QPointF(mapPoint(x, y)); }

    void pathStart()
    {
        if (path_.elementCount() == 0)
            path_.moveTo(mapPointF(dc_.position.x(), dc_.position.y()));
    }
    // A figure of logical points; `continues` joins it to the current figure.
    void pathAdd(const std::vector<QPointF>& pts, bool continues, bool closed)
    {
        if (pts.empty())
            return;
        spendPoints(pts.size());
        size_t i = 0;
        if (continues) {
            pathStart();
        } else {
            // Every figure of a path is a shape to fill or stroke: it counts as
            // a drawing call, so a path cannot hide a million of them.
            spendOperations(1);
            path_.moveTo(mapPointF(pts[0].x(), pts[0].y()));
            i = 1;
        }
        for (; i < pts.size(); ++i)
            path_.lineTo(mapPointF(pts[i].x(), pts[i].y()));
        if (closed)
            path_.closeSubpath();
    }

    QBrush qbrush() const
    {
        const LogBrush& b = dc_.brush;
        if (b.hatch >= 0) {
            static const Qt::BrushStyle styles[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                    Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(b.color, styles[std::min(b.hatch, 5)]);
        }
        if (!b.pattern.isNull()) {
            if (!b.monoPattern)
                return QBrush(b.pattern);
            // Set bits take the background colour, clear ones the text colour.
            QImage mono = b.pattern;
            mono.setColorTable({dc_.textColor.rgb(), dc_.bkColor.rgb()});
            return QBrush(mono.convertToFormat(QImage::Format_RGB32));
        }
        return QBrush(b.color);
    }

    // Fills and outlines a shape given in target pixels, the brush's way.
    void drawShape(QPainterPath shape, bool fill, bool stroke, bool winding)
    {
        spendOperations(1);
        const QRect box = shape.boundingRect().toAlignedRect();
        if (fill && !dc_.brush.clear) {
            spendFill(box);
            shape.setFillRule(winding ? Qt::WindingFill : Qt::OddEvenFill);
            if (painter_) {
                painter_->save();
                painter_->setRenderHint(QPainter::Antialiasing, false);
                painter_->setPen(Qt::NoPen);
                if (dc_.brush.hatch >= 0 && dc_.bkMode == BackgroundMode::Opaque) {
                    painter_->setBrush(dc_.bkColor);
                    painter_->drawPath(shape);
                }
                painter_->setBrush(qbrush());
                painter_->setBrushOrigin(devToTarget_.map(dc_.brushOrigin.x(), dc_.brushOrigin.y()));
                painter_->drawPath(shape);
                painter_->restore();
            } else {
                applyBrush();
                CanvasPen none;
                none.style = PenStyle::Clear;
                canvas_.setPen(none);
                for (const QPolygonF& p : shape.toFillPolygons())
                    canvas_.polygon(p.toPolygon());
            }
        }
        if (stroke && dc_.pen.style != PenStyle::Clear) {
            applyPen();
            for (const QPolygonF& p : shape.toSubpathPolygons()) {
                QPolygon line = p.toPolygon();
                spendLines(line, false);
                if (line.size() > 2 && line.first() == line.last()) {
                    // A closed figure joins at its start: a polygon with nothing to fill.
                    line.removeLast();
                    canvas_.setBrush(CanvasBrush{QColor(), true});
                    canvas_.polygon(line);
                } else {
                    canvas_.polyline(line);
                }
            }
        }
    }

    void endPathDrawing(bool fill, bool stroke)
    {
        if (dc_.inPath)
            return;
        spendPoints(std::uint64_t(path_.elementCount()));
        drawShape(path_, fill, stroke, dc_.winding || pathWidened_);
        path_ = QPainterPath();
        pathWidened_ = false;
    }

    void widenPath()
    {
        if (dc_.inPath || path_.isEmpty())
            return;
        QPainterPathStroker stroker;
        stroker.setWidth(penWidth());
        stroker.setCapStyle(qtCap(dc_.pen.cap));
        stroker.setJoinStyle(qtJoin(dc_.pen.join));
        stroker.setMiterLimit(dc_.miterLimit / 2);
        // The outline has a few elements for every segment and join of the path.
        spendPoints(16 * std::uint64_t(path_.elementCount()));
        path_ = stroker.createStroke(path_);
        pathWidened_ = true;
    }

    // Points of an elliptic arc inside box (l, t, r, b), anticlockwise as seen
    // on the page from the radial through (sx, sy) to the one through (ex, ey);
    // equal radials make a whole ellipse. Logical units.
    std::vector<QPointF> arcPoints(double l, double t, double r, double b, double sx, double sy, double ex, double ey)
    {
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
        const double a0 = std::atan2(-(sy - cy) * (rx > 0 ? rx : 1), (sx - cx) * (ry > 0 ? ry : 1));
        double a1 = std::atan2(-(ey - cy) * (rx > 0 ? rx : 1), (ex - cx) * (ry > 0 ? ry : 1));
        while (a1 <= a0)
            a1 += 2 * M_PI;
        double sweep = a1 - a0;
        if (dc_.clockwise && sweep < 2 * M_PI)
            sweep -= 2 * M_PI;
        const int steps = std::max(2, static_cast<int>(std::ceil(64 * std::fabs(sweep) / (2 * M_PI))));
        spendPoints(std::uint64_t(steps) + 1);
        std::vector<QPointF> pts;
        pts.reserve(size_t(steps) + 1);
        for (int k = 0; k <= steps; ++k) {
            const double a = a0 + sweep * k / steps;
            pts.emplace_back(cx + rx * std::cos(a), cy - ry * std::sin(a));
        }
        return pts;
    }

    void arc(std::uint32_t type, const std::uint8_t* r)
    {
        const std::uint8_t* box = r + arc::kBox;
        const std::uint8_t* start = r + arc::kStart;
        const std::uint8_t* end = r + arc::kEnd;
        const double l = readI32(box + rectl::kLeft), t = readI32(box + rectl::kTop), ri = readI32(box + rectl::kRight),
                     b = readI32(box + rectl::kBottom);
        std::vector<QPointF> pts = arcPoints(l, t, ri, b, readI32(start + pointl::kX), readI32(start + pointl::kY),
                                             readI32(end + pointl::kX), readI32(end + pointl::kY));
        const bool closed = type == Chord || type == Pie;
        if (type == Pie)
            pts.insert(pts.begin(), QPointF((l + ri) / 2, (t + b) / 2));
        // ARCTO draws a line from the position to the arc's start and moves the position to its end.
        if (type == ArcTo && !dc_.inPath)
            pts.insert(pts.begin(), QPointF(dc_.position));
        if (dc_.inPath)
            pathAdd(pts, type == ArcTo, closed);
        if (type == ArcTo)
            dc_.position = QPoint(clampCoord(pts.back().x()), clampCoord(pts.back().y()));
        if (dc_.inPath)
            return;
        QPainterPath saved;
        std::swap(saved, path_);
        pathAdd(pts, false, closed);
        drawShape(path_, closed, true, dc_.winding);
        std::swap(saved, path_);
    }

    void angleArc(const std::uint8_t* r)
    {
        const std::uint8_t* center = r + angle_arc::kCenter;
        const double cx = readI32(center + pointl::kX), cy = readI32(center + pointl::kY);
        const double radius = readU32(r + angle_arc::kRadius);
        const float start = readF32(r + angle_arc::kStartAngle), sweep = readF32(r + angle_arc::kSweepAngle);
        if (!finite({start, sweep}) || radius > kCoordLimit || std::fabs(sweep) > 3600)
            return;
        const int steps = std::max(2, static_cast<int>(std::ceil(64 * std::fabs(sweep) / 360)));
        std::vector<QPointF> pts;
        for (int k = 0; k <= steps; ++k) {
            const double a = (start + sweep * k / steps) * M_PI / 180;
            pts.emplace_back(cx + radius * std::cos(a), cy - radius * std::sin(a));
        }
        if (dc_.inPath) {
            pathAdd(pts, true, false);
        } else {
            pts.insert(pts.begin(), QPointF(dc_.position));
            QPainterPath saved;
            std::swap(saved, path_);
            pathAdd(pts, false, false);
            drawShape(path_, false, true, false);
            std::swap(saved, path_);
        }
        dc_.position = QPoint(clampCoord(pts.back().x()), clampCoord(pts.back().y()));
    }

    // ---- Clipping beyond rectangles: needs the painter; a recording canvas keeps
    // its rectangle clips only.
    void combineClip(const QRegion& region, std::uint32_t mode)
    {
        if (!clip_)
            return;
        spendOperations(1);
        clip_->combine(region, mode);
    }

    // Region data is in reference-device pixels, whatever the mapping.
    std::optional<QRegion> regionAt(const std::uint8_t* data, std::uint64_t size)
    {
        const std::optional<std::vector<QRect>> rects = readRegionRects(data, size);
        if (!rects)
            return std::nullopt;
        spendOperations(1);
        spendPoints(4 * std::uint64_t(rects->size()));
        return unitedRegion(*rects, [this](const QRect& r) {
            const QPointF a = devToTarget_.map(r.left(), r.top());
            const QPointF b = devToTarget_.map(double(r.right()) + 1, double(r.bottom()) + 1);
            const int x0 = clampCoord(std::min(a.x(), b.x())), x1 = clampCoord(std::max(a.x(), b.x()));
            const int y0 = clampCoord(std::min(a.y(), b.y())), y1 = clampCoord(std::max(a.y(), b.y()));
            return QRect(x0, y0, x1 - x0, y1 - y0).intersected(clipBound_);
        });
    }

    void selectClipRegion(const std::uint8_t* r, std::uint64_t size)
    {
        if (!clip_)
            return;
        const std::uint64_t cb = readU32(r + ext_select_clip_rgn::kRgnDataSize);
        const std::uint32_t mode = readU32(r + ext_select_clip_rgn::kRegionMode);
        if (cb == 0 || !fits(ext_select_clip_rgn::kRgnData, cb, size)) {
            // No region: only COPY means something, the default clip.
            if (mode == std::uint32_t(ClipMode::Copy) && cb == 0)
                clip_->reset();
            return;
        }
        if (const std::optional<QRegion> region = regionAt(r + ext_select_clip_rgn::kRgnData, cb))
            combineClip(*region, mode);
    }

    void selectClipPath(std::uint32_t mode)
    {
        if (dc_.inPath)
            return;
        QPainterPath p = path_;
        path_ = QPainterPath();
        pathWidened_ = false;
        if (!clip_)
            return;
        spendOperations(1);
        spendPoints(std::uint64_t(p.elementCount()));
        p.setFillRule(dc_.winding ? Qt::WindingFill : Qt::OddEvenFill);
        clip_->combinePath(p, mode);
    }

    // FILLRGN with a brush object, PAINTRGN with the selected one.
    void fillRegion(const std::uint8_t* r, std::uint64_t size, bool withObject)
    {
        // Both records hold the region's size at the same place.
        static_assert(fill_rgn::kRgnDataSize == paint_rgn::kRgnDataSize);
        const std::uint64_t cb = readU32(r + fill_rgn::kRgnDataSize);
        const std::uint64_t at = withObject ? fill_rgn::kRgnData : paint_rgn::kRgnData;
        if (!fits(at, cb, size))
            return;
        const std::optional<QRegion> region = regionAt(r + at, cb);
        if (!region)
            return;
        const Dc saved = dc_;
        if (withObject)
            selectObject(readU32(r + fill_rgn::kIhBrush));
        QPainterPath shape;
        shape.addRegion(*region);
        drawShape(shape, true, false, true);
        dc_ = saved;
    }

    // SMALLTEXTOUT: text without advances, in 8-bit characters (ETO_SMALL_CHARS)
    // or UTF-16, with a rectangle unless ETO_NO_RECT. Played as the
    // EXTTEXTOUTW record it abbreviates.
    void smallText(const std::uint8_t* r, std::uint64_t size)
    {
        constexpr std::uint32_t kSmallChars = 0x200;
        const std::uint64_t n = readU32(r + small_text_out::kChars);
        const std::uint32_t options = readU32(r + small_text_out::kOptions);
        const std::uint64_t at = (options & kEtoNoRect) ? small_text_out::kStringNoRect : small_text_out::kString;
        const std::uint64_t unit = (options & kSmallChars) ? 1 : 2;
        if (n > EmfLimits::maxTextChars || !fits(at, n * unit, size))
            return;
        // The string right after the fixed part, and no Dx array.
        constexpr std::size_t textAt = ext_text_out::kFixedSize;
        std::vector<std::uint8_t> w(static_cast<size_t>(textAt + 2 * n), 0);
        auto put = [&](size_t off, std::uint32_t v) {
            for (int k = 0; k < 4; ++k)
                w[off + k] = std::uint8_t(v >> (8 * k));
        };
        put(record::kType, ExtTextOutW);
        put(record::kSize, static_cast<std::uint32_t>(w.size()));
        put(ext_text_out::kReference + pointl::kX, readU32(r + small_text_out::kX));
        put(ext_text_out::kReference + pointl::kY, readU32(r + small_text_out::kY));
        put(ext_text_out::kChars, static_cast<std::uint32_t>(n));
        put(ext_text_out::kOffString, textAt);
        put(ext_text_out::kOptions, options & ~kSmallChars);
        if (!(options & kEtoNoRect))
            for (std::size_t side : {rectl::kLeft, rectl::kTop, rectl::kRight, rectl::kBottom})
                put(ext_text_out::kRectangle + side, readU32(r + small_text_out::kBounds + side));
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint16_t c = unit == 1 ? r[at + i] : readU16(r + at + 2 * i);
            w[textAt + 2 * i] = std::uint8_t(c);
            w[textAt + 2 * i + 1] = std::uint8_t(c >> 8);
        }
        text(true, w.data(), w.size());
    }

    void drawBitmap(const QImage& image, double sx, double sy, double sw, double sh, double dx, double dy,
                    double dw, double dh)
    {
        // Negative extents mirror; fold them into the image.
        bool mirrorX = false, mirrorY = false;
        if (sw < 0) { sx += sw; sw = -sw; mirrorX = !mirrorX; }
        if (sh < 0) { sy += sh; sh = -sh; mirrorY = !mirrorY; }
        if (dw < 0) { dx += dw; dw = -dw; mirrorX = !mirrorX; }
        if (dh < 0) { dy += dh; dh = -dh; mirrorY = !mirrorY; }
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
            return;
        // Clip the source to the bitmap, moving the destination with it.
        const double kx = dw / sw, ky = dh / sh;
        const double cx0 = std::max(sx, 0.0), cy0 = std::max(sy, 0.0);
        const double cx1 = std::min(sx + sw, double(image.width())), cy1 = std::min(sy + sh, double(image.height()));
        if (cx1 <= cx0 || cy1 <= cy0)
            return;
        const double ndx = dx + (mirrorX ? (sx + sw - cx1) : (cx0 - sx)) * kx;
        const double ndy = dy + (mirrorY ? (sy + sh - cy1) : (cy0 - sy)) * ky;
        const double ndw = (cx1 - cx0) * kx, ndh = (cy1 - cy0) * ky;
        const QRect srcRect(static_cast<int>(cx0), static_cast<int>(cy0),
                            static_cast<int>(std::ceil(cx1)) - static_cast<int>(cx0),
                            static_cast<int>(std::ceil(cy1)) - static_cast<int>(cy0));
        QImage part = srcRect == image.rect() ? image : image.copy(srcRect);
        if (mirrorX || mirrorY)
            part = part.mirrored(mirrorX, mirrorY);
        const Rect dest = mapRect(ndx, ndy, ndx + ndw, ndy + ndh);
        if (dest.isEmpty())
            return;
        spendFill(dest);
        if (turned() && painter_) {
            // A turned bitmap is drawn through the transform, pixel for pixel (no smoothing).
            painter_->save();
            painter_->setTransform(QTransform(full_.m11, full_.m12, full_.m21, full_.m22, full_.dx, full_.dy), true);
            painter_->drawImage(QRectF(ndx, ndy, ndw, ndh), part);
            painter_->restore();
            return;
        }
        if (dc_.halftone && (dest.width() < part.width() || dest.height() < part.height()))
            part = part.scaled(dest.width(), dest.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (dest.width() == part.width() && dest.height() == part.height())
            canvas_.drawImage(dest.left, dest.top, part);
        else
            canvas_.stretchImage(dest, part);
    }

    void fillPattern(std::uint32_t rop, double l, double t, double r, double b_)
    {
        const Rect dest = mapRect(l, t, r, b_);
        if (rop == kRopPatCopy && painter_ && (turned() || !dc_.brush.plain())) {
            QPainterPath shape;
            shape.addRect(QRectF(QPointF(l, t), QPointF(r, b_)));
            drawShape(transformed(shape), true, false, false);
            return;
        }
        spendOperations(1);
        CanvasBrush b;
        if (rop == kRopPatCopy) {
            if (dc_.brush.clear)
                return;
            b.color = dc_.brush.color;
        } else if (rop == 0x00000042) {  // BLACKNESS
            b.color = QColor(0, 0, 0);
        } else if (rop == 0x00FF0062) {  // WHITENESS
            b.color = QColor(255, 255, 255);
        } else if ((rop == 0x00550009 || rop == 0x005A0049) && rasterOps()) {  // DSTINVERT, PATINVERT
            if (rop == 0x005A0049 && dc_.brush.clear)
                return;
            spendFill(dest);
            RopScope scope(painter_, QPainter::RasterOp_SourceXorDestination);
            painter_->fillRect(dest.toQRect(), rop == 0x00550009 ? QColor(255, 255, 255) : dc_.brush.color);
            return;
        } else {
            return;
        }
        spendFill(dest);
        canvas_.setBrush(b);
        canvas_.fillRect(dest);
    }

    // Raster operations need a painter that draws into pixels (not PDF or a printer).
    bool rasterOps() const { return painter_ && paintsPixels(*painter_); }
    // The painter's mode for a bitmap's raster operation; null for one we do not draw.
    std::optional<QPainter::CompositionMode> sourceRop(std::uint32_t rop) const
    {
        if (rop == kRopSrcCopy)
            return QPainter::CompositionMode_SourceOver;
        return rasterOps() ? bitmapRopMode(rop) : std::nullopt;
    }

    void alphaBlend(const std::uint8_t* r, std::uint64_t size)
    {
        if (dc_.inPath)
            return;
        namespace field = alpha_blend;
        const std::int32_t x = readI32(r + field::kXDest), y = readI32(r + field::kYDest);
        const std::int32_t cx = readI32(r + field::kCxDest), cy = readI32(r + field::kCyDest);
        const std::uint8_t constantAlpha = r[field::kSourceConstantAlpha], alphaFormat = r[field::kAlphaFormat];
        const std::int32_t xSrc = readI32(r + field::kXSrc), ySrc = readI32(r + field::kYSrc);
        const std::int32_t cxSrc = readI32(r + field::kCxSrc), cySrc = readI32(r + field::kCySrc);
        spendOperations(1);
        std::optional<QImage> img = decodeDib(r, size, readU32(r + field::kOffBmiSrc), readU32(r + field::kCbBmiSrc),
                                              readU32(r + field::kOffBitsSrc), readU32(r + field::kCbBitsSrc),
                                              readU32(r + field::kUsageSrc), dc_.palette, pixelBudget_, (alphaFormat & 1) != 0);
        if (!img || constantAlpha == 0)
            return;
        // AC_SRC_ALPHA bitmaps hold premultiplied colours.
        if (img->format() == QImage::Format_ARGB32)
            img->reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        const double opacity = constantAlpha / 255.0;
        if (painter_ && opacity < 1) {
            painter_->save();
            painter_->setOpacity(painter_->opacity() * opacity);
            drawBitmap(*img, xSrc, ySrc, cxSrc, cySrc, x, y, cx, cy);
            painter_->restore();
        } else {
            drawBitmap(*img, xSrc, ySrc, cxSrc, cySrc, x, y, cx, cy);
        }
    }

    void gradientFill(const std::uint8_t* r, std::uint64_t size)
    {
        if (dc_.inPath)
            return;
        const std::uint64_t nVer = readU32(r + gradient_fill::kNumVertices);
        const std::uint64_t nTri = readU32(r + gradient_fill::kNumShapes);
        const std::uint32_t mode = readU32(r + gradient_fill::kMode);
        const std::uint64_t each = mode == 2 ? gradient_triangle::kSize : gradient_rect::kSize;
        if (mode > 2 || nVer > size / tri_vertex::kSize || nTri > size / each
            || !fits(gradient_fill::kVertexData, nVer * tri_vertex::kSize + nTri * each, size))
            return;
        struct Vertex {
            QPointF at;
            QColor color;
        };
        std::vector<Vertex> v(static_cast<size_t>(nVer));
        for (std::uint64_t i = 0; i < nVer; ++i) {
            const std::uint8_t* p = r + gradient_fill::kVertexData + tri_vertex::kSize * i;
            v[i] = {QPointF(readI32(p + tri_vertex::kX), readI32(p + tri_vertex::kY)),
                    QColor(readU16(p + tri_vertex::kRed) >> 8, readU16(p + tri_vertex::kGreen) >> 8,
                           readU16(p + tri_vertex::kBlue) >> 8)};
        }
        const std::uint8_t* shapes = r + gradient_fill::kVertexData + tri_vertex::kSize * nVer;
        CanvasPen none;
        none.style = PenStyle::Clear;
        auto mix = [](const QColor& a, const QColor& b, double t) {
            return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                                    float(a.blueF() + (b.blueF() - a.blueF()) * t));
        };
        for (std::uint64_t i = 0; i < nTri; ++i) {
            const std::uint8_t* p = shapes + each * i;
            // A rectangle's two corners lie where a triangle's first two vertices do.
            static_assert(gradient_rect::kUpperLeft == gradient_triangle::kVertex1
                          && gradient_rect::kLowerRight == gradient_triangle::kVertex2);
            const std::uint64_t a = readU32(p + gradient_triangle::kVertex1);
            const std::uint64_t b = readU32(p + gradient_triangle::kVertex2);
            const std::uint64_t c = mode == 2 ? readU32(p + gradient_triangle::kVertex3) : 0;
            if (a >= nVer || b >= nVer || c >= nVer)
                continue;
            spendOperations(1);
            if (mode < 2) {
                const Rect box = mapRect(v[a].at.x(), v[a].at.y(), v[b].at.x(), v[b].at.y());
                spendFill(box);
                if (painter_) {
                    const QPointF from = mode == 0 ? QPointF(box.left, 0) : QPointF(0, box.top);
                    const QPointF to = mode == 0 ? QPointF(box.right, 0) : QPointF(0, box.bottom);
                    QLinearGradient g(from, to);
                    const bool swapped = (mode == 0 ? v[a].at.x() > v[b].at.x() : v[a].at.y() > v[b].at.y());
                    g.setColorAt(0, swapped ? v[b].color : v[a].color);
                    g.setColorAt(1, swapped ? v[a].color : v[b].color);
                    painter_->fillRect(box.toQRect(), g);
                } else {
                    canvas_.setBrush(CanvasBrush{mix(v[a].color, v[b].color, 0.5), false});
                    canvas_.fillRect(box);
                }
                continue;
            }
            // A triangle as small flat triangles, each in the colour at its
            // middle, about six pixels a side.
            const QPolygon whole = mapPolygon({v[a].at, v[b].at, v[c].at});
            const QRect wholeBox = whole.boundingRect();
            const int k = std::clamp((std::max(wholeBox.width(), wholeBox.height()) + 5) / 6, 1, 32);
            spendPoints(std::uint64_t(3 * k * k));
            spendFill(whole.boundingRect());
            canvas_.setPen(none);
            auto at = [&](double u, double w) { return v[a].at + (v[b].at - v[a].at) * u + (v[c].at - v[a].at) * w; };
            auto colour = [&](double u, double w) {
                auto channel = [&](double ca, double cb, double cc) {
                    return float(std::clamp(ca * (1 - u - w) + cb * u + cc * w, 0.0, 1.0));
                };
                const QColor &ca = v[a].color, &cb = v[b].color, &cc = v[c].color;
                return QColor::fromRgbF(channel(ca.redF(), cb.redF(), cc.redF()), channel(ca.greenF(), cb.greenF(), cc.greenF()),
                                        channel(ca.blueF(), cb.blueF(), cc.blueF()));
            };
            for (int row = 0; row < k; ++row)
                for (int col = 0; col + row < k; ++col)
                    for (int up = 0; up < (col + row + 1 < k ? 2 : 1); ++up) {
                        const double u = double(col) / k, w = double(row) / k, d = 1.0 / k;
                        std::vector<QPointF> tri = up == 0 ? std::vector<QPointF>{at(u, w), at(u + d, w), at(u, w + d)}
                                                           : std::vector<QPointF>{at(u + d, w), at(u + d, w + d), at(u, w + d)};
                        const double cu = up == 0 ? u + d / 3 : u + 2 * d / 3, cw = up == 0 ? w + d / 3 : w + 2 * d / 3;
                        canvas_.setBrush(CanvasBrush{colour(cu, cw), false});
                        canvas_.polygon(mapPolygon(tri));
                    }
        }
    }

    void blt(const std::uint8_t* r, std::uint64_t size, bool stretch)
    {
        if (dc_.inPath)
            return;
        namespace field = bit_blt;
        const std::int32_t x = readI32(r + field::kXDest), y = readI32(r + field::kYDest);
        const std::int32_t cx = readI32(r + field::kCxDest), cy = readI32(r + field::kCyDest);
        const std::uint32_t rop = readU32(r + field::kBitBltRasterOperation);
        const std::int32_t xSrc = readI32(r + field::kXSrc), ySrc = readI32(r + field::kYSrc);
        const std::uint32_t usage = readU32(r + field::kUsageSrc);
        const std::uint32_t offBmi = readU32(r + field::kOffBmiSrc), cbBmi = readU32(r + field::kCbBmiSrc);
        const std::uint32_t offBits = readU32(r + field::kOffBitsSrc), cbBits = readU32(r + field::kCbBitsSrc);
        if (cbBmi == 0 || cbBits == 0) {
            fillPattern(rop, x, y, double(x) + cx, double(y) + cy);
            return;
        }
        const std::optional<QPainter::CompositionMode> mode = sourceRop(rop);
        if (!mode)
            return;
        spendOperations(1);
        const std::optional<QImage> img = decodeDib(r, size, offBmi, cbBmi, offBits, cbBits, usage, dc_.palette, pixelBudget_, false);
        if (!img)
            return;
        const double sw = stretch ? readI32(r + stretch_blt::kCxSrc) : cx;
        const double sh = stretch ? readI32(r + stretch_blt::kCySrc) : cy;
        RopScope scope(painter_, *mode);
        drawBitmap(*img, xSrc, ySrc, sw, sh, x, y, cx, cy);
    }

    void stretchDIBits(const std::uint8_t* r, std::uint64_t size)
    {
        if (dc_.inPath)
            return;
        namespace field = stretch_dibits;
        const std::int32_t xDest = readI32(r + field::kXDest), yDest = readI32(r + field::kYDest);
        const std::int32_t xSrc = readI32(r + field::kXSrc), ySrc = readI32(r + field::kYSrc);
        const std::int32_t cxSrc = readI32(r + field::kCxSrc), cySrc = readI32(r + field::kCySrc);
        const std::uint32_t offBmi = readU32(r + field::kOffBmiSrc), cbBmi = readU32(r + field::kCbBmiSrc);
        const std::uint32_t offBits = readU32(r + field::kOffBitsSrc), cbBits = readU32(r + field::kCbBitsSrc);
        const std::uint32_t usage = readU32(r + field::kUsageSrc), rop = readU32(r + field::kBitBltRasterOperation);
        const std::int32_t cxDest = readI32(r + field::kCxDest), cyDest = readI32(r + field::kCyDest);
        if (cbBmi == 0 || cbBits == 0) {
            fillPattern(rop, xDest, yDest, double(xDest) + cxDest, double(yDest) + cyDest);
            return;
        }
        const std::optional<QPainter::CompositionMode> mode = sourceRop(rop);
        if (!mode)
            return;
        spendOperations(1);
        const std::optional<QImage> img = decodeDib(r, size, offBmi, cbBmi, offBits, cbBits, usage, dc_.palette, pixelBudget_, false);
        if (!img)
            return;
        RopScope scope(painter_, *mode);
        // The source rectangle of a bottom-up DIB counts rows from the bottom.
        const bool bottomUp = readI32(r + offBmi + bmih::kHeight) > 0;
        const double top = bottomUp ? double(img->height()) - ySrc - cySrc : ySrc;
        drawBitmap(*img, xSrc, top, cxSrc, cySrc, xDest, yDest, cxDest, cyDest);
    }

    // ---- EMF+ drawing, in reference-device pixels through `toDevice`.
    QTransform plusToTarget(const QTransform& toDevice) const
    {
        return toDevice * QTransform(devToTarget_.m11, devToTarget_.m12, devToTarget_.m21, devToTarget_.m22,
                                     devToTarget_.dx, devToTarget_.dy);
    }
    static QPolygon clamped(const QPolygonF& p)
    {
        QPolygon out;
        for (const QPointF& q : p)
            out.append(QPoint(clampCoord(q.x()), clampCoord(q.y())));
        return out;
    }

    void plusFontCreated() override { spend(work_.fonts, 1, EmfBudget::maxFonts); }

    void plusFillRect(const QRectF& rect, const QTransform& toDevice, const QColor& color) override
    {
        spendOperations(1);
        const QTransform t = plusToTarget(toDevice);
        const QPolygon corners = clamped(t.map(QPolygonF(rect.normalized())));
        const QRect box = corners.boundingRect();
        spendFill(box);
        if (color.alpha() == 0)
            return;
        canvas_.setBrush(CanvasBrush{color, false});
        if (!t.isRotating()) {
            canvas_.fillRect(Rect{box.left(), box.top(), box.right(), box.bottom()});
        } else if (painter_) {
            QPainterPath shape;
            shape.addPolygon(QPolygonF(corners));
            painter_->fillPath(shape, color);
        } else {
            CanvasPen none;
            none.style = PenStyle::Clear;
            canvas_.setPen(none);
            canvas_.polygon(corners);
        }
    }

    void plusText(const QString& text, const PlusFont& font, const QColor& color, const QRectF& layout,
                  const QTransform& toDevice) override
    {
        const std::uint64_t n = std::uint64_t(text.size());
        spend(work_.glyphs, n, EmfBudget::maxGlyphs);
        spendOperations(1);
        const QTransform t = plusToTarget(toDevice);
        CanvasFont f;
        f.face = font.face;
        f.height = clampSize(font.emSize * std::hypot(t.m21(), t.m22()), 1, kMaxFontHeight);
        f.bold = font.bold;
        f.italic = font.italic;
        f.underline = font.underline;
        f.strikeOut = font.strikeOut;
        f.color = color;
        canvas_.setFont(f);
        canvas_.setBackgroundMode(BackgroundMode::Transparent);
        canvas_.setTextAlign(TextAlign{HAlign::Left, VAlign::Top});
        spendLetters(n);
        if (text.isEmpty() || color.alpha() == 0)
            return;
        // A layout with an extent clips the text to it.
        Rect clip;
        unsigned options = 0;
        if (layout.width() > 0 && layout.height() > 0) {
            clip = Rect::fromQRect(clamped(t.map(QPolygonF(layout))).boundingRect());
            options = TextClipped;
        }
        // GDI+ sets text a sixth of an em in from the layout's left edge.
        const QPointF originF = t.map(QPointF(layout.x() + font.emSize / 6, layout.y()));
        const QPoint origin(clampCoord(originF.x()), clampCoord(originF.y()));
        const double turn = std::atan2(t.m12(), t.m11()) * 180 / M_PI;
        if (painter_ && t.isRotating() && std::fabs(turn) > 1e-6) {
            painter_->save();
            if (options & TextClipped)
                painter_->setClipRect(clip.toQRect(), Qt::IntersectClip);
            painter_->translate(origin);
            painter_->rotate(turn);
            canvas_.textOut(0, 0, Rect{}, 0, text);
            painter_->restore();
        } else {
            canvas_.textOut(origin.x(), origin.y(), clip, options, text);
        }
    }

    const std::uint8_t* data_;
    EmfHeader header_;
    Canvas& canvas_;
    QRect target_;
    std::uint64_t maxPixels_;
    Affine devToTarget_;
    Affine full_;
    double devPxPerMmX_ = 1, devPxPerMmY_ = 1;
    Dc dc_;
    std::vector<Dc> stack_;
    std::vector<Object> objects_;
    std::uint64_t pixelBudget_ = EmfLimits::maxPixelsPerPlay;
    EmfWork work_;
    QPainter* painter_ = nullptr;
    std::optional<PainterClip> clip_;  // regions and clip paths, where there is a painter
    QRect clipBound_;                  // region rectangles are cut to this (see PainterClip)
    QPainterPath path_;                   // the path bracket's figures, in target pixels
    bool pathWidened_ = false;
    EmfPlusReader plus_{*this};
};

// Keeps the canvas state as it was, whatever happens during playback.
class CanvasStateGuard {
public:
    explicit CanvasStateGuard(Canvas& c) : canvas_(c), depth_(c.savedStateDepth()) { canvas_.saveState(); }
    ~CanvasStateGuard()
    {
        while (canvas_.savedStateDepth() > depth_)
            canvas_.restoreState();
    }

private:
    Canvas& canvas_;
    int depth_;
};

} // namespace

EmfHeader readEmfHeader(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < header::kMinSize)
        fail("it is shorter than a metafile header");
    if (readU32(data + record::kType) != Header)
        fail("it does not start with a metafile header");
    const std::uint32_t headerSize = readU32(data + record::kSize);
    if (headerSize < header::kMinSize || headerSize % 4 != 0)
        fail("the header record has a wrong size");
    if (readU32(data + header::kRecordSignature) != kSignature)
        fail("the header has no EMF signature");
    EmfHeader h;
    h.nBytes = readU32(data + header::kBytes);
    h.nRecords = readU32(data + header::kRecords);
    h.nHandles = readU16(data + header::kHandles);
    if (h.nBytes % 4 != 0 || h.nBytes < headerSize)
        fail("the size in its header is wrong");
    if (h.nBytes > size)
        fail("it is cut short (" + std::to_string(size) + " of " + std::to_string(h.nBytes) + " bytes)");
    if (headerSize > size)
        fail("the header record is cut short");
    const std::uint32_t nDesc = readU32(data + header::kDescriptionChars);
    const std::uint32_t offDesc = readU32(data + header::kOffDescription);
    if (nDesc != 0 && (offDesc < header::kMinSize || !fits(offDesc, std::uint64_t(nDesc) * 2, headerSize)))
        fail("the description lies outside the header");
    const std::uint8_t* bounds = data + header::kBounds;
    h.bounds = QRect(QPoint(readI32(bounds + rectl::kLeft), readI32(bounds + rectl::kTop)),
                     QPoint(readI32(bounds + rectl::kRight), readI32(bounds + rectl::kBottom)));
    const std::uint8_t* frame = data + header::kFrame;
    const std::int32_t fl = readI32(frame + rectl::kLeft), ft = readI32(frame + rectl::kTop),
                       fr = readI32(frame + rectl::kRight), fb = readI32(frame + rectl::kBottom);
    if (static_cast<std::int64_t>(fr) < fl || static_cast<std::int64_t>(fb) < ft
        || static_cast<std::int64_t>(fr) - fl >= INT_MAX || static_cast<std::int64_t>(fb) - ft >= INT_MAX)
        fail("its frame is empty");
    h.frame = QRect(QPoint(fl, ft), QPoint(fr, fb));
    h.deviceSize = QSize(readI32(data + header::kDevice + sizel::kCx), readI32(data + header::kDevice + sizel::kCy));
    h.deviceMillimeters =
        QSize(readI32(data + header::kMillimeters + sizel::kCx), readI32(data + header::kMillimeters + sizel::kCy));
    if (h.deviceSize.width() <= 0 || h.deviceSize.height() <= 0 || h.deviceMillimeters.width() <= 0
        || h.deviceMillimeters.height() <= 0)
        fail("its reference device has no size");
    return h;
}

EmfHeader validateEmf(const std::uint8_t* data, std::size_t size)
{
    const EmfHeader h = readEmfHeader(data, size);
    const std::uint64_t end = h.nBytes;
    std::uint64_t pos = readU32(data + record::kSize);
    std::uint64_t count = 1;
    while (true) {
        if (pos + record::kMinSize > end)
            fail("it has no end-of-file record");
        const std::uint32_t type = readU32(data + pos + record::kType);
        const std::uint32_t rsize = readU32(data + pos + record::kSize);
        if (rsize < record::kMinSize || rsize % 4 != 0 || rsize > end - pos)
            fail("record " + std::to_string(count) + " at byte " + std::to_string(pos) + " has a wrong size");
        if (++count > EmfLimits::maxRecords)
            fail("it has too many records");
        if (type == Eof) {
            if (rsize < eof::kFixedSize)
                fail("its end-of-file record is cut short");
            // Bytes between the end-of-file record and the size the header
            // declares belong to no record: whatever they are, the page is damaged.
            if (pos + rsize != end)
                fail("its end-of-file record ends at byte " + std::to_string(pos + rsize) + ", not at byte "
                     + std::to_string(end) + " where its header ends the metafile");
            break;
        }
        pos += rsize;
    }
    if (count != h.nRecords)
        fail("its header counts " + std::to_string(h.nRecords) + " records, but it holds " + std::to_string(count));
    return h;
}

EmfHeader validateEmf(const QByteArray& emf)
{
    return validateEmf(reinterpret_cast<const std::uint8_t*>(emf.constData()), static_cast<std::size_t>(emf.size()));
}

EmfWork playEmf(const std::uint8_t* data, std::size_t size, Canvas& canvas, const Rect& target)
{
    const EmfHeader h = validateEmf(data, size);
    if (target.isEmpty())
        return {};
    CanvasStateGuard guard(canvas);
    Player player(data, h, canvas, target);
    player.play();
    return player.work();
}

EmfWork playEmf(const QByteArray& emf, Canvas& canvas, const Rect& target)
{
    return playEmf(reinterpret_cast<const std::uint8_t*>(emf.constData()), static_cast<std::size_t>(emf.size()), canvas,
            target);
}

QSize emfFrameSizeInPixels(const EmfHeader& header, int pixelsPerInch)
{
    const double w = (double(header.frame.width())) * pixelsPerInch / 2540.0;
    const double h = (double(header.frame.height())) * pixelsPerInch / 2540.0;
    return QSize(std::max(1, static_cast<int>(std::clamp(std::floor(w + 0.5), 1.0, 1e6))),
                 std::max(1, static_cast<int>(std::clamp(std::floor(h + 0.5), 1.0, 1e6))));
}

} // namespace platform
