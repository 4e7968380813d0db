#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/CodePage936.h"
#include "search/RegexObject.h"

namespace {

// The 100 MB Chinese corpus when it is there (VELMOR_CORPUS names another file), else a
// synthetic text of the same size: Chinese, ASCII words and digits, CR LF.
const velmor::Text& Document() {
    static const velmor::Text text = [] {
        const char* path = std::getenv("VELMOR_CORPUS");
        std::ifstream file(path != nullptr ? path : "/tmp/velmor-corpus/zh-100m.gbk",
                           std::ios::binary);
        velmor::Text bytes((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
        if (!bytes.empty()) {
            return bytes;
        }
        const velmor::Text line = velmor::Utf8ToGbk(
            "我们讨论简体中文和繁体中文的转换问题，2026年12月。Version 3.0 abc\r\n");
        while (bytes.size() < (100u << 20)) {
            bytes += line;
        }
        return bytes;
    }();
    return text;
}

// What a character-class filter does: one Execute, then every match's text in order.
void RunFilter(benchmark::State& state, const char* pattern, bool caseSensitive) {
    const velmor::Text& text = Document();
    for (auto _ : state) {
        velmor::RegexObject regex;
        regex.Execute(pattern, text, caseSensitive);
        velmor::Text kept;
        kept.reserve(text.size());
        const int count = regex.MatchCount();
        for (int i = 1; i <= count; ++i) {
            kept += regex.MatchText(i);
        }
        benchmark::DoNotOptimize(kept.data());
        state.counters["matches"] = count;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_FilterNonAscii(benchmark::State& state) {
    RunFilter(state, "[^\\x20-\\x7f]", false);
}

void BM_FilterDigits(benchmark::State& state) {
    RunFilter(state, "[0-9]", false);
}

void BM_FilterSymbols(benchmark::State& state) {
    RunFilter(state, "[^0-9a-z\\u4e00-\\u9fa5]", false);
}

// A general pattern through the full engine.
void BM_DigitRuns(benchmark::State& state) {
    RunFilter(state, "\\d+", false);
}

void BM_ReplaceDigitRuns(benchmark::State& state) {
    const velmor::Text& text = Document();
    for (auto _ : state) {
        velmor::RegexObject regex;
        regex.Execute("[0-9]+", text);
        benchmark::DoNotOptimize(regex.ReplaceMatches("#"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_FilterNonAscii)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FilterDigits)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FilterSymbols)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_DigitRuns)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReplaceDigitRuns)->Unit(benchmark::kMillisecond)->Iterations(1);
