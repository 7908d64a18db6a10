// A list of 1,000 profiles to one PDF with "stellaro batch", against drawing the
// same 1,000 pages straight onto Qt's PDF writer (the page design's labels and
// border strips, with QPainter) in the same run. Both run as child processes,
// so that each one's start-up and peak memory count alike.
//
// Prints the time ratio batch / direct and both peak resident sizes.
// Goal: at most 1.5x.
#include "pages/border_strips.h"
#include "pages/page_design.h"

#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kProfiles = 1000;
std::string selfPath;
QTemporaryDir* work = nullptr;

std::string listFile() { return (work->path() + QStringLiteral("/list.csv")).toStdString(); }

void writeList()
{
    std::ofstream out(listFile());
    out << "date,gender,name,sentiment,lucky\n";
    for (int i = 0; i < kProfiles; ++i)
        out << (i % 28 + 1) / 10 << (i % 28 + 1) % 10 << (i % 12 + 1) / 10 << (i % 12 + 1) % 10 << ','
            << (i % 2 ? "F" : "M") << ",Person " << i << ",Have a wonderful day,3 12 19 27 33 41\n";
}

std::map<std::string, std::vector<double>> cpuSeconds;

// Runs a command to its end; returns its peak resident size in KiB and keeps
// its processor time (user and system) under `name`: on a busy machine that is
// steadier than the wall clock.
long runChild(const std::string& name, const std::vector<std::string>& args)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
    cpuSeconds[name].push_back(double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
    return usage.ru_maxrss;
}

std::map<std::string, long> peakKiB;

void BM_Batch(benchmark::State& state)
{
    const std::string out = (work->path() + QStringLiteral("/batch.pdf")).toStdString();
    for (auto _ : state)
        peakKiB["batch"] = runChild("batch", {STELLARO_BIN, "batch", listFile(), "--pdf", out});
}

void BM_Direct(benchmark::State& state)
{
    const std::string out = (work->path() + QStringLiteral("/direct.pdf")).toStdString();
    for (auto _ : state)
        peakKiB["direct"] = runChild("direct", {selfPath, "--direct", out});
}

// The baseline: every page drawn straight onto the PDF writer from the design.
int drawDirect(int argc, char** argv, const char* file)
{
    QGuiApplication app(argc, argv);
    QPdfWriter writer(QString::fromLocal8Bit(file));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(5, 5, 5, 5),
                                     QPageLayout::Millimeter));
    QPainter painter(&writer);
    painter.scale(600.0 / 96, 600.0 / 96);
    const QImage strips[] = {pages::borderStrip(pages::StripBitmap::Horizontal),
                             pages::borderStrip(pages::StripBitmap::Vertical)};
    for (int i = 0; i < kProfiles; ++i) {
        if (i > 0)
            writer.newPage();
        const pages::PageDesign& d = i % 2 ? pages::femalePageDesign() : pages::malePageDesign();
        painter.fillRect(QRect(0, 0, 1096, d.band.height), Qt::white);
        for (const pages::LabelDesign& l : d.labels) {
            QFont font(QString::fromLatin1(d.labelFont.name));
            font.setPixelSize(l.parentFont ? d.band.font.height : l.fontHeight);
            font.setBold(d.labelFont.bold);
            font.setItalic(d.labelFont.italic);
            painter.setFont(font);
            const QRect box(l.left + 19, l.top, l.width, l.height);
            painter.fillRect(box, Qt::white);
            painter.drawText(box, l.alignment == pages::TextAlignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft,
                             i % 3 ? QString::fromLatin1(l.caption) : QStringLiteral("Person %1").arg(i));
        }
        for (const pages::ImageDesign& im : d.images)
            painter.drawImage(im.left + 19, im.top, strips[im.bitmap == pages::StripBitmap::Vertical]);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--direct") == 0)
        return drawDirect(argc, argv, argv[2]);
    selfPath = argv[0];
    QTemporaryDir dir;
    work = &dir;
    writeList();

    benchmark::RegisterBenchmark("batch_1000_to_pdf", BM_Batch)->Iterations(1)->Repetitions(3)->UseRealTime();
    benchmark::RegisterBenchmark("direct_1000_to_pdf", BM_Direct)->Iterations(1)->Repetitions(3)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double batch = reporter.secondsOf("batch_1000_to_pdf");
    const double direct = reporter.secondsOf("direct_1000_to_pdf");
    std::printf("\nbatch / direct time: %.2fx (goal <= 1.5)\n", direct > 0 ? batch / direct : 0.0);
    auto medianCpu = [&](const std::string& name) {
        std::vector<double> v = cpuSeconds[name];
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    const double batchCpu = medianCpu("batch");
    const double directCpu = medianCpu("direct");
    std::printf("batch / direct processor time: %.2fx (%.2f s against %.2f s)\n",
                directCpu > 0 ? batchCpu / directCpu : 0.0, batchCpu, directCpu);
    std::printf("peak memory: batch %ld MiB, direct %ld MiB\n", peakKiB["batch"] / 1024, peakKiB["direct"] / 1024);
    benchmark::Shutdown();
    return 0;
}
