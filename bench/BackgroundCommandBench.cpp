#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <optional>

#include "app/FormDialog.h"
#include "core/DocumentLoading.h"
#include "platform/FileBytes.h"
#include "support/BenchText.h"
#include "support/BoundWindow.h"

namespace velmor {
namespace {

// The mixed 100 MB corpus (VELMOR_CORPUS names its directory, /tmp/velmor-corpus by default)
// loaded as the window opens a file; without it, a generated text of that size.
const Text& Document() {
    static const Text text = [] {
        const char* directory = std::getenv("VELMOR_CORPUS");
        const std::string path =
            std::string(directory ? directory : "/tmp/velmor-corpus") + "/mix-100m.gbk";
        if (const std::optional<ByteString> bytes = TryReadFileBytes(path)) {
            return CutOpenedFileBytes(*bytes);
        }
        return MakeBenchText(std::size_t{100} << 20, 20, 120);
    }();
    return text;
}

// One whole-document command on a large document, as the menu or the dialog's button runs it
// (on the worker, its result written here) against the bare command on the window's own
// editor (the command and its one ReplaceText, on this thread). Both start from the loaded
// text; the time ends when the result is in the editor.
void BM_WholeDocumentCommand(benchmark::State& state) {
    BoundWindow bound;
    MainWindow& window = *bound.window;
    const Text& text = Document();
    const bool regex = state.range(0) != 0;
    const bool bare = state.range(1) != 0;
    const Command* upper = window.Registry().FindByCaption("到大写");
    FormDialog* dialog = nullptr;
    if (regex) {
        dialog = qobject_cast<FormDialog*>(window.Dialogs().Open("&Z.正则替换/提取"));
        if (dialog == nullptr) {
            state.SkipWithError("no regular-expression dialog");
            return;
        }
        dialog->Session().SetEditText("编辑框_正则", "[0-9]+");
        dialog->Session().SetEditText("编辑框2", "#");
    }
    for (auto _ : state) {
        state.PauseTiming();
        window.Editor().ReplaceText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        if (regex && bare) {
            dialog->Session().Press("按钮2");
        } else if (regex) {
            window.Dialogs().RunPress(dialog->Session(), "按钮2");
        } else if (bare) {
            upper->run(window.Context());
        } else {
            window.RunCommand("到大写");
        }
    }
    if (window.Editor().ReadSnapshot() == SharedText(text)) {
        state.SkipWithError("the command changed nothing");
    }
    state.counters["worker runs"] = window.Background().Runs();
}
BENCHMARK(BM_WholeDocumentCommand)
    ->ArgNames({"regex", "bare"})
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
