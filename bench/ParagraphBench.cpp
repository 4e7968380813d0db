#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/DialogFields.h"
#include "core/MemoryEditor.h"
#include "paragraph/ParagraphCommands.h"

namespace {

using velmor::Text;

// 100 MB of 2 million paragraphs of 50 bytes: Chinese, ASCII, leading and trailing spaces.
const Text& Document() {
    static const Text text = [] {
        const Text paragraphs[] = {
            "  \xD6\xD0\xCE\xC4\xB6\xCE\xC2\xE4 paragraph text with words 0123456789 ab\r\n",
            "\xA1\xA1\xD5\xE2\xCA\xC7\xB5\xDA\xB6\xFE\xB6\xCE\xA3\xAC mixed ASCII and more "
            "words\r\n",
        };
        Text document;
        document.reserve(100 << 20);
        for (int k = 0; k < 2000000; ++k) {
            document += paragraphs[k % 2];
        }
        return document;
    }();
    return text;
}

// 10 000 entries spread over the paragraph numbers.
std::string TenThousandEntries(int first, int step) {
    std::string field;
    for (int k = 0; k < 10000; ++k) {
        field += std::to_string(first + k * step) + ",";
    }
    return field;
}

void RunDialog(benchmark::State& state, const velmor::DialogDefinition& dialog,
               const std::vector<std::pair<std::string, std::string>>& edits,
               const std::vector<std::string>& clicks) {
    velmor::MemoryEditor editor;
    velmor::Services services;
    velmor::CommandContext context{editor, services};
    velmor::DialogSession session(dialog, context);
    for (const std::string& click : clicks) {
        session.ClickRadio(click);
    }
    for (const auto& [name, value] : edits) {
        session.SetEditText(name, value);
    }
    const std::string field =
        session.Fields().Find("编辑框1") ? session.Fields().TextOf("编辑框1") : "";
    for (auto _ : state) {
        state.PauseTiming();
        editor.ReplaceText(Document());
        if (session.Fields().At("编辑框1").enabled) {
            session.Fields().At("编辑框1").text = field;  // the run rewrote it
        }
        state.ResumeTiming();
        session.Press(dialog.actionButton);
        benchmark::DoNotOptimize(editor.ReadText().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Document().size()));
}

void BM_InsertNumberedMultiples(benchmark::State& state) {
    RunDialog(
        state, velmor::InsertNumberedTextDialog(),
        {{"编辑框1", "2"}, {"编辑框_文本左", "x"}, {"编辑框_起始号", "1"}, {"编辑框_文本右", ":"}},
        {"单选框_倍数"});
}
void BM_InsertNumberedListed(benchmark::State& state) {
    RunDialog(state, velmor::InsertNumberedTextDialog(),
              {{"编辑框1", TenThousandEntries(1, 199)}, {"编辑框_文本左", "x"}}, {});
}
void BM_InsertFixedEvery(benchmark::State& state) {
    RunDialog(state, velmor::InsertFixedTextDialog(), {{"编辑框_文本", "\xA1\xA3"}},
              {"单选框_每段", "单选框_段尾"});
}
void BM_InsertWholeOdd(benchmark::State& state) {
    RunDialog(state, velmor::InsertWholeParagraphDialog(), {{"编辑框_文本", "new"}},
              {"单选框_奇数段", "单选框_段后"});
}
void BM_KeepMultiples(benchmark::State& state) {
    RunDialog(state, velmor::DeleteKeepParagraphsDialog(), {{"编辑框1", TenThousandEntries(7, 7)}},
              {"单选框_倍数", "单选框_保留"});
}
void BM_DeleteListed(benchmark::State& state) {
    RunDialog(state, velmor::DeleteKeepParagraphsDialog(),
              {{"编辑框1", TenThousandEntries(1, 199)}}, {});
}
void BM_PartKeepFirst(benchmark::State& state) {
    RunDialog(state, velmor::ParagraphPartDialog(), {{"编辑框_长度", "10"}}, {"单选框_每段"});
}
void BM_MergeGroups(benchmark::State& state) {
    RunDialog(state, velmor::MergeParagraphsDialog(), {{"编辑框1", "3"}}, {"单选框_多段"});
}
void BM_MergeAll(benchmark::State& state) {
    RunDialog(state, velmor::MergeParagraphsDialog(), {}, {});
}
void BM_Indent(benchmark::State& state) {
    RunDialog(state, velmor::IndentParagraphsDialog(), {}, {});
}
void BM_DeleteAllSpaces(benchmark::State& state) {
    RunDialog(state, velmor::DeleteSpacesDialog(), {}, {"单选框_每段"});
}
void BM_TrimListed(benchmark::State& state) {
    RunDialog(state, velmor::DeleteSpacesDialog(), {{"编辑框1", TenThousandEntries(1, 199)}},
              {"单选框_段首尾"});
}

}  // namespace

BENCHMARK(BM_InsertNumberedMultiples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertNumberedListed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertFixedEvery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertWholeOdd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeepMultiples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteListed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartKeepFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeGroups)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Indent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAllSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrimListed)->Unit(benchmark::kMillisecond);
