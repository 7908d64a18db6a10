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
class LoggingCanvas final : public Canvas {
public:
    explicit LoggingCanvas(int pixelsPerInch = 600) : ppi_(pixelsPerInch) {}
    QStringList calls;

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
    int pixelsPerInch() const override { return ppi_; }

protected:
    void onLineTo(QPoint from, QPoint to) override;
    void onIntersectClip(const Rect& r) override;
    void onSaveState() override { calls << QStringLiteral("saveState"); }
    void onRestoreState() override { calls << QStringLiteral("restoreState"); }

private:
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

    QStringList printers() const override;
    int printerIndex() const override;
    void setPrinterIndex(int index) override;
    PrinterIdentity getPrinter() override;
    DeviceMode* lockDeviceMode() override;
    void unlockDeviceMode() override;
    TPrinterOrientation orientation() const override { return orientation_; }
    void setOrientation(TPrinterOrientation orientation) override;
    QString title() const override { return title_; }
    void setTitle(const QString& title) override;
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
    void startPage();
    void finishPage();

    TPrinterOrientation orientation_ = poPortrait;
    QString title_;
    bool printing_ = false;
    int locks_ = 0;
    std::optional<LoggingCanvas> canvas_;
};

} // namespace platform
