#include "support/printer_fake.h"

namespace platform {

namespace {
[[noreturn]] void refuse(const char* text)
{
    throw EPrinter(QString::fromLatin1(text));
}
} // namespace

void FakePrinter::setPrinterIndex(int index)
{
    log << QStringLiteral("setPrinterIndex %1").arg(index);
    if (index < -1 || index >= printerNames.size())
        refuse(printer_text::indexOutOfRange);
    if (index == selectedIndex && reselectBuildsDeviceMode)
        hasDeviceMode = true;
    selectedIndex = index;
}

PrinterIdentity FakePrinter::getPrinter()
{
    log << QStringLiteral("getPrinter");
    const int index = selectedIndex == -1 ? defaultIndex : selectedIndex;
    if (index < 0 || index >= printerNames.size())
        refuse(printer_text::noDefaultPrinter);
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

void FakePrinter::setOrientation(TPrinterOrientation orientation)
{
    log << QStringLiteral("setOrientation %1").arg(orientation == poPortrait ? "portrait" : "landscape");
    if (printing_)
        refuse(printer_text::printingInProgress);
    if (!hasDeviceMode)
        refuse(printer_text::notSupported);
    // Only the object's own setting: what reaches the device mode is up to its user.
    orientation_ = orientation;
}

void FakePrinter::turnPage(bool another)
{
    if (canvas_)
        jobPages.push_back(canvas_->calls);
    canvas_.reset();
    if (another)
        canvas_.emplace(ppiX);
}

void FakePrinter::beginDoc()
{
    log << QStringLiteral("beginDoc");
    if (printing_)
        refuse(printer_text::printingInProgress);
    if (beginDocFails)
        refuse(printer_text::notValid);
    printing_ = true;
    ++jobsBegun;
    jobTitleAtBegin = title_;
    jobPages.clear();
    turnPage(true);
    if (onBeginDoc)
        onBeginDoc();
}

void FakePrinter::newPage()
{
    log << QStringLiteral("newPage");
    if (!printing_)
        refuse(printer_text::notPrinting);
    turnPage(true);
}

void FakePrinter::endDoc()
{
    log << QStringLiteral("endDoc");
    if (!printing_)
        refuse(printer_text::notPrinting);
    turnPage(false);
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
        refuse(printer_text::notPrinting);
    return *canvas_;
}

int FakePrinter::deviceCaps(int index)
{
    log << QStringLiteral("deviceCaps %1").arg(index);
    if (deviceContextFails)
        refuse(printer_text::notValid);
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
        refuse(printer_text::notValid);
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
