// Recording and replaying one profile-like page (background fill, 23 text
// boxes, 24 small 1-bit bitmaps) as an Enhanced Metafile through our writer
// and player, against Qt's own recorded picture (QPicture) drawing the same
// page. Prints our time as a multiple of QPicture's, measured in this run.
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"

#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <cstdio>
#include <map>
#include <string>

using namespace platform;

namespace {

constexpr int kW = 1090;
constexpr int kH = 762;

struct Box {
    int left, top, width, height, fontHeight;
    HAlign align;
};

const std::vector<Box>& boxes()
{
    static const std::vector<Box> b = [] {
        std::vector<Box> v;
        v.push_back({247, 20, 578, 50, 48, HAlign::Center});
        v.push_back({247, 82, 578, 41, 35, HAlign::Center});
        for (int i = 0; i < 21; ++i)
            v.push_back({247 + (i % 3) * 10, 130 + i * 28, 577, 19, 19, i % 4 == 3 ? HAlign::Left : HAlign::Center});
        return v;
    }();
    return b;
}

const QImage& glyph()
{
    static const QImage img = [] {
        QImage g(30, 17, QImage::Format_Mono);
        g.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        g.fill(0);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 30; ++x)
                if ((x * 7 + y * 3) % 11 < 3)
                    g.setPixel(x, y, 1);
        return g;
    }();
    return img;
}

QString boxText(size_t i)
{
    return QStringLiteral("Courageous, determined and confident %1").arg(i);
}

QPoint glyphPos(int i)
{
    return i < 12 ? QPoint(20 + i * 88, i % 2 ? 4 : 728) : QPoint(i % 2 ? 8 : 1050, 40 + (i - 12) * 56);
}

void drawOnCanvas(Canvas& c)
{
    c.setBrushColor(QColor(255, 255, 255));
    c.fillRect(Rect{0, 0, kW, kH});
    for (size_t i = 0; i < boxes().size(); ++i) {
        const Box& b = boxes()[i];
        CanvasFont f;
        f.face = QStringLiteral("Times New Roman");
        f.height = b.fontHeight;
        f.bold = true;
        f.italic = true;
        c.setFont(f);
        c.setTextAlign(TextAlign{b.align, VAlign::Top});
        const Rect r{b.left, b.top, b.left + b.width, b.top + b.height};
        const int x = b.align == HAlign::Center ? r.left + r.width() / 2 : r.left;
        c.textOut(x, r.top, r, TextOpaque | TextClipped, boxText(i));
    }
    for (int i = 0; i < 24; ++i)
        c.drawImage(glyphPos(i).x(), glyphPos(i).y(), glyph());
}

// The same page through plain QPainter calls, as a Qt program would draw it.
void drawWithPainter(QPainter& p)
{
    p.fillRect(QRect(0, 0, kW, kH), Qt::white);
    for (size_t i = 0; i < boxes().size(); ++i) {
        const Box& b = boxes()[i];
        QFont f(QStringLiteral("Times New Roman"));
        f.setPixelSize(b.fontHeight);
        f.setBold(true);
        f.setItalic(true);
        p.setFont(f);
        p.setPen(Qt::black);
        const QRect r(b.left, b.top, b.width, b.height);
        p.save();
        p.setClipRect(r);
        p.fillRect(r, Qt::white);
        p.drawText(r, (b.align == HAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop, boxText(i));
        p.restore();
    }
    for (int i = 0; i < 24; ++i)
        p.drawImage(glyphPos(i), glyph());
}

QByteArray recordEmf()
{
    EmfRecorder rec(kW, kH);
    drawOnCanvas(rec);
    return rec.finish();
}

QPicture recordPicture()
{
    QPicture pic;
    QPainter p(&pic);
    drawWithPainter(p);
    p.end();
    return pic;
}

QImage& target()
{
    static QImage img(kW, kH, QImage::Format_RGB32);
    return img;
}

void BM_Record_Emf(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(recordEmf());
}
void BM_Record_QPicture(benchmark::State& s)
{
    for (auto _ : s)
        benchmark::DoNotOptimize(recordPicture());
}
void BM_Replay_Emf(benchmark::State& s)
{
    const QByteArray emf = recordEmf();
    for (auto _ : s) {
        QPainter p(&target());
        QPainterCanvas c(p, 96);
        playEmf(emf, c, Rect{0, 0, kW, kH});
    }
}
void BM_Replay_QPicture(benchmark::State& s)
{
    const QPicture pic = recordPicture();
    for (auto _ : s) {
        QPainter p(&target());
        p.drawPicture(0, 0, pic);
    }
}
void BM_RecordAndReplay_Emf(benchmark::State& s)
{
    for (auto _ : s) {
        const QByteArray emf = recordEmf();
        QPainter p(&target());
        QPainterCanvas c(p, 96);
        playEmf(emf, c, Rect{0, 0, kW, kH});
    }
}
void BM_RecordAndReplay_QPicture(benchmark::State& s)
{
    for (auto _ : s) {
        const QPicture pic = recordPicture();
        QPainter p(&target());
        p.drawPicture(0, 0, pic);
    }
}

BENCHMARK(BM_Record_Emf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Record_QPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Replay_Emf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Replay_QPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordAndReplay_Emf)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordAndReplay_QPicture)->Unit(benchmark::kMicrosecond);


} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* what : {"Record", "Replay", "RecordAndReplay"}) {
        const std::string ours = std::string("BM_") + what + "_Emf";
        const std::string theirs = std::string("BM_") + what + "_QPicture";
        if (reporter.cpuSeconds.count(ours) && reporter.cpuSeconds.count(theirs) && reporter.cpuSeconds[theirs] > 0)
            std::printf("%-16s EMF / QPicture = %.2fx\n", what, reporter.cpuSeconds[ours] / reporter.cpuSeconds[theirs]);
    }
    benchmark::Shutdown();
    return 0;
}
