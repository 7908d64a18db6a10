// Records a page as an Enhanced Metafile (EMF), the form in which pages are
// kept, printed, previewed and stored in report files.
//
// The page is drawn in page units (one pixel of the reference device, the
// screen at 96 pixels per inch unless told otherwise); the header's frame
// gives the page's size in 0.01 mm so that any EMF reader sizes it right.
// Records follow what Windows itself writes: EXTTEXTOUTW with a filled Dx
// array, STRETCHDIBITS for bitmaps, a PATCOPY BITBLT for fills, fonts through
// EXTCREATEFONTINDIRECTW, and every replaced object deleted once nothing
// selects it any more.
#pragma once

#include "platform/units.h"

#include "platform/canvas.h"

#include <cstdint>
#include <memory>

namespace platform {

class EmfRecorder final : public Canvas {
public:
    // A page of `width` x `height` page units.
    EmfRecorder(int width, int height, int pixelsPerInch = kDesignPixelsPerInch);
    ~EmfRecorder() override;

    // Completes the metafile (EOF record, header totals) and returns its bytes.
    // The recorder is empty afterwards: drawing more is ignored and a second
    // call returns an empty array.
    QByteArray finish();

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
    int pixelsPerInch() const override;

protected:
    void onMoveTo() override;
    void onLineTo(QPoint from, QPoint to) override;
    void onIntersectClip(const Rect& r) override;
    void onSaveState() override;
    void onRestoreState() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace platform
