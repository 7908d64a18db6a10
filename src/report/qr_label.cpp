#include "report/qr_label.h"

#include "report/data_set.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <stdexcept>

void TQRTextControl::setFont(const platform::CanvasFont& font)
{
    font_ = font;
    ParentFont = false;
}

platform::CanvasFont TQRTextControl::effectiveFont() const
{
    return ParentFont ? inheritedFont(font_) : font_;
}

void TQRTextControl::setColor(const QColor& color)
{
    color_ = color;
    ParentColor = false;
}

QColor TQRTextControl::effectiveColor() const
{
    if (ParentColor && Parent())
        return Parent()->Color;
    return color_;
}

QString TQRDBText::printText() const
{
    if (!DataSource || !DataSource->isOpen() || DataField.isEmpty())
        return QString();
    return DataSource->fieldText(DataField);
}

void TQRDBCalc::restart()
{
    sum_ = 0;
    count_ = 0;
    min_ = 99999999;
    max_ = -99999999;
}

void TQRDBCalc::addCurrentRecord()
{
    if (!DataSource || !DataSource->isOpen() || DataSource->recordCount() == 0)
        return;
    if (Operation == qrcCOUNT) {
        ++count_;
        return;
    }
    const QString text = DataSource->fieldText(DataField).trimmed();
    double v = 0;
    if (!text.isEmpty()) {
        bool ok = false;
        v = text.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            throw std::runtime_error("'" + text.toStdString() + "' is not a valid floating point value");
    }
    ++count_;
    sum_ += v;
    min_ = std::min(min_, v);
    max_ = std::max(max_, v);
}

double TQRDBCalc::value() const
{
    switch (Operation) {
    case qrcSUM: return sum_;
    case qrcCOUNT: return count_;
    case qrcMAX: return max_;
    case qrcMIN: return min_;
    case qrcAVERAGE: return count_ > 0 ? sum_ / count_ : 0.0;
    }
    return 0;
}

QString TQRDBCalc::printText() const
{
    return formatWithMask(value(), PrintMask);
}

void TQRDBCalc::componentRemoving(ReportComponent& component)
{
    TQRDBText::componentRemoving(component);
    if (&component == resetBand_)
        resetBand_ = nullptr;
}

namespace {

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

} // namespace

QString formatWithMask(double value, const QString& mask)
{
    if (mask.isEmpty())
        return QString::number(value, 'g', 15);

    // Split the mask into literal prefix, number pattern and literal suffix.
    QString prefix, suffix, pattern;
    bool inNumber = false, afterNumber = false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = mask.indexOf(c, i + 1);
            const QString quoted = mask.mid(i + 1, end < 0 ? -1 : end - i - 1);
            (inNumber || afterNumber ? suffix : prefix) += quoted;
            if (inNumber) {
                inNumber = false;
                afterNumber = true;
            }
            i = end < 0 ? mask.size() : end;
            continue;
        }
        const bool numeric = isPlaceholder(c) || c == u'.' || c == u',';
        if (numeric && !afterNumber) {
            inNumber = true;
            pattern += c;
        } else {
            if (inNumber) {
                inNumber = false;
                afterNumber = true;
            }
            (afterNumber ? suffix : prefix) += c;
        }
    }
    if (!pattern.contains(u'0') && !pattern.contains(u'#'))
        return prefix + QString::number(value, 'g', 15) + suffix;

    const qsizetype point = pattern.indexOf(u'.');
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const bool thousands = intPattern.contains(u',');
    const int minInt = static_cast<int>(intPattern.count(u'0'));
    const int minFrac = static_cast<int>(fracPattern.count(u'0'));
    const int maxFrac = static_cast<int>(fracPattern.count(u'0') + fracPattern.count(u'#'));

    // Rounded to the shown decimals, halves to even.
    const double scaled = std::nearbyint(std::fabs(value) * std::pow(10.0, maxFrac));
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() <= maxFrac)
        digits.prepend(u'0');
    QString intPart = digits.left(digits.size() - maxFrac);
    QString fracPart = digits.right(maxFrac);
    while (fracPart.size() > minFrac && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (intPart == u"0" && minInt == 0)
        intPart.clear();
    while (intPart.size() < minInt)
        intPart.prepend(u'0');
    if (thousands) {
        for (qsizetype pos = intPart.size() - 3; pos > 0; pos -= 3)
            intPart.insert(pos, u',');
    }
    QString number = intPart;
    if (!fracPart.isEmpty())
        number += u'.' + fracPart;
    if (number.isEmpty())
        number = QStringLiteral("0");
    const bool negative = value < 0 && number.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return (negative ? QStringLiteral("-") : QString()) + prefix + number + suffix;
}
