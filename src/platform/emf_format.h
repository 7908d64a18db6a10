// Record types, constants and little-endian helpers shared by the EMF writer
// and player.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstring>

namespace platform::emf {

enum RecordType : std::uint32_t {
    Header = 1,
    PolyBezier = 2,
    Polygon = 3,
    Polyline = 4,
    PolyBezierTo = 5,
    PolylineTo = 6,
    PolyPolyline = 7,
    PolyPolygon = 8,
    SetWindowExtEx = 9,
    SetWindowOrgEx = 10,
    SetViewportExtEx = 11,
    SetViewportOrgEx = 12,
    SetBrushOrgEx = 13,
    Eof = 14,
    SetPixelV = 15,
    SetMapperFlags = 16,
    SetMapMode = 17,
    SetBkMode = 18,
    SetPolyFillMode = 19,
    SetRop2 = 20,
    SetStretchBltMode = 21,
    SetTextAlign = 22,
    SetTextColor = 24,
    SetBkColor = 25,
    OffsetClipRgn = 26,
    MoveToEx = 27,
    ExcludeClipRect = 29,
    IntersectClipRect = 30,
    ScaleViewportExtEx = 31,
    ScaleWindowExtEx = 32,
    SaveDC = 33,
    RestoreDC = 34,
    SetWorldTransform = 35,
    ModifyWorldTransform = 36,
    AngleArc = 41,
    SelectObject = 37,
    CreatePen = 38,
    CreateBrushIndirect = 39,
    DeleteObject = 40,
    Ellipse = 42,
    Rectangle = 43,
    RoundRect = 44,
    Arc = 45,
    Chord = 46,
    Pie = 47,
    SelectPalette = 48,
    CreatePalette = 49,
    SetPaletteEntries = 50,
    ResizePalette = 51,
    LineTo = 54,
    ArcTo = 55,
    SetArcDirection = 57,
    SetMiterLimit = 58,
    BeginPath = 59,
    EndPath = 60,
    CloseFigure = 61,
    FillPath = 62,
    StrokeAndFillPath = 63,
    StrokePath = 64,
    FlattenPath = 65,
    WidenPath = 66,
    SelectClipPath = 67,
    AbortPath = 68,
    GdiComment = 70,
    FillRgn = 71,
    PaintRgn = 74,
    ExtSelectClipRgn = 75,
    BitBlt = 76,
    StretchBlt = 77,
    StretchDIBits = 81,
    ExtCreateFontIndirectW = 82,
    ExtTextOutA = 83,
    ExtTextOutW = 84,
    PolyBezier16 = 85,
    Polygon16 = 86,
    Polyline16 = 87,
    PolyBezierTo16 = 88,
    PolylineTo16 = 89,
    PolyPolyline16 = 90,
    PolyPolygon16 = 91,
    CreateMonoBrush = 93,
    CreateDIBPatternBrushPt = 94,
    ExtCreatePen = 95,
    SmallTextOut = 108,
    AlphaBlend = 114,
    GradientFill = 118,
};

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmfPlusIdentifier = 0x2B464D45;  // "EMF+", opening a comment that carries EMF+ records
constexpr std::uint32_t kVersion = 0x00010000;
constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kStockDefaultPalette = 15;  // with kStockObject
constexpr std::uint32_t kRopSrcCopy = 0x00CC0020;
constexpr std::uint32_t kRopPatCopy = 0x00F00021;

// Text alignment bits.
constexpr std::uint32_t kTaRight = 2;
constexpr std::uint32_t kTaCenter = 6;
constexpr std::uint32_t kTaBottom = 8;
constexpr std::uint32_t kTaBaseline = 24;

// ExtTextOut options.
constexpr std::uint32_t kEtoOpaque = 0x2;
constexpr std::uint32_t kEtoClipped = 0x4;
constexpr std::uint32_t kEtoGlyphIndex = 0x10;
constexpr std::uint32_t kEtoNoRect = 0x100;
constexpr std::uint32_t kEtoPdy = 0x2000;

inline std::uint32_t readU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
inline std::int32_t readI32(const std::uint8_t* p) { return static_cast<std::int32_t>(readU32(p)); }
inline std::uint16_t readU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::int16_t readI16(const std::uint8_t* p) { return static_cast<std::int16_t>(readU16(p)); }
inline float readF32(const std::uint8_t* p)
{
    const std::uint32_t u = readU32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// True when [offset, offset + length) lies within [0, size); all in 64 bits.
inline bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// Appends little-endian values to a byte array.
class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : out_(out) {}
    void u32(std::uint32_t v)
    {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        out_.append(b, 4);
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void u16(std::uint16_t v)
    {
        const char b[2] = {char(v), char(v >> 8)};
        out_.append(b, 2);
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u8(std::uint8_t v) { out_.append(char(v)); }
    void f32(float f)
    {
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        u32(u);
    }
    void bytes(const void* p, qsizetype n) { out_.append(static_cast<const char*>(p), n); }
    void zeros(qsizetype n) { out_.append(n, '\0'); }

private:
    QByteArray& out_;
};

inline void patchU32(QByteArray& a, qsizetype at, std::uint32_t v)
{
    char* p = a.data() + at;
    p[0] = char(v);
    p[1] = char(v >> 8);
    p[2] = char(v >> 16);
    p[3] = char(v >> 24);
}

} // namespace platform::emf
