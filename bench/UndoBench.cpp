#include <benchmark/benchmark.h>

#include "core/MemoryEditor.h"
#include "core/UndoHistory.h"

namespace velmor {
namespace {

constexpr std::size_t kDocumentBytes = 10 * 1024 * 1024;

Text Document() {
    Text text;
    text.reserve(kDocumentBytes + 1024);
    while (text.size() < kDocumentBytes) {
        text += "\xD6\xD0\xCE\xC4 line of the document, typed and edited\r\n";
    }
    return text;
}

// The recording of one keystroke alone: the editor already holds the new text.
void BM_RecordKeystroke(benchmark::State& state) {
    Text text = Document();
    MemoryEditor editor(text);
    UndoHistory history(editor);
    for (int i = 0; i < 30; ++i) {
        text += 'k';
        editor.ReplaceText(text);
        history.Record();
    }
    for (auto _ : state) {
        state.PauseTiming();
        text += 'k';
        editor.ReplaceText(text);
        state.ResumeTiming();
        history.Record();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_RecordKeystroke)->Unit(benchmark::kMillisecond);

// A keystroke as the window sees it: the editor changes and notifies, the history records.
void BM_TypeAndRecord(benchmark::State& state) {
    Text text = Document();
    MemoryEditor editor;
    UndoHistory history(editor);
    history.Attach();
    for (int i = 0; i < 100; ++i) {
        text += 'k';
        editor.Type(text);
    }
    state.counters["held_bytes_after_100"] = double(history.HeldBytes());
    state.counters["document_bytes"] = double(text.size());
    for (auto _ : state) {
        text += 'k';
        editor.Type(text);
    }
}
BENCHMARK(BM_TypeAndRecord)->Unit(benchmark::kMillisecond);

// Undo and Redo move pointers; the cost is the editor taking the text.
void BM_UndoRedo(benchmark::State& state) {
    Text text = Document();
    MemoryEditor editor;
    UndoHistory history(editor);
    history.Attach();
    for (int i = 0; i < 25; ++i) {
        text += 'k';
        editor.Type(text);
    }
    for (auto _ : state) {
        history.Undo();
        history.Redo();
    }
    state.counters["held_bytes"] = double(history.HeldBytes());
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
