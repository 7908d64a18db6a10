#include "report/band_drawing.h"

#include "platform/canvas_text.h"
#include "report/page_report.h"
#include "report/qr_band.h"
#include "report/qr_label.h"
#include "report/qr_memo.h"
#include "report/qr_picture.h"

#include <cstdlib>
#include <stdexcept>

namespace {

// The control's font as the page canvas takes it: the size in whole points at
// the form's resolution, scaled by the horizontal factor, back to a height at
// the canvas's resolution.
platform::CanvasFont pageFont(const DrawContext& c, platform::CanvasFont font)
{
    const int points = platform::fontPointsFromHeight(font.height, c.formPixelsPerInch);
    const int size = std::abs(platform::roundHalfEven(c.xFactor * points));
    font.height = platform::fontHeightFromPoints(size, c.canvas.pixelsPerInch());
    return font;
}

} // namespace

bool TQRBand::print(const DrawContext& context, int X, int Y)
{
    bool PrintBand = true;
    if (BeforePrint)
        BeforePrint(PrintBand);

    if (PrintBand) {
        platform::Canvas& canvas = context.canvas;
        canvas.setBrushColor(Color);
        const int left = context.XPos(X);
        const int top = context.YPos(Y);
        const int right = left + context.columnWidth;
        const int bottom = context.YPos(Y + Height) - 1;
        if (BandType != rbOverlay)
            canvas.fillRect({left, top, right, bottom});

        for (ReportControl* child : children()) {
            if (auto* control = dynamic_cast<TQRCustomControl*>(child)) {
                if (control->Visible)
                    control->printAt(context, X, Y);
            } else if (auto* image = dynamic_cast<TImage*>(child)) {
                if (image->Picture.hasGraphic())
                    image->printAt(context, X, Y);
            } else if (auto* memo = dynamic_cast<TQRMemo*>(child)) {
                memo->printAt(context, X, Y);
            }
        }

        if (Frame.width > 0) {
            canvas.setBrush(platform::CanvasBrush{Color, false});
            canvas.setPen(Frame.pen());
            const int lastX = right - 1;
            auto line = [&](int x1, int y1, int x2, int y2) {
                canvas.moveTo(x1, y1);
                canvas.lineTo(x2, y2);
            };
            if (Frame.DrawTop)
                line(left, top, lastX, top);
            if (Frame.DrawBottom)
                line(left, bottom, lastX, bottom);
            if (Frame.DrawLeft)
                line(left, top, left, bottom);
            if (Frame.DrawRight)
                line(lastX, top, lastX, bottom);
        }
    }

    if (AfterPrint)
        AfterPrint(PrintBand);
    for (TQRDBCalc* calc : resetList_)
        calc->restart();
    return PrintBand;
}

void TQRTextControl::printAt(const DrawContext& context, int X, int Y)
{
    QString text = printText();
    if (OnPrint)
        OnPrint(*this, text);

    platform::Canvas& canvas = context.canvas;
    const platform::CanvasFont font = effectiveFont();
    canvas.setFont(pageFont(context, font));
    canvas.setBrushColor(effectiveColor());

    unsigned options = 0;
    if (Transparent) {
        canvas.setBackgroundMode(platform::BackgroundMode::Transparent);
    } else {
        canvas.setBackgroundMode(platform::BackgroundMode::Opaque);
        options |= platform::TextOpaque;
    }

    // Widths are measured as on the form, in design units.
    platform::FontMeasure formMeasure(font, nullptr);
    int width = Width;
    if (AutoSize)
        width = formMeasure.width(text);
    else
        options |= platform::TextClipped;

    // An empty caption prints nothing at all, whatever its alignment.
    const bool empty = text.isEmpty();

    int left = 0;
    int right = 0;
    if (AlignToBand) {
        const int pw = platform::roundHalfEven(context.printableWidth * double(platform::kDesignPixelsPerInch) /
                                     context.screenPixelsPerInch);
        switch (Alignment) {
        case taLeftJustify:
            left = 0;
            right = width;
            break;
        case taRightJustify:
            left = pw - width - 3;
            right = pw;
            break;
        case taCenter:
            left = platform::roundHalfEven(pw * 0.5 - width * 0.5);
            right = platform::roundHalfEven(pw * 0.5 + width * 0.5);
            break;
        }
    } else {
        left = X + Left;
        right = left + width;
    }
    if (Alignment == taRightJustify) {
        if (AlignToBand) {
            right -= 5;
        } else {
            text += u' ';
            right += formMeasure.width(QStringLiteral(" "));
        }
    }

    const int top = Y + Top;
    const int bottom = top + Height;
    const platform::Rect rect{context.XPos(left), context.YPos(top), context.XPos(right), context.YPos(bottom)};

    int x = left;
    platform::HAlign align = platform::HAlign::Left;
    if (Alignment == taRightJustify) {
        x = right;
        align = platform::HAlign::Right;
    } else if (Alignment == taCenter) {
        x = left + (right - left) / 2;  // truncates toward zero, like div
        align = platform::HAlign::Center;
    }

    if (!empty) {
        canvas.setTextAlign({align, platform::VAlign::Top});
        canvas.textOut(context.XPos(x), context.YPos(top), rect, options, text);
    }
}

void TImage::printAt(const DrawContext& context, int X, int Y)
{
    platform::Canvas& canvas = context.canvas;
    const platform::Rect box{context.XPos(X + Left), context.YPos(Y + Top), context.XPos(X + Left + Width),
                             context.YPos(Y + Top + Height)};
    switch (Picture.kind()) {
    case TPicture::Kind::Bitmap:
        if (Stretch)
            canvas.stretchImage(box, Picture.image());
        else
            canvas.drawImage(box.left, box.top, Picture.image());
        break;
    case TPicture::Kind::Metafile:
        canvas.drawMetafile(box, Picture.metafile());
        break;
    case TPicture::Kind::Icon:
        canvas.drawImage(box.left, box.top, Picture.image());
        break;
    case TPicture::Kind::Empty:
        break;
    }
}

void TPicture::clear()
{
    kind_ = Kind::Empty;
    image_ = QImage();
    metafile_.clear();
}

void TPicture::setBitmap(const QImage& bitmap)
{
    clear();
    if (bitmap.isNull())
        return;
    kind_ = Kind::Bitmap;
    image_ = bitmap;
}

void TPicture::setMetafile(const QByteArray& emf)
{
    clear();
    if (emf.isEmpty())
        return;
    kind_ = Kind::Metafile;
    metafile_ = emf;
}

void TPicture::setIcon(const QImage& icon)
{
    clear();
    if (icon.isNull())
        return;
    kind_ = Kind::Icon;
    image_ = icon;
}

void TQRMemo::setFont(const platform::CanvasFont& font)
{
    font_ = font;
    ParentFont = false;
}

platform::CanvasFont TQRMemo::effectiveFont() const
{
    return ParentFont ? inheritedFont(font_) : font_;
}

void TQRMemo::printAt(const DrawContext& context, int X, int Y)
{
    platform::Canvas& canvas = context.canvas;
    const platform::CanvasFont font = effectiveFont();
    canvas.setFont(pageFont(context, font));
    canvas.setBackgroundMode(platform::BackgroundMode::Transparent);

    platform::FontMeasure formMeasure(font, nullptr);
    const int lineHeight = std::max(1, formMeasure.ascent() + formMeasure.descent());
    const platform::Rect box{context.XPos(X + Left), context.YPos(Y + Top), context.XPos(X + Left + Width),
                             context.YPos(Y + Top + Height)};
    platform::HAlign align = platform::HAlign::Left;
    int x = X + Left;
    if (Alignment == taRightJustify) {
        align = platform::HAlign::Right;
        x = X + Left + Width;
    } else if (Alignment == taCenter) {
        align = platform::HAlign::Center;
        x = X + Left + Width / 2;
    }
    canvas.setTextAlign({align, platform::VAlign::Top});
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        const int lineTop = static_cast<int>(i) * lineHeight;
        if (lineTop + lineHeight > Height)
            break;
        if (!Lines[i].isEmpty())
            canvas.textOut(context.XPos(x), context.YPos(Y + Top + lineTop), box, platform::TextClipped, Lines[i]);
    }
}

void report::drawPageFrame(TPageReport& report)
{
    const TQRFrame& frame = report.PageFrame;
    if (frame.width <= 0)
        return;
    TQRPrinter& store = report.pageStore();
    platform::Canvas& canvas = store.canvas();
    canvas.setPen(frame.pen());
    const int w = store.printableWidth();
    const int h = store.printableHeight();
    auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.moveTo(x1, y1);
        canvas.lineTo(x2, y2);
    };
    if (frame.DrawTop)
        line(0, 0, w - 1, 0);
    if (frame.DrawBottom)
        line(0, h - 1, w - 1, h - 1);
    if (frame.DrawLeft)
        line(0, 0, 0, h - 1);
    if (frame.DrawRight)
        line(w - 1, 0, w - 1, h - 1);
}
