// A printer object for tests: settable printers, metrics, device mode and
// failures, and a log of every call the page store makes. Its canvas records
// what is drawn on each page of a job as text, so that a test can tell the
// printed pages apart (by their fill colours) without rendering megapixels.
#pragma once

#include "platform/canvas.h"
#include "platform/printer.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace platform {

// Logs the drawing calls that reach it, one line each, e.g. "fillRect 10,20,30,40 #ff0000".
// Every character is half the font height wide.
class LoggingCanvas final : public Canvas {
public:
    explicit LoggingCanvas(int pixelsPerInch = 600) : ppi_(pixelsPerInch) {}
    QStringList calls;

    void fillRect(const Rect& r) override
    {
        add("fillRect", r, brush().clear ? QStringLiteral("clear") : brush().color.name());
    }
    void rectangle(const Rect& r) override { add("rectangle", r); }
    void ellipse(const Rect& r) override { add("ellipse", r); }
    void polyline(const QPolygon& points) override { add("polyline", points.size()); }
    void polygon(const QPolygon& points) override { add("polygon", points.size()); }
    void textOut(int x, int y, const Rect& rect, unsigned options, const QString& text,
                 const std::vector<int>* = nullptr) override
    {
        add("textOut", QPoint(x, y), rect, options, text);
    }
    int textWidth(const QString& text) override { return static_cast<int>(text.size()) * font().height / 2; }
    std::vector<int> textAdvances(const QString& text) override
    {
        return std::vector<int>(static_cast<std::size_t>(text.size()), font().height / 2);
    }
    void drawImage(int x, int y, const QImage& image) override { add("drawImage", QPoint(x, y), image.size()); }
    void stretchImage(const Rect& r, const QImage& image) override { add("stretchImage", r, image.size()); }
    int pixelsPerInch() const override { return ppi_; }

protected:
    void onLineTo(QPoint from, QPoint to) override { add("line", from, to); }
    void onIntersectClip(const Rect& r) override { add("clip", r); }
    void onSaveState() override { add("saveState"); }
    void onRestoreState() override { add("restoreState"); }

private:
    static QString text(QPoint p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); }
    static QString text(const Rect& r) { return text(QPoint(r.left, r.top)) + ',' + text(QPoint(r.right, r.bottom)); }
    static QString text(QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); }
    static QString text(qint64 n) { return QString::number(n); }
    static QString text(const QString& s) { return s; }
    // One line: the call's name and its arguments, separated by blanks.
    template <class... Args>
    void add(const char* call, const Args&... args)
    {
        calls << (QStringList{QString::fromLatin1(call)} << ... << text(args)).join(QLatin1Char(' '));
    }

    int ppi_;
};

class FakePrinter final : public TPrinter {
public:
    // ---- What the test sets up. The defaults are an A4 sheet in landscape at 600
    // pixels per inch (printable 6814 x 4760, offsets 100 x 100, sheet 7016 x 4960).
    QStringList printerNames{QStringLiteral("Fake Laser")};
    int selectedIndex = 0;
    int defaultIndex = 0;           // what index -1 means; -1: there is no default
    bool hasDeviceMode = true;      // the device-mode handle exists
    bool reselectBuildsDeviceMode = false; // writing the index again makes one
    bool lockFails = false;
    DeviceMode deviceMode{dm_field::all, dmOrientPortrait, 9, 0, 0};
    int horzRes = 6814;
    int vertRes = 4760;
    int ppiX = 600;
    int ppiY = 600;
    bool answersQueries = true;
    QPoint printingOffset{100, 100};
    QPoint physicalSize{7016, 4960};
    bool deviceContextFails = false; // capabilities raise "Printer selected is not valid"
    bool beginDocFails = false;
    std::function<void()> onBeginDoc; // runs at the end of a successful beginDoc

    // ---- What happened.
    QStringList log;                    // every call, e.g. "beginDoc", "deviceCaps 8"
    std::vector<QStringList> jobPages;  // drawing calls of each page of the last job
    int jobsBegun = 0;
    int jobsEnded = 0;
    int jobsAborted = 0;
    QString jobTitleAtBegin;

    QStringList printers() const override { return printerNames; }
    int printerIndex() const override { return selectedIndex; }
    void setPrinterIndex(int index) override;
    PrinterIdentity getPrinter() override;
    DeviceMode* lockDeviceMode() override;
    void unlockDeviceMode() override
    {
        log << QStringLiteral("unlock");
        --locks_;
    }
    TPrinterOrientation orientation() const override { return orientation_; }
    void setOrientation(TPrinterOrientation orientation) override;
    QString title() const override { return title_; }
    void setTitle(const QString& title) override
    {
        log << QStringLiteral("setTitle ") + title;
        title_ = title;
    }
    bool printing() const override { return printing_; }
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abort() override;
    Canvas& canvas() override;
    int deviceCaps(int index) override;
    bool querySupported(int query) override;
    QPoint queryPoint(int query) override;

    int locksHeld() const { return locks_; }

private:
    // Ends the page being drawn, if any, and starts the next one when `another`.
    void turnPage(bool another);

    TPrinterOrientation orientation_ = poPortrait;
    QString title_;
    bool printing_ = false;
    int locks_ = 0;
    std::optional<LoggingCanvas> canvas_;
};

} // namespace platform
