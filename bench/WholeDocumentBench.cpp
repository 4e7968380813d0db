#include <benchmark/benchmark.h>

#include <string_view>

#include "core/CodePage936.h"
#include "core/Positions.h"
#include "core/TextPrimitives.h"
#include "platform/FileBytes.h"

using namespace velmor;

namespace {

// The mixed corpus when it is there (Chinese and English paragraphs), else lines of the same
// kind made here; about 100 MB either way.
const Text& Document() {
    static const Text text = [] {
        Text corpus = ReadFileBytes("/tmp/velmor-corpus/mix-100m.gbk");
        if (!corpus.empty()) {
            return corpus;
        }
        const Text line =
            "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4 Velmor text, \xA3\xC1\xA3\xC2 \xB5\\ "
            "\xD0\xD0\xCA\xFD 12345\xA1\xA3\r\n";
        Text made;
        while (made.size() < (100u << 20)) {
            made += line;
        }
        return made;
    }();
    return text;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Document().size()));
}

// The walk alone: the same buffer rewritten again and again, with no page faults.
void BM_CaseInPlace(benchmark::State& state) {
    Text text = Document();
    bool upper = true;
    for (auto _ : state) {
        upper ? UpperInPlace(text) : LowerInPlace(text);
        upper = !upper;
        benchmark::DoNotOptimize(text.data());
    }
    SetBytes(state);
}

void BM_HalfWidthInPlace(benchmark::State& state) {
    const Text wide = TextFullWidth(Document());
    Text text;
    text.reserve(wide.size());
    for (auto _ : state) {
        state.PauseTiming();
        text.assign(wide);
        state.ResumeTiming();
        HalfWidthInPlace(text);
        benchmark::DoNotOptimize(text.data());
    }
    SetBytes(state);
}

void BM_FullWidthIntoBuffer(benchmark::State& state) {
    const Text& text = Document();
    Text out(FullWidthLength(text), '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(FullWidthLength(text));
        benchmark::DoNotOptimize(WriteFullWidth(text, out.data()));
    }
    SetBytes(state);
}

void BM_CharacterCountBlocks(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(CharacterCount(Document()));
    }
    SetBytes(state);
}

// The bridge as velmor-text uses it: UTF-8 converted in parts on the way in, GBK converted
// piece by piece on the way out.
void BM_BridgeGbkToUtf8Pieces(benchmark::State& state) {
    std::size_t total = 0;
    for (auto _ : state) {
        GbkToUtf8Pieces(Document(), [&total](std::string_view piece) { total += piece.size(); });
    }
    benchmark::DoNotOptimize(total);
    SetBytes(state);
}

void BM_BridgeUtf8ToGbk(benchmark::State& state) {
    const std::string utf8 = GbkToUtf8(Document());
    Text out;
    out.reserve(utf8.size());
    for (auto _ : state) {
        out.clear();
        Utf8ToGbkPart(utf8, true, out);
        benchmark::DoNotOptimize(out.data());
    }
    SetBytes(state);
}

}  // namespace

BENCHMARK(BM_CaseInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HalfWidthInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWidthIntoBuffer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharacterCountBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BridgeGbkToUtf8Pieces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BridgeUtf8ToGbk)->Unit(benchmark::kMillisecond);
