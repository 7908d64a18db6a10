// The platform's printer object: the one place through which the program reaches
// a printer. The page store talks to this interface only; the real implementation
// (CUPS printers plus the built-in "Print to PDF" printer) lives in
// desktop/printer_system.h, a scriptable fake for the tests in tests/support.
//
// The operations mirror what a classic desktop printer object offers: a list of
// installed printers and a selected one, the selected printer's identity and its
// device mode (settings with a mask of the fields the printer takes), a job with
// pages, a canvas for the page being printed, device capabilities and two
// point-answering queries (printing offset, physical page size).
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>

namespace platform {

class Canvas;

// Errors raised by the printer object. what() is the UTF-8 message.
class EPrinter : public std::runtime_error {
public:
    explicit EPrinter(const QString& message);
};

// The printer object's own messages.
namespace printer_text {
inline constexpr const char* noDefaultPrinter = "There is no default printer currently selected";
inline constexpr const char* printingInProgress = "Printing in progress";
inline constexpr const char* notSupported = "Operation not supported on selected printer";
inline constexpr const char* notValid = "Printer selected is not valid";
inline constexpr const char* notPrinting = "Printer is not currently printing";
inline constexpr const char* indexOutOfRange = "Printer index out of range";
} // namespace printer_text

enum TPrinterOrientation { poPortrait, poLandscape };

// Device-mode field bits: which settings the selected printer takes.
namespace dm_field {
inline constexpr std::uint32_t orientation = 0x1;
inline constexpr std::uint32_t paperSize = 0x2;
inline constexpr std::uint32_t paperLength = 0x4;
inline constexpr std::uint32_t paperWidth = 0x8;
inline constexpr std::uint32_t all = orientation | paperSize | paperLength | paperWidth;
} // namespace dm_field

// Values of the device-mode orientation field.
inline constexpr int dmOrientPortrait = 1;
inline constexpr int dmOrientLandscape = 2;

// The device mode's paper codes.
namespace paper_code {
inline constexpr int printerDefault = 0;
inline constexpr int letter = 1;
inline constexpr int legal = 5;
inline constexpr int a3 = 8;
inline constexpr int a4 = 9;
inline constexpr int a5 = 11;
inline constexpr int custom = 256; // paperWidth x paperLength
} // namespace paper_code

// A printer's settings. Paper length and width are in tenths of a millimetre;
// paperSize is a paper code (above).
struct DeviceMode {
    std::uint32_t fields = 0;
    int orientation = dmOrientPortrait;
    int paperSize = 0;
    int paperLength = 0;
    int paperWidth = 0;
};

// Device capabilities of the selected printer's device context.
enum DeviceCap {
    HORZRES = 8,     // printable width in printer pixels
    VERTRES = 10,    // printable height in printer pixels
    LOGPIXELSX = 88, // printer pixels per inch, horizontally
    LOGPIXELSY = 90, // printer pixels per inch, vertically
};

// Printer queries that answer a point in printer pixels.
enum PrinterQuery {
    QUERYESCSUPPORT = 8,
    GETPHYSPAGESIZE = 12,
    GETPRINTINGOFFSET = 13,
};

// Identity of the selected printer, as the printer object reports it.
struct PrinterIdentity {
    QString device;
    QString driver;
    QString port;
    bool hasDeviceMode = false; // the "device-mode handle"
};

class TPrinter {
public:
    virtual ~TPrinter();

    // Installed printers, in the order the selection index counts them.
    virtual QStringList printers() const = 0;

    // Reads the installed printers afresh (queues come and go while the program
    // runs): the selected printer stays selected while it exists, and every
    // printer that stays keeps its settings.
    virtual void refreshPrinters() {}

    // Index of the selected printer into printers(); -1 while the default printer
    // is meant and none is set. Writing an index selects that printer; writing
    // the current index again makes the printer object (re)build the device mode.
    // An index outside -1..count-1 raises EPrinter ("Printer index out of range").
    virtual int printerIndex() const = 0;
    virtual void setPrinterIndex(int index) = 0;

    // The selected printer's identity. Raises "There is no default printer
    // currently selected" when no printer is selected and none is the default.
    virtual PrinterIdentity getPrinter() = 0;

    // The selected printer's device mode, locked for reading and writing in place.
    // Null when it cannot be locked (no device mode). Every successful lock must be
    // paired with unlockDeviceMode(); unlocking hands changed settings to the printer.
    virtual DeviceMode* lockDeviceMode() = 0;
    virtual void unlockDeviceMode() = 0;

    // Orientation of the printer object. Raises "Printing in progress" during a
    // job and "Operation not supported on selected printer" without a device mode.
    virtual TPrinterOrientation orientation() const = 0;
    virtual void setOrientation(TPrinterOrientation orientation) = 0;

    // The name of the next job.
    virtual QString title() const = 0;
    virtual void setTitle(const QString& title) = 0;

    // The job: begin (opens the first page), new page, end, abort. beginDoc raises
    // "Printer selected is not valid" when the printer cannot be opened;
    // newPage/endDoc outside a job raise "Printer is not currently printing".
    virtual bool printing() const = 0;
    virtual void beginDoc() = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    virtual void abort() = 0;

    // The canvas of the job's current page, in printer pixels with the origin at
    // the top-left corner of the printable area. Only valid while printing().
    virtual Canvas& canvas() = 0;

    // Device capabilities (DeviceCap) of the selected printer. Raises EPrinter
    // when no device context can be made for it.
    virtual int deviceCaps(int index) = 0;

    // Whether the printer answers the given query (GETPRINTINGOFFSET,
    // GETPHYSPAGESIZE), and the answer, a point in printer pixels.
    virtual bool querySupported(int query) = 0;
    virtual QPoint queryPoint(int query) = 0;
};

// The program's printer object, made on first use by the installed factory
// (the desktop's CUPS printers plus "Print to PDF"; see
// desktop/printer_system.h). Tests install a fake with setPrinter before using
// it. Throws std::logic_error when there is neither.
TPrinter& Printer();

// Replaces the program's printer object; returns the previous one. Passing null
// goes back to making one with the factory on next use.
std::unique_ptr<TPrinter> setPrinter(std::unique_ptr<TPrinter> printer);

using PrinterFactory = std::function<std::unique_ptr<TPrinter>()>;
void setPrinterFactory(PrinterFactory factory);

} // namespace platform
