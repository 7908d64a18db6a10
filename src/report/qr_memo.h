// TQRMemo: a block of lines printed one below the other, without background.
#pragma once

#include "report/qr_band.h"
#include "report/qr_label.h"

#include <QStringList>

class TQRMemo : public ReportControl {
public:
    TQRMemo() = default;

    QStringList Lines;
    TAlignment Alignment = taLeftJustify;

    const platform::CanvasFont& Font() const { return font_; }
    void setFont(const platform::CanvasFont& font);
    bool ParentFont = true;
    platform::CanvasFont effectiveFont() const;

    bool isWindowed() const override { return true; }
    // Each line one line height below the last, only while it fits in Height.
    void printAt(const DrawContext& context, int X, int Y) override;

private:
    platform::CanvasFont font_;
};
