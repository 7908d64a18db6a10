// The preview's first paint of a profile page against painting the same page
// directly, in the same run.
//
// "Directly" is the same picture (paper, page, frame, shadow) with the page drawn
// by the very sequence of canvas operations that playing it produces, captured
// once beforehand and replayed onto a fresh painter canvas: no metafile is read. The preview's paint is a fresh page image painting
// itself (paper, metafile played into the page area, frame, shadow), as on the
// first paint of a page, with nothing cached.
//
// Goal: first paint at most 1.2 times the direct painting.
#include "pages/page_forms.h"
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "support/printer_fake.h"
#include "report/page_report.h"
#include "report_windows/qr_preview.h"
#include "report_windows/qr_preview_zoom.h"
#include "report/qr_printer.h"

#include "bench/profile_page.h"
#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <ctime>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

// Captures canvas operations with the drawing state they ran under, to replay them
// on another canvas later.
class CapturingCanvas final : public platform::Canvas {
public:
    CapturingCanvas() : scratch_(8, 8, QImage::Format_RGB32), painter_(&scratch_), measure_(painter_, 96) {}

    void replay(platform::Canvas& target) const
    {
        for (const auto& op : ops_)
            op(target);
    }
    std::size_t size() const { return ops_.size(); }

    void fillRect(const platform::Rect& r) override { add([r](auto& c) { c.fillRect(r); }); }
    void rectangle(const platform::Rect& r) override { add([r](auto& c) { c.rectangle(r); }); }
    void ellipse(const platform::Rect& r) override { add([r](auto& c) { c.ellipse(r); }); }
    void polyline(const QPolygon& p) override { add([p](auto& c) { c.polyline(p); }); }
    void polygon(const QPolygon& p) override { add([p](auto& c) { c.polygon(p); }); }
    void textOut(int x, int y, const platform::Rect& rect, unsigned options, const QString& text,
                 const std::vector<int>* dx) override
    {
        std::optional<std::vector<int>> advances;
        if (dx)
            advances = *dx;
        add([=](auto& c) { c.textOut(x, y, rect, options, text, advances ? &*advances : nullptr); });
    }
    int textWidth(const QString& text) override
    {
        measure_.setFont(font());
        return measure_.textWidth(text);
    }
    std::vector<int> textAdvances(const QString& text) override
    {
        measure_.setFont(font());
        return measure_.textAdvances(text);
    }
    void drawImage(int x, int y, const QImage& image) override { add([=](auto& c) { c.drawImage(x, y, image); }); }
    void stretchImage(const platform::Rect& r, const QImage& image) override
    {
        add([=](auto& c) { c.stretchImage(r, image); });
    }
    int pixelsPerInch() const override { return 96; }

protected:
    void onLineTo(QPoint from, QPoint to) override
    {
        add([=](auto& c) {
            c.moveTo(from.x(), from.y());
            c.lineTo(to.x(), to.y());
        });
    }
    void onIntersectClip(const platform::Rect& r) override { add([r](auto& c) { c.intersectClipRect(r); }); }
    void onSaveState() override { ops_.push_back([](platform::Canvas& c) { c.saveState(); }); }
    void onRestoreState() override { ops_.push_back([](platform::Canvas& c) { c.restoreState(); }); }

private:
    template <class F>
    void add(F draw)
    {
        const State s = state();
        ops_.push_back([s, draw](platform::Canvas& c) {
            c.setFont(s.font);
            c.setPen(s.pen);
            c.setBrush(s.brush);
            c.setBackgroundColor(s.backgroundColor);
            c.setBackgroundMode(s.backgroundMode);
            c.setTextAlign(s.textAlign);
            draw(c);
        });
    }

    std::vector<std::function<void(platform::Canvas&)>> ops_;
    QImage scratch_;
    QPainter painter_;
    platform::QPainterCanvas measure_;
};

struct Fixture {
    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    QSize imageSize;
    platform::Rect pageArea;
    CapturingCanvas direct;
    int zoom = 0;

    explicit Fixture(int zoomPercent) : zoom(zoomPercent)
    {
        printer.vertRes = 4900; // room for the whole band on the first page
        store = std::make_unique<TQRPrinter>(printer, 96);
        store->setShowProgress(false);
        composeProfilePage(*store);
        store->setCurrentPageNumber(1);
        imageSize = report::zoom::imageSize({store->physicalWidth(), store->physicalHeight()}, zoom);
        pageArea = platform::Rect::fromQRect(report::zoom::pageContentRect(
            {store->offsetLeft(), store->offsetTop()}, {store->printableWidth(), store->printableHeight()}, zoom));
        platform::playEmf(*store->currentPageImage(), direct, pageArea);
    }
};

// The page image drawn directly: the same paper, frame and shadow as the preview
// draws, with the page's operations replayed instead of its metafile played.
void paintDirectly(QPainter& painter, const Fixture& f)
{
    platform::QPainterCanvas canvas(painter);
    const int w = f.imageSize.width(), h = f.imageSize.height();
    canvas.setPen(platform::CanvasPen{Qt::white, 1, platform::PenStyle::Solid});
    canvas.setBrush(platform::CanvasBrush{Qt::white, false});
    canvas.rectangle({0, 0, w - 3, h - 3});
    canvas.saveState();
    f.direct.replay(canvas);
    canvas.restoreState();
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

Fixture& fixture(int zoom)
{
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto& f = fixtures[zoom];
    if (!f)
        f = std::make_unique<Fixture>(zoom);
    return *f;
}

void BM_DirectPaint(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    QImage image(f.imageSize, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::gray);
        QPainter painter(&image);
        paintDirectly(painter, f);
    }
    state.counters["operations"] = static_cast<double>(f.direct.size());
}

void BM_PreviewFirstPaint(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    QImage image(f.imageSize, QImage::Format_RGB32);
    TQRCustomPreview page(*f.store);
    page.resize(f.imageSize);
    page.setZoom(f.zoom);
    for (auto _ : state) {
        image.fill(Qt::gray);
        // The page image keeps nothing between paints: every paint reads the page anew.
        page.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Both paints in turns within one loop, so that a busy machine slows both alike;
// the counters give each side's mean thread CPU time and their ratio.
void BM_PaintInTurns(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    QImage image(f.imageSize, QImage::Format_RGB32);
    TQRCustomPreview page(*f.store);
    page.resize(f.imageSize);
    page.setZoom(f.zoom);
    double direct = 0, preview = 0;
    for (auto _ : state) {
        image.fill(Qt::gray);
        double t0 = threadCpuSeconds();
        {
            QPainter painter(&image);
            paintDirectly(painter, f);
        }
        double t1 = threadCpuSeconds();
        image.fill(Qt::gray);
        page.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        double t2 = threadCpuSeconds();
        direct += t1 - t0;
        preview += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["direct_ms"] = direct / n * 1e3;
    state.counters["preview_ms"] = preview / n * 1e3;
    state.counters["preview_over_direct"] = direct > 0 ? preview / direct : 0;
}

BENCHMARK(BM_PaintInTurns)->Arg(70)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectPaint)->Arg(70)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewFirstPaint)->Arg(70)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();


} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* zoom : {"70", "100"}) {
        const std::string direct = std::string("BM_DirectPaint/") + zoom + "/real_time";
        const std::string preview = std::string("BM_PreviewFirstPaint/") + zoom + "/real_time";
        if (reporter.seconds.count(direct) && reporter.seconds.count(preview))
            std::printf("zoom %s%%: preview first paint / direct paint = %.2f wall, %.2f CPU (goal <= 1.2)\n", zoom,
                        reporter.seconds[preview] / reporter.seconds[direct],
                        reporter.cpuSeconds[preview] / reporter.cpuSeconds[direct]);
    }
    benchmark::Shutdown();
    return 0;
}
