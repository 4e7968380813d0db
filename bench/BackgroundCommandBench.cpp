#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/AppServices.h"
#include "app/FormDialog.h"
#include "core/CodePage936.h"
#include "core/DocumentLoading.h"
#include "core/MemoryEditor.h"
#include "platform/FileBytes.h"
#include "support/BenchText.h"
#include "support/BoundWindow.h"
#include "support/InputReady.h"

// Whole-document commands run from the window against the same commands as the shell runner
// runs them. Each iteration times, pair by pair: the press of the menu item or of the dialog's
// button until the window takes input again (the benchmark's time); the bare command on the
// in-memory editor the shell runner uses (bare_s); and one ReplaceText of its result into the
// window's editor until the window takes input again (replace_s). ratio is the median over the
// pairs of the window's time over bare_s + replace_s. VELMOR_CORPUS names the corpus directory
// (/tmp/velmor-corpus by default), VELMOR_DOCUMENT the file in it (mix-100m.gbk by default).

namespace velmor {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const SharedText& Document() {
    static const SharedText text = [] {
        const char* directory = std::getenv("VELMOR_CORPUS");
        const char* name = std::getenv("VELMOR_DOCUMENT");
        const std::string path = std::string(directory ? directory : "/tmp/velmor-corpus") + "/" +
                                 (name ? name : "mix-100m.gbk");
        if (const std::optional<ByteString> bytes = TryReadFileBytes(path)) {
            return SharedText(CutOpenedFileBytes(*bytes));
        }
        return SharedText(MakeBenchText(std::size_t{100} << 20, 20, 120));
    }();
    return text;
}

// The services of a normal run (the Chinese converter, the memory budget), settings unwritten.
Services& RunServices() {
    static AppServices services(AppServices::SettingsMode::ReadOnly);
    return services.Get();
}

// What the user sets in a dialog before pressing its action button.
struct FieldStep {
    enum class Kind { Edit, Radio, DropDown };
    Kind kind;
    const char* name;
    const char* value;  // UTF-8
};

struct CommandCase {
    const char* name;  // the command, as the shell runner names it
    std::vector<FieldStep> steps;
};

const std::vector<CommandCase>& Cases() {
    using Kind = FieldStep::Kind;
    static const std::vector<CommandCase> cases = {
        {"到小写", {}},
        {"到繁体", {}},
        {"到全角", {}},
        {"正则替换/提取", {{Kind::Edit, "编辑框_正则", "[0-9]+"}, {Kind::Edit, "编辑框2", "#"}}},
        {"插入序号文本",
         {{Kind::Radio, "单选框_每段", ""},
          {Kind::Edit, "编辑框_文本左", "x"},
          {Kind::Edit, "编辑框_起始号", "1"}}},
        {"编码/解码", {{Kind::DropDown, "组合框_编解码方式", "十六进制"}}},
        {"多换行符变单换行符", {}},
        {"合并", {{Kind::Radio, "单选框_多段", ""}, {Kind::Edit, "编辑框1", "-2"}}},
    };
    return cases;
}

void ApplySteps(DialogSession& session, const std::vector<FieldStep>& steps) {
    for (const FieldStep& step : steps) {
        switch (step.kind) {
            case FieldStep::Kind::Edit:
                session.SetEditText(step.name, Utf8ToGbk(step.value));
                break;
            case FieldStep::Kind::Radio:
                session.ClickRadio(step.name);
                break;
            case FieldStep::Kind::DropDown:
                session.SelectDropDownItem(step.name, Utf8ToGbk(step.value));
                break;
        }
    }
}

// The command on the in-memory editor, as the shell runner runs it: its time and its result.
std::pair<double, Text> RunBare(const Command& command, const std::vector<FieldStep>& steps) {
    MemoryEditor editor(Document().Flatten());
    CommandContext context{editor, RunServices()};
    std::optional<DialogSession> session;
    if (command.dialog != nullptr) {
        session.emplace(*command.dialog, context);
        ApplySteps(*session, steps);
    }
    const Clock::time_point start = Clock::now();
    if (session) {
        session->Press(command.dialog->actionButton);
    } else {
        CommandRegistry::RunDirect(command, context);
    }
    return {SecondsSince(start), editor.TakeText()};
}

// The bound window with the document in it and, for a dialog's command, the dialog open with
// its fields set: what both sides start from.
struct Bench {
    explicit Bench(const CommandCase& which) : bound(RunServices()) {
        MainWindow& window = *bound.window;
        command = window.Registry().FindByName(which.name);
        if (command == nullptr) {
            error = "no such command";
            return;
        }
        if (command->dialog != nullptr) {
            auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Open(command->caption));
            if (dialog == nullptr) {
                error = "the dialog did not open";
                return;
            }
            ApplySteps(dialog->Session(), which.steps);
            dialog->ShowFields();
            button = dialog->findChild<QPushButton*>(
                QString::fromStdString(command->dialog->actionButton));
        }
    }

    void LoadDocument() {
        bound.window->Editor().ReplaceSnapshot(Document());
        WaitUntilInputReady();
    }

    // The press until the window takes input again.
    double RunInWindow() {
        const Clock::time_point start = Clock::now();
        if (button != nullptr) {
            button->click();
        } else {
            bound.window->CommandAction(command->caption)->trigger();
        }
        WaitUntilInputReady();
        return SecondsSince(start);
    }

    // One ReplaceText of result until the window takes input again.
    double Replace(const SharedText& result) {
        const Clock::time_point start = Clock::now();
        bound.window->Editor().ReplaceSnapshot(result);
        WaitUntilInputReady();
        return SecondsSince(start);
    }

    BoundWindow bound;
    const Command* command = nullptr;
    QPushButton* button = nullptr;
    const char* error = nullptr;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_WindowAgainstShell(benchmark::State& state) {
    const CommandCase& which = Cases()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(which.name);
    Bench bench(which);
    if (bench.error != nullptr) {
        state.SkipWithError(bench.error);
        return;
    }
    std::vector<double> bare;
    std::vector<double> replace;
    std::vector<double> ratios;
    for (auto _ : state) {
        bench.LoadDocument();
        const double windowSeconds = bench.RunInWindow();
        state.SetIterationTime(windowSeconds);
        const SharedText windowResult = bench.bound.window->Editor().ReadSnapshot();

        auto [bareSeconds, bareResult] = RunBare(*bench.command, which.steps);
        if (!(windowResult == SharedText(bareResult))) {
            state.SkipWithError("the window's result differs from the bare command's");
            return;
        }
        bench.LoadDocument();
        bare.push_back(bareSeconds);
        replace.push_back(bench.Replace(SharedText(std::move(bareResult))));
        ratios.push_back(windowSeconds / (bare.back() + replace.back()));
    }
    state.counters["bare_s"] = Median(bare);
    state.counters["replace_s"] = Median(replace);
    // The median of the pair ratios, as ratio.py gives it.
    state.counters["ratio"] = Median(ratios);
    state.counters["worker_runs"] = bench.bound.window->Background().Runs();
}
BENCHMARK(BM_WindowAgainstShell)
    ->DenseRange(0, 7)
    ->ArgName("case")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// One side of the comparison per process, for ratio.py to time process against process:
// VELMOR_SIDE=window runs the command from the window, VELMOR_SIDE=shell the bare command and
// one ReplaceText of its result, VELMOR_SIDE=setup neither (what both pay before: reading the
// document, the window, the document put in it), e.g.
//   ratio.py --a 'VELMOR_SIDE=window bench_BackgroundCommandBench --benchmark_filter=Side/case:0/'
//            --b 'VELMOR_SIDE=shell  bench_BackgroundCommandBench --benchmark_filter=Side/case:0/'
void BM_Side(benchmark::State& state) {
    const CommandCase& which = Cases()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(which.name);
    const char* side = std::getenv("VELMOR_SIDE");
    const std::string_view chosen = side != nullptr ? side : "";
    if (chosen != "window" && chosen != "shell" && chosen != "setup") {
        state.SkipWithError("VELMOR_SIDE is window, shell or setup");
        return;
    }
    Bench bench(which);
    if (bench.error != nullptr) {
        state.SkipWithError(bench.error);
        return;
    }
    for (auto _ : state) {
        bench.LoadDocument();
        double seconds = 0;
        if (chosen == "window") {
            seconds = bench.RunInWindow();
        } else if (chosen == "shell") {
            auto [bareSeconds, bareResult] = RunBare(*bench.command, which.steps);
            seconds = bareSeconds + bench.Replace(SharedText(std::move(bareResult)));
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_Side)->DenseRange(0, 7)->ArgName("case")->UseManualTime()->Iterations(1)->Unit(
    benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
