// Hostile pages: small, valid-looking metafiles and report files that ask the
// player or the loader for far more work than any report page needs. Each one
// stands for a kind of attack seen on the player; the tests play them, the
// benchmark times them, and `hostile_pages DIR` writes them out for emfplay,
// qrpdump and the fuzzers' seed corpus.
//
// Header-only so that the tool, the tests and the benchmark build the very
// same bytes without a library of their own.
#pragma once

#include "platform/emf_format.h"
#include "platform/emf_records.h"

#include <QByteArray>
#include <QString>

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace hostile {

using platform::emf::ByteWriter;
using platform::emf::patchU32;

// A page of 1090 x 762 pixels at 96 per inch, the size of a profile page.
constexpr int kPageWidth = 1090;
constexpr int kPageHeight = 762;

// Records of one metafile, framed by its header and end-of-file record.
class Page {
public:
    Page()
    {
        ByteWriter w(bytes_);
        w.u32(platform::emf::Header);
        w.u32(platform::emf::header::kFixedSize);
        for (int v : {0, 0, kPageWidth - 1, kPageHeight - 1})  // bounds
            w.i32(v);
        for (int v : {0, 0, kPageWidth * 2540 / 96, kPageHeight * 2540 / 96})  // frame, 0.01 mm
            w.i32(v);
        w.u32(platform::emf::kSignature);
        w.u32(platform::emf::kVersion);
        w.u32(0);  // nBytes, set by finish()
        w.u32(0);  // nRecords, set by finish()
        w.u16(4);  // nHandles
        w.u16(0);
        w.u32(0);
        w.u32(0);
        w.u32(0);
        w.i32(kPageWidth);  // device: one page unit per pixel at 96 per inch
        w.i32(kPageHeight);
        w.i32(kPageWidth * 254 / 960);
        w.i32(kPageHeight * 254 / 960);
        w.u32(0);
        w.u32(0);
        w.u32(0);
        w.i32(kPageWidth * 254000 / 960);
        w.i32(kPageHeight * 254000 / 960);
    }

    // One record: its type, then whatever `body` appends; the size is patched in.
    Page& record(std::uint32_t type, const std::function<void(ByteWriter&)>& body)
    {
        const qsizetype at = bytes_.size();
        ByteWriter w(bytes_);
        w.u32(type);
        w.u32(0);
        body(w);
        while (bytes_.size() % 4)
            bytes_.append('\0');
        patchU32(bytes_, at + platform::emf::record::kSize, static_cast<std::uint32_t>(bytes_.size() - at));
        ++records_;
        return *this;
    }
    Page& words(std::uint32_t type, std::initializer_list<std::uint32_t> fields)
    {
        return record(type, [&](ByteWriter& w) {
            for (std::uint32_t f : fields)
                w.u32(f);
        });
    }

    // A font in slot `ih` (LOGFONTW, 104-byte record) with `height` as stored.
    Page& font(std::uint32_t ih, std::int32_t height, const QString& face)
    {
        return record(platform::emf::ExtCreateFontIndirectW, [&](ByteWriter& w) {
            w.u32(ih);
            w.i32(height);
            w.zeros(12);
            w.i32(400);
            w.zeros(8);
            for (int i = 0; i < 32; ++i)
                w.u16(i < face.size() ? face.at(i).unicode() : 0);
        });
    }

    // EXTTEXTOUTW at (x, y); without `advance`, no Dx array (the font's own
    // advances place the characters), with it a Dx array that gives every
    // character that advance (0: all on one spot).
    template <std::same_as<bool> Flag>
    Page& text(int x, int y, const QString& s, Flag) = delete;  // an advance, not a flag
    Page& text(int x, int y, const QString& s, std::optional<int> advance = std::nullopt)
    {
        return record(platform::emf::ExtTextOutW, [&](ByteWriter& w) {
            w.zeros(16);     // bounds
            w.u32(1);        // graphics mode
            w.f32(1);
            w.f32(1);
            w.i32(x);
            w.i32(y);
            w.u32(static_cast<std::uint32_t>(s.size()));
            w.u32(platform::emf::ext_text_out::kFixedSize);  // offString
            w.u32(0x100);    // NO_RECT
            w.zeros(16);     // rectangle
            const std::size_t dxAt = platform::emf::ext_text_out::kFixedSize + (s.size() * 2 + 3) / 4 * 4;
            w.u32(advance ? static_cast<std::uint32_t>(dxAt) : 0);  // offDx
            for (QChar c : s)
                w.u16(c.unicode());
            if (s.size() % 2)
                w.u16(0);
            if (advance)
                for (qsizetype i = 0; i < s.size(); ++i)
                    w.i32(*advance);
        });
    }

    // A comment record carrying EMF+ records, each its type, flags and the
    // data `body` appends. A page whose first EMF+ record is a header without
    // the dual flag is drawn by its EMF+ records alone.
    struct PlusRecord {
        std::uint16_t type, flags;
        std::function<void(ByteWriter&)> body;
    };
    Page& plus(const std::vector<PlusRecord>& records)
    {
        QByteArray data;
        ByteWriter d(data);
        d.u32(platform::emf::kEmfPlusIdentifier);
        for (const PlusRecord& r : records) {
            QByteArray body;
            ByteWriter b(body);
            r.body(b);
            while (body.size() % 4)
                body.append('\0');
            d.u16(r.type);
            d.u16(r.flags);
            d.u32(static_cast<std::uint32_t>(12 + body.size()));
            d.u32(static_cast<std::uint32_t>(body.size()));
            data.append(body);
        }
        return record(platform::emf::GdiComment, [&](ByteWriter& w) {
            w.u32(static_cast<std::uint32_t>(data.size()));
            w.bytes(data.constData(), data.size());
        });
    }

    // The metafile with an end-of-file record ending exactly at nBytes.
    QByteArray finish() const
    {
        Page p = *this;
        namespace emf = platform::emf;
        p.words(emf::Eof, {0, emf::eof::kSizeLast, emf::eof::kFixedSize});
        QByteArray out = p.bytes_;
        patchU32(out, emf::header::kBytes, static_cast<std::uint32_t>(out.size()));
        patchU32(out, emf::header::kRecords, static_cast<std::uint32_t>(p.records_ + 1));
        return out;
    }

private:
    QByteArray bytes_;
    int records_ = 0;
};

// A small triangle somewhere on the page, by its number.
inline void triangle(ByteWriter& w, int i)
{
    const auto x = static_cast<std::int16_t>(10 + (i * 37) % (kPageWidth - 30));
    const auto y = static_cast<std::int16_t>(10 + (i * 91) % (kPageHeight - 30));
    for (std::int16_t v : {x, y, std::int16_t(x + 12), y, x, std::int16_t(y + 12)})
        w.i16(v);
}

// `records` POLYPOLYGON16 records of `triangles` triangles each.
inline QByteArray triangles(int records, int triangles)
{
    Page p;
    p.words(platform::emf::CreateBrushIndirect, {1, 0, 0x00C08040, 0}).words(platform::emf::SelectObject, {1});
    for (int r = 0; r < records; ++r)
        p.record(platform::emf::PolyPolygon16, [&](ByteWriter& w) {
            w.zeros(16);
            w.u32(static_cast<std::uint32_t>(triangles));
            w.u32(static_cast<std::uint32_t>(3 * triangles));
            for (int i = 0; i < triangles; ++i)
                w.u32(3);
            for (int i = 0; i < triangles; ++i)
                triangle(w, r * triangles + i);
        });
    return p.finish();
}

// A zigzag of `points` points, `run` units apart, in a pen `width` units wide
// with miter joins and no limit to them: every corner is so sharp that its
// miter reaches ten times further than the line.
inline QByteArray miterSpikes(int points, int width, int run)
{
    Page p;
    p.words(platform::emf::ExtCreatePen, {1, 0, 0, 0, 0, 0x00012000, std::uint32_t(width), 0, 0x00000000, 0, 0})
        .words(platform::emf::SelectObject, {1})
        .words(platform::emf::SetMiterLimit, {0xFFFFFFFF});
    p.record(platform::emf::Polyline16, [&](ByteWriter& w) {
        w.zeros(16);
        w.u32(static_cast<std::uint32_t>(points));
        for (int i = 0; i < points; ++i) {
            w.i16(static_cast<std::int16_t>(kPageWidth / 2 + (i % 2) * run));
            w.i16(static_cast<std::int16_t>(kPageHeight / 2 + i * run / 10 % (kPageHeight / 2)));
        }
    });
    return p.finish();
}

// One POLYBEZIER16 of `points` points (a start point and three per curve).
inline QByteArray bezier(int points)
{
    Page p;
    p.record(platform::emf::PolyBezier16, [&](ByteWriter& w) {
        w.zeros(16);
        w.u32(static_cast<std::uint32_t>(points));
        for (int i = 0; i < points; ++i) {
            w.i16(static_cast<std::int16_t>(20 + (i * 53) % (kPageWidth - 40)));
            w.i16(static_cast<std::int16_t>(20 + (i * 29) % (kPageHeight - 40)));
        }
    });
    return p.finish();
}

// `records` text records of `chars` characters each, in a face at `height`
// (negative: character height), the text made of `c` repeated; `advance`
// places the characters by a Dx array, and 0 draws every character of a
// record at the same place.
template <std::same_as<bool> Flag>
QByteArray text(int records, int chars, std::int32_t height, QChar c, Flag) = delete;  // an advance, not a flag
inline QByteArray text(int records, int chars, std::int32_t height, QChar c, std::optional<int> advance = std::nullopt)
{
    Page p;
    p.font(1, height, QStringLiteral("Arial")).words(platform::emf::SelectObject, {1});
    const bool stacked = advance == 0;
    if (stacked)  // on a baseline near the bottom, a glyph taller than the page covers it
        p.words(platform::emf::SetTextAlign, {platform::emf::kTaBaseline});
    const QString s(chars, c);
    for (int r = 0; r < records; ++r)
        p.text(10, stacked ? kPageHeight - 20 : 20 + (r * 40) % (kPageHeight - 40), s, advance);
    return p.finish();
}

// `fonts` fonts, each with a face name no machine has, each selected and used once.
inline QByteArray unknownFaces(int fonts)
{
    Page p;
    for (int i = 0; i < fonts; ++i) {
        p.font(1, i % 2 ? -14 : 16, QStringLiteral("Nonesuch %1").arg(i))
            .words(platform::emf::SelectObject, {1})
            .text(10 + (i * 13) % 1000, 20 + (i * 7) % 700, QStringLiteral("A"));
    }
    return p.finish();
}

// `count` RECTANGLE records, each over the whole page.
inline QByteArray fills(int count)
{
    Page p;
    for (int i = 0; i < count; ++i)
        p.words(platform::emf::Rectangle, {0, 0, std::uint32_t(kPageWidth), std::uint32_t(kPageHeight)});
    return p.finish();
}

// EMF+ records: the header (an EMF+-only page at 96 dpi), a font object in
// slot `id` at `emPixels`, text in that font, and a rectangle over the whole
// page, the last two in an inline ARGB colour.
namespace plus {
inline Page::PlusRecord header()
{
    return {0x4001, 0, [](ByteWriter& w) {
                for (std::uint32_t v : {0xDBC01002u, 1u, 96u, 96u})
                    w.u32(v);
            }};
}
inline Page::PlusRecord font(std::uint16_t id, float emPixels, const QString& family)
{
    return {0x4008, std::uint16_t(0x0600 | id), [=](ByteWriter& w) {  // object of kind 6, a font
                w.u32(0xDBC01002);
                w.f32(emPixels);
                for (std::uint32_t v : {2u, 0u, 0u, std::uint32_t(family.size())})  // pixels, style, reserved, length
                    w.u32(v);
                for (QChar c : family)
                    w.u16(c.unicode());
            }};
}
inline Page::PlusRecord text(std::uint16_t fontId, float x, float y, const QString& s)
{
    return {std::uint16_t(0x401C), std::uint16_t(0x8000 | fontId), [=](ByteWriter& w) {
                for (std::uint32_t v : {0xFF000000u, 0u, std::uint32_t(s.size())})  // colour, format, length
                    w.u32(v);
                for (float v : {x, y, 0.f, 0.f})  // layout: a point, no clip
                    w.f32(v);
                for (QChar c : s)
                    w.u16(c.unicode());
            }};
}
inline Page::PlusRecord fillPage()
{
    return {0x400A, 0x8000, [](ByteWriter& w) {
                for (std::uint32_t v : {0xFF2060A0u, 1u})  // colour, count
                    w.u32(v);
                for (float v : {0.f, 0.f, float(kPageWidth), float(kPageHeight)})
                    w.f32(v);
            }};
}
} // namespace plus

// The EMF+ kinds of the GDI pages above: `records` text records of `chars`
// characters `c` at `emPixels`; `fonts` font objects of unknown families, each
// used once; `count` rectangles over the whole page.
inline QByteArray plusText(int records, int chars, float emPixels, QChar c)
{
    Page p;
    p.plus({plus::header(), plus::font(1, emPixels, QStringLiteral("Arial"))});
    const QString s(chars, c);
    for (int r = 0; r < records; ++r)
        p.plus({plus::text(1, 10, float(20 + (r * 40) % (kPageHeight - 40)), s)});
    return p.finish();
}
inline QByteArray plusUnknownFaces(int fonts)
{
    Page p;
    p.plus({plus::header()});
    for (int i = 0; i < fonts; ++i)
        p.plus({plus::font(1, 16, QStringLiteral("Nonesuch %1").arg(i)),
                plus::text(1, float(10 + (i * 13) % 1000), float(20 + (i * 7) % 700), QStringLiteral("A"))});
    return p.finish();
}
inline QByteArray plusFills(int count)
{
    Page p;
    p.plus({plus::header()});
    for (int i = 0; i < count; ++i)
        p.plus({plus::fillPage()});
    return p.finish();
}

struct Case {
    const char* name;
    std::function<QByteArray()> make;
};

// The hostile pages at the sizes they were found at.
inline std::vector<Case> pageCases()
{
    return {
        {"triangles-1x300000", [] { return triangles(1, 300'000); }},
        {"triangles-3x100000", [] { return triangles(3, 100'000); }},
        {"missing-glyphs", [] { return text(61, 65'536, -20, QChar(0xE000)); }},
        {"bezier-999999", [] { return bezier(999'999); }},
        {"huge-text", [] { return text(61, 65'536, -4000, QChar(u'W')); }},
        {"unknown-faces-10000", [] { return unknownFaces(10'000); }},
        {"page-fills-50000", [] { return fills(50'000); }},
        {"miter-spikes-6000", [] { return miterSpikes(6'000, 370, 10); }},
        {"plus-missing-glyphs", [] { return plusText(61, 65'536, 20, QChar(0xE000)); }},
        {"plus-unknown-faces-10000", [] { return plusUnknownFaces(10'000); }},
        {"plus-page-fills-50000", [] { return plusFills(50'000); }},
    };
}

// A small page whose end-of-file record stands early, followed by garbage up
// to the byte count its header declares.
inline QByteArray earlyEof()
{
    Page p;
    p.words(platform::emf::CreateBrushIndirect, {1, 0, 0x000000FF, 0}).words(platform::emf::SelectObject, {1});
    QByteArray out = p.finish();
    out.append(QByteArray(4096, '\x5A'));
    patchU32(out, platform::emf::header::kBytes, static_cast<std::uint32_t>(out.size()));
    return out;
}

// A small page whose header counts more records than it holds.
inline QByteArray wrongRecordCount()
{
    Page p;
    p.words(platform::emf::SetBkMode, {1});
    QByteArray out = p.finish();
    patchU32(out, platform::emf::header::kRecords, 7);
    return out;
}

// A report file of one page with the given printable size in page units.
inline QByteArray reportFile(const QByteArray& page, std::int32_t width, std::int32_t height)
{
    QByteArray out;
    ByteWriter w(out);
    w.u16(1);
    w.u16(100);
    w.i32(height);
    w.i32(width);
    w.i32(96);
    w.i32(1);
    w.zeros(372 - 20);
    out[112] = 1;  // portrait
    w.bytes(page.constData(), page.size());
    w.u32(372);
    return out;
}

} // namespace hostile
