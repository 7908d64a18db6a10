// Where each field lies inside the records the player reads and the writer
// writes: byte offsets from the start of the record (or of the structure the
// namespace names), little-endian, under the field names the published record
// layouts use. kFixedSize is the part of a record every copy of it has; a record
// shorter than that is skipped. Records of one layout share a namespace, named
// in its comment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::emf {

// ---- Structures found inside records.

// Every record begins with its type and its size in bytes, a multiple of 4.
namespace record {
inline constexpr std::size_t kType = 0, kSize = 4, kMinSize = 8;
}

// RECTL: four i32 corners, right and bottom inclusive or not as the record says.
namespace rectl {
inline constexpr std::size_t kLeft = 0, kTop = 4, kRight = 8, kBottom = 12, kSize = 16;
}

// POINTL and SIZEL: two i32; POINTS: two i16.
namespace pointl {
inline constexpr std::size_t kX = 0, kY = 4, kSize = 8;
}
namespace sizel {
inline constexpr std::size_t kCx = 0, kCy = 4, kSize = 8;
}
namespace points {
inline constexpr std::size_t kX = 0, kY = 2, kSize = 4;
}

// XFORM: six f32, x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy.
namespace xform {
inline constexpr std::size_t kM11 = 0, kM12 = 4, kM21 = 8, kM22 = 12, kDx = 16, kDy = 20, kSize = 24;
}

// LOGFONTW: the face name is 32 UTF-16 units, not always NUL-terminated.
namespace log_font {
inline constexpr std::size_t kHeight = 0, kWidth = 4, kEscapement = 8, kOrientation = 12, kWeight = 16,
                             kItalic = 20, kUnderline = 21, kStrikeOut = 22, kCharSet = 23, kOutPrecision = 24,
                             kClipPrecision = 25, kQuality = 26, kPitchAndFamily = 27, kFaceName = 28,
                             kFaceNameChars = 32, kSize = 92;
}

// BITMAPINFOHEADER. With BI_BITFIELDS, a plain 40-byte header is followed by
// three u32 colour masks (red, green, blue); a longer header holds them itself.
namespace bmih {
inline constexpr std::size_t kSize = 0, kWidth = 4, kHeight = 8, kPlanes = 12, kBitCount = 14, kCompression = 16,
                             kSizeImage = 20, kXPelsPerMeter = 24, kYPelsPerMeter = 28, kClrUsed = 32,
                             kClrImportant = 36, kMinSize = 40, kMasks = 40, kMasksSize = 12;
}

// RGNDATA: a 32-byte header, then nCount RECTLs.
namespace rgn {
inline constexpr std::size_t kSize = 0, kType = 4, kCount = 8, kRgnSize = 12, kBounds = 16, kHeaderBytes = 32;
inline constexpr std::uint32_t kTypeRects = 1;
}

// TRIVERTEX (colours are u16, of which the high byte counts), and the shapes of
// GRADIENTFILL: GRADIENT_RECT and GRADIENT_TRIANGLE, u32 vertex indices.
namespace tri_vertex {
inline constexpr std::size_t kX = 0, kY = 4, kRed = 8, kGreen = 10, kBlue = 12, kAlpha = 14, kSize = 16;
}
namespace gradient_rect {
inline constexpr std::size_t kUpperLeft = 0, kLowerRight = 4, kSize = 8;
}
namespace gradient_triangle {
inline constexpr std::size_t kVertex1 = 0, kVertex2 = 4, kVertex3 = 8, kSize = 12;
}

// ---- The header and the end.

// HEADER, with both extensions: 88 bytes at least, 100 with the pixel format,
// 108 with the size in micrometres. The description, when there is one, lies
// after the fixed part, inside the record.
namespace header {
inline constexpr std::size_t kBounds = 8, kFrame = 24, kRecordSignature = 40, kVersion = 44, kBytes = 48,
                             kRecords = 52, kHandles = 56, kReserved = 58, kDescriptionChars = 60,
                             kOffDescription = 64, kPalEntries = 68, kDevice = 72, kMillimeters = 80, kMinSize = 88,
                             kPixelFormatSize = 88, kOffPixelFormat = 92, kOpenGL = 96, kMicrometers = 100,
                             kFixedSize = 108;
}

// EOF: with no palette entries, the palette would begin where SizeLast lies.
namespace eof {
inline constexpr std::size_t kPalEntries = 8, kOffPalEntries = 12, kSizeLast = 16, kFixedSize = 20;
}

// COMMENT: DataSize bytes of data from 12. A comment carrying EMF+ records
// opens its data with an identifier, and the records follow it.
namespace comment {
inline constexpr std::size_t kDataSize = 8, kCommentIdentifier = 12, kFixedSize = 16;
}

// ---- State records of one value.

namespace set_map_mode {
inline constexpr std::size_t kMapMode = 8, kFixedSize = 12;
}
namespace set_bk_mode {
inline constexpr std::size_t kBackgroundMode = 8, kFixedSize = 12;
}
namespace set_stretch_blt_mode {
inline constexpr std::size_t kStretchMode = 8, kFixedSize = 12;
}
namespace set_poly_fill_mode {
inline constexpr std::size_t kPolygonFillMode = 8, kFixedSize = 12;
}
// Logical palettes: CREATEPALETTE holds a LOGPALETTE (version, count, then
// R, G, B, flags entries); SETPALETTEENTRIES replaces a run of entries.
namespace select_palette {
inline constexpr std::size_t kIhPal = 8, kFixedSize = 12;
}
namespace create_palette {
inline constexpr std::size_t kIhPal = 8, kVersion = 12, kNumEntries = 14, kEntries = 16, kFixedSize = 16;
}
namespace set_palette_entries {
inline constexpr std::size_t kIhPal = 8, kStart = 12, kNumEntries = 16, kEntries = 20, kFixedSize = 20;
}
namespace resize_palette {
inline constexpr std::size_t kIhPal = 8, kNumEntries = 12, kFixedSize = 16;
}
namespace set_miter_limit {
inline constexpr std::size_t kMiterLimit = 8, kFixedSize = 12;
}
namespace set_rop2 {
inline constexpr std::size_t kRop2Mode = 8, kFixedSize = 12;
}
namespace set_text_align {
inline constexpr std::size_t kTextAlignmentMode = 8, kFixedSize = 12;
}
namespace set_text_color {
inline constexpr std::size_t kColor = 8, kFixedSize = 12;
}
namespace set_bk_color {
inline constexpr std::size_t kColor = 8, kFixedSize = 12;
}
namespace set_arc_direction {
inline constexpr std::size_t kArcDirection = 8, kFixedSize = 12;
}
namespace select_clip_path {
inline constexpr std::size_t kRegionMode = 8, kFixedSize = 12;
}
namespace select_object {
inline constexpr std::size_t kIhObject = 8, kFixedSize = 12;
}
namespace delete_object {
inline constexpr std::size_t kIhObject = 8, kFixedSize = 12;
}
namespace save_dc {
inline constexpr std::size_t kFixedSize = 8;
}
namespace restore_dc {
inline constexpr std::size_t kSavedDc = 8, kFixedSize = 12;  // i32, negative: that many saves back
}

// ---- Mapping and the transform: a POINTL or SIZEL at 8.

namespace set_window_ext_ex {
inline constexpr std::size_t kExtent = 8, kFixedSize = 16;
}
namespace set_window_org_ex {
inline constexpr std::size_t kOrigin = 8, kFixedSize = 16;
}
namespace set_viewport_ext_ex {
inline constexpr std::size_t kExtent = 8, kFixedSize = 16;
}
namespace set_viewport_org_ex {
inline constexpr std::size_t kOrigin = 8, kFixedSize = 16;
}
namespace set_brush_org_ex {
inline constexpr std::size_t kOrigin = 8, kFixedSize = 16;
}
namespace set_world_transform {
inline constexpr std::size_t kXform = 8, kFixedSize = 32;
}
namespace modify_world_transform {
inline constexpr std::size_t kXform = 8, kModifyWorldTransformMode = 32, kFixedSize = 36;
}

// ---- Clipping.

namespace exclude_clip_rect {
inline constexpr std::size_t kClip = 8, kFixedSize = 24;
}
namespace intersect_clip_rect {
inline constexpr std::size_t kClip = 8, kFixedSize = 24;
}
namespace offset_clip_rgn {
inline constexpr std::size_t kOffset = 8, kFixedSize = 16;
}
namespace ext_select_clip_rgn {
inline constexpr std::size_t kRgnDataSize = 8, kRegionMode = 12, kRgnData = 16, kFixedSize = 16;
}

// ---- Objects.

// CREATEPEN: a LOGPEN at 12 (style, width as a POINTL of which x counts, colour).
namespace create_pen {
inline constexpr std::size_t kIhPen = 8, kPenStyle = 12, kWidth = 16, kColorRef = 24, kFixedSize = 28;
}
// EXTCREATEPEN: a LOGPENEX at 28; its style entries and bitmap follow.
namespace ext_create_pen {
inline constexpr std::size_t kIhPen = 8, kOffBmi = 12, kCbBmi = 16, kOffBits = 20, kCbBits = 24, kPenStyle = 28,
                             kWidth = 32, kBrushStyle = 36, kColorRef = 40, kBrushHatch = 44,
                             kNumStyleEntries = 48, kStyleEntries = 52, kFixedSize = 52;
}
// CREATEBRUSHINDIRECT: a LOGBRUSH at 12.
namespace create_brush_indirect {
inline constexpr std::size_t kIhBrush = 8, kBrushStyle = 12, kColor = 16, kBrushHatch = 20, kFixedSize = 24;
}
// CREATEDIBPATTERNBRUSHPT, and CREATEMONOBRUSH, which has the same layout.
namespace create_dib_pattern_brush_pt {
inline constexpr std::size_t kIhBrush = 8, kUsage = 12, kOffBmi = 16, kCbBmi = 20, kOffBits = 24, kCbBits = 28,
                             kFixedSize = 32;
}
// EXTCREATEFONTINDIRECTW: a LOGFONTW at 12, perhaps extended (332 or 368 bytes in all).
namespace ext_create_font_indirect_w {
inline constexpr std::size_t kIhFont = 8, kElw = 12, kFixedSize = kElw + log_font::kSize;
}

// ---- Lines and shapes.

namespace move_to_ex {
inline constexpr std::size_t kPoint = 8, kFixedSize = 16;
}
namespace line_to {
inline constexpr std::size_t kPoint = 8, kFixedSize = 16;
}
namespace set_pixel_v {
inline constexpr std::size_t kPixel = 8, kColor = 16, kFixedSize = 20;
}
// RECTANGLE and ELLIPSE: an inclusive box.
namespace rectangle {
inline constexpr std::size_t kBox = 8, kFixedSize = 24;
}
// ROUNDRECT: the box, then the corner ellipse's width and height (a SIZEL).
namespace round_rect {
inline constexpr std::size_t kBox = 8, kCorner = 24, kFixedSize = 32;
}
// ARC, ARCTO, CHORD and PIE: the box, then the points the start and end radials pass through.
namespace arc {
inline constexpr std::size_t kBox = 8, kStart = 24, kEnd = 32, kFixedSize = 40;
}
// ANGLEARC: the centre, a u32 radius, then f32 start and sweep angles in degrees.
namespace angle_arc {
inline constexpr std::size_t kCenter = 8, kRadius = 16, kStartAngle = 20, kSweepAngle = 24, kFixedSize = 28;
}
// POLYGON, POLYLINE, POLYBEZIER, POLYLINETO, POLYBEZIERTO, and their 16-bit
// forms: the bounds, a count, then the points (POINTL, or POINTS in the 16-bit forms).
namespace polygon {
inline constexpr std::size_t kBounds = 8, kCount = 24, kPoints = 28, kFixedSize = 28;
}
// POLYPOLYGON and POLYPOLYLINE, 32- and 16-bit: the bounds, the number of
// figures, the number of points in all, each figure's point count (u32), then the points.
namespace poly_polygon {
inline constexpr std::size_t kBounds = 8, kNumberOfPolygons = 24, kCount = 28, kPolygonPointCount = 32,
                             kFixedSize = 32;
}
// FILLRGN fills with a brush object, PAINTRGN with the selected brush.
namespace fill_rgn {
inline constexpr std::size_t kBounds = 8, kRgnDataSize = 24, kIhBrush = 28, kRgnData = 32, kFixedSize = 32;
}
namespace paint_rgn {
inline constexpr std::size_t kBounds = 8, kRgnDataSize = 24, kRgnData = 28, kFixedSize = 28;
}
// GRADIENTFILL: nVer TRIVERTEX, then nTri GRADIENT_RECT or GRADIENT_TRIANGLE as ulMode says.
namespace gradient_fill {
inline constexpr std::size_t kBounds = 8, kNumVertices = 24, kNumShapes = 28, kMode = 32, kVertexData = 36,
                             kFixedSize = 36;
}

// ---- Text.

// EXTTEXTOUTW and EXTTEXTOUTA: the scales are 0.01 mm per unit; the string and
// the Dx array lie where their offsets say, Dx holding two values a character with ETO_PDY.
namespace ext_text_out {
inline constexpr std::size_t kBounds = 8, kGraphicsMode = 24, kExScale = 28, kEyScale = 32, kReference = 36,
                             kChars = 44, kOffString = 48, kOptions = 52, kRectangle = 56, kOffDx = 72,
                             kFixedSize = 76;
}
// SMALLTEXTOUT: the bounds are left out with ETO_NO_RECT, and the text then
// begins where they would have.
namespace small_text_out {
inline constexpr std::size_t kX = 8, kY = 12, kChars = 16, kOptions = 20, kGraphicsMode = 24, kExScale = 28,
                             kEyScale = 32, kBounds = 36, kFixedSize = 36, kStringNoRect = 36,
                             kString = kBounds + rectl::kSize;
}

// ---- Bitmaps. Offsets of the bitmap header and bits count from the record's start.

// BITBLT; STRETCHBLT adds the source's extent.
namespace bit_blt {
inline constexpr std::size_t kBounds = 8, kXDest = 24, kYDest = 28, kCxDest = 32, kCyDest = 36,
                             kBitBltRasterOperation = 40, kXSrc = 44, kYSrc = 48, kXformSrc = 52,
                             kBkColorSrc = 76, kUsageSrc = 80, kOffBmiSrc = 84, kCbBmiSrc = 88, kOffBitsSrc = 92,
                             kCbBitsSrc = 96, kFixedSize = 100;
}
namespace stretch_blt {
inline constexpr std::size_t kCxSrc = 100, kCySrc = 104, kFixedSize = 108;
}
// ALPHABLEND: BITBLT's layout with a BLENDFUNCTION in the raster operation's
// place (operation, flags, constant alpha, alpha format: one byte each), and the
// source's extent after it, as in STRETCHBLT.
namespace alpha_blend {
inline constexpr std::size_t kBounds = 8, kXDest = 24, kYDest = 28, kCxDest = 32, kCyDest = 36,
                             kBlendFunction = 40, kSourceConstantAlpha = 42, kAlphaFormat = 43, kXSrc = 44,
                             kYSrc = 48, kXformSrc = 52, kBkColorSrc = 76, kUsageSrc = 80, kOffBmiSrc = 84,
                             kCbBmiSrc = 88, kOffBitsSrc = 92, kCbBitsSrc = 96, kCxSrc = 100, kCySrc = 104,
                             kFixedSize = 108;
}
namespace stretch_dibits {
inline constexpr std::size_t kBounds = 8, kXDest = 24, kYDest = 28, kXSrc = 32, kYSrc = 36, kCxSrc = 40,
                             kCySrc = 44, kOffBmiSrc = 48, kCbBmiSrc = 52, kOffBitsSrc = 56, kCbBitsSrc = 60,
                             kUsageSrc = 64, kBitBltRasterOperation = 68, kCxDest = 72, kCyDest = 76,
                             kFixedSize = 80;
}

// Each structure ends where the next field begins.
static_assert(header::kFrame == header::kBounds + rectl::kSize && header::kMillimeters == header::kDevice + sizel::kSize
              && header::kMinSize == header::kMillimeters + sizel::kSize
              && header::kFixedSize == header::kMicrometers + sizel::kSize);
static_assert(set_world_transform::kFixedSize == set_world_transform::kXform + xform::kSize
              && modify_world_transform::kModifyWorldTransformMode == modify_world_transform::kXform + xform::kSize);
static_assert(rectangle::kFixedSize == rectangle::kBox + rectl::kSize && round_rect::kCorner == round_rect::kBox + rectl::kSize
              && round_rect::kFixedSize == round_rect::kCorner + sizel::kSize && arc::kStart == arc::kBox + rectl::kSize
              && arc::kEnd == arc::kStart + pointl::kSize && arc::kFixedSize == arc::kEnd + pointl::kSize);
static_assert(ext_create_font_indirect_w::kFixedSize == 104 && log_font::kSize == log_font::kFaceName + 2 * log_font::kFaceNameChars);
static_assert(ext_text_out::kGraphicsMode == ext_text_out::kBounds + rectl::kSize
              && ext_text_out::kChars == ext_text_out::kReference + pointl::kSize
              && ext_text_out::kOffDx == ext_text_out::kRectangle + rectl::kSize
              && ext_text_out::kFixedSize == ext_text_out::kOffDx + 4);
static_assert(bit_blt::kBkColorSrc == bit_blt::kXformSrc + xform::kSize && stretch_blt::kCxSrc == bit_blt::kFixedSize
              && alpha_blend::kBkColorSrc == alpha_blend::kXformSrc + xform::kSize
              && alpha_blend::kCxSrc == alpha_blend::kCbBitsSrc + 4 && alpha_blend::kFixedSize == stretch_blt::kFixedSize);

} // namespace platform::emf
