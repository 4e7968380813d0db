#include <benchmark/benchmark.h>

#include <QApplication>
#include <random>

#include "support/BoundWindow.h"

namespace velmor {
namespace {

// GBK lines of 60 characters, a third of them Chinese.
Text MakeText(std::size_t bytes) {
    std::mt19937 random(936);
    Text text;
    text.reserve(bytes + 200);
    while (text.size() < bytes) {
        for (int i = 0; i < 60; ++i) {
            if (random() % 3 == 0) {
                text += static_cast<char>(0xB0 + random() % 40);
                text += static_cast<char>(0xA1 + random() % 94);
            } else {
                text += static_cast<char>('a' + random() % 26);
            }
        }
        text += "\r\n";
    }
    return text;
}

// 到大写 from the menu, with the comparison that decides the modified flag, against the
// command run bare: the difference is what marking whole-text commands as edits costs, and
// at this size the run on the worker thread.
void BM_UpperCaseFromTheMenu(benchmark::State& state) {
    BoundWindow bound;
    const Text text = MakeText(static_cast<std::size_t>(state.range(0)) << 20);
    const Command* upper = bound.window->Registry().FindByCaption("到大写");
    if (upper == nullptr || !upper->run) {
        state.SkipWithError("到大写 is not registered");
        return;
    }
    const bool bare = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        bound.window->Editor().ReplaceText(text);
        state.ResumeTiming();
        if (bare) {
            upper->run(bound.window->Context());
        } else {
            bound.window->RunCommand("到大写");
        }
    }
}
BENCHMARK(BM_UpperCaseFromTheMenu)
    ->ArgNames({"MB", "bare"})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond);

// Undo and Redo of a 10 MB document from the menu: each writes a whole snapshot back and
// compares the texts for the modified flag.
void BM_UndoRedoFromTheMenu(benchmark::State& state) {
    BoundWindow bound;
    const Text text = MakeText(10u << 20);
    bound.window->Editor().ReplaceText(text);
    bound.window->Editor().ReplaceText(text + "x");
    for (auto _ : state) {
        bound.window->RunCommand("&U.撤消");
        bound.window->RunCommand("重做");
    }
}
BENCHMARK(BM_UndoRedoFromTheMenu)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
