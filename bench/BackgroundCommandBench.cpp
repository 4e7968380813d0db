#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/FileDialogBox.h"
#include "app/FormDialog.h"
#include "app/MainWindow.h"
#include "app/WindowCommands.h"
#include "platform/RegistryFile.h"
#include "platform/SystemClock.h"
#include "support/BenchText.h"

namespace velmor {
namespace {

// The bound window of a normal run, on a settings file of its own.
struct BoundWindow {
    BoundWindow() : settings(folder.filePath(QStringLiteral("registry.reg"))) {
        services.clock = &clock;
        services.settings = &settings;
        window = std::make_unique<MainWindow>(services);
        commands = new WindowCommands(*window, std::make_unique<FileDialogBox>(window.get()));
        window->show();
        QApplication::processEvents();
    }

    QTemporaryDir folder;
    SystemClock clock;
    RegistryFile settings;
    Services services;
    std::unique_ptr<MainWindow> window;
    WindowCommands* commands = nullptr;
};

const Text& SharedBenchText(std::size_t megabytes) {
    static const Text text = MakeBenchText(megabytes << 20, 20, 120);
    return text;
}

// One whole-document command on a large document, as the menu or the dialog's button runs it
// (on the worker, its result written here) against the bare command on the window's own
// editor (the command and its one ReplaceText, on this thread). Both start from the loaded
// text; the time ends when the result is in the editor.
void BM_WholeDocumentCommand(benchmark::State& state) {
    BoundWindow bound;
    MainWindow& window = *bound.window;
    const Text& text = SharedBenchText(static_cast<std::size_t>(state.range(0)));
    const bool regex = state.range(1) != 0;
    const bool bare = state.range(2) != 0;
    const Command* upper = window.Registry().FindByCaption("到大写");
    FormDialog* dialog = nullptr;
    if (regex) {
        dialog = qobject_cast<FormDialog*>(window.Dialogs().Open("&Z.正则替换/提取"));
        if (dialog == nullptr) {
            state.SkipWithError("no regular-expression dialog");
            return;
        }
        dialog->Session().SetEditText("编辑框_正则", "a[b-d]");
        dialog->Session().SetEditText("编辑框2", "X");
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
    state.counters["worker runs"] = window.Background().Runs();
}
BENCHMARK(BM_WholeDocumentCommand)
    ->ArgNames({"MB", "regex", "bare"})
    ->Args({100, 0, 1})
    ->Args({100, 0, 0})
    ->Args({100, 1, 1})
    ->Args({100, 1, 0})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
