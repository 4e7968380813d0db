#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/CodePage936.h"
#include "core/MemoryEditor.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "search/Find.h"
#include "search/MatchTextReplace.h"
#include "search/RegexDialog.h"
#include "search/RegexMatches.h"
#include "transform/PositionTimeCommands.h"

// Search and replace on the 100 MB corpus of bench/make_corpus.sh (VELMOR_CORPUS names its
// directory, /tmp/velmor-corpus by default); without it, on a generated text of that size.

namespace {

velmor::Text LoadCorpus(const char* name) {
    const char* directory = std::getenv("VELMOR_CORPUS");
    const std::string path = std::string(directory ? directory : "/tmp/velmor-corpus") + "/" + name;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    const velmor::Text line =
        velmor::Utf8ToGbk("中国的第 2024 次会议记录，共 317 人出席 Meeting notes, item 42.\r\n");
    velmor::Text text;
    text.reserve((100 << 20) + line.size());
    for (int k = 0; text.size() < (100 << 20); ++k) {
        text += line + std::to_string(k % 5000) + "\r\n";
    }
    return text;
}

const velmor::Text& Chinese() {
    static const velmor::Text text = LoadCorpus("zh-100m.gbk");
    return text;
}

const velmor::Text& Mixed() {
    static const velmor::Text text = LoadCorpus("mix-100m.gbk");
    return text;
}

void RunRegex(benchmark::State& state, const velmor::Text& text, const char* pattern, bool extract,
              const char* replacement = "#") {
    for (auto _ : state) {
        velmor::MemoryEditor editor(text);
        velmor::Services services;
        velmor::CommandContext context{editor, services};
        velmor::RunRegexAction(context, pattern, replacement, false, extract);
        benchmark::DoNotOptimize(editor.ReadText().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// "[0-9]+" -> "#": about a thousand distinct numbers, nested in one another.
void BM_RegexReplaceDigits(benchmark::State& state) {
    RunRegex(state, Chinese(), "[0-9]+", false);
}

// Every English word of the mixed corpus: tens of thousands of distinct match texts.
void BM_RegexReplaceManyDistinct(benchmark::State& state) {
    RunRegex(state, Mixed(), "[a-z]+", false);
}

// "[0-9]+" -> "0" on 10 MB: the replacement forms part of later numbers ("1" + "0"), so
// every distinct number with a 0 needs a scan of its own.
void BM_RegexReplaceFeedsLaterTexts(benchmark::State& state) {
    static const velmor::Text text = Mixed().substr(0, 10 << 20);
    RunRegex(state, text, "[0-9]+", false, "0");
}

// The corpus of mix-10m or mix-100m by its size in MB.
const velmor::Text& MixedOfSize(std::int64_t megabytes) {
    static const velmor::Text tenMegabytes = LoadCorpus("mix-10m.gbk");
    return megabytes == 10 ? tenMegabytes : Mixed();
}

// "[0-9]+" -> "0" beside "[0-9]+" -> "#": the replacement takes part in later numbers ("1" +
// "0"), so the passes follow the places each one changes.
void BM_RegexReplaceDigitsByZero(benchmark::State& state) {
    RunRegex(state, MixedOfSize(state.range(0)), "[0-9]+", false, "0");
}

void BM_RegexReplaceDigitsByHash(benchmark::State& state) {
    RunRegex(state, MixedOfSize(state.range(0)), "[0-9]+", false, "#");
}

// Every word by a letter some of them hold: tens of thousands of distinct texts, each pass
// feeding later ones.
void BM_RegexReplaceWordsByLetter(benchmark::State& state) {
    static const velmor::Text text = Mixed().substr(0, 1 << 20);
    RunRegex(state, text, "[a-z]+", false, "x");
}

// The first bytes of the given size of the mixed corpus, without Z or z.
velmor::Text WithoutZ(std::int64_t bytes) {
    velmor::Text text = Mixed().substr(0, static_cast<std::size_t>(bytes));
    for (char& c : text) {
        c = c == 'Z' || c == 'z' ? 'y' : c;
    }
    return text;
}

// ".*Z" over a text without Z: one search that finds nothing, however long the text.
void BM_FindAllMatchesDotStarNoMatch(benchmark::State& state) {
    const velmor::Text text = WithoutZ(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::FindAllMatches(text, ".*Z", false).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// "秒到时分秒" on one long run of digits before "x秒".
void BM_SecondsToDurationLongDigitRun(benchmark::State& state) {
    const velmor::Text text =
        velmor::Text(static_cast<std::size_t>(state.range(0)), '7') + velmor::Utf8ToGbk("x秒");
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::SecondsToHoursMinutesSeconds(text, 1U << 30)->size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_RegexExtractDigits(benchmark::State& state) {
    RunRegex(state, Chinese(), "[0-9]+", true);
}

void BM_FindAllMatchesDigits(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::FindAllMatches(Chinese(), "[0-9]+", false).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Chinese().size()));
}

void BM_BasicReplaceChineseWord(benchmark::State& state) {
    const velmor::Text word = velmor::Utf8ToGbk("中国");
    const velmor::Text replacement = velmor::Utf8ToGbk("华夏");
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            velmor::TextReplace(Chinese(), word, replacement, 1, -1, false).size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Chinese().size()));
}

// One press of find next from the start for a word near the end of 100 MB, as the window
// runs it over its editor.
void BM_FindNextNearTheEnd(benchmark::State& state) {
    velmor::Text text = Chinese();
    text += "needle";
    velmor::MemoryEditor editor(text);
    const velmor::FindState find{"needle", false};
    for (auto _ : state) {
        editor.SetSelectionStart(0);
        velmor::RunFind(find, editor, velmor::FindDirection::Next);
        benchmark::DoNotOptimize(editor.SelectionStart());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_RegexReplaceDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexReplaceManyDistinct)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexReplaceFeedsLaterTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexReplaceDigitsByZero)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexReplaceDigitsByHash)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexReplaceWordsByLetter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllMatchesDotStarNoMatch)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondsToDurationLongDigitRun)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegexExtractDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAllMatchesDigits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasicReplaceChineseWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNextNearTheEnd)->Unit(benchmark::kMillisecond);
