#include "platform/canvas_painter.h"
#include "platform/units.h"

#include <QHash>
#include <QMutex>
#include <QPaintEngine>

#include "platform/canvas_text.h"

#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {
// The largest letters Qt draws from glyph images rather than outlines.
constexpr int kLargestGlyphImage = 64;
} // namespace

struct QPainterCanvas::FontCache {
    explicit FontCache(QPaintDevice* device) : measures(device) {}
    FontMeasureCache measures;
    // The raw font of the measure last built, for drawing glyph runs.
    CanvasFont rawKey;
    QRawFont raw;
    bool rawValid = false;
};

QPainterCanvas::QPainterCanvas(QPainter& painter, int pixelsPerInch)
    : painter_(painter)
    , ppi_(pixelsPerInch > 0 ? pixelsPerInch
                             : (painter.device() ? painter.device()->logicalDpiX() : kDesignPixelsPerInch))
    , fonts_(std::make_unique<FontCache>(painter.device()))
{
    // Pages are drawn pixel-exact, the way a Windows device context draws them.
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

QPainterCanvas::~QPainterCanvas() = default;

QPainterCanvas::FontCache& QPainterCanvas::fontCache()
{
    return *fonts_;
}

void QPainterCanvas::onFontChanged() {}

namespace {

// Windows' dash patterns: in pixels for a one-pixel line, in line widths for a wider one.
QList<qreal> dashPattern(PenStyle style, bool wide)
{
    switch (style) {
    case PenStyle::Dash: return wide ? QList<qreal>{3, 1} : QList<qreal>{18, 6};
    case PenStyle::Dot: return wide ? QList<qreal>{1, 1} : QList<qreal>{3, 3};
    case PenStyle::DashDot: return wide ? QList<qreal>{3, 1, 1, 1} : QList<qreal>{9, 6, 3, 6};
    case PenStyle::DashDotDot: return wide ? QList<qreal>{3, 1, 1, 1, 1, 1} : QList<qreal>{9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

} // namespace

Qt::PenCapStyle qtCap(LineCap cap)
{
    switch (cap) {
    case LineCap::Square: return Qt::SquareCap;
    case LineCap::Flat: return Qt::FlatCap;
    default: return Qt::RoundCap;
    }
}

Qt::PenJoinStyle qtJoin(LineJoin join)
{
    switch (join) {
    case LineJoin::Bevel: return Qt::BevelJoin;
    case LineJoin::Miter: return Qt::MiterJoin;
    default: return Qt::RoundJoin;
    }
}

QPen QPainterCanvas::qpen() const
{
    const CanvasPen& p = state().pen;
    if (p.style == PenStyle::Clear)
        return QPen(Qt::NoPen);
    QPen pen(p.color);
    const bool wide = p.width > 1;
    if (wide) {
        pen.setWidth(p.width);
        pen.setCapStyle(qtCap(p.cap));
        pen.setJoinStyle(bevelsLongMiters() ? Qt::BevelJoin : qtJoin(p.join));
        // Qt measures a miter from the corner's centre, Windows across the whole miter.
        pen.setMiterLimit(p.miterLimit / 2);
    } else {
        pen.setWidth(0);
    }
    const QList<qreal> dashes = p.dashes.empty() ? dashPattern(p.style, wide)
                                                 : QList<qreal>(p.dashes.begin(), p.dashes.end());
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

void QPainterCanvas::applyLinePen()
{
    painter_.setPen(qpen());
    // Opaque mode fills the gaps of styled pens with the background colour,
    // as on a Windows device context. Every other drawing call sets its own
    // mode, so nothing depends on what a line leaves behind.
    painter_.setBackgroundMode(state().backgroundMode == BackgroundMode::Opaque ? Qt::OpaqueMode
                                                                              : Qt::TransparentMode);
    painter_.setBackground(state().backgroundColor);
}

void QPainterCanvas::fillWith(const Rect& r, const QColor& c)
{
    if (!r.isEmpty())
        painter_.fillRect(r.toQRect(), c);
}

void QPainterCanvas::fillRect(const Rect& r)
{
    if (!state().brush.clear)
        fillWith(r, state().brush.color);
}

void QPainterCanvas::rectangle(const Rect& r)
{
    if (r.isEmpty())
        return;
    fillRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
    if (state().pen.style == PenStyle::Clear) {
        fillRect(r);
        return;
    }
    applyLinePen();
    painter_.setBrush(Qt::NoBrush);
    const QRect frame(r.left, r.top, r.width() - 1, r.height() - 1);
    painter_.drawRect(frame);
    addMiters(QPolygon(frame, false), true);
}

void QPainterCanvas::ellipse(const Rect& r)
{
    if (r.isEmpty())
        return;
    applyLinePen();
    painter_.setBrush(state().brush.clear ? QBrush(Qt::NoBrush) : QBrush(state().brush.color));
    painter_.drawEllipse(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
}

void QPainterCanvas::onLineTo(QPoint from, QPoint to)
{
    if (from == to || state().pen.style == PenStyle::Clear)
        return;
    applyLinePen();
    // The end point is not painted: stop one pixel short along the major axis.
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int major = std::max(std::abs(dx), std::abs(dy));
    if (major <= 1 && state().pen.width <= 1) {
        painter_.drawPoint(from);
        return;
    }
    const QPoint end(from.x() + static_cast<int>(static_cast<long long>(dx) * (major - 1) / major),
                     from.y() + static_cast<int>(static_cast<long long>(dy) * (major - 1) / major));
    painter_.drawLine(from, end);
}

void QPainterCanvas::polyline(const QPolygon& points)
{
    if (points.size() < 2)
        return;
    applyLinePen();
    painter_.drawPolyline(points);
    addMiters(points, false);
}

void QPainterCanvas::polygon(const QPolygon& points)
{
    if (points.size() < 2)
        return;
    applyLinePen();
    painter_.setBrush(state().brush.clear ? QBrush(Qt::NoBrush) : QBrush(state().brush.color));
    painter_.drawPolygon(points);
    addMiters(points, true);
}

// Windows bevels a corner whose miter would be longer than the pen's limit,
// where Qt cuts the miter short at the limit. A solid line is therefore drawn
// bevelled throughout (see qpen()), and addMiters() then fills in the miter of
// each corner within the limit, the triangle beyond the bevel. A dashed line
// keeps Qt's joins.
bool QPainterCanvas::bevelsLongMiters() const
{
    const CanvasPen& p = state().pen;
    return p.width > 1 && p.join == LineJoin::Miter && p.dashes.empty()
        && (p.style == PenStyle::Solid || p.style == PenStyle::InsideFrame);
}

void QPainterCanvas::addMiters(const QPolygon& points, bool closed)
{
    if (!bevelsLongMiters())
        return;
    const CanvasPen& p = state().pen;
    const double half = p.width / 2.0;
    const auto unit = [](QPointF v) {
        const double length = std::hypot(v.x(), v.y());
        return length > 0 ? v / length : QPointF();
    };
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(p.color);
    const qsizetype n = points.size();
    for (qsizetype i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
        const QPointF at = points[i];
        const QPointF in = unit(at - QPointF(points[(i + n - 1) % n]));
        const QPointF out = unit(QPointF(points[(i + 1) % n]) - at);
        const double turn = in.x() * out.y() - in.y() * out.x();
        if (in.isNull() || out.isNull() || std::fabs(turn) < 1e-9)
            continue;  // no corner
        // The miter's length over the line's width: 1 / sin(half the corner's angle).
        const double ratio = 1 / std::sqrt((1 + QPointF::dotProduct(in, out)) / 2);
        if (!(ratio <= p.miterLimit))
            continue;
        // The outer edges of both segments, on the side away from the turn.
        QPointF inNormal(-in.y(), in.x()), outNormal(-out.y(), out.x());
        if (QPointF::dotProduct(inNormal, out) > 0)
            inNormal = -inNormal;
        if (QPointF::dotProduct(outNormal, in) < 0)
            outNormal = -outNormal;
        const QPointF tip = at + unit(inNormal + outNormal) * half * ratio;
        painter_.drawPolygon(QPolygonF{at + inNormal * half, tip, at + outNormal * half});
    }
    painter_.restore();
}

int QPainterCanvas::textWidth(const QString& text)
{
    return fonts_->measures.get(state().font).width(text);
}

std::vector<int> QPainterCanvas::textAdvances(const QString& text)
{
    return fonts_->measures.get(state().font).advances(text);
}

void QPainterCanvas::textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                             const std::vector<int>* dx)
{
    FontMeasure& m = fonts_->measures.get(state().font);
    std::vector<int> adv = m.advances(text);
    if (dx) {
        for (size_t i = 0; i < adv.size(); ++i)
            adv[i] = i < dx->size() ? (*dx)[i] : 0;
    }
    long long total = 0;
    for (int a : adv)
        total += a;

    const TextAlign align = state().textAlign;
    long long startX = x;
    if (align.horizontal == HAlign::Right)
        startX = x - total;
    else if (align.horizontal == HAlign::Center)
        startX = x - total / 2;
    int baseline = y + m.ascent();
    if (align.vertical == VAlign::Baseline)
        baseline = y;
    else if (align.vertical == VAlign::Bottom)
        baseline = y - m.descent();

    const bool clipped = (options & TextClipped) != 0;
    if (options & TextOpaque)
        fillWith(rect, state().backgroundColor);
    if (clipped) {
        painter_.save();
        // An empty clip rectangle hides the text altogether.
        painter_.setClipRect(rect.isEmpty() ? QRect(rect.left, rect.top, 0, 0) : rect.toQRect(),
                             Qt::IntersectClip);
    }
    if (!(options & TextOpaque) && state().backgroundMode == BackgroundMode::Opaque) {
        const long long right = std::min<long long>(startX + total, 1ll << 30);
        fillWith(Rect{static_cast<int>(std::max<long long>(startX, -(1ll << 30))), baseline - m.ascent(),
                      static_cast<int>(right), baseline + m.descent()},
                 state().backgroundColor);
    }

    if (!text.isEmpty()) {
        FontCache& fc = *fonts_;
        CanvasFont rawKey = state().font;
        rawKey.color = QColor();
        if (!fc.rawValid || !(rawKey == fc.rawKey)) {
            fc.raw = QRawFont::fromFont(m.qfont());
            fc.rawKey = rawKey;
            fc.rawValid = true;
        }
        painter_.setPen(state().font.color);
        // The background was filled above; an opaque mode left behind by a line or
        // rectangle would make Qt paint over glyph runs drawn under a transform.
        painter_.setBackgroundMode(Qt::TransparentMode);
        const QList<quint32> glyphs = fc.raw.isValid() ? fc.raw.glyphIndexesForString(text) : QList<quint32>();
        const bool direct = glyphs.size() == text.size()
            && std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end();
        // Qt draws letters under a turn from glyph images the size of the
        // letters, and keeps them: a page of 4000-pixel letters at a slant asked
        // for hundreds of megabytes. Large letters at a slant are filled as
        // outlines instead, as Qt itself draws large upright ones.
        const QTransform& turn = painter_.worldTransform();
        const bool outlines = (turn.m12() != 0 || turn.m21() != 0) && m.qfont().pixelSize() > kLargestGlyphImage;
        if (direct && !outlines) {
            QList<QPointF> positions;
            positions.reserve(text.size());
            long long px = startX;
            for (int a : adv) {
                positions.append(QPointF(static_cast<double>(px), baseline));
                px += a;
            }
            QGlyphRun run;
            run.setRawFont(fc.raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            run.setUnderline(state().font.underline);
            run.setStrikeOut(state().font.strikeOut);
            painter_.drawGlyphRun(QPointF(0, 0), run);
        } else {
            // Characters the face lacks come from a fallback face, one by one.
            painter_.setFont(m.qfont());
            QPainterPath letters;
            long long px = startX;
            const qsizetype n = text.size();
            for (qsizetype i = 0; i < n; ++i) {
                qsizetype len = 1;
                if (text.at(i).isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
                    len = 2;
                if (px > -(1ll << 30) && px < (1ll << 30)) {
                    const QPointF at(static_cast<double>(px), baseline);
                    if (outlines)
                        letters.addText(at, m.qfont(), text.mid(i, len));
                    else
                        painter_.drawText(at, text.mid(i, len));
                }
                for (qsizetype k = 0; k < len; ++k)
                    px += adv[static_cast<size_t>(i + k)];
                i += len - 1;
            }
            if (outlines)
                painter_.fillPath(letters, state().font.color);
        }
    }
    if (clipped)
        painter_.restore();
}

namespace {

// One QImage for each distinct picture drawn into PDF documents. Qt's PDF writer
// knows an image by its identity, so a page's border strips, decoded afresh from
// each page's metafile, would otherwise be stored once per page: a list of a
// thousand profiles would carry them twenty-four thousand times.
// A row's pixels, without the padding and spare bits QImage leaves undefined.
QByteArray rowBytes(const QImage& image, int y)
{
    const qsizetype bits = qsizetype(image.width()) * image.depth();
    QByteArray row(reinterpret_cast<const char*>(image.constScanLine(y)), (bits + 7) / 8);
    if (bits % 8)
        row.back() = static_cast<char>(row.back() & (image.format() == QImage::Format_MonoLSB
                                                         ? (1 << (bits % 8)) - 1
                                                         : 0xFF << (8 - bits % 8)));
    return row;
}

std::size_t pictureKey(const QImage& image)
{
    std::size_t key = qHashMulti(0, image.width(), image.height(), int(image.format()));
    for (int y = 0; y < image.height(); ++y)
        key = qHashMulti(key, rowBytes(image, y));
    for (const QRgb c : image.colorTable())
        key = qHashMulti(key, c);
    return key;
}

bool samePicture(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format() || a.colorTable() != b.colorTable())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (rowBytes(a, y) != rowBytes(b, y))
            return false;
    return true;
}

QImage sharedPicture(const QImage& image)
{
    static QMutex mutex;
    static QMultiHash<std::size_t, QImage> pictures;
    constexpr qsizetype kMaxPictures = 256;
    const std::size_t key = pictureKey(image);
    const QMutexLocker lock(&mutex);
    for (auto it = pictures.constFind(key); it != pictures.cend() && it.key() == key; ++it)
        if (samePicture(*it, image))
            return *it;
    if (pictures.size() >= kMaxPictures)
        pictures.clear();
    pictures.insert(key, image);
    return image;
}

} // namespace

void QPainterCanvas::drawImage(int x, int y, const QImage& image)
{
    if (image.isNull())
        return;
    painter_.drawImage(QPoint(x, y), toPdf() ? sharedPicture(image) : image);
}

void QPainterCanvas::stretchImage(const Rect& r, const QImage& image)
{
    if (image.isNull() || r.isEmpty())
        return;
    painter_.drawImage(r.toQRect(), toPdf() ? sharedPicture(image) : image);
}

bool QPainterCanvas::toPdf() const
{
    return painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Pdf;
}

void QPainterCanvas::onIntersectClip(const Rect& r)
{
    painter_.setClipRect(r.isEmpty() ? QRect(r.left, r.top, 0, 0) : r.toQRect(), Qt::IntersectClip);
}

void QPainterCanvas::onSaveState()
{
    painter_.save();
}

void QPainterCanvas::onRestoreState()
{
    painter_.restore();
}

} // namespace platform
