// The canvas over a QPainter: screen widgets, QImage, QPrinter and PDF.
// Text is laid out the way Windows lays it out: every character advances by a
// whole number of device pixels and no kerning is applied, so that a page
// drawn directly and the same page recorded and played back place every glyph
// at the same pixel.
#pragma once

#include "platform/canvas.h"

#include <QPainter>

#include <memory>

namespace platform {

// Qt's names for the canvas's line ends and corners.
Qt::PenCapStyle qtCap(LineCap cap);
Qt::PenJoinStyle qtJoin(LineJoin join);

class QPainterCanvas final : public Canvas {
public:
    // Draws through `painter` (not owned; it must be active). `pixelsPerInch`
    // 0 takes the painter's device's logical resolution.
    explicit QPainterCanvas(QPainter& painter, int pixelsPerInch = 0);
    ~QPainterCanvas() override;

    void fillRect(const Rect& r) override;
    void rectangle(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void polyline(const QPolygon& points) override;
    void polygon(const QPolygon& points) override;
    void textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                 const std::vector<int>* dx = nullptr) override;
    int textWidth(const QString& text) override;
    std::vector<int> textAdvances(const QString& text) override;
    void drawImage(int x, int y, const QImage& image) override;
    void stretchImage(const Rect& r, const QImage& image) override;
    int pixelsPerInch() const override { return ppi_; }
    QPainter* painter() override { return &painter_; }

protected:
    void onFontChanged() override;
    void onLineTo(QPoint from, QPoint to) override;
    void onIntersectClip(const Rect& r) override;
    void onSaveState() override;
    void onRestoreState() override;

private:
    struct FontCache;
    FontCache& fontCache();
    bool toPdf() const; // drawing into a PDF document
    QPen qpen() const;
    void applyLinePen();
    bool bevelsLongMiters() const;
    void addMiters(const QPolygon& points, bool closed);
    void fillWith(const Rect& r, const QColor& c);

    QPainter& painter_;
    int ppi_;
    std::unique_ptr<FontCache> fonts_;
};

} // namespace platform
