#include "support/printer_fake.h"

namespace platform {

namespace {
QString rectText(const Rect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}
} // namespace

// ---- LoggingCanvas

void LoggingCanvas::fillRect(const Rect& r)
{
    calls << QStringLiteral("fillRect %1 %2").arg(rectText(r), brush().clear ? QStringLiteral("clear")
                                                                            : brush().color.name());
}

void LoggingCanvas::rectangle(const Rect& r) { calls << QStringLiteral("rectangle ") + rectText(r); }
void LoggingCanvas::ellipse(const Rect& r) { calls << QStringLiteral("ellipse ") + rectText(r); }
void LoggingCanvas::polyline(const QPolygon& p) { calls << QStringLiteral("polyline %1").arg(p.size()); }
void LoggingCanvas::polygon(const QPolygon& p) { calls << QStringLiteral("polygon %1").arg(p.size()); }

void LoggingCanvas::textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                            const std::vector<int>*)
{
    calls << QStringLiteral("textOut %1,%2 %3 %4 %5").arg(x).arg(y).arg(rectText(rect)).arg(options).arg(text);
}

int LoggingCanvas::textWidth(const QString& text)
{
    return static_cast<int>(text.size()) * font().height / 2;
}

std::vector<int> LoggingCanvas::textAdvances(const QString& text)
{
    return std::vector<int>(static_cast<std::size_t>(text.size()), font().height / 2);
}

void LoggingCanvas::drawImage(int x, int y, const QImage& image)
{
    calls << QStringLiteral("drawImage %1,%2 %3x%4").arg(x).arg(y).arg(image.width()).arg(image.height());
}

void LoggingCanvas::stretchImage(const Rect& r, const QImage& image)
{
    calls << QStringLiteral("stretchImage %1 %2x%3").arg(rectText(r)).arg(image.width()).arg(image.height());
}

void LoggingCanvas::onLineTo(QPoint from, QPoint to)
{
    calls << QStringLiteral("line %1,%2 %3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
}

void LoggingCanvas::onIntersectClip(const Rect& r) { calls << QStringLiteral("clip ") + rectText(r); }

// ---- FakePrinter

QStringList FakePrinter::printers() const
{
    return printerNames;
}

int FakePrinter::printerIndex() const
{
    return selectedIndex;
}

void FakePrinter::setPrinterIndex(int index)
{
    log << QStringLiteral("setPrinterIndex %1").arg(index);
    if (index < -1 || index >= printerNames.size())
        throw EPrinter(QString::fromLatin1(printer_text::indexOutOfRange));
    if (index == selectedIndex && reselectBuildsDeviceMode)
        hasDeviceMode = true;
    selectedIndex = index;
}

PrinterIdentity FakePrinter::getPrinter()
{
    log << QStringLiteral("getPrinter");
    int index = selectedIndex == -1 ? defaultIndex : selectedIndex;
    if (index < 0 || index >= printerNames.size())
        throw EPrinter(QString::fromLatin1(printer_text::noDefaultPrinter));
    return {printerNames[index], QStringLiteral("fake"), QStringLiteral("FILE:"), hasDeviceMode};
}

DeviceMode* FakePrinter::lockDeviceMode()
{
    log << QStringLiteral("lock");
    if (!hasDeviceMode || lockFails)
        return nullptr;
    ++locks_;
    return &deviceMode;
}

void FakePrinter::unlockDeviceMode()
{
    log << QStringLiteral("unlock");
    --locks_;
}

void FakePrinter::setOrientation(TPrinterOrientation orientation)
{
    log << QStringLiteral("setOrientation %1").arg(orientation == poPortrait ? "portrait" : "landscape");
    if (printing_)
        throw EPrinter(QString::fromLatin1(printer_text::printingInProgress));
    if (!hasDeviceMode)
        throw EPrinter(QString::fromLatin1(printer_text::notSupported));
    // Only the object's own setting: what reaches the device mode is up to its user.
    orientation_ = orientation;
}

void FakePrinter::setTitle(const QString& title)
{
    log << QStringLiteral("setTitle ") + title;
    title_ = title;
}

void FakePrinter::startPage()
{
    canvas_.emplace(ppiX);
}

void FakePrinter::finishPage()
{
    if (canvas_)
        jobPages.push_back(canvas_->calls);
    canvas_.reset();
}

void FakePrinter::beginDoc()
{
    log << QStringLiteral("beginDoc");
    if (printing_)
        throw EPrinter(QString::fromLatin1(printer_text::printingInProgress));
    if (beginDocFails)
        throw EPrinter(QString::fromLatin1(printer_text::notValid));
    printing_ = true;
    ++jobsBegun;
    jobTitleAtBegin = title_;
    jobPages.clear();
    startPage();
    if (onBeginDoc)
        onBeginDoc();
}

void FakePrinter::newPage()
{
    log << QStringLiteral("newPage");
    if (!printing_)
        throw EPrinter(QString::fromLatin1(printer_text::notPrinting));
    finishPage();
    startPage();
}

void FakePrinter::endDoc()
{
    log << QStringLiteral("endDoc");
    if (!printing_)
        throw EPrinter(QString::fromLatin1(printer_text::notPrinting));
    finishPage();
    printing_ = false;
    ++jobsEnded;
}

void FakePrinter::abort()
{
    log << QStringLiteral("abort");
    if (!printing_)
        return;
    canvas_.reset();
    jobPages.clear();
    printing_ = false;
    ++jobsAborted;
}

Canvas& FakePrinter::canvas()
{
    if (!canvas_)
        throw EPrinter(QString::fromLatin1(printer_text::notPrinting));
    return *canvas_;
}

int FakePrinter::deviceCaps(int index)
{
    log << QStringLiteral("deviceCaps %1").arg(index);
    if (deviceContextFails)
        throw EPrinter(QString::fromLatin1(printer_text::notValid));
    switch (index) {
    case HORZRES: return horzRes;
    case VERTRES: return vertRes;
    case LOGPIXELSX: return ppiX;
    case LOGPIXELSY: return ppiY;
    default: return 0;
    }
}

bool FakePrinter::querySupported(int query)
{
    log << QStringLiteral("querySupported %1").arg(query);
    if (deviceContextFails)
        throw EPrinter(QString::fromLatin1(printer_text::notValid));
    return answersQueries && (query == GETPRINTINGOFFSET || query == GETPHYSPAGESIZE);
}

QPoint FakePrinter::queryPoint(int query)
{
    log << QStringLiteral("queryPoint %1").arg(query);
    if (!answersQueries)
        return {};
    return query == GETPRINTINGOFFSET ? printingOffset : query == GETPHYSPAGESIZE ? physicalSize : QPoint();
}

} // namespace platform
