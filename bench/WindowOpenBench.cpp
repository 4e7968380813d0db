#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "support/BoundWindow.h"

// A user's first minute with a large file: the window starts (since_process_start_s counts
// the program's own start too), opens the file named by
// VELMOR_OPEN_FILE (a copy in a temporary folder, so the original is never written), takes
// Ctrl+End and one key, and saves; then it is left alone and the CPU it burns is counted.
// VELMOR_IDLE_SECONDS (default 30) sets how long; every run also counts the CPU after a
// whole-text command (到大写) has finished, unless VELMOR_SKIP_COMMAND=1 (for profiling the
// open alone). Each benchmark runs once. BM_Open only opens the file, in place.

namespace velmor {
namespace {

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Keeps the event loop running for the given time, as an idle window does.
void Idle(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

void SendKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&target, &release);
}

// Seconds since the process was started, as the system counts them.
double SinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 1; i <= 22 && stat >> field; ++i) {
    }
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9 - std::stod(field) / ::sysconf(_SC_CLK_TCK);
}

// True when saved holds the bytes of original and then suffix, compared piece by piece so
// that a gigabyte file is never held twice.
bool SavedAs(const std::string& saved, const std::string& original, const std::string& suffix) {
    std::ifstream a(saved, std::ios::binary);
    std::ifstream b(original, std::ios::binary);
    std::string pieceA(1 << 20, '\0');
    std::string pieceB(1 << 20, '\0');
    while (b) {
        b.read(pieceB.data(), static_cast<std::streamsize>(pieceB.size()));
        a.read(pieceA.data(), b.gcount());
        if (a.gcount() != b.gcount() || pieceA.compare(0, a.gcount(), pieceB, 0, b.gcount()) != 0) {
            return false;
        }
    }
    std::string rest(suffix.size() + 1, '\0');
    a.read(rest.data(), static_cast<std::streamsize>(rest.size()));
    return rest.substr(0, a.gcount()) == suffix;
}

// The largest resident set so far: the open, the key and the save, before any command.
double PeakRssMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double IdleSeconds() {
    const char* value = std::getenv("VELMOR_IDLE_SECONDS");
    return value != nullptr ? std::atof(value) : 30.0;
}

void BM_OpenTypeSaveThenIdle(benchmark::State& state) {
    const char* source = std::getenv("VELMOR_OPEN_FILE");
    if (source == nullptr) {
        state.SkipWithError("VELMOR_OPEN_FILE names no file");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir folder;
        const std::string path = folder.filePath(QStringLiteral("document.txt")).toStdString();
        std::filesystem::copy_file(source, path);
        const double startCpu = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const auto since = [&start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };

        BoundWindow bound;
        bound.window->openAtStart(QString::fromStdString(path));
        QApplication::processEvents();
        state.counters["open_s"] = since();
        state.counters["open_cpu_s"] = CpuSeconds() - startCpu;
        ScintillaEditor& editor = bound.window->Editor();
        SendKey(editor, Qt::Key_End, Qt::ControlModifier, QString());
        SendKey(editor, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::processEvents();
        bound.window->CommandAction("&S.保存")->trigger();
        QApplication::processEvents();
        state.counters["open_key_save_s"] = since();
        state.counters["startup_cpu_s"] = CpuSeconds() - startCpu;
        state.counters["since_process_start_s"] = SinceProcessStart();
        state.counters["peak_rss_after_save_mb"] = PeakRssMegabytes();
        if (!SavedAs(path, source, "a")) {
            state.SkipWithError("the saved file is not the opened one with the key at its end");
            return;
        }

        const double idleCpu = CpuSeconds();
        Idle(IdleSeconds());
        state.counters["idle_cpu_s"] = CpuSeconds() - idleCpu;
        if (qEnvironmentVariableIntValue("VELMOR_SKIP_COMMAND") != 0) {
            continue;
        }

        bound.window->RunCommand("到大写");
        while (bound.window->Background().Busy()) {
            Idle(0.05);
        }
        QApplication::processEvents();
        const double commandCpu = CpuSeconds();
        Idle(IdleSeconds());
        state.counters["idle_after_command_cpu_s"] = CpuSeconds() - commandCpu;
    }
}
BENCHMARK(BM_OpenTypeSaveThenIdle)->Iterations(1)->Unit(benchmark::kSecond);

// The open alone, for comparing encodings as whole runs (--benchmark_filter=BM_Open$).
void BM_Open(benchmark::State& state) {
    const char* source = std::getenv("VELMOR_OPEN_FILE");
    if (source == nullptr) {
        state.SkipWithError("VELMOR_OPEN_FILE names no file");
        return;
    }
    for (auto _ : state) {
        BoundWindow bound;
        bound.window->openAtStart(QString::fromUtf8(source));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Open)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace velmor
