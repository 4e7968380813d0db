// One undo and one redo step of a 100 MB document in the bound window, from the press to the
// window taking input again. The document's state is made ready on the worker (under the
// progress window after half a second) and swapped in; "swap_ms" is the part the window
// waits for after the worker is done, "held_mb" what the history holds beside the document.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <algorithm>

#include "platform/FileBytes.h"
#include "support/BoundWindow.h"
#include "support/ResidentMemory.h"

namespace velmor {
namespace {

const char* kCorpus = "/tmp/velmor-corpus/zh-100m.gbk";

enum class Way { Press, SwapAfterWorker, ConvertHere };

void StepHistory(benchmark::State& state, Way way) {
    BoundWindow bound;
    MainWindow& window = *bound.window;
    const std::optional<ByteString> file = TryReadFileBytes(kCorpus);
    if (!file) {
        state.SkipWithError("run make_corpus.sh first");
        return;
    }
    window.Editor().ReplaceText(*file);
    window.Editor().AppendText("k");
    QApplication::processEvents();
    UndoHistory& history = bound.commands->History();
    QElapsedTimer clock;
    double swapMs = 0;
    for (auto _ : state) {
        for (const char* caption : {"&U.撤消", "重做"}) {
            const bool undo = caption[0] == '&';
            if (way == Way::ConvertHere) {
                clock.start();
                undo ? history.Undo() : history.Redo();
            } else if (way == Way::SwapAfterWorker) {
                state.PauseTiming();
                auto prepared = window.Editor().PrepareSnapshot(
                    *history.Slot(undo ? UndoHistory::kCurrent - 1 : UndoHistory::kCurrent + 1));
                prepared->Build();
                window.Editor().OfferPrepared(prepared);
                state.ResumeTiming();
                clock.start();
                undo ? history.Undo() : history.Redo();
            } else {
                clock.start();
                window.RunCommand(caption);
            }
            window.Editor().viewport()->repaint();
            QApplication::processEvents();
            swapMs = std::max(swapMs, double(clock.elapsed()));
        }
    }
    state.counters["longest_step_ms"] = swapMs;
    state.counters["document_mb"] = double(file->size()) / 1e6;
    state.counters["held_mb"] = double(history.HeldBytes()) / 1e6;
    state.counters["peak_rss_mb"] = PeakMegabytes();
}

void BM_UndoRedoPressToInput(benchmark::State& state) {
    StepHistory(state, Way::Press);
}
BENCHMARK(BM_UndoRedoPressToInput)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UndoRedoSwapAfterWorker(benchmark::State& state) {
    StepHistory(state, Way::SwapAfterWorker);
}
BENCHMARK(BM_UndoRedoSwapAfterWorker)->Unit(benchmark::kMillisecond)->Iterations(3);

// The way it was: the text converted into the buffer on the window's thread.
void BM_UndoRedoConvertedHere(benchmark::State& state) {
    StepHistory(state, Way::ConvertHere);
}
BENCHMARK(BM_UndoRedoConvertedHere)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace velmor
