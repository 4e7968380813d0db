#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "core/CodePage936.h"
#include "core/FixedTime.h"
#include "core/MemoryEditor.h"
#include "generate/GenerateDialogs.h"

namespace {

using velmor::CommandContext;
using velmor::DialogSession;
using velmor::MemoryEditor;

// One press of "生成" on a dialog whose fields the caller set, as the window runs it.
template <typename SetFields>
void PressGenerate(benchmark::State& state, const velmor::DialogDefinition& dialog,
                   SetFields setFields) {
    velmor::FixedTickSource ticks(1000);
    velmor::RandomGenerator random(ticks);
    velmor::Services services;
    services.random = &random;
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemoryEditor editor;
        CommandContext context{editor, services};
        DialogSession session(dialog, context);
        setFields(session);
        session.Press("按钮1");
        bytes = editor.ReadText().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_NumberedText(benchmark::State& state) {
    const std::string lines = std::to_string(state.range(0));
    PressGenerate(state, velmor::NumberedTextDialog(), [&](DialogSession& session) {
        session.SetEditText("编辑框_文本左", "Item");
        session.SetEditText("编辑框_起始号", "1");
        session.SetEditText("编辑框_文本右", ".txt");
        session.SetEditText("编辑框_行数", lines);
    });
}

// The anchor: the same lines from seq, with CR LF added by sed.
void BM_SeqSedAnchor(benchmark::State& state) {
    const std::string command = "seq -f 'Item%.0f.txt' 1 " + std::to_string(state.range(0)) +
                                " | sed 's/$/\\r/' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("seq or sed failed");
            break;
        }
    }
}

void BM_VariableText(benchmark::State& state) {
    const std::string end = std::to_string(state.range(0));
    PressGenerate(state, velmor::VariableTextDialog(), [&](DialogSession& session) {
        session.SetEditText("编辑框_到达", end);
        session.Press("按钮_添加");
        session.SetEditText("编辑框_起始", "100");
        session.Press("按钮_添加");
        session.SetEditText("编辑框_文本", "{@%0}: {@%1} {@%0}\r\n");
    });
}

// range(0) variables, each once in a template line, and about 4 MB of copies whatever their
// number: the cost per byte should not grow with the variables.
void BM_VariableTextVariables(benchmark::State& state) {
    const auto variables = static_cast<int>(state.range(0));
    std::string line;
    for (int k = 0; k < variables; ++k) {
        line += "名{@%" + std::to_string(k) + "}，";
    }
    line += "\r\n";
    const std::string templateText = velmor::Utf8ToGbk(line);
    const std::string copies = std::to_string(4000000 / (templateText.size() + 2 * variables));
    PressGenerate(state, velmor::VariableTextDialog(), [&](DialogSession& session) {
        session.SetEditText("编辑框_到达", copies);
        for (int k = 0; k < variables; ++k) {
            session.Press("按钮_添加");
        }
        session.SetEditText("编辑框_文本", templateText);
    });
}

void BM_Accounts(benchmark::State& state) {
    const std::string count = std::to_string(state.range(0));
    PressGenerate(state, velmor::AccountsDialog(), [&](DialogSession& session) {
        session.SetEditText("编辑框2", "6");
        session.SetEditText("编辑框3", "12");
        session.SetEditText("编辑框5", "8");
        session.SetEditText("编辑框4", "16");
        session.SetEditText("编辑框8", count);
    });
}

}  // namespace

BENCHMARK(BM_NumberedText)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeqSedAnchor)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariableText)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariableTextVariables)
    ->Arg(1)
    ->Arg(100)
    ->Arg(400)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Accounts)->Arg(1000000)->Unit(benchmark::kMillisecond);
