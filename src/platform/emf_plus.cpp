#include "platform/emf_plus.h"

#include "platform/emf_format.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"

#include <cmath>

namespace platform::emf {

// Where each field lies: the record header from the start of the record, the
// rest from the start of the record's data, which DataSize bytes long follows
// the header. All little-endian; rectangles and sizes are f32 unless named otherwise.
namespace plus_record {
inline constexpr std::size_t kType = 0, kFlags = 2, kSize = 4, kDataSize = 8, kHeaderSize = 12;
}
namespace plus_header {
inline constexpr std::size_t kVersion = 0, kEmfPlusFlags = 4, kLogicalDpiX = 8, kLogicalDpiY = 12, kFixedSize = 16;
}
// An object record's data is the object: a brush or a font here.
namespace plus_brush {
inline constexpr std::size_t kVersion = 0, kType = 4, kSolidColor = 8, kSolidFixedSize = 12;
}
namespace plus_font {
inline constexpr std::size_t kVersion = 0, kEmSize = 4, kSizeUnit = 8, kFontStyleFlags = 12, kReserved = 16,
                             kLength = 20, kFamilyName = 24, kFixedSize = 24, kMaxLength = 32;
}
// The matrices are laid out as a GDI XFORM (emf::xform).
namespace plus_set_page_transform {
inline constexpr std::size_t kPageScale = 0, kFixedSize = 4;  // the unit is the flags' low byte
}
namespace plus_world_transform {  // SetWorldTransform and MultiplyWorldTransform
inline constexpr std::size_t kMatrixData = 0, kFixedSize = xform::kSize;
}
namespace plus_translate_world_transform {
inline constexpr std::size_t kDx = 0, kDy = 4, kFixedSize = 8;
}
namespace plus_scale_world_transform {
inline constexpr std::size_t kSx = 0, kSy = 4, kFixedSize = 8;
}
namespace plus_fill_rects {
inline constexpr std::size_t kBrushId = 0, kCount = 4, kRectData = 8, kFixedSize = 8;
}
namespace plus_rect_f {
inline constexpr std::size_t kX = 0, kY = 4, kWidth = 8, kHeight = 12, kSize = 16;
}
namespace plus_rect {  // the compressed form: i16
inline constexpr std::size_t kX = 0, kY = 2, kWidth = 4, kHeight = 6, kSize = 8;
}
namespace plus_draw_string {
inline constexpr std::size_t kBrushId = 0, kFormatId = 4, kLength = 8, kLayoutRect = 12, kStringData = 28,
                             kFixedSize = 28;
}
static_assert(plus_draw_string::kStringData == plus_draw_string::kLayoutRect + plus_rect_f::kSize);

namespace {

enum PlusRecordType : std::uint16_t {
    PlusHeader = 0x4001,
    PlusEndOfFile = 0x4002,
    PlusGetDC = 0x4004,
    PlusObject = 0x4008,
    PlusFillRects = 0x400A,
    PlusDrawString = 0x401C,
    PlusSetWorldTransform = 0x402A,
    PlusResetWorldTransform = 0x402B,
    PlusMultiplyWorldTransform = 0x402C,
    PlusTranslateWorldTransform = 0x402D,
    PlusScaleWorldTransform = 0x402E,
    PlusSetPageTransform = 0x4030,
};

// Flags of the records above.
constexpr std::uint16_t kDual = 0x0001;            // header: the GDI records draw the page too
constexpr std::uint16_t kObjectContinues = 0x8000; // object: its data goes on in the next record
constexpr std::uint16_t kInlineColor = 0x8000;     // fill and text: the brush is an ARGB colour, not an object
constexpr std::uint16_t kCompressedRects = 0x4000; // fill: rectangles of i16
constexpr std::uint16_t kPostMultiply = 0x2000;    // transforms: applied after the world transform, not before
constexpr std::uint32_t kVideoDevice = 0x00000001; // header's EMF+ flags: recorded against a display

enum ObjectType { BrushObject = 1, FontObject = 6 };
enum UnitType { UnitWorld = 0, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };

QColor fromArgb(std::uint32_t argb)
{
    return QColor::fromRgba(argb);
}

// A transform the page can use: finite, and neither collapsing nor exploding.
bool sound(const QTransform& t)
{
    const double det = t.determinant();
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) && std::isfinite(t.m22())
        && std::isfinite(t.dx()) && std::isfinite(t.dy()) && std::fabs(det) > 1e-12 && std::fabs(det) < 1e12;
}

QTransform matrixAt(const std::uint8_t* m)
{
    return QTransform(readF32(m + xform::kM11), readF32(m + xform::kM12), readF32(m + xform::kM21),
                      readF32(m + xform::kM22), readF32(m + xform::kDx), readF32(m + xform::kDy));
}

} // namespace

void EmfPlusReader::comment(const std::uint8_t* r, std::uint64_t size)
{
    if (size < comment::kFixedSize || ended_)
        return;
    const std::uint64_t dataSize = readU32(r + comment::kDataSize);
    if (dataSize < 4 || !fits(comment::kCommentIdentifier, dataSize, size)
        || readU32(r + comment::kCommentIdentifier) != kEmfPlusIdentifier)
        return;
    const std::uint8_t* p = r + comment::kFixedSize;
    std::uint64_t left = dataSize - 4;
    while (left >= plus_record::kHeaderSize && !ended_) {
        const std::uint64_t recordSize = readU32(p + plus_record::kSize);
        const std::uint64_t recordData = readU32(p + plus_record::kDataSize);
        // A record that misstates its own size leaves the rest of the comment unreadable.
        if (recordSize < plus_record::kHeaderSize || recordSize % 4 != 0 || recordSize > left
            || recordData > recordSize - plus_record::kHeaderSize)
            return;
        record(readU16(p + plus_record::kType), readU16(p + plus_record::kFlags), p + plus_record::kHeaderSize,
               recordData);
        p += recordSize;
        left -= recordSize;
    }
}

void EmfPlusReader::record(std::uint16_t type, std::uint16_t flags, const std::uint8_t* d, std::uint64_t size)
{
    if (type == PlusHeader) {
        // The first header says what kind of metafile this is; a later one changes nothing.
        if (mode_ == Mode::Gdi && size >= plus_header::kFixedSize) {
            mode_ = (flags & kDual) ? Mode::Dual : Mode::PlusOnly;
            videoDevice_ = (readU32(d + plus_header::kEmfPlusFlags) & kVideoDevice) != 0;
            const std::uint32_t dpiX = readU32(d + plus_header::kLogicalDpiX);
            const std::uint32_t dpiY = readU32(d + plus_header::kLogicalDpiY);
            if (dpiX > 0 && dpiX <= 100000 && dpiY > 0 && dpiY <= 100000)
                dpiX_ = dpiX, dpiY_ = dpiY;
        }
        return;
    }
    if (mode_ != Mode::PlusOnly)
        return;
    gdiHandedOver_ = type == PlusGetDC;
    switch (type) {
    case PlusEndOfFile:
        ended_ = true;
        break;
    case PlusObject:
        object(flags, d, size);
        break;
    case PlusSetPageTransform:
        if (size >= plus_set_page_transform::kFixedSize) {
            const float scale = readF32(d + plus_set_page_transform::kPageScale);
            const std::uint32_t unit = flags & 0xFF;
            if (std::isfinite(scale) && scale > 0 && scale <= 1e6f && pixelsPer(unit, dpiX_) > 0)
                pageUnit_ = unit, pageScale_ = scale;
        }
        break;
    case PlusSetWorldTransform:
    case PlusResetWorldTransform:
    case PlusMultiplyWorldTransform:
    case PlusTranslateWorldTransform:
    case PlusScaleWorldTransform:
        transform(type, flags, d, size);
        break;
    case PlusFillRects:
        if (size >= plus_fill_rects::kFixedSize)
            fillRects(flags, d, size);
        break;
    case PlusDrawString:
        if (size >= plus_draw_string::kFixedSize)
            drawString(flags, d, size);
        break;
    default:
        // Pens, paths, images, clipping and the rest are not drawn.
        break;
    }
}

void EmfPlusReader::object(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size)
{
    const std::uint32_t id = flags & 0xFF;
    if (id >= objects_.size())
        return;
    Object& o = objects_[id];
    o = Object{};
    // Brushes and fonts fit one record; an object spread over several is none we draw.
    if (flags & kObjectContinues)
        return;
    const std::uint32_t type = (flags >> 8) & 0x7F;
    if (type == BrushObject && size >= plus_brush::kSolidFixedSize && readU32(d + plus_brush::kType) == 0) {
        o.kind = Object::Brush;
        o.color = fromArgb(readU32(d + plus_brush::kSolidColor));
    } else if (type == FontObject && size >= plus_font::kFixedSize) {
        const float em = readF32(d + plus_font::kEmSize);
        const std::uint32_t unit = readU32(d + plus_font::kSizeUnit);
        const std::uint64_t length = readU32(d + plus_font::kLength);
        if (!(std::isfinite(em) && em > 0) || (unit != UnitWorld && pixelsPer(unit, dpiY_) <= 0)
            || length > plus_font::kMaxLength || !fits(plus_font::kFamilyName, 2 * length, size))
            return;
        page_.plusFontCreated();
        std::u16string family(static_cast<size_t>(length), u'\0');
        for (std::uint64_t i = 0; i < length; ++i)
            family[i] = readU16(d + plus_font::kFamilyName + 2 * i);
        const std::uint32_t style = readU32(d + plus_font::kFontStyleFlags);
        o.kind = Object::Font;
        o.font.face = playableFace(QString::fromStdU16String(family).section(QChar(0), 0, 0));
        o.font.emSize = em;
        o.font.bold = style & 1;
        o.font.italic = style & 2;
        o.font.underline = style & 4;
        o.font.strikeOut = style & 8;
        o.emUnit = unit;
    }
}

std::optional<QColor> EmfPlusReader::brush(bool inlineColor, std::uint32_t id) const
{
    if (inlineColor)
        return fromArgb(id);
    if (id < objects_.size() && objects_[id].kind == Object::Brush)
        return objects_[id].color;
    return std::nullopt;
}

void EmfPlusReader::transform(std::uint16_t type, std::uint16_t flags, const std::uint8_t* d, std::uint64_t size)
{
    QTransform m;
    switch (type) {
    case PlusResetWorldTransform:
        world_ = QTransform();
        return;
    case PlusSetWorldTransform:
    case PlusMultiplyWorldTransform:
        if (size < plus_world_transform::kFixedSize)
            return;
        m = matrixAt(d + plus_world_transform::kMatrixData);
        break;
    case PlusTranslateWorldTransform:
        if (size < plus_translate_world_transform::kFixedSize)
            return;
        m.translate(readF32(d + plus_translate_world_transform::kDx), readF32(d + plus_translate_world_transform::kDy));
        break;
    default:  // scale
        if (size < plus_scale_world_transform::kFixedSize)
            return;
        m.scale(readF32(d + plus_scale_world_transform::kSx), readF32(d + plus_scale_world_transform::kSy));
        break;
    }
    // Qt composes left to right: `m * world_` applies m first, as a prepended matrix does.
    const QTransform next = type == PlusSetWorldTransform ? m : (flags & kPostMultiply) ? world_ * m : m * world_;
    if (sound(m) && sound(next))
        world_ = next;
}

double EmfPlusReader::pixelsPer(std::uint32_t unit, double dpi) const
{
    switch (unit) {
    case UnitWorld:  // a page in world units is a page in pixels
    case UnitPixel: return 1;
    case UnitDisplay: return videoDevice_ ? 1 : dpi / 100;
    case UnitPoint: return dpi / 72;
    case UnitInch: return dpi;
    case UnitDocument: return dpi / 300;
    case UnitMillimeter: return dpi / 25.4;
    default: return 0;
    }
}

QTransform EmfPlusReader::toDevice() const
{
    return world_ * QTransform::fromScale(pageScale_ * pixelsPer(pageUnit_, dpiX_), pageScale_ * pixelsPer(pageUnit_, dpiY_));
}

void EmfPlusReader::fillRects(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size)
{
    const std::optional<QColor> color = brush(flags & kInlineColor, readU32(d + plus_fill_rects::kBrushId));
    const std::uint64_t count = readU32(d + plus_fill_rects::kCount);
    const bool compressed = flags & kCompressedRects;
    const std::uint64_t each = compressed ? plus_rect::kSize : plus_rect_f::kSize;
    if (!color || count > size / each || !fits(plus_fill_rects::kRectData, count * each, size))
        return;
    const QTransform t = toDevice();
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* r = d + plus_fill_rects::kRectData + i * each;
        const QRectF rect = compressed
            ? QRectF(readI16(r + plus_rect::kX), readI16(r + plus_rect::kY), readI16(r + plus_rect::kWidth),
                     readI16(r + plus_rect::kHeight))
            : QRectF(readF32(r + plus_rect_f::kX), readF32(r + plus_rect_f::kY), readF32(r + plus_rect_f::kWidth),
                     readF32(r + plus_rect_f::kHeight));
        page_.plusFillRect(rect, t, *color);
    }
}

void EmfPlusReader::drawString(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size)
{
    namespace field = plus_draw_string;
    const std::uint32_t fontId = flags & 0xFF;
    const std::optional<QColor> color = brush(flags & kInlineColor, readU32(d + field::kBrushId));
    const std::uint64_t length = readU32(d + field::kLength);
    if (!color || fontId >= objects_.size() || objects_[fontId].kind != Object::Font
        || length > EmfLimits::maxTextChars || !fits(field::kStringData, 2 * length, size))
        return;
    // The string format (kFormatId), which aligns the text, is not read: the
    // text is set on one line from the layout's top left, as GDI+ sets it
    // without a format, except that GDI+ would also wrap it at the layout's width.
    QString text(static_cast<qsizetype>(length), QChar());
    for (std::uint64_t i = 0; i < length; ++i)
        text[static_cast<qsizetype>(i)] = QChar(readU16(d + field::kStringData + 2 * i));
    const std::uint8_t* l = d + field::kLayoutRect;
    const QRectF layout(readF32(l + plus_rect_f::kX), readF32(l + plus_rect_f::kY), readF32(l + plus_rect_f::kWidth),
                        readF32(l + plus_rect_f::kHeight));
    const Object& f = objects_[fontId];
    PlusFont font = f.font;
    // A font measured in a unit of its own keeps that size whatever the page
    // unit: in world units it is its size over the page's pixels per unit.
    if (f.emUnit != UnitWorld)
        font.emSize *= pixelsPer(f.emUnit, dpiY_) / (pageScale_ * pixelsPer(pageUnit_, dpiY_));
    page_.plusText(text, font, *color, layout, toDevice());
}

} // namespace platform::emf
