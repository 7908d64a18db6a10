// Playing the worst page of each hostile kind against playing a profile page,
// in the same run, onto a page-sized image as the preview draws it at 100%.
// The worst page of a kind is either the one found in the wild (now refused
// part-way, at its budget) or one that uses its whole budget and plays to the
// end, whichever takes longer. Prints each as a multiple of the profile page.
#include "pages/page_forms.h"
#include "platform/canvas_painter.h"
#include "platform/emf_player.h"
#include "support/printer_fake.h"
#include "report/page_report.h"
#include "report/qr_printer.h"
#include "tools/hostile_pages.h"

#include "bench/profile_page.h"
#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

using platform::EmfBudget;

namespace {

// The first page of the profile report, composed by the program itself.
QByteArray profilePage()
{
    platform::FakePrinter printer;
    printer.vertRes = 4900;
    TQRPrinter store(printer, 96);
    store.setShowProgress(false);
    composeProfilePage(store);
    return store.pageImage(1);
}

struct Page {
    const char* name;
    QByteArray emf;
};

const std::vector<Page>& benchPages()
{
    static const std::vector<Page> all = [] {
        const int ops = static_cast<int>(EmfBudget::maxOperations);
        const int curves = static_cast<int>((EmfBudget::maxPoints - 1) / 16);
        const int glyphs = static_cast<int>(EmfBudget::maxGlyphs);
        std::vector<Page> v{{"profile", profilePage()}};
        for (const hostile::Case& c : hostile::pageCases())
            v.push_back({c.name, c.make()});
        v.push_back({"triangles-at-budget", hostile::triangles(1, ops)});
        v.push_back({"bezier-at-budget", hostile::bezier(1 + 3 * curves)});
        const std::uint64_t area = std::uint64_t(hostile::kPageWidth) * hostile::kPageHeight;
        const int pageFills = static_cast<int>(EmfBudget::pixelsFor(area) / area);
        v.push_back({"missing-glyphs-at-budget", hostile::text(4, glyphs / 4, -8, QChar(0xE000))});
        v.push_back({"small-text-at-budget", hostile::text(4, glyphs / 4, -8, QChar(u'W'))});
        v.push_back({"huge-text-at-budget", hostile::text(1, pageFills, -4000, QChar(u'W'), 0)});
        v.push_back({"page-fills-at-budget", hostile::fills(pageFills)});
        v.push_back({"unknown-faces-at-budget", hostile::unknownFaces(static_cast<int>(EmfBudget::maxFonts))});
        return v;
    }();
    return all;
}

void BM_Play(benchmark::State& state)
{
    const Page& page = benchPages()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(page.name);
    QImage image(hostile::kPageWidth, hostile::kPageHeight, QImage::Format_RGB32);
    bool refused = false;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        platform::QPainterCanvas canvas(painter, 96);
        try {
            platform::playEmf(page.emf, canvas, {0, 0, image.width(), image.height()});
        } catch (const platform::EmfTooComplex&) {
            refused = true;
        }
    }
    state.counters["refused"] = refused;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (std::size_t i = 0; i < benchPages().size(); ++i)
        benchmark::RegisterBenchmark(("BM_Play/" + std::string(benchPages()[i].name)).c_str(), BM_Play)
            ->Arg(static_cast<long>(i))
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.2);
    {
        // What the profile page asks for, against which the budgets were chosen.
        QImage image(hostile::kPageWidth, hostile::kPageHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        platform::QPainterCanvas canvas(painter, 96);
        const platform::EmfWork w = platform::playEmf(benchPages().front().emf, canvas, {0, 0, image.width(), image.height()});
        std::printf("profile page: %llu drawing calls, %llu points, %llu characters, %llu fonts, %.2f page areas painted\n",
                    (unsigned long long)w.operations, (unsigned long long)w.points, (unsigned long long)w.glyphs,
                    (unsigned long long)w.fonts, double(w.pixels) / (double(image.width()) * image.height()));
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // CPU milliseconds by page: the run names are BM_Play/<page>/<index>/<options>.
    std::map<std::string, double> cpu;
    for (const auto& [run, seconds] : reporter.cpuSeconds)
        for (const Page& p : benchPages())
            if (run.rfind("BM_Play/" + std::string(p.name) + "/", 0) == 0)
                cpu[p.name] = seconds;
    const double base = cpu.count("profile") ? cpu.at("profile") : 0;
    if (base > 0) {
        std::printf("\nplaying each page / playing the profile page (%.2f ms):\n", base);
        for (const Page& p : benchPages())
            if (cpu.count(p.name))
                std::printf("  %-26s %10.1fx  (%.1f ms)\n", p.name, cpu.at(p.name) / base, cpu.at(p.name));
    }
    benchmark::Shutdown();
    return 0;
}
