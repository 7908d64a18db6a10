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
// TQRPrinter::Preview (defined in qr_preview.cpp) makes page 1 current, builds a
// TQRStandardPreview, shows it modally and frees it when the window closes.
#pragma once

#include <QAbstractScrollArea>
#include <QObject>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QDialog;
class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class QToolButton;
class TQRPrinter;

// How the page view chooses its zoom when it is resized.
enum class ZoomMode { FitToWindow = 0, PageWidth = 1, Fixed = 2 };

// The page image. It paints only while the page store is ready; otherwise nothing at all.
class TQRCustomPreview : public QWidget {
public:
    TQRCustomPreview(TQRPrinter& store, QWidget* parent = nullptr);

    int Zoom() const { return zoom_; }
    void setZoom(int zoom);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TQRPrinter& store_;
    int zoom_ = 100;
};

// Paints what TQRCustomPreview shows, for an image of `size` at `zoom`, onto any painter:
// white paper, the current page stretched into its printable area, a black frame and a
// two-pixel shadow. Paints nothing unless the store is ready.
void paintPreviewPage(QPainter& painter, const TQRPrinter& store, QSize size, int zoom);

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
    ZoomMode zoomMode() const { return mode_; }

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
    ZoomMode mode_ = ZoomMode::FitToWindow;
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
