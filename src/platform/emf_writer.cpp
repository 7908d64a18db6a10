#include "platform/emf_writer.h"
#include "platform/units.h"

#include "platform/canvas_text.h"
#include "platform/emf_format.h"
#include "platform/emf_records.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace platform {

using namespace emf;

namespace {

// The reference device: a 20 x 15 inch screen, so that its size in whole
// millimetres (508 x 381) is exact at any resolution.
constexpr int kDeviceInchesX = 20;
constexpr int kDeviceInchesY = 15;

constexpr std::uint32_t kStockWhiteBrush = kStockObject + 0;
constexpr std::uint32_t kStockNullBrush = kStockObject + 5;
constexpr std::uint32_t kStockBlackPen = kStockObject + 7;
constexpr std::uint32_t kStockNullPen = kStockObject + 8;
constexpr std::uint32_t kStockSystemFont = kStockObject + 13;

std::uint32_t colorRef(const QColor& c)
{
    const QRgb rgb = c.rgb();
    return std::uint32_t(qRed(rgb)) | (std::uint32_t(qGreen(rgb)) << 8) | (std::uint32_t(qBlue(rgb)) << 16);
}

std::uint32_t penStyleCode(PenStyle s)
{
    switch (s) {
    case PenStyle::Solid: return 0;
    case PenStyle::Dash: return 1;
    case PenStyle::Dot: return 2;
    case PenStyle::DashDot: return 3;
    case PenStyle::DashDotDot: return 4;
    case PenStyle::Clear: return 5;
    case PenStyle::InsideFrame: return 6;
    }
    return 0;
}

CanvasFont withoutColor(CanvasFont f)
{
    f.color = QColor();
    return f;
}

int clampInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Records are written field after field; in a debug build this checks that the
// field about to be written at `bytes`' end is where emf_records.h puts it in
// the record that began at `recordStart`.
void expectField(const QByteArray& bytes, qsizetype recordStart, std::size_t field)
{
    Q_ASSERT(bytes.size() - recordStart == static_cast<qsizetype>(field));
}

// A bitmap as a device-independent bitmap: info header with colour table, and bits.
struct Dib {
    QByteArray info;
    QByteArray bits;
};

Dib toDib(const QImage& source)
{
    QImage img = source;
    int bitCount = 24;
    QList<QRgb> palette;
    switch (img.format()) {
    case QImage::Format_Mono:
        bitCount = 1;
        break;
    case QImage::Format_MonoLSB:
        img = img.convertToFormat(QImage::Format_Mono);
        bitCount = 1;
        break;
    case QImage::Format_Indexed8:
        bitCount = 8;
        break;
    default:
        if (img.hasAlphaChannel()) {
            // Transparency has no place in a plain DIB: composite over white.
            QImage flat(img.size(), QImage::Format_RGB32);
            flat.fill(Qt::white);
            QPainter p(&flat);
            p.drawImage(0, 0, img);
            p.end();
            img = flat;
        }
        img = img.convertToFormat(QImage::Format_BGR888);
        break;
    }
    if (bitCount <= 8) {
        palette = img.colorTable();
        const int entries = 1 << bitCount;
        if (bitCount == 8)
            palette.resize(std::max<qsizetype>(1, std::min<qsizetype>(palette.size(), entries)), qRgb(0, 0, 0));
        else
            palette.resize(entries, palette.isEmpty() ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        if (bitCount == 1 && source.colorTable().isEmpty())
            palette = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    }
    const int w = img.width();
    const int h = img.height();
    const qsizetype stride = ((static_cast<qsizetype>(w) * bitCount + 31) / 32) * 4;

    Dib dib;
    ByteWriter bi(dib.info);
    bi.u32(bmih::kMinSize);  // a plain header
    bi.i32(w);
    bi.i32(h);  // positive: rows bottom-up
    bi.u16(1);
    bi.u16(static_cast<std::uint16_t>(bitCount));
    bi.u32(0);  // BI_RGB
    bi.u32(static_cast<std::uint32_t>(stride * h));
    bi.i32(3780);
    bi.i32(3780);
    bi.u32(static_cast<std::uint32_t>(palette.size()));
    bi.u32(0);
    for (QRgb c : palette) {
        bi.u8(static_cast<std::uint8_t>(qBlue(c)));
        bi.u8(static_cast<std::uint8_t>(qGreen(c)));
        bi.u8(static_cast<std::uint8_t>(qRed(c)));
        bi.u8(0);
    }
    // Only the pixels' own bits are copied: QImage leaves the bits after a row's
    // last pixel and its padding undefined, and they must not reach the file
    // (the same page would then differ from run to run).
    dib.bits.fill('\0', stride * h);
    const qsizetype pixelBits = static_cast<qsizetype>(w) * bitCount;
    const qsizetype copy = std::min<qsizetype>((pixelBits + 7) / 8, img.bytesPerLine());
    const auto lastByteMask = static_cast<char>(pixelBits % 8 ? 0xFF << (8 - pixelBits % 8) : 0xFF);
    for (int y = 0; y < h && copy > 0; ++y) {
        char* row = dib.bits.data() + stride * (h - 1 - y);
        std::memcpy(row, img.constScanLine(y), static_cast<size_t>(copy));
        row[copy - 1] = static_cast<char>(row[copy - 1] & lastByteMask);
    }
    return dib;
}

} // namespace

struct EmfRecorder::Impl {
    // What the playing device context holds at this point of the recording.
    struct Dc {
        std::uint32_t font = kStockSystemFont;
        std::uint32_t pen = kStockBlackPen;
        std::uint32_t brush = kStockWhiteBrush;
        CanvasFont fontValue;
        CanvasPen penValue;
        CanvasBrush brushValue;
        bool fontKnown = false;  // the stock font is not one of ours
        std::uint32_t textColor = 0x000000;
        std::uint32_t bkColor = 0xFFFFFF;
        BackgroundMode bkMode = BackgroundMode::Opaque;
        TextAlign align;
        QPoint position;
    };

    int width;
    int height;
    int ppi;
    QByteArray body;
    std::uint32_t records = 0;
    std::vector<int> refs{0};  // per object slot: how many DC states select it; slot 0 reserved
    std::uint32_t highestHandle = 0;
    Dc dc;
    std::vector<Dc> saved;
    bool finished = false;
    bool anyBounds = false;
    long long bx0 = 0, by0 = 0, bx1 = -1, by1 = -1;
    FontMeasureCache measures{nullptr};

    Impl(int w, int h, int p) : width(w), height(h), ppi(p) {}

    // Starts a record; the caller appends the rest and calls end().
    qsizetype begin(std::uint32_t type)
    {
        const qsizetype at = body.size();
        ByteWriter w(body);
        w.u32(type);
        w.u32(0);
        return at;
    }
    void end(qsizetype at)
    {
        while ((body.size() - at) % 4)
            body.append('\0');
        patchU32(body, at + record::kSize, static_cast<std::uint32_t>(body.size() - at));
        ++records;
    }
    void simple(std::uint32_t type, std::initializer_list<std::uint32_t> values)
    {
        const qsizetype at = begin(type);
        ByteWriter w(body);
        for (std::uint32_t v : values)
            w.u32(v);
        end(at);
    }

    void addBounds(long long l, long long t, long long r, long long b)  // inclusive
    {
        if (r < l || b < t)
            return;
        if (!anyBounds) {
            bx0 = l, by0 = t, bx1 = r, by1 = b;
            anyBounds = true;
        } else {
            bx0 = std::min(bx0, l), by0 = std::min(by0, t);
            bx1 = std::max(bx1, r), by1 = std::max(by1, b);
        }
    }
    void writeRectL(ByteWriter& w, long long l, long long t, long long r, long long b)
    {
        w.i32(clampInt(l));
        w.i32(clampInt(t));
        w.i32(clampInt(r));
        w.i32(clampInt(b));
    }

    // ---- Objects.
    std::uint32_t allocate()
    {
        for (size_t i = 1; i < refs.size(); ++i)
            if (refs[i] == 0)
                return static_cast<std::uint32_t>(i);
        refs.push_back(0);
        return static_cast<std::uint32_t>(refs.size() - 1);
    }
    void retain(std::uint32_t h)
    {
        if (h < kStockObject)
            ++refs[h];
    }
    void release(std::uint32_t h)
    {
        if (h < kStockObject && --refs[h] == 0)
            simple(DeleteObject, {h});
    }
    void select(std::uint32_t& slot, std::uint32_t h)
    {
        simple(SelectObject, {h});
        retain(h);
        const std::uint32_t old = slot;
        slot = h;
        release(old);
    }
    std::uint32_t created(std::uint32_t h)
    {
        highestHandle = std::max(highestHandle, h);
        return h;
    }

    void syncFont(const CanvasFont& f)
    {
        if (dc.fontKnown && withoutColor(f) == withoutColor(dc.fontValue))
            return;
        const std::uint32_t h = created(allocate());
        const qsizetype at = begin(ExtCreateFontIndirectW);
        ByteWriter w(body);
        w.u32(h);
        const qsizetype lf = at + ext_create_font_indirect_w::kElw;
        expectField(body, lf, log_font::kHeight);
        w.i32(-std::clamp(f.height, 1, kMaxFontHeight));  // negative: character height
        w.i32(0);
        w.i32(0);
        w.i32(0);
        expectField(body, lf, log_font::kWeight);
        w.i32(f.bold ? 700 : 400);
        w.u8(f.italic ? 1 : 0);
        w.u8(f.underline ? 1 : 0);
        w.u8(f.strikeOut ? 1 : 0);
        w.u8(1);  // DEFAULT_CHARSET
        w.u8(0);
        w.u8(0);
        w.u8(0);
        w.u8(0);
        expectField(body, lf, log_font::kFaceName);
        char16_t face[log_font::kFaceNameChars] = {};
        const QString name = f.face.left(log_font::kFaceNameChars - 1);
        for (qsizetype i = 0; i < name.size(); ++i)
            face[i] = name.at(i).unicode();
        for (char16_t c : face)
            w.u16(c);
        expectField(body, at, ext_create_font_indirect_w::kFixedSize);
        end(at);
        select(dc.font, h);
        dc.fontValue = f;
        dc.fontKnown = true;
    }
    void syncTextColor(const QColor& c)
    {
        const std::uint32_t ref = colorRef(c);
        if (ref != dc.textColor) {
            simple(SetTextColor, {ref});
            dc.textColor = ref;
        }
    }
    void syncPen(const CanvasPen& p)
    {
        if (p == dc.penValue && dc.pen != kStockBlackPen)
            return;
        if (p == CanvasPen{} && dc.pen == kStockBlackPen)
            return;
        if (p.style == PenStyle::Clear) {
            if (dc.pen != kStockNullPen)
                select(dc.pen, kStockNullPen);
        } else {
            const std::uint32_t h = created(allocate());
            simple(CreatePen, {h, penStyleCode(p.style), static_cast<std::uint32_t>(std::max(p.width, 0)), 0,
                               colorRef(p.color)});
            select(dc.pen, h);
        }
        dc.penValue = p;
    }
    void syncBrush(const CanvasBrush& b)
    {
        if (b.clear) {
            if (dc.brush != kStockNullBrush)
                select(dc.brush, kStockNullBrush);
            dc.brushValue = b;
            return;
        }
        if (dc.brush != kStockNullBrush && dc.brush != kStockWhiteBrush && b == dc.brushValue)
            return;
        if (dc.brush == kStockWhiteBrush && colorRef(b.color) == 0xFFFFFF)
            return;
        const std::uint32_t h = created(allocate());
        simple(CreateBrushIndirect, {h, 0, colorRef(b.color), 0});
        select(dc.brush, h);
        dc.brushValue = b;
    }
    void syncBackground(const QColor& color, BackgroundMode mode, bool colourMatters)
    {
        if (mode != dc.bkMode) {
            simple(SetBkMode, {mode == BackgroundMode::Opaque ? 2u : 1u});
            dc.bkMode = mode;
        }
        const std::uint32_t ref = colorRef(color);
        if (colourMatters && ref != dc.bkColor) {
            simple(SetBkColor, {ref});
            dc.bkColor = ref;
        }
    }
    void syncAlign(TextAlign a)
    {
        if (a == dc.align)
            return;
        std::uint32_t bits = 0;
        if (a.horizontal == HAlign::Right)
            bits |= kTaRight;
        else if (a.horizontal == HAlign::Center)
            bits |= kTaCenter;
        if (a.vertical == VAlign::Bottom)
            bits |= kTaBottom;
        else if (a.vertical == VAlign::Baseline)
            bits |= kTaBaseline;
        simple(SetTextAlign, {bits});
        dc.align = a;
    }
    void syncPosition(QPoint p)
    {
        if (p != dc.position) {
            simple(MoveToEx, {static_cast<std::uint32_t>(p.x()), static_cast<std::uint32_t>(p.y())});
            dc.position = p;
        }
    }

    void stretchDib(const Rect& dest, const QImage& image)
    {
        const Dib dib = toDib(image);
        const qsizetype at = begin(StretchDIBits);
        ByteWriter w(body);
        writeRectL(w, dest.left, dest.top, static_cast<long long>(dest.right) - 1,
                   static_cast<long long>(dest.bottom) - 1);
        expectField(body, at, stretch_dibits::kXDest);
        w.i32(dest.left);
        w.i32(dest.top);
        w.i32(0);
        w.i32(0);
        w.i32(image.width());
        w.i32(image.height());
        // The bitmap's header right after the fixed part, its bits after the header.
        expectField(body, at, stretch_dibits::kOffBmiSrc);
        w.u32(stretch_dibits::kFixedSize);
        w.u32(static_cast<std::uint32_t>(dib.info.size()));
        w.u32(static_cast<std::uint32_t>(stretch_dibits::kFixedSize + dib.info.size()));
        w.u32(static_cast<std::uint32_t>(dib.bits.size()));
        expectField(body, at, stretch_dibits::kUsageSrc);
        w.u32(0);  // DIB_RGB_COLORS
        w.u32(kRopSrcCopy);
        w.i32(dest.width());
        w.i32(dest.height());
        expectField(body, at, stretch_dibits::kFixedSize);
        body.append(dib.info);
        body.append(dib.bits);
        end(at);
        addBounds(dest.left, dest.top, static_cast<long long>(dest.right) - 1, static_cast<long long>(dest.bottom) - 1);
    }

    void writePoly(std::uint32_t type16, std::uint32_t type32, const QPolygon& points)
{
    const QRect br = points.boundingRect();
    bool small = true;
    for (const QPoint& p : points)
        small = small && p.x() >= -32768 && p.x() <= 32767 && p.y() >= -32768 && p.y() <= 32767;
    const qsizetype at = begin(small ? type16 : type32);
    ByteWriter w(body);
    writeRectL(w, br.left(), br.top(), br.right(), br.bottom());
    w.u32(static_cast<std::uint32_t>(points.size()));
    for (const QPoint& p : points) {
        if (small) {
            w.i16(static_cast<std::int16_t>(p.x()));
            w.i16(static_cast<std::int16_t>(p.y()));
        } else {
            w.i32(p.x());
            w.i32(p.y());
        }
    }
    end(at);
    addBounds(br.left(), br.top(), br.right(), br.bottom());
}

    QByteArray complete()
    {
        // No palette: its offset is where SizeLast lies.
        simple(Eof, {0, eof::kSizeLast, eof::kFixedSize});
        QByteArray out;
        out.reserve(static_cast<qsizetype>(header::kFixedSize) + body.size());
        ByteWriter w(out);
        const std::uint32_t total = static_cast<std::uint32_t>(header::kFixedSize + body.size());
        w.u32(Header);
        w.u32(header::kFixedSize);
        expectField(out, 0, header::kBounds);
        if (anyBounds)
            writeRectL(w, bx0, by0, bx1, by1);
        else
            writeRectL(w, 0, 0, -1, -1);
        // The frame, inclusive, in 0.01 mm.
        const long long fw = std::llround(static_cast<double>(width) * 2540.0 / ppi);
        const long long fh = std::llround(static_cast<double>(height) * 2540.0 / ppi);
        writeRectL(w, 0, 0, fw - 1, fh - 1);
        expectField(out, 0, header::kRecordSignature);
        w.u32(kSignature);
        w.u32(kVersion);
        w.u32(total);
        w.u32(records + 1);
        w.u16(static_cast<std::uint16_t>(std::min<std::uint32_t>(highestHandle + 1, 0xFFFF)));
        w.u16(0);
        expectField(out, 0, header::kDescriptionChars);
        w.u32(0);  // no description
        w.u32(0);
        w.u32(0);  // no palette
        expectField(out, 0, header::kDevice);
        w.i32(kDeviceInchesX * ppi);
        w.i32(kDeviceInchesY * ppi);
        w.i32(kDeviceInchesX * 254 / 10);
        w.i32(kDeviceInchesY * 254 / 10);
        expectField(out, 0, header::kPixelFormatSize);
        w.u32(0);  // no pixel format
        w.u32(0);
        w.u32(0);  // not OpenGL
        expectField(out, 0, header::kMicrometers);
        w.i32(kDeviceInchesX * 25400);
        w.i32(kDeviceInchesY * 25400);
        expectField(out, 0, header::kFixedSize);
        out.append(body);
        return out;
    }
};

EmfRecorder::EmfRecorder(int width, int height, int pixelsPerInch)
    : d_(std::make_unique<Impl>(std::max(width, 1), std::max(height, 1), pixelsPerInch > 0 ? pixelsPerInch : kDesignPixelsPerInch))
{
}

EmfRecorder::~EmfRecorder() = default;

QByteArray EmfRecorder::finish()
{
    if (d_->finished)
        return {};
    d_->finished = true;
    QByteArray out = d_->complete();
    d_->body = QByteArray();
    return out;
}

int EmfRecorder::pixelsPerInch() const
{
    return d_->ppi;
}

void EmfRecorder::fillRect(const Rect& r)
{
    if (d_->finished || r.isEmpty() || state().brush.clear)
        return;
    d_->syncBrush(state().brush);
    const qsizetype at = d_->begin(BitBlt);
    ByteWriter w(d_->body);
    d_->writeRectL(w, r.left, r.top, static_cast<long long>(r.right) - 1, static_cast<long long>(r.bottom) - 1);
    expectField(d_->body, at, bit_blt::kXDest);
    w.i32(r.left);
    w.i32(r.top);
    w.i32(r.width());
    w.i32(r.height());
    w.u32(kRopPatCopy);
    w.i32(0);
    w.i32(0);
    expectField(d_->body, at, bit_blt::kXformSrc);
    for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f})
        w.f32(f);
    // No source bitmap: background colour, usage, and four empty offsets and sizes.
    expectField(d_->body, at, bit_blt::kBkColorSrc);
    w.u32(0);
    w.u32(0);
    w.u32(0);
    w.u32(0);
    w.u32(0);
    w.u32(0);
    expectField(d_->body, at, bit_blt::kFixedSize);
    d_->end(at);
    d_->addBounds(r.left, r.top, static_cast<long long>(r.right) - 1, static_cast<long long>(r.bottom) - 1);
}

void EmfRecorder::rectangle(const Rect& r)
{
    if (d_->finished)
        return;
    d_->syncPen(state().pen);
    d_->syncBrush(state().brush);
    d_->syncBackground(state().backgroundColor, state().backgroundMode, state().pen.style != PenStyle::Solid);
    d_->simple(Rectangle, {static_cast<std::uint32_t>(r.left), static_cast<std::uint32_t>(r.top),
                           static_cast<std::uint32_t>(r.right), static_cast<std::uint32_t>(r.bottom)});
    d_->addBounds(r.left, r.top, static_cast<long long>(r.right) - 1, static_cast<long long>(r.bottom) - 1);
}

void EmfRecorder::ellipse(const Rect& r)
{
    if (d_->finished)
        return;
    d_->syncPen(state().pen);
    d_->syncBrush(state().brush);
    d_->simple(Ellipse, {static_cast<std::uint32_t>(r.left), static_cast<std::uint32_t>(r.top),
                         static_cast<std::uint32_t>(r.right), static_cast<std::uint32_t>(r.bottom)});
    d_->addBounds(r.left, r.top, static_cast<long long>(r.right) - 1, static_cast<long long>(r.bottom) - 1);
}

void EmfRecorder::polyline(const QPolygon& points)
{
    if (d_->finished || points.size() < 2)
        return;
    d_->syncPen(state().pen);
    d_->writePoly(Polyline16, Polyline, points);
}

void EmfRecorder::polygon(const QPolygon& points)
{
    if (d_->finished || points.size() < 2)
        return;
    d_->syncPen(state().pen);
    d_->syncBrush(state().brush);
    d_->writePoly(Polygon16, Polygon, points);
}

int EmfRecorder::textWidth(const QString& text)
{
    return d_->measures.get(state().font).width(text);
}

std::vector<int> EmfRecorder::textAdvances(const QString& text)
{
    return d_->measures.get(state().font).advances(text);
}

void EmfRecorder::textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                          const std::vector<int>* dx)
{
    if (d_->finished)
        return;
    Impl& d = *d_;
    options &= (TextOpaque | TextClipped);
    FontMeasure& m = d.measures.get(state().font);
    std::vector<int> adv = m.advances(text);
    if (dx) {
        for (size_t i = 0; i < adv.size(); ++i)
            adv[i] = i < dx->size() ? (*dx)[i] : 0;
    }
    long long total = 0;
    for (int a : adv)
        total += a;

    d.syncFont(state().font);
    d.syncTextColor(state().font.color);
    d.syncBackground(state().backgroundColor, state().backgroundMode,
                     (options & TextOpaque) || state().backgroundMode == BackgroundMode::Opaque);
    d.syncAlign(state().textAlign);

    // The text's own box, for the record's bounds.
    long long left = x;
    if (state().textAlign.horizontal == HAlign::Right)
        left = x - total;
    else if (state().textAlign.horizontal == HAlign::Center)
        left = x - total / 2;
    long long top = y;
    if (state().textAlign.vertical == VAlign::Baseline)
        top = y - m.ascent();
    else if (state().textAlign.vertical == VAlign::Bottom)
        top = y - m.ascent() - m.descent();
    long long bl = left, bt = top, br = left + total - 1, bb = top + m.ascent() + m.descent() - 1;
    if (options & TextClipped) {
        bl = std::max<long long>(bl, rect.left);
        bt = std::max<long long>(bt, rect.top);
        br = std::min<long long>(br, static_cast<long long>(rect.right) - 1);
        bb = std::min<long long>(bb, static_cast<long long>(rect.bottom) - 1);
    }
    if (options & TextOpaque) {
        bl = std::min<long long>(bl, rect.left);
        bt = std::min<long long>(bt, rect.top);
        br = std::max<long long>(br, static_cast<long long>(rect.right) - 1);
        bb = std::max<long long>(bb, static_cast<long long>(rect.bottom) - 1);
    }
    if (text.isEmpty() && !(options & TextOpaque))
        return;

    // A save and an immediate restore of the device context before each text:
    // nothing for Windows, LibreOffice or our player, but Inkscape joins texts
    // that follow one another without one into a paragraph and sets its later
    // lines at the spacing of the first two, so that on a profile page the
    // sign's first line landed a line and a half below its place.
    d.simple(SaveDC, {});
    d.simple(RestoreDC, {static_cast<std::uint32_t>(-1)});

    const std::uint32_t n = static_cast<std::uint32_t>(text.size());
    const std::uint32_t stringBytes = ((n * 2 + 3) / 4) * 4;
    const qsizetype at = d.begin(ExtTextOutW);
    ByteWriter w(d.body);
    if (br < bl || bb < bt)
        d.writeRectL(w, 0, 0, -1, -1);
    else
        d.writeRectL(w, bl, bt, br, bb);
    expectField(d.body, at, ext_text_out::kGraphicsMode);
    w.u32(1);  // GM_COMPATIBLE
    const float scale = static_cast<float>(2540.0 / d.ppi);
    w.f32(scale);
    w.f32(scale);
    expectField(d.body, at, ext_text_out::kReference);
    w.i32(x);
    w.i32(y);
    // The string right after the fixed part, the advances after the string.
    expectField(d.body, at, ext_text_out::kChars);
    w.u32(n);
    w.u32(ext_text_out::kFixedSize);
    w.u32(options);
    expectField(d.body, at, ext_text_out::kRectangle);
    d.writeRectL(w, rect.left, rect.top, rect.right, rect.bottom);
    expectField(d.body, at, ext_text_out::kOffDx);
    w.u32(ext_text_out::kFixedSize + stringBytes);
    expectField(d.body, at, ext_text_out::kFixedSize);
    w.bytes(text.utf16(), static_cast<qsizetype>(n) * 2);
    w.zeros(stringBytes - n * 2);
    for (int a : adv)
        w.i32(a);
    d.end(at);
    d.addBounds(bl, bt, br, bb);
}

void EmfRecorder::drawImage(int x, int y, const QImage& image)
{
    if (d_->finished || image.isNull())
        return;
    d_->stretchDib(Rect{x, y, x + image.width(), y + image.height()}, image);
}

void EmfRecorder::stretchImage(const Rect& r, const QImage& image)
{
    if (d_->finished || image.isNull() || r.isEmpty())
        return;
    d_->stretchDib(r, image);
}

void EmfRecorder::onMoveTo() {}

void EmfRecorder::onLineTo(QPoint from, QPoint to)
{
    if (d_->finished)
        return;
    d_->syncPen(state().pen);
    d_->syncBackground(state().backgroundColor, state().backgroundMode, state().pen.style != PenStyle::Solid);
    d_->syncPosition(from);
    d_->simple(LineTo, {static_cast<std::uint32_t>(to.x()), static_cast<std::uint32_t>(to.y())});
    d_->dc.position = to;
    d_->addBounds(std::min(from.x(), to.x()), std::min(from.y(), to.y()), std::max(from.x(), to.x()),
                  std::max(from.y(), to.y()));
}

void EmfRecorder::onIntersectClip(const Rect& r)
{
    if (d_->finished)
        return;
    d_->simple(IntersectClipRect, {static_cast<std::uint32_t>(r.left), static_cast<std::uint32_t>(r.top),
                                   static_cast<std::uint32_t>(r.right), static_cast<std::uint32_t>(r.bottom)});
}

void EmfRecorder::onSaveState()
{
    if (d_->finished)
        return;
    d_->simple(SaveDC, {});
    d_->saved.push_back(d_->dc);
    d_->retain(d_->dc.font);
    d_->retain(d_->dc.pen);
    d_->retain(d_->dc.brush);
}

void EmfRecorder::onRestoreState()
{
    Impl& d = *d_;
    if (d.finished || d.saved.empty())
        return;
    d.simple(RestoreDC, {static_cast<std::uint32_t>(-1)});
    const Impl::Dc old = d.dc;
    d.dc = d.saved.back();
    d.saved.pop_back();
    // The objects the restored state no longer selects may now be deleted.
    d.release(old.font);
    d.release(old.pen);
    d.release(old.brush);
}

} // namespace platform
