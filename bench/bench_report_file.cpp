// Report file throughput: saving and loading 1,000 profile pages, against copying
// the same number of bytes from file to file in the same run.
//
// Prints, after the table, the ratio of each operation's throughput to the copy's.
// Goal: saving and loading at least half as fast as the plain copy.
#include "pages/page_forms.h"
#include "support/printer_fake.h"
#include "report/page_report.h"
#include "report/qr_printer.h"

#include "bench/profile_page.h"
#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kPages = 1000;

struct Fixture {
    QTemporaryDir dir;
    platform::FakePrinter printer;
    std::unique_ptr<TQRPrinter> store;
    QString saved;
    qint64 bytes = 0;

    Fixture()
    {
        // Taller than the page's band, so that the profile lands on the first page.
        printer.vertRes = 4900;
        store = std::make_unique<TQRPrinter>(printer, 96);
        store->setShowProgress(false);
        composeProfilePage(*store);
        const QByteArray page = store->pageImage(store->pageCount());
        store->adoptPages(std::vector<QByteArray>(kPages, page), store->printableWidth(), store->printableHeight());
        saved = dir.filePath(QStringLiteral("pages.QRP"));
        store->Save(saved);
        bytes = QFileInfo(saved).size();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// The plain copy; with `sync`, also flushed to the disk at the end, as a save is
// before it replaces the earlier file.
void copyFile(benchmark::State& state, bool sync)
{
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("copy.bin"));
    for (auto _ : state) {
        QFile in(f.saved);
        QFile out(target);
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            state.SkipWithError("cannot open the copy's files");
        // The same granularity a report file is written in: one page record at a time.
        const qint64 chunk = f.bytes / kPages;
        while (!in.atEnd()) {
            const QByteArray block = in.read(chunk);
            out.write(block);
        }
        out.flush();
        if (sync)
            ::fsync(out.handle());
        out.close();
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_CopyFile(benchmark::State& state)
{
    copyFile(state, false);
}

void BM_CopyFileSynced(benchmark::State& state)
{
    copyFile(state, true);
}

// What loading cannot avoid: the same bytes read into one fresh buffer per page
// (the pages stay in memory), without any checking.
void BM_ReadIntoPageBuffers(benchmark::State& state)
{
    Fixture& f = fixture();
    const qint64 chunk = f.bytes / kPages;
    for (auto _ : state) {
        QFile in(f.saved);
        if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            state.SkipWithError("cannot open the file");
        std::vector<QByteArray> pages;
        pages.reserve(kPages + 1);
        while (!in.atEnd()) {
            QByteArray page;
            page.resize(chunk);
            const qint64 got = in.read(page.data(), chunk);
            if (got <= 0)
                break;
            pages.push_back(std::move(page));
        }
        benchmark::DoNotOptimize(pages.data());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_SaveReportFile(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("save.QRP"));
    for (auto _ : state)
        f.store->Save(target);
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_LoadReportFile(benchmark::State& state)
{
    Fixture& f = fixture();
    platform::FakePrinter printer;
    TQRPrinter other(printer, 96);
    other.setShowProgress(false);
    for (auto _ : state) {
        other.Load(f.saved);
        benchmark::DoNotOptimize(other.pageCount());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFileSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadIntoPageBuffers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveReportFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadReportFile)->Unit(benchmark::kMillisecond)->UseRealTime();


} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("report file of %d profile pages: %lld bytes\n", kPages, static_cast<long long>(fixture().bytes));
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Throughput ratios: the copy's time over the operation's time, by wall clock and by CPU.
    const auto ratio = [&](const std::map<std::string, double>& t, const char* op, const char* base) {
        const auto a = t.find(op), b = t.find(base);
        return a != t.end() && b != t.end() ? b->second / a->second : 0.0;
    };
    for (const char* op : {"BM_SaveReportFile/real_time", "BM_LoadReportFile/real_time"})
        for (const char* base : {"BM_CopyFile/real_time", "BM_CopyFileSynced/real_time", "BM_ReadIntoPageBuffers/real_time"})
            std::printf("%s vs %s: throughput ratio %.2f wall, %.2f CPU (goal >= 0.5)\n", op, base,
                        ratio(reporter.seconds, op, base), ratio(reporter.cpuSeconds, op, base));
    benchmark::Shutdown();
    return 0;
}
