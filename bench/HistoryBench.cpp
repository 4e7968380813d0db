#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

#include "app/ScintillaEditor.h"
#include "core/UndoHistory.h"
#include "support/BenchText.h"
#include "support/ResidentMemory.h"

namespace velmor {
namespace {

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

}  // namespace
}  // namespace velmor
