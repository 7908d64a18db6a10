// The drawing surface that the report engine, the page store and the preview
// draw on. It behaves like a Windows device context seen through a small
// canvas object: the current font, pen, brush, background and text alignment
// are state that the drawing calls use, and the state can be saved and restored.
//
// Implementations:
//   QPainterCanvas  ("platform/canvas_painter.h")  paints through a QPainter:
//                   screen widgets, QImage, QPrinter, PDF.
//   EmfRecorder     ("platform/emf_writer.h")      records an Enhanced Metafile
//                   page, measured against the screen as reference device.
// A recorded page is played back onto any canvas with drawMetafile() or
// playEmf() ("platform/emf_player.h").
//
// Coordinates are integer device units of the canvas (pixels of the image or
// printer, page units of a recorded page). Rectangles are Windows-style: the
// right and bottom edges are outside the rectangle.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace platform {

// A rectangle whose right and bottom edges are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static Rect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A font as the canvas selects it. `height` is the character height in pixels
// (the em size, without internal leading), i.e. what a negative LOGFONT height
// means and what QFont::setPixelSize takes: a 19-pixel Times New Roman is
// `height = 19`. Font sizes in points convert with the helpers below.
struct CanvasFont {
    QString face = QStringLiteral("Arial");
    int height = 11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = QColor(0, 0, 0);

    friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

// Whole points for a character height in pixels at `pixelsPerInch`, and back,
// with the rounding of Windows' MulDiv (halves away from zero): at 96 per inch
// 19 px is 14 pt and 14 pt is 19 px.
int fontPointsFromHeight(int characterHeight, int pixelsPerInch);
int fontHeightFromPoints(int points, int pixelsPerInch);

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

// How the ends and the corners of a line wider than one pixel are drawn.
enum class LineCap { Round, Square, Flat };
enum class LineJoin { Round, Bevel, Miter };

struct CanvasPen {
    QColor color = QColor(0, 0, 0);
    int width = 1;  // device units; 0 and 1 both draw one pixel wide
    PenStyle style = PenStyle::Solid;
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    // A miter longer than this many line widths, measured from the inner to
    // the outer corner, is drawn as a bevel.
    double miterLimit = 10;
    // Dash and gap lengths of a pattern of the pen's own, in place of the
    // style's: in pixels for a one-pixel line, in line widths for a wider one.
    std::vector<double> dashes = {};

    friend bool operator==(const CanvasPen&, const CanvasPen&) = default;
};

struct CanvasBrush {
    QColor color = QColor(255, 255, 255);
    bool clear = false;  // a clear brush fills nothing

    friend bool operator==(const CanvasBrush&, const CanvasBrush&) = default;
};

enum class BackgroundMode { Transparent, Opaque };

// Where textOut's reference point sits on the text.
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Baseline, Bottom };
struct TextAlign {
    HAlign horizontal = HAlign::Left;
    VAlign vertical = VAlign::Top;

    friend bool operator==(const TextAlign&, const TextAlign&) = default;
};

// Options of textOut, as ExtTextOut takes them.
enum TextOption : unsigned {
    TextOpaque = 0x2,   // fill the rectangle with the background colour first
    TextClipped = 0x4,  // clip the text to the rectangle
};

class Canvas {
public:
    Canvas();
    virtual ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // ---- State. Setting a value equal to the current one costs nothing.
    void setFont(const CanvasFont& font);
    const CanvasFont& font() const { return state_.font; }

    void setPen(const CanvasPen& pen);
    const CanvasPen& pen() const { return state_.pen; }

    // Like a Windows canvas, choosing a brush also makes its colour the
    // background colour (used by opaque text output).
    void setBrush(const CanvasBrush& brush);
    void setBrushColor(const QColor& color) { setBrush(CanvasBrush{color, false}); }
    const CanvasBrush& brush() const { return state_.brush; }

    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return state_.backgroundColor; }

    void setBackgroundMode(BackgroundMode mode);
    BackgroundMode backgroundMode() const { return state_.backgroundMode; }

    void setTextAlign(TextAlign align);
    TextAlign textAlign() const { return state_.textAlign; }

    // Narrows the clip region to `r` (until the state is restored).
    void intersectClipRect(const Rect& r);

    // Saves font, pen, brush, colours, modes, alignment, pen position and clip.
    void saveState();
    // Restores the last saved state; without a saved state it does nothing.
    void restoreState();
    int savedStateDepth() const { return static_cast<int>(saved_.size()); }

    // ---- Drawing.
    // Fills `r` with the brush; no outline. A clear brush fills nothing.
    virtual void fillRect(const Rect& r) = 0;
    // Outline with the pen, inside with the brush (Windows Rectangle).
    virtual void rectangle(const Rect& r) = 0;
    virtual void ellipse(const Rect& r) = 0;
    void moveTo(int x, int y);
    QPoint penPosition() const { return state_.position; }
    // A line from the pen position to (x, y), end point not painted; the pen
    // position moves to (x, y).
    void lineTo(int x, int y);
    virtual void polyline(const QPolygon& points) = 0;
    virtual void polygon(const QPolygon& points) = 0;

    // Text at reference point (x, y), placed by the text alignment, in the
    // font's colour. `rect` is the opaque/clip rectangle that `options`
    // (TextOption bits) refer to. Without the opaque option, opaque
    // background mode fills the text's own cell box. `dx`, when given, holds
    // one advance per UTF-16 unit; otherwise the font's advances are used
    // (and are what textWidth adds up).
    virtual void textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                         const std::vector<int>* dx = nullptr) = 0;
    // Width of `text` in the current font: the sum of its advances.
    virtual int textWidth(const QString& text) = 0;
    // The advance of each UTF-16 unit of `text` in the current font.
    virtual std::vector<int> textAdvances(const QString& text) = 0;

    // A bitmap (any QImage format, 1-bit included) unscaled with its top-left
    // corner at (x, y), one image pixel per device unit, not clipped.
    virtual void drawImage(int x, int y, const QImage& image) = 0;
    // A bitmap stretched into `r`.
    virtual void stretchImage(const Rect& r, const QImage& image) = 0;

    // An Enhanced Metafile (its bytes) stretched into `r`: the metafile's frame
    // is mapped onto `r`. The canvas state is the same afterwards. Throws
    // EmfError (see emf_player.h) on a damaged metafile.
    void drawMetafile(const Rect& r, const QByteArray& emf);

    // The device's pixels per inch (the screen's logical resolution for a
    // recorded page).
    virtual int pixelsPerInch() const = 0;

    // The painter behind the canvas, or null for a canvas that records. The
    // metafile player draws through it what the calls above cannot say:
    // paths and fill rules, clip regions, hatch and pattern brushes, raster
    // operations, rotated and glyph-index text. It leaves the painter's pen,
    // brush and modes as it found them; clipping it changes on purpose, and
    // saveState/restoreState bracket it.
    virtual QPainter* painter() { return nullptr; }

protected:
    struct State {
        CanvasFont font;
        CanvasPen pen;
        CanvasBrush brush;
        QColor backgroundColor = QColor(255, 255, 255);
        BackgroundMode backgroundMode = BackgroundMode::Opaque;
        TextAlign textAlign;
        QPoint position;
    };
    const State& state() const { return state_; }

    // Hooks for implementations; the base class has already updated state().
    virtual void onFontChanged() {}
    virtual void onPenChanged() {}
    virtual void onBrushChanged() {}
    virtual void onBackgroundChanged() {}
    virtual void onTextAlignChanged() {}
    virtual void onMoveTo() {}
    virtual void onLineTo(QPoint from, QPoint to) = 0;
    virtual void onIntersectClip(const Rect& r) = 0;
    virtual void onSaveState() = 0;
    virtual void onRestoreState() = 0;

private:
    State state_;
    std::vector<State> saved_;
};

} // namespace platform
