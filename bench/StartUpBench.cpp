#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "app/MainWindow.h"
#include "core/RecentFiles.h"
#include "platform/RegistryFile.h"
#include "platform/SystemClock.h"

namespace {

// The window's whole life without showing it: menu, start-up with its registry reads and the
// first-use write, shutdown with the three recent-file writes.
void BM_MainWindowStartUpAndShutdown(benchmark::State& state) {
    QTemporaryDir dir;
    velmor::RegistryFile settings(dir.filePath("registry.reg"));
    settings.WriteString(velmor::kRecentFilesKey, "1", "/home/u/a.txt");
    velmor::SystemClock clock;
    velmor::SystemTickSource ticks;
    velmor::RandomGenerator random(ticks);
    velmor::Services services;
    services.clock = &clock;
    services.random = &random;
    services.settings = &settings;
    for (auto _ : state) {
        velmor::MainWindow window(services);
        benchmark::DoNotOptimize(window.DaysInUse());
    }
}
BENCHMARK(BM_MainWindowStartUpAndShutdown)->Unit(benchmark::kMillisecond);

// One atomic rewrite of a settings file holding range(0) other values.
void BM_RegistryFileWrite(benchmark::State& state) {
    QTemporaryDir dir;
    velmor::RegistryFile settings(dir.filePath("registry.reg"));
    for (int i = 0; i < state.range(0); ++i) {
        settings.WriteString("Software\\Other\\" + std::to_string(i % 10), std::to_string(i),
                             "C:\\some\\path\\\xD6\xD0\xCE\xC4.txt");
    }
    for (auto _ : state) {
        settings.WriteString(velmor::kRecentFilesKey, "1", "/home/u/a.txt");
    }
}
BENCHMARK(BM_RegistryFileWrite)->Arg(3)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
