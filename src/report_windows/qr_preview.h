// The preview window: a maximised, modal window with a toolbar (three zoom
// buttons, first/previous/next/last page, a page indicator, Print, Save, Load and
// Exit) above a scrollable page view that draws the page store's current page at
// the chosen zoom.
//
//   TQRStandardPreview  builds the window in code, owns it, handles the toolbar.
//   TQRPreview          the page view: a scroll box holding one TQRCustomPreview;
//                       keeps PageNumber, Zoom and the zoom mode; sizes and centres
//                       the page image.
//   TQRCustomPreview    the page image: paper, page content, frame and shadow.
//
// TQRPrinter::Preview makes page 1 current and calls report::showPreviewWindow
// (installed as the engine's preview), which builds a TQRStandardPreview, shows
// it modally and frees it when the window closes.
#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class QToolButton;
class TQRPrinter;

namespace report {

// How the page view chooses its zoom when it is resized.
enum class ZoomMode { FitToWindow = 0, PageWidth = 1, Fixed = 2 };

// What the page image shows, taken from the store: enough to draw it away from the
// store and the window's thread. Equal views draw equal images.
struct PreviewView {
    QByteArray page;  // the current page's metafile; empty: paper only
    QPoint offset;    // printing offset, page units
    QSize printable;  // printable size, page units
    QSize size;       // the image, pixels
    int zoom = 100;

    // The same page bytes (shared, so the same buffer), offset, size and zoom.
    friend bool operator==(const PreviewView& a, const PreviewView& b)
    {
        return a.page.constData() == b.page.constData() && a.page.size() == b.page.size() && a.offset == b.offset
            && a.printable == b.printable && a.size == b.size && a.zoom == b.zoom;
    }
};

// The view of the store's current page for an image of `size` at `zoom`; nothing
// unless the store is ready.
std::optional<PreviewView> previewViewOf(const TQRPrinter& store, QSize size, int zoom);

// Paints a view onto any painter: white paper, the page stretched into its printable
// area, a black frame and a two-pixel shadow. A page that cannot be drawn (one that is
// too complex, say) leaves the paper blank but for its error, in the middle.
void paintPreviewPage(QPainter& painter, const PreviewView& view);
// The same for the store's current page; paints nothing unless the store is ready.
void paintPreviewPage(QPainter& painter, const TQRPrinter& store, QSize size, int zoom);

} // namespace report

// The page image. It paints only while the page store is ready; otherwise nothing at all.
//
// Playing a stranger's page can take up to a second, so the page is drawn into an
// image on a worker thread and kept until the page, the zoom or the size changes:
// repaints and scrolling only copy it. A paint waits for a new image a moment (most
// pages take milliseconds, and then appear at once, without flicker); past that the
// paper shows until the image is ready, and the window stays responsive meanwhile.
class TQRCustomPreview : public QWidget {
public:
    TQRCustomPreview(TQRPrinter& store, QWidget* parent = nullptr);
    ~TQRCustomPreview() override;

    int Zoom() const { return zoom_; }
    void setZoom(int zoom);

    // True while an image is being drawn on the worker thread.
    bool drawing() const;
    // Drops the kept image (the store's pages were replaced).
    void forgetImage();

    // How long a paint waits for a new image before it shows the paper alone.
    static constexpr int kPaintWaitMs = 60;
    // Images are kept at most this many pixels; a larger page image is drawn at a
    // lower resolution and stretched, so no zoom asks for gigabytes.
    static constexpr qint64 kMaxImagePixels = 4096LL * 4096;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Drawing;
    void startDrawing(const report::PreviewView& view);

    TQRPrinter& store_;
    int zoom_ = 100;
    std::shared_ptr<Drawing> drawing_;  // the image being drawn, shared with the worker
    std::optional<report::PreviewView> shown_;  // what image_ holds
    QImage image_;
};

// The page view.
class TQRPreview : public QAbstractScrollArea {
public:
    TQRPreview(TQRPrinter& store, QWidget* parent = nullptr);

    int PageNumber() const { return pageNumber_; }
    // Shows page n when it differs from the one shown and 1 <= n <= page count;
    // the scroll positions return to the top-left.
    void setPageNumber(int n);

    int Zoom() const { return zoom_; }
    // Fixed zoom at `zoom` percent (no range check), then UpdateZoom.
    void setZoom(int zoom);
    report::ZoomMode zoomMode() const { return mode_; }

    void ZoomToFit();
    void ZoomToWidth();
    // Sizes the image for the zoom, centres it where it is smaller than the view,
    // and scrolls back to the top-left.
    void UpdateZoom();

    // Back to page 1 after the store's pages were replaced (a loaded report file).
    void showFirstPage();

    TQRCustomPreview* pageImage() const { return image_; }
    // Where the page image sits in the scrolled area (before scrolling).
    QPoint imagePosition() const { return imagePos_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void layoutImage();
    void resetScroll();

    TQRPrinter& store_;
    TQRCustomPreview* image_;
    int pageNumber_ = 1;
    int zoom_ = 100;
    report::ZoomMode mode_ = report::ZoomMode::FitToWindow;
    QPoint imagePos_;
    bool inResize_ = false;
};

// The preview window with its toolbar, built in code, owned by the page store.
class TQRStandardPreview : public QObject {
public:
    explicit TQRStandardPreview(TQRPrinter& store);
    ~TQRStandardPreview() override;

    // Shows the window modally; returns when it closes.
    void ShowModal();
    // Page indicator text and the enabled state of the navigation buttons.
    void UpdateInfo();

    QDialog* window() const;
    QFrame* toolbar() const { return toolbar_; }
    TQRPreview* preview() const { return preview_; }
    QToolButton* fitButton() const { return zoomFit_; }
    QToolButton* zoom100Button() const { return zoom100_; }
    QToolButton* widthButton() const { return zoomWidth_; }
    QPushButton* firstButton() const { return first_; }
    QPushButton* prevButton() const { return prev_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* lastButton() const { return last_; }
    QLabel* pageIndicator() const { return indicator_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* loadButton() const { return load_; }
    QPushButton* exitButton() const { return exit_; }

    // Toolbar actions, as the buttons run them.
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void printReport();
    void saveReport();
    void loadReport();

private:
    class Window;
    void build();
    void buildToolbar();
    // Print, Save and Load are blocked while one of them runs (messages are processed meanwhile).
    void setBusy(bool busy);

    TQRPrinter& store_;
    std::unique_ptr<Window> window_;
    QFrame* toolbar_ = nullptr;
    QToolButton* zoomFit_ = nullptr;
    QToolButton* zoom100_ = nullptr;
    QToolButton* zoomWidth_ = nullptr;
    QPushButton* first_ = nullptr;
    QPushButton* prev_ = nullptr;
    QLabel* indicator_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* last_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* exit_ = nullptr;
    TQRPreview* preview_ = nullptr;
    bool busy_ = false;
};
