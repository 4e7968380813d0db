#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
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
// window's editor until the window takes input again (replace_s). ratio is the window's time
// over bare_s + replace_s. VELMOR_CORPUS names the corpus directory (/tmp/velmor-corpus by
// default), VELMOR_DOCUMENT the file in it (mix-100m.gbk by default).

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

void BM_WindowAgainstShell(benchmark::State& state) {
    const CommandCase& which = Cases()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(which.name);
    BoundWindow bound(RunServices());
    MainWindow& window = *bound.window;
    const Command* command = window.Registry().FindByName(which.name);
    if (command == nullptr) {
        state.SkipWithError("no such command");
        return;
    }
    QPushButton* button = nullptr;
    if (command->dialog != nullptr) {
        auto* dialog = qobject_cast<FormDialog*>(window.Dialogs().Open(command->caption));
        if (dialog == nullptr) {
            state.SkipWithError("the dialog did not open");
            return;
        }
        ApplySteps(dialog->Session(), which.steps);
        dialog->ShowFields();
        button =
            dialog->findChild<QPushButton*>(QString::fromStdString(command->dialog->actionButton));
    }
    double windowTotal = 0;
    double bare = 0;
    double replace = 0;
    for (auto _ : state) {
        window.Editor().ReplaceSnapshot(Document());
        WaitUntilInputReady();
        Clock::time_point start = Clock::now();
        if (button != nullptr) {
            button->click();
        } else {
            window.CommandAction(command->caption)->trigger();
        }
        WaitUntilInputReady();
        const double windowSeconds = SecondsSince(start);
        state.SetIterationTime(windowSeconds);
        windowTotal += windowSeconds;
        const SharedText windowResult = window.Editor().ReadSnapshot();

        auto [bareSeconds, bareResult] = RunBare(*command, which.steps);
        bare += bareSeconds;
        if (!(windowResult == SharedText(bareResult))) {
            state.SkipWithError("the window's result differs from the bare command's");
            return;
        }
        window.Editor().ReplaceSnapshot(Document());
        WaitUntilInputReady();
        const SharedText result(std::move(bareResult));
        start = Clock::now();
        window.Editor().ReplaceSnapshot(result);
        WaitUntilInputReady();
        replace += SecondsSince(start);
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["bare_s"] = bare / iterations;
    state.counters["replace_s"] = replace / iterations;
    state.counters["ratio"] = windowTotal / (bare + replace);
    state.counters["worker_runs"] = window.Background().Runs();
}
BENCHMARK(BM_WindowAgainstShell)
    ->DenseRange(0, 7)
    ->ArgName("case")
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmor
