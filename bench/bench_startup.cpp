// Start-up: process start to the main window shown, against a minimal Qt
// Widgets program that shows one maximised window, in the same run. Both are
// this executable, started afresh as child processes (so loading the same
// libraries costs both the same). Each child tells the parent through a pipe
// the moment its first window is exposed, and the clock stops there: tearing
// the process down afterwards is no part of start-up.
//
// Prints the time ratio program / minimal. Goal: at most 1.2x. Also against the
// same window with one label (what any window showing text pays for the font
// configuration), and the program on a machine without a CUPS scheduler (the
// page store's first questions to the printing system are part of start-up).
#include "app/application_start.h"

#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string selfPath;

// The child's end of the pipe, named in its environment.
constexpr const char* kShownFd = "STELLARO_BENCH_SHOWN_FD";

// As soon as a window is on screen: tells the parent, and ends the process.
class ExitWhenShown : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            if (const char* fd = ::getenv(kShownFd)) {
                const char shown = 1;
                (void)!::write(std::atoi(fd), &shown, 1);
            }
            ::_exit(0);
        }
        return false;
    }
};

void watchForFirstWindow()
{
    qApp->installEventFilter(new ExitWhenShown);
}

// Starts the child and returns the seconds until its first window is shown.
double runChild(const char* mode, bool withPrintingSystem = true)
{
    int shown[2];
    if (::pipe(shown) != 0)
        return 0.0;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(shown[0]);
        ::setenv(kShownFd, std::to_string(shown[1]).c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // A scheduler address that answers nothing: the start-up as on a
        // machine without CUPS, whatever this one runs.
        if (!withPrintingSystem)
            ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
        ::execl(selfPath.c_str(), selfPath.c_str(), mode, nullptr);
        ::_exit(127);
    }
    ::close(shown[1]);
    char byte = 0;
    const bool wasShown = ::read(shown[0], &byte, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(shown[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!wasShown || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s failed\n", mode);
    return std::chrono::duration<double>(end - start).count();
}

void BM_Program(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(runChild("--program"));
}

void BM_ProgramWithoutPrintingSystem(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(runChild("--program", false));
}

void BM_MinimalText(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(runChild("--minimal-text"));
}

void BM_Minimal(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(runChild("--minimal"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--minimal") == 0) {
        QApplication app(argc, argv);
        watchForFirstWindow();
        QWidget window;
        window.showMaximized();
        return app.exec();
    }
    if (argc == 2 && std::strcmp(argv[1], "--minimal-text") == 0) {
        // The same window with one line of text: what any window that shows
        // text pays for the font configuration before it can lay out.
        QApplication app(argc, argv);
        watchForFirstWindow();
        QLabel window(QStringLiteral("Stellaro"));
        window.adjustSize();
        window.showMaximized();
        return app.exec();
    }
    if (argc == 2 && std::strcmp(argv[1], "--program") == 0) {
        // The program's own start-up, watched from the moment its application exists.
        qAddPreRoutine(watchForFirstWindow);
        char* args[] = {argv[0], nullptr};
        return app::runStellaro(1, args);
    }
    selfPath = argv[0];
    benchmark::RegisterBenchmark("startup_program", BM_Program)->Iterations(5)->Repetitions(5)->UseManualTime();
    benchmark::RegisterBenchmark("startup_program_without_cups", BM_ProgramWithoutPrintingSystem)
        ->Iterations(5)->Repetitions(5)->UseManualTime();
    benchmark::RegisterBenchmark("startup_minimal", BM_Minimal)->Iterations(5)->Repetitions(5)->UseManualTime();
    benchmark::RegisterBenchmark("startup_minimal_text", BM_MinimalText)->Iterations(5)->Repetitions(5)->UseManualTime();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double program = reporter.secondsOf("startup_program");
    const double minimal = reporter.secondsOf("startup_minimal");
    const double minimalText = reporter.secondsOf("startup_minimal_text");
    const double withoutCups = reporter.secondsOf("startup_program_without_cups");
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("\nstart-up program / minimal: %.2fx (goal <= 1.2)\n", ratio(program, minimal));
    std::printf("start-up program / minimal window with one label: %.2fx\n", ratio(program, minimalText));
    std::printf("without a printing system: program / minimal %.2fx, / one label %.2fx\n",
                ratio(withoutCups, minimal), ratio(withoutCups, minimalText));
    benchmark::Shutdown();
    return 0;
}
