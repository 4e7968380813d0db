#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <fstream>

#include "app/ScintillaEditor.h"
#include "core/UndoHistory.h"
#include "support/BenchText.h"

namespace velmor {
namespace {

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

struct HistoryEditor {
    explicit HistoryEditor(bool wrap) : history(editor) {
        editor.resize(630, 447);
        editor.SetWordWrap(wrap);
        editor.show();
        history.Attach();
        QApplication::processEvents();
    }
    void Show(const Text& text) {
        editor.ReplaceText(text);
        editor.viewport()->repaint();
    }
    void TypeKeys(int count) {
        for (int i = 0; i < count; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "k");
            QApplication::sendEvent(&editor, &press);
        }
        editor.viewport()->repaint();
    }
    ScintillaEditor editor;
    UndoHistory history;
};

// One Undo or Redo of a typed step, text shown; compare with BM_ReplaceSameText.
void BM_UndoRedoStep(benchmark::State& state) {
    const Text text = MakeBenchText(static_cast<std::size_t>(state.range(0)) << 20, 60, 100);
    HistoryEditor shown(true);
    shown.Show(text);
    shown.editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, text.size() / 2);
    shown.TypeKeys(3);
    bool undo = true;
    for (auto _ : state) {
        undo ? shown.history.Undo() : shown.history.Redo();
        shown.editor.viewport()->repaint();
        undo = !undo;
    }
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_UndoRedoStep)->ArgName("MB")->Arg(100)->Iterations(4)->Unit(benchmark::kMillisecond);

// ReplaceText of the document's own text, text shown: the anchor of an undo step.
void BM_ReplaceSameText(benchmark::State& state) {
    const Text text = MakeBenchText(static_cast<std::size_t>(state.range(0)) << 20, 60, 100);
    HistoryEditor shown(true);
    shown.Show(text);
    for (auto _ : state) {
        shown.Show(text);
    }
}
BENCHMARK(BM_ReplaceSameText)
    ->ArgName("MB")
    ->Arg(100)
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

// Opening 100 MB with word wrap, then 1000 keystrokes: resident memory after each.
void BM_MemoryOpenAndType(benchmark::State& state) {
    for (auto _ : state) {
        HistoryEditor shown(true);
        {
            const Text text = MakeBenchText(100 << 20, 60, 100);
            shown.Show(text);
        }
        QApplication::processEvents();
        const double opened = ResidentMegabytes();
        state.counters["peakAfterOpenMB"] = PeakMegabytes();
        state.counters["steadyAfterOpenMB"] = opened;
        shown.editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, 50UL << 20);
        shown.TypeKeys(1000);
        state.counters["addedBy1000KeysMB"] = ResidentMegabytes() - opened;
    }
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_MemoryOpenAndType)->Iterations(1)->Unit(benchmark::kMillisecond);

// 40 whole-document commands on 10 MB with typing between: the history holds the distinct
// texts once and the typing as chunks.
void BM_HistoryAfterCommands(benchmark::State& state) {
    Text text = MakeBenchText(10 << 20, 60, 100);
    for (auto _ : state) {
        HistoryEditor shown(false);
        shown.Show(text);
        for (int command = 0; command < 40; ++command) {
            text[static_cast<std::size_t>(command) * 1000] = 'A';
            shown.editor.ReplaceText(text);
            shown.TypeKeys(5);
        }
        state.counters["heldMB"] = static_cast<double>(shown.history.HeldBytes()) / (1 << 20);
        state.counters["distinctTextsMB"] = 21.0 * static_cast<double>(text.size()) / (1 << 20);
        state.counters["steadyMB"] = ResidentMegabytes();
    }
    state.counters["peakMB"] = PeakMegabytes();
}
BENCHMARK(BM_HistoryAfterCommands)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
