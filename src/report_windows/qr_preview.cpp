#include "report_windows/qr_preview.h"
#include "report_windows/install.h"

#include "platform/bitmap_resources.h"
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "desktop/file_dialogs.h"
#include "desktop/handler.h"
#include "report_windows/qr_preview_zoom.h"
#include "report/qr_printer.h"
#include "report/report_file.h"
#include "report_windows/report_file_dialogs.h"

#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <QPointer>
#include <QThreadPool>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

using report::paintPreviewPage;
using report::PreviewView;
using report::previewViewOf;
using report::ZoomMode;

namespace {

// ---- The window's texts.
constexpr const char* kPage = "Page";  // string 65036
constexpr const char* kOf = "of";      // string 65037

// ---- The window's layout, in pixels.
constexpr int kWindowWidth = 500;
constexpr int kWindowHeight = 400;
constexpr int kToolbarHeight = 32;
constexpr int kControlTop = 2;
constexpr int kControlHeight = 28;
constexpr int kFirstControlLeft = 15;
// The view's background around the paper.
const QColor kViewBackground(128, 128, 128);

enum class ControlKind { SpeedButton, BitmapButton, DoubleBitmapButton, Indicator, PushButton };
enum class Control { Fit, Zoom100, Width, First, Prev, Indicator, Next, Last, Print, Save, Load, Exit };

struct ToolbarControl {
    Control id;
    ControlKind kind;
    int gapBefore; // extra space before the control
    int width;
    const char* image;   // bitmap resource, or null
    const char* hint;    // tool hint, or null
    const char* caption; // text caption, or null
};

// The toolbar from left to right: each control starts where the previous one ended.
constexpr ToolbarControl kToolbar[] = {
    {Control::Fit, ControlKind::SpeedButton, 0, 28, "QRBMPFITPAGE", "Fit in Window", nullptr}, // 65032
    {Control::Zoom100, ControlKind::SpeedButton, 0, 28, "QRBMP100", "100%", nullptr},
    {Control::Width, ControlKind::SpeedButton, 0, 28, "QRBMPWIDTH", "Page Width", nullptr},    // 65031
    {Control::First, ControlKind::BitmapButton, 10, 28, "BMPFIRST", "First page", nullptr},    // 65057
    {Control::Prev, ControlKind::BitmapButton, 0, 28, "BMPPREV", "Previous page", nullptr},    // 65033
    {Control::Indicator, ControlKind::Indicator, 0, 110, nullptr, nullptr, ""},
    {Control::Next, ControlKind::BitmapButton, 0, 28, "BMPNEXT", "Next page", nullptr},        // 65034
    {Control::Last, ControlKind::BitmapButton, 0, 28, "BMPLAST", "Last page", nullptr},        // 65056
    {Control::Print, ControlKind::DoubleBitmapButton, 0, 36, "BMPPRINT", "Print report", nullptr}, // 65051
    {Control::Save, ControlKind::DoubleBitmapButton, 0, 36, "BMPSAVE", "Save report", nullptr},    // 65049
    {Control::Load, ControlKind::DoubleBitmapButton, 0, 36, "BMPLOAD", "Load report", nullptr},    // 65050
    {Control::Exit, ControlKind::PushButton, 0, 60, nullptr, nullptr, "&Exit"},                    // 65069
};

// A glyph of two pictures side by side (normal, disabled) becomes one icon with both states.
QIcon glyphIcon(const char* resource, bool twoImages)
{
    const QImage image = platform::loadBitmapResource(QString::fromLatin1(resource));
    if (!twoImages)
        return QIcon(QPixmap::fromImage(image));
    const int w = image.width() / 2;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, w, image.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(image.copy(w, 0, w, image.height())), QIcon::Disabled);
    return icon;
}

// Runs `undo` when the scope ends, whichever way it ends.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
private:
    F f_;
};

} // namespace

// ============================================================ TQRCustomPreview

// One image being drawn on the worker thread; the window's thread waits on it or
// is told when it is done.
struct TQRCustomPreview::Drawing {
    PreviewView view;
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    QImage image;
};

namespace {

// The view drawn into an image with a transparent ground (the shadow leaves the
// corners to the window), at a lower resolution where it would be too large.
QImage drawPreviewImage(const PreviewView& view)
{
    const qint64 pixels = qint64(std::max(1, view.size.width())) * std::max(1, view.size.height());
    const double scale = pixels > TQRCustomPreview::kMaxImagePixels
        ? std::sqrt(double(TQRCustomPreview::kMaxImagePixels) / double(pixels)) : 1.0;
    const QSize size(std::max(1, int(view.size.width() * scale)), std::max(1, int(view.size.height() * scale)));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (scale < 1.0)
        painter.scale(double(size.width()) / view.size.width(), double(size.height()) / view.size.height());
    paintPreviewPage(painter, view);
    return image;
}

} // namespace

TQRCustomPreview::TQRCustomPreview(TQRPrinter& store, QWidget* parent) : QWidget(parent), store_(store)
{
    resize(50, 50);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

// A drawing still running finishes on its own; it holds its own copy of the view.
TQRCustomPreview::~TQRCustomPreview() = default;

void TQRCustomPreview::setZoom(int zoom)
{
    zoom_ = zoom;
    update();
}

bool TQRCustomPreview::drawing() const
{
    if (!drawing_)
        return false;
    std::lock_guard<std::mutex> locked(drawing_->lock);
    return !drawing_->done;
}

void TQRCustomPreview::forgetImage()
{
    shown_.reset();
    image_ = QImage();
    update();
}

void TQRCustomPreview::startDrawing(const PreviewView& view)
{
    auto d = std::make_shared<Drawing>();
    d->view = view;
    drawing_ = d;
    QPointer<TQRCustomPreview> self(this);
    QThreadPool::globalInstance()->start([d, self]() mutable {
        QImage image = drawPreviewImage(d->view);
        {
            std::lock_guard<std::mutex> locked(d->lock);
            d->image = std::move(image);
            d->done = true;
        }
        d->finished.notify_all();
        // Back on the window's thread: show the image, unless the window has gone.
        QMetaObject::invokeMethod(qApp, [self = std::move(self)] {
            if (self)
                self->update();
        }, Qt::QueuedConnection);
    });
}

void TQRCustomPreview::paintEvent(QPaintEvent*)
{
    const std::optional<PreviewView> view = previewViewOf(store_, size(), zoom_);
    if (!view)
        return;
    if (!(shown_ && *shown_ == *view)) {
        // One drawing at a time: a page changed while one runs waits for its end,
        // so that resizing the window cannot queue up a second of work per size.
        if (!drawing_)
            startDrawing(*view);
        std::unique_lock<std::mutex> locked(drawing_->lock);
        if (drawing_->view == *view)
            drawing_->finished.wait_for(locked, std::chrono::milliseconds(kPaintWaitMs), [&] { return drawing_->done; });
        if (drawing_->done) {
            const bool current = drawing_->view == *view;
            if (current) {
                image_ = std::move(drawing_->image);
                shown_ = view;
            }
            locked.unlock();
            drawing_.reset();
            if (!current) {
                startDrawing(*view);
                update();
            }
        }
    }
    QPainter painter(this);
    if (shown_ && *shown_ == *view) {
        painter.drawImage(rect(), image_);
        return;
    }
    // The page is still being drawn: the paper alone meanwhile.
    PreviewView paper = *view;
    paper.page = QByteArray();
    paintPreviewPage(painter, paper);
}

std::optional<report::PreviewView> report::previewViewOf(const TQRPrinter& store, QSize size, int zoom)
{
    if (store.status() != QRPrinterStatus::Ready)
        return std::nullopt;
    PreviewView v;
    if (const QByteArray* page = store.currentPageImage())
        v.page = *page;
    v.offset = QPoint(store.offsetLeft(), store.offsetTop());
    v.printable = QSize(store.printableWidth(), store.printableHeight());
    v.size = size;
    v.zoom = zoom;
    return v;
}

void report::paintPreviewPage(QPainter& painter, const TQRPrinter& store, QSize size, int zoom)
{
    if (const std::optional<PreviewView> view = previewViewOf(store, size, zoom))
        paintPreviewPage(painter, *view);
}

void report::paintPreviewPage(QPainter& painter, const PreviewView& view)
{
    const int w = view.size.width();
    const int h = view.size.height();
    platform::QPainterCanvas canvas(painter);

    // White paper inside the frame.
    const auto paper = [&] {
        canvas.setPen(platform::CanvasPen{Qt::white, 1, platform::PenStyle::Solid});
        canvas.setBrush(platform::CanvasBrush{Qt::white, false});
        canvas.rectangle({0, 0, w - 3, h - 3});
    };
    paper();

    // The page itself, placed at its printing offset and stretched over its printable size.
    if (!view.page.isEmpty()) {
        const QRect r = report::zoom::pageContentRect(view.offset, view.printable, view.zoom);
        const platform::Rect target = platform::Rect::fromQRect(r);
        if (!target.isEmpty()) {
            try {
                canvas.drawMetafile(target, view.page);
            } catch (const platform::EmfError& e) {
                // What was drawn before the error is no page: show the paper and why.
                paper();
                painter.save();
                painter.setPen(Qt::black);
                painter.drawText(r.intersected(QRect(0, 0, w - 3, h - 3)), Qt::AlignCenter | Qt::TextWordWrap,
                                 QString::fromUtf8(e.what()));
                painter.restore();
            }
        }
    }

    // Frame, then a two-pixel shadow along the right and the bottom.
    canvas.setPen(platform::CanvasPen{Qt::black, 1, platform::PenStyle::Solid});
    canvas.moveTo(0, 0);
    canvas.lineTo(0, h - 3);
    canvas.lineTo(w - 3, h - 3);
    canvas.lineTo(w - 3, 0);
    canvas.lineTo(0, 0);
    canvas.setBrush(platform::CanvasBrush{Qt::black, false});
    canvas.fillRect({w - 2, 2, w, h});
    canvas.fillRect({2, h - 2, w, h});
}

// ================================================================== TQRPreview

TQRPreview::TQRPreview(TQRPrinter& store, QWidget* parent) : QAbstractScrollArea(parent), store_(store)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, kViewBackground);
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);

    image_ = new TQRCustomPreview(store_, viewport());
    image_->move(0, 0);
    store_.setCurrentPageNumber(1);
}

void TQRPreview::setPageNumber(int n)
{
    if (n == pageNumber_ || n < 1 || n > store_.pageCount())
        return;
    store_.setCurrentPageNumber(n);
    pageNumber_ = n;
    resetScroll();
    image_->update();
}

void TQRPreview::setZoom(int zoom)
{
    mode_ = ZoomMode::Fixed;
    zoom_ = zoom;
    UpdateZoom();
}

void TQRPreview::ZoomToFit()
{
    setZoom(report::zoom::fitZoom(size(), {store_.physicalWidth(), store_.physicalHeight()}, zoom_));
    mode_ = ZoomMode::FitToWindow;
}

void TQRPreview::ZoomToWidth()
{
    setZoom(report::zoom::widthZoom(size(), {store_.physicalWidth(), store_.physicalHeight()}, zoom_));
    UpdateZoom();
    mode_ = ZoomMode::PageWidth;
}

void TQRPreview::UpdateZoom()
{
    const QSize image = report::zoom::imageSize({store_.physicalWidth(), store_.physicalHeight()}, zoom_);
    image_->resize(image);
    imagePos_ = report::zoom::imagePosition(size(), image);
    layoutImage();
    resetScroll();
    image_->setZoom(zoom_);
}

void TQRPreview::showFirstPage()
{
    image_->forgetImage();
    pageNumber_ = 1;
    store_.setCurrentPageNumber(1);
    UpdateZoom();
    image_->update();
}

void TQRPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (inResize_) {
        // Scroll bars coming or going while the zoom is applied: only the ranges change.
        layoutImage();
        return;
    }
    inResize_ = true;
    ScopeExit done([this] { inResize_ = false; });
    if (mode_ == ZoomMode::FitToWindow)
        ZoomToFit();
    else if (mode_ == ZoomMode::PageWidth)
        ZoomToWidth();
    UpdateZoom();
}

void TQRPreview::scrollContentsBy(int, int)
{
    image_->move(imagePos_.x() - horizontalScrollBar()->value(), imagePos_.y() - verticalScrollBar()->value());
}

// Scroll bars appear only where the image does not fit; the ranges cover the image
// at its place, and the image follows the scroll positions.
void TQRPreview::layoutImage()
{
    const int right = imagePos_.x() + image_->width();
    const int bottom = imagePos_.y() + image_->height();
    // Decided from the whole view, not from the viewport left by bars shown before,
    // so a page that fits never keeps a bar it no longer needs.
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    bool needH = right > width();
    bool needV = bottom > (needH ? height() - barHeight : height());
    needH = right > (needV ? width() - barWidth : width());
    needV = bottom > (needH ? height() - barHeight : height());
    setHorizontalScrollBarPolicy(needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QSize view(width() - (needV ? barWidth : 0), height() - (needH ? barHeight : 0));
    horizontalScrollBar()->setRange(0, std::max(0, right - view.width()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 20));
    verticalScrollBar()->setRange(0, std::max(0, bottom - view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(std::max(1, view.height() / 20));
    scrollContentsBy(0, 0);
}

void TQRPreview::resetScroll()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    scrollContentsBy(0, 0);
}

// ========================================================== TQRStandardPreview

// The window: its resize handler updates the page view's zoom.
class TQRStandardPreview::Window : public QDialog {
public:
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QDialog::resizeEvent(event);
        if (onResize)
            desktop::runHandler(onResize);
    }
};

TQRStandardPreview::TQRStandardPreview(TQRPrinter& store) : QObject(&store), store_(store)
{
    build();
}

TQRStandardPreview::~TQRStandardPreview()
{
    if (window_)
        window_->onResize = nullptr;
    window_.reset();
}

void TQRStandardPreview::build()
{
    window_ = std::make_unique<Window>();
    window_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    window_->setModal(true);
    window_->setWindowTitle(store_.captionText());
    window_->resize(kWindowWidth, kWindowHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window_->move(area.left() + (area.width() - kWindowWidth) / 2,
                      area.top() + (area.height() - kWindowHeight) / 2);
    }
    window_->setWindowState(Qt::WindowMaximized);

    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolbar_ = new QFrame(window_.get());
    toolbar_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    toolbar_->setFixedHeight(kToolbarHeight);
    layout->addWidget(toolbar_);
    buildToolbar();

    preview_ = new TQRPreview(store_, window_.get());
    layout->addWidget(preview_, 1);

    window_->onResize = [this] { preview_->UpdateZoom(); };
    UpdateInfo();
}

void TQRStandardPreview::buildToolbar()
{
    int x = kFirstControlLeft;
    for (const ToolbarControl& c : kToolbar) {
        x += c.gapBefore;
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::SpeedButton: {
            // Speed buttons take no focus and, not being grouped, stay up after a click.
            auto* b = new QToolButton(toolbar_);
            b->setFocusPolicy(Qt::NoFocus);
            b->setIcon(glyphIcon(c.image, false));
            b->setIconSize(QSize(24, 24));
            widget = b;
            break;
        }
        case ControlKind::BitmapButton:
        case ControlKind::DoubleBitmapButton: {
            auto* b = new QPushButton(toolbar_);
            b->setIcon(glyphIcon(c.image, c.kind == ControlKind::DoubleBitmapButton));
            b->setIconSize(QSize(16, 16));
            widget = b;
            break;
        }
        case ControlKind::Indicator: {
            auto* l = new QLabel(QString::fromLatin1(c.caption), toolbar_);
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            l->setAlignment(Qt::AlignCenter);
            widget = l;
            break;
        }
        case ControlKind::PushButton:
            widget = new QPushButton(QString::fromLatin1(c.caption), toolbar_);
            break;
        }
        widget->setGeometry(x, kControlTop, c.width, kControlHeight);
        if (c.hint)
            widget->setToolTip(QString::fromLatin1(c.hint));
        x += c.width;

        switch (c.id) {
        case Control::Fit: zoomFit_ = static_cast<QToolButton*>(widget); break;
        case Control::Zoom100: zoom100_ = static_cast<QToolButton*>(widget); break;
        case Control::Width: zoomWidth_ = static_cast<QToolButton*>(widget); break;
        case Control::First: first_ = static_cast<QPushButton*>(widget); break;
        case Control::Prev: prev_ = static_cast<QPushButton*>(widget); break;
        case Control::Indicator: indicator_ = static_cast<QLabel*>(widget); break;
        case Control::Next: next_ = static_cast<QPushButton*>(widget); break;
        case Control::Last: last_ = static_cast<QPushButton*>(widget); break;
        case Control::Print: print_ = static_cast<QPushButton*>(widget); break;
        case Control::Save: save_ = static_cast<QPushButton*>(widget); break;
        case Control::Load: load_ = static_cast<QPushButton*>(widget); break;
        case Control::Exit: exit_ = static_cast<QPushButton*>(widget); break;
        }
    }

    using desktop::handlerSlot;
    connect(zoomFit_, &QToolButton::clicked, this, handlerSlot([this] { preview_->ZoomToFit(); }));
    connect(zoom100_, &QToolButton::clicked, this, handlerSlot([this] { preview_->setZoom(100); }));
    connect(zoomWidth_, &QToolButton::clicked, this, handlerSlot([this] { preview_->ZoomToWidth(); }));
    connect(first_, &QPushButton::clicked, this, handlerSlot([this] { firstPage(); }));
    connect(prev_, &QPushButton::clicked, this, handlerSlot([this] { previousPage(); }));
    connect(next_, &QPushButton::clicked, this, handlerSlot([this] { nextPage(); }));
    connect(last_, &QPushButton::clicked, this, handlerSlot([this] { lastPage(); }));
    connect(print_, &QPushButton::clicked, this, handlerSlot([this] { printReport(); }));
    connect(save_, &QPushButton::clicked, this, handlerSlot([this] { saveReport(); }));
    connect(load_, &QPushButton::clicked, this, handlerSlot([this] { loadReport(); }));
    connect(exit_, &QPushButton::clicked, this, handlerSlot([this] { window_->reject(); }));

    print_->setEnabled(store_.printEnabled());
}

QDialog* TQRStandardPreview::window() const
{
    return window_.get();
}

void TQRStandardPreview::ShowModal()
{
    window_->exec();
}

void TQRStandardPreview::UpdateInfo()
{
    const int current = store_.currentPageNumber();
    const int count = store_.pageCount();
    indicator_->setText(QStringLiteral("%1 %2 %3 %4").arg(QLatin1String(kPage)).arg(current).arg(QLatin1String(kOf)).arg(count));
    first_->setEnabled(current != 1);
    prev_->setEnabled(current != 1);
    next_->setEnabled(current != count);
    last_->setEnabled(current != count);
}

void TQRStandardPreview::firstPage()
{
    preview_->setPageNumber(1);
    UpdateInfo();
}

void TQRStandardPreview::lastPage()
{
    preview_->setPageNumber(store_.pageCount());
    UpdateInfo();
}

void TQRStandardPreview::nextPage()
{
    if (store_.currentPageNumber() >= store_.pageCount())
        return;
    preview_->setPageNumber(preview_->PageNumber() + 1);
    UpdateInfo();
}

void TQRStandardPreview::previousPage()
{
    if (store_.currentPageNumber() <= 1)
        return;
    preview_->setPageNumber(preview_->PageNumber() - 1);
    UpdateInfo();
}

void TQRStandardPreview::setBusy(bool busy)
{
    busy_ = busy;
    print_->setEnabled(!busy && store_.printEnabled());
    save_->setEnabled(!busy);
    load_->setEnabled(!busy);
}

void TQRStandardPreview::printReport()
{
    if (busy_)
        return;
    setBusy(true);
    ScopeExit done([this] { setBusy(false); });
    store_.Print();
}

void TQRStandardPreview::saveReport()
{
    if (busy_)
        return;
    const std::optional<QString> name = desktop::runSaveDialog(window_.get(), report::saveReportDialogOptions());
    if (!name)
        return;
    setBusy(true);
    window_->setCursor(Qt::WaitCursor);
    ScopeExit done([this] {
        window_->unsetCursor();
        setBusy(false);
    });
    store_.Save(*name);
}

void TQRStandardPreview::loadReport()
{
    if (busy_)
        return;
    const std::optional<QString> name = desktop::runOpenDialog(window_.get(), report::openReportDialogOptions());
    if (!name)
        return;
    {
        setBusy(true);
        ScopeExit done([this] { setBusy(false); });
        store_.Load(*name);
    }
    preview_->showFirstPage();
    UpdateInfo();
}

// ================================================================== TQRPrinter

void report::showPreviewWindow(TQRPrinter& store)
{
    TQRStandardPreview preview(store);
    preview.ShowModal();
}
