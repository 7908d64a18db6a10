#include "report/page_report.h"

#include "report/qr_group.h"
#include "report/qr_label.h"
#include "report/qr_progress_form.h"

#include <climits>
#include <cmath>

TPageReport::TPageReport() = default;

DrawContext TPageReport::drawContext() const
{
    TQRPrinter& store = pageStore();
    return DrawContext{store.canvas(),
                       xFactor_,
                       yFactor_,
                       columnWidth_,
                       store.printableWidth(),
                       store.screenPixelsPerInch(),
                       owner() ? owner()->PixelsPerInch : platform::kDesignPixelsPerInch};
}
TPageReport::~TPageReport() = default;

void TPageReport::setColumns(int columns)
{
    if (columns > 0)
        columns_ = columns;
}

int TPageReport::LeftMarginInches() const
{
    return platform::roundHalfEven(leftMargin_ * 10);
}

void TPageReport::setLeftMarginInches(int tenths)
{
    leftMargin_ = tenths * 0.1;
}

int TPageReport::LeftMarginMM() const
{
    return platform::roundHalfEven(leftMargin_ * 25.4);
}

void TPageReport::setLeftMarginMM(int millimetres)
{
    leftMargin_ = millimetres / 25.4;
}

int TPageReport::ColumnMarginInches() const
{
    return platform::roundHalfEven(columnMargin_ * 10);
}

void TPageReport::setColumnMarginInches(int tenths)
{
    columnMargin_ = tenths * 0.1;
}

int TPageReport::ColumnMarginMM() const
{
    return platform::roundHalfEven(columnMargin_ * 25.4);
}

void TPageReport::setColumnMarginMM(int millimetres)
{
    columnMargin_ = millimetres / 25.4;
}

TQRPrinter& TPageReport::pageStore() const
{
    return store_ ? *store_ : QRPrinter();
}

void TPageReport::setPaperSize(TQRPaperSize size)
{
    if (size == paperSize_)
        return;
    if (size == qrpCustom) {
        paperLength_ = pageStore().paperLength();
        paperWidth_ = pageStore().paperWidth();
    } else {
        paperLength_ = 0;
        paperWidth_ = 0;
    }
    paperSize_ = size;
    pageStore().setPaperSize(size);
}

int TPageReport::PaperLength() const
{
    return paperSize_ == qrpCustom ? paperLength_ : 0;
}

void TPageReport::setPaperLength(int tenths)
{
    if (tenths != 0)
        setPaperSize(qrpCustom);
    paperLength_ = tenths;
    pageStore().setPaperLength(tenths);
}

int TPageReport::PaperWidth() const
{
    return paperSize_ == qrpCustom ? paperWidth_ : 0;
}

void TPageReport::setPaperWidth(int tenths)
{
    if (tenths != 0)
        setPaperSize(qrpCustom);
    paperWidth_ = tenths;
    pageStore().setPaperWidth(tenths);
}

int TPageReport::XPos(double v) const
{
    return platform::roundHalfEven(xFactor_ * v);
}

int TPageReport::YPos(double v) const
{
    return platform::roundHalfEven(yFactor_ * v);
}
