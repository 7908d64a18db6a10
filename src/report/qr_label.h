// Printable text controls: TQRCustomControl and its kinds, the fixed-text
// TQRLabel, the data-field TQRDBText and the running-total TQRDBCalc.
#pragma once

#include "report/qr_band.h"

#include <QColor>
#include <QString>

#include <functional>

class TPageReport;
namespace report {
class DataSet;
}

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TQRLabelOnPrintEvent = std::function<void(ReportComponent& sender, QString& Value)>;

class TQRCustomControl : public ReportControl {
public:
    bool Visible = true;

    // Draws the control for a band printed at design position (X, Y).
    void printAt(const DrawContext& context, int X, int Y) override = 0;
    // How many design units the control needs beyond its height.
    virtual void extraHeight(int& extra) const = 0;

protected:
    TQRCustomControl() = default;
};

// The common text control: a caption printed in its font, opaque or
// transparent, left, right or centre aligned, either sized to its text or
// clipped to its box.
class TQRTextControl : public TQRCustomControl {
public:
    TAlignment Alignment = taLeftJustify;
    bool AutoSize = true;
    bool AlignToBand = false;
    bool Transparent = false;
    QString Caption;
    TQRLabelOnPrintEvent OnPrint;

    // The control's own font; ParentFont makes it use its band's font.
    // Setting the font clears ParentFont.
    const platform::CanvasFont& Font() const { return font_; }
    void setFont(const platform::CanvasFont& font);
    bool ParentFont = true;
    platform::CanvasFont effectiveFont() const;

    // The control's own colour; ParentColor makes it use its band's colour.
    // Setting the colour clears ParentColor.
    QColor Color() const { return color_; }
    void setColor(const QColor& color);
    bool ParentColor = true;
    QColor effectiveColor() const;

    void printAt(const DrawContext& context, int X, int Y) override;
    void extraHeight(int& extra) const override { extra = 0; }

protected:
    TQRTextControl() = default;
    // The text to print before OnPrint sees it.
    virtual QString printText() const { return Caption; }

private:
    platform::CanvasFont font_;
    QColor color_ = QColor(255, 255, 255);
};

class TQRLabel : public TQRTextControl {
public:
    TQRLabel() = default;
};

// Shows the display text of DataField in the current record of DataSource.
class TQRDBText : public TQRTextControl {
public:
    TQRDBText() = default;

    report::DataSet* DataSource = nullptr;
    QString DataField;

protected:
    QString printText() const override;
};

enum TQRCalcOperation { qrcSUM, qrcCOUNT, qrcMAX, qrcMIN, qrcAVERAGE };

// A running total of DataField over the records that the report prints.
class TQRDBCalc : public TQRDBText {
public:
    TQRDBCalc() = default;

    TQRCalcOperation Operation = qrcSUM;
    // A number format: '0' a digit always shown, '#' a digit shown when
    // significant, '.' the decimal point, ',' (before the point) thousands
    // separators, anything else literal text; text in quotes is literal.
    // Empty prints the shortest plain form of the number.
    QString PrintMask;

    // The band after whose printing the calc restarts.
    TQRBand* ResetBand() const { return resetBand_; }
    void setResetBand(TQRBand* band) { resetBand_ = band; }

    // Sum 0, count 0, minimum 99999999, maximum -99999999.
    void restart();
    // Adds the current record of DataSource. A field that isn't a number is an
    // error; without an open data source nothing is added.
    void addCurrentRecord();
    double value() const;
    int count() const { return count_; }

protected:
    QString printText() const override;
    void componentRemoving(ReportComponent& component) override;

private:
    TQRBand* resetBand_ = nullptr;
    double sum_ = 0;
    int count_ = 0;
    double min_ = 99999999;
    double max_ = -99999999;
};

// Formats `value` with a calc print mask (see TQRDBCalc::PrintMask).
QString formatWithMask(double value, const QString& mask);
