// EMF+ records: what a GDI+ program draws, stored inside GDI comment records
// of an Enhanced Metafile.
//
// A metafile that carries them says so in its first one, the EMF+ header:
// either its GDI records draw the page as well (a dual metafile, whose GDI
// records we play and whose EMF+ records we leave alone, so nothing is drawn
// twice), or the EMF+ records alone draw it, and its GDI records are played
// only where a GetDC record hands the page to them.
//
// Read here: the header, solid brushes and fonts, the page and world
// transforms, filled rectangles, text, and the end. Every size, count and
// offset is checked against its record (in 64 bits); a record that does not
// fit is skipped, and one whose own size is wrong ends the comment holding it.
#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <array>
#include <cstdint>
#include <optional>

namespace platform::emf {

struct PlusFont {
    QString face;       // as playableFace() answers for the family named
    double emSize = 0;  // the em height in world units
    bool bold = false, italic = false, underline = false, strikeOut = false;
};

// What the EMF+ records ask of the page. `toDevice` maps world coordinates to
// the reference device's pixels (those the metafile's GDI records use before
// their own mapping). Each call pays for its work before drawing, as GDI
// records do, and may throw EmfTooComplex.
class PlusPage {
public:
    virtual ~PlusPage() = default;
    virtual void plusFontCreated() = 0;
    virtual void plusFillRect(const QRectF& rect, const QTransform& toDevice, const QColor& color) = 0;
    // Text from the top left of `layout`; a layout with a width and height also clips it.
    virtual void plusText(const QString& text, const PlusFont& font, const QColor& color, const QRectF& layout,
                          const QTransform& toDevice) = 0;
};

class EmfPlusReader {
public:
    explicit EmfPlusReader(PlusPage& page) : page_(page) {}

    // A GDI comment record, from its type on: the EMF+ records it carries, if any.
    void comment(const std::uint8_t* r, std::uint64_t size);
    // False where an EMF+-only metafile's GDI records are not to be played.
    bool playsGdi() const { return mode_ != Mode::PlusOnly || gdiHandedOver_; }

private:
    enum class Mode { Gdi, Dual, PlusOnly };
    struct Object {
        enum Kind { None, Brush, Font } kind = None;
        QColor color;
        PlusFont font;              // its em size in the unit below
        std::uint32_t emUnit = 0;
    };

    void record(std::uint16_t type, std::uint16_t flags, const std::uint8_t* d, std::uint64_t size);
    void object(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size);
    std::optional<QColor> brush(bool inlineColor, std::uint32_t id) const;
    void transform(std::uint16_t type, std::uint16_t flags, const std::uint8_t* d, std::uint64_t size);
    void fillRects(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size);
    void drawString(std::uint16_t flags, const std::uint8_t* d, std::uint64_t size);
    // Reference-device pixels per unit of GDI+'s unit type `unit`, at `dpi`.
    double pixelsPer(std::uint32_t unit, double dpi) const;
    QTransform toDevice() const;

    PlusPage& page_;
    Mode mode_ = Mode::Gdi;
    bool ended_ = false;
    bool gdiHandedOver_ = false;  // a GetDC record came last
    bool videoDevice_ = true;
    double dpiX_ = 96, dpiY_ = 96;
    QTransform world_;
    std::uint32_t pageUnit_ = 1;  // display
    double pageScale_ = 1;
    std::array<Object, 64> objects_;
};

} // namespace platform::emf
