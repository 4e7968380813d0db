#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

#include "app/ScintillaEditor.h"
#include "support/BenchText.h"

namespace velmor {
namespace {

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The longest stretch, in milliseconds, during which a zero timer could not run.
double LongestEventGap(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, &probe, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    probe.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents();
    }
    return static_cast<double>(longest);
}

struct ShownEditor {
    explicit ShownEditor(bool wrap) {
        editor.resize(630, 447);
        editor.SetWordWrap(wrap);
        editor.show();
        QApplication::processEvents();
    }
    // Returns once the text is in place and the visible lines are laid out and painted.
    void Show(const Text& text) {
        editor.ReplaceText(text);
        editor.viewport()->repaint();
    }
    ScintillaEditor editor;
};

void ReplaceText(benchmark::State& state, std::size_t megabytes, int minimum, int maximum) {
    const Text text = MakeBenchText(megabytes << 20, minimum, maximum);
    ShownEditor shown(state.range(0) != 0);
    for (auto _ : state) {
        shown.Show(text);
        state.PauseTiming();
        shown.editor.ReplaceText("");
        QApplication::processEvents();
        state.ResumeTiming();
    }
    shown.Show(text);
    state.counters["eventGapMs"] = LongestEventGap(3000);
    state.counters["peakMB"] = PeakMegabytes();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ReplaceText100MB(benchmark::State& state) {
    ReplaceText(state, 100, 60, 100);
}
BENCHMARK(BM_ReplaceText100MB)
    ->ArgName("wrap")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

void BM_ReplaceTextLongLines20MB(benchmark::State& state) {
    ReplaceText(state, 20, 200000, 400000);
}
BENCHMARK(BM_ReplaceTextLongLines20MB)
    ->ArgName("wrap")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// Appending to a large text whose wrapping is still going on must not wrap it all first.
void BM_AppendTextWhileWrapping100MB(benchmark::State& state) {
    const Text text = MakeBenchText(100 << 20, 60, 100);
    ShownEditor shown(true);
    for (auto _ : state) {
        state.PauseTiming();
        shown.Show(text);
        state.ResumeTiming();
        shown.editor.AppendText("tail\r\n");
        shown.editor.viewport()->repaint();
    }
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_AppendTextWhileWrapping100MB)->Iterations(2)->Unit(benchmark::kMillisecond);

// Ctrl+End straight after a large text arrives, before idle wrapping reached the end.
void BM_CtrlEndWhileWrapping(benchmark::State& state) {
    const Text text = MakeBenchText(static_cast<std::size_t>(state.range(0)) << 20, 60, 100);
    ShownEditor shown(true);
    for (auto _ : state) {
        state.PauseTiming();
        shown.Show(text);
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(&shown.editor, &press);
        shown.editor.viewport()->repaint();
    }
}
BENCHMARK(BM_CtrlEndWhileWrapping)
    ->ArgName("MB")
    ->Arg(10)
    ->Arg(100)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// The undo history reads the whole text after every keystroke.
void BM_ReadText10MB(benchmark::State& state) {
    const Text text = MakeBenchText(10 << 20, 60, 100);
    ShownEditor shown(true);
    shown.Show(text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(shown.editor.ReadText());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadText10MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
