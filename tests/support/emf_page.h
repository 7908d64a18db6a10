// A small reader of the records that a composed page holds, written apart
// from the EMF writer so that the tests check the page as any EMF reader
// would see it: texts with their anchor, alignment, clip box and font height,
// solid fills with their colour, bitmaps with their destination, and lines.
// The report and the page tests both read their pages with it.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace emfpage {

struct Text {
    int x = 0, y = 0;
    QString text;
    unsigned options = 0;
    int left = 0, top = 0, right = 0, bottom = 0; // the record's rectangle
    unsigned align = 0;                            // SETTEXTALIGN mode in force
    int fontHeight = 0;                            // LOGFONT height (negative: character height)
    int fontWeight = 0;
    bool italic = false;
    QString face;
    QRgb color = 0;                                // SETTEXTCOLOR in force
    int bkMode = 2;                                // 1 transparent, 2 opaque
    QRgb background = 0;                           // SETBKCOLOR in force
};
struct Fill { int x = 0, y = 0, cx = 0, cy = 0; QRgb color = 0; };
struct Image { int x = 0, y = 0, cx = 0, cy = 0; };
struct Line { int x1 = 0, y1 = 0, x2 = 0, y2 = 0; };
struct Page {
    std::vector<Text> texts;
    std::vector<Fill> fills;
    std::vector<Image> images;
    std::vector<Line> lines;
};

inline std::uint32_t u32(const QByteArray& b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        throw std::runtime_error("EMF record read out of bounds");
    std::uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}
inline int i32(const QByteArray& b, qsizetype at) { return static_cast<int>(u32(b, at)); }

inline QRgb colorRef(std::uint32_t c)
{
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

inline Page readPage(const QByteArray& emf)
{
    Page page;
    struct Font { int height = 0, weight = 0; bool italic = false; QString face; };
    std::map<std::uint32_t, Font> fonts;    // handle -> font
    std::map<std::uint32_t, QRgb> brushes;  // handle -> colour
    Font font;
    QRgb textColor = qRgb(0, 0, 0);
    QRgb brush = qRgb(255, 255, 255);
    unsigned align = 0;
    int bkMode = 2;
    QRgb bkColor = qRgb(255, 255, 255);
    int penX = 0, penY = 0;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const std::uint32_t type = u32(emf, at);
        const std::uint32_t size = u32(emf, at + 4);
        if (size < 8 || at + size > static_cast<std::uint32_t>(emf.size()))
            throw std::runtime_error("bad EMF record size");
        switch (type) {
        case 82: {  // EXTCREATEFONTINDIRECTW: LOGFONTW from +12, its face name from +40
            if (size < 104)
                throw std::runtime_error("font record too short");
            const auto* name = reinterpret_cast<const char16_t*>(emf.constData() + at + 40);
            fonts[u32(emf, at + 8)] = {i32(emf, at + 12), i32(emf, at + 28), emf.at(at + 32) != 0,
                                       QString::fromUtf16(name, std::find(name, name + 32, u'\0') - name)};
            break;
        }
        case 39:  // CREATEBRUSHINDIRECT
            brushes[u32(emf, at + 8)] = colorRef(u32(emf, at + 16));
            break;
        case 37: {  // SELECTOBJECT
            const std::uint32_t h = u32(emf, at + 8);
            if (fonts.count(h))
                font = fonts[h];
            else if (brushes.count(h))
                brush = brushes[h];
            else if (h == 0x80000000u)
                brush = qRgb(255, 255, 255);
            else if (h == 0x80000004u)
                brush = qRgb(0, 0, 0);
            break;
        }
        case 22:
            align = u32(emf, at + 8);
            break;
        case 18:
            bkMode = i32(emf, at + 8);
            break;
        case 25:
            bkColor = colorRef(u32(emf, at + 8));
            break;
        case 24:
            textColor = colorRef(u32(emf, at + 8));
            break;
        case 84: {  // EXTTEXTOUTW
            Text t;
            t.x = i32(emf, at + 36);
            t.y = i32(emf, at + 40);
            const std::uint32_t n = u32(emf, at + 44);
            const std::uint32_t off = u32(emf, at + 48);
            t.options = u32(emf, at + 52);
            std::tie(t.left, t.top, t.right, t.bottom) =
                std::tuple(i32(emf, at + 56), i32(emf, at + 60), i32(emf, at + 64), i32(emf, at + 68));
            if (static_cast<std::uint64_t>(off) + 2ull * n > size)
                throw std::runtime_error("text outside its record");
            t.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(emf.constData() + at + off),
                                        static_cast<qsizetype>(n));
            std::tie(t.align, t.bkMode, t.background, t.color) = std::tuple(align, bkMode, bkColor, textColor);
            std::tie(t.fontHeight, t.fontWeight, t.italic, t.face) = std::tuple(font.height, font.weight, font.italic, font.face);
            page.texts.push_back(t);
            break;
        }
        case 76:  // BITBLT: a PATCOPY without a bitmap is a solid fill
            if (u32(emf, at + 40) == 0x00F00021u)
                page.fills.push_back({i32(emf, at + 24), i32(emf, at + 28), i32(emf, at + 32), i32(emf, at + 36), brush});
            break;
        case 81:  // STRETCHDIBITS
            page.images.push_back({i32(emf, at + 24), i32(emf, at + 28), i32(emf, at + 72), i32(emf, at + 76)});
            break;
        case 54: // LINETO, from the pen position; then as MOVETOEX
            page.lines.push_back({penX, penY, i32(emf, at + 8), i32(emf, at + 12)});
            [[fallthrough]];
        case 27:
            std::tie(penX, penY) = std::pair(i32(emf, at + 8), i32(emf, at + 12));
            break;
        default:
            break;
        }
        if (type == 14)
            break;
        at += size;
    }
    return page;
}

} // namespace emfpage
