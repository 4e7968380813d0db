#include <benchmark/benchmark.h>

#include "core/Positions.h"
#include "core/TextPrimitives.h"

using namespace velmor;

namespace {

// About 100 MB of lines mixing Chinese characters, ASCII words and full-width letters.
const Text& Document() {
    static const Text text = [] {
        const Text line =
            "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4 Velmor text, \xA3\xC1\xA3\xC2 \xB5\\ "
            "\xD0\xD0\xCA\xFD 12345\xA1\xA1\r\n";
        Text result;
        const std::size_t target = 100u << 20;
        result.reserve(target + line.size());
        while (result.size() < target) {
            result += line;
        }
        return result;
    }();
    return text;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Document().size()));
}

void BM_TextFindMiss(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFind(Document(), "\xC3\xBB\xD3\xD0"));
    }
    SetBytes(state);
}

void BM_TextFindMissIgnoreCase(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFind(Document(), "velmor texts", 1, true));
    }
    SetBytes(state);
}

void BM_TextFindLastTrailCandidates(benchmark::State& state) {
    // Every backslash in the document is a trail byte: each candidate needs the walk check.
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFindLast(Document(), "\\"));
    }
    SetBytes(state);
}

void BM_TextReplaceWord(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextReplace(Document(), "text", "TEXT!", 1, -1, true));
    }
    SetBytes(state);
}

void BM_TextReplaceLineBreaks(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextReplace(Document(), "\r\n", ""));
    }
    SetBytes(state);
}

void BM_TextSplitLines(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextSplit(Document(), "\r\n"));
    }
    SetBytes(state);
}

void BM_TextUpper(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextUpper(Document()));
    }
    SetBytes(state);
}

void BM_TextFullWidth(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextFullWidth(Document()));
    }
    SetBytes(state);
}

void BM_TextHalfWidth(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextHalfWidth(Document()));
    }
    SetBytes(state);
}

void BM_TextStripSpaces(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextStripSpaces(Document()));
    }
    SetBytes(state);
}

void BM_CharacterCount(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(CharacterCount(Document()));
    }
    SetBytes(state);
}

}  // namespace

BENCHMARK(BM_TextFindMiss)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFindMissIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFindLastTrailCandidates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReplaceWord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextReplaceLineBreaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextUpper)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFullWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextHalfWidth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextStripSpaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharacterCount)->Unit(benchmark::kMillisecond);
