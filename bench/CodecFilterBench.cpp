#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "codec/Base64Codec.h"
#include "codec/EscapeConversion.h"
#include "codec/HexCodec.h"
#include "codec/Rc4Codec.h"
#include "core/CodePage936.h"
#include "transform/FilterLineBreakCommands.h"

namespace {

// The GBK corpus of the anchor tools when it is there (VELMOR_CORPUS names another file),
// else a generated Chinese text of 16 MB with CR LF paragraphs and runs of empty lines.
const velmor::Text& Document() {
    static const velmor::Text document = [] {
        const char* path = std::getenv("VELMOR_CORPUS");
        std::ifstream file(path != nullptr ? path : "/tmp/velmor-corpus/zh-100m.gbk",
                           std::ios::binary);
        if (file) {
            return velmor::Text(std::istreambuf_iterator<char>(file), {});
        }
        const velmor::Text line = velmor::Utf8ToGbk(
            "我们讨论简体中文和繁体中文的转换问题，头发长了要去理发店。Version 3.0\r\n\r\n\r\n");
        velmor::Text text;
        while (text.size() < (16u << 20)) {
            text += line;
        }
        return text;
    }();
    return document;
}

template <typename Function>
void Measure(benchmark::State& state, const velmor::Text& input, Function function) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(function(input));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The decoders work within the document's own buffer; the copy each run starts from is not
// timed.
template <typename Decode>
void MeasureInPlace(benchmark::State& state, const velmor::Text& input, Decode decode) {
    for (auto _ : state) {
        state.PauseTiming();
        velmor::Text text = input;
        state.ResumeTiming();
        decode(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_Base64Encode(benchmark::State& state) {
    Measure(state, Document(), [](const velmor::Text& t) { return velmor::Base64Encode(t); });
}

void BM_Base64Decode(benchmark::State& state) {
    const velmor::Text encoded = velmor::Base64Encode(Document());
    MeasureInPlace(state, encoded, [](velmor::Text& t) { velmor::Base64DecodeInPlace(t); });
}

void BM_HexEncode(benchmark::State& state) {
    Measure(state, Document(), [](const velmor::Text& t) { return velmor::HexEncode(t); });
}

void BM_HexDecode(benchmark::State& state) {
    const velmor::Text encoded = velmor::HexEncode(Document());
    MeasureInPlace(state, encoded, [](velmor::Text& t) { velmor::HexDecodeInPlace(t); });
}

void BM_Rc4Encode(benchmark::State& state) {
    Measure(state, Document(), [](const velmor::Text& t) { return velmor::Rc4Encode(t, "key"); });
}

void BM_Rc4Decode(benchmark::State& state) {
    const velmor::Text encoded = velmor::Rc4Encode(Document(), "key");
    MeasureInPlace(state, encoded, [](velmor::Text& t) { velmor::Rc4DecodeInPlace(t, "key"); });
}

void BM_EscapeTo16On(benchmark::State& state) {
    Measure(state, Document(),
            [](const velmor::Text& t) { return velmor::EscapeConvert(t, "to16on"); });
}

// The decoders read what their encoders wrote: six bytes per character for \u escapes, eight
// for the references of ideographs. Throughput is counted on that input.
void BM_EscapeTo16Un(benchmark::State& state) {
    const velmor::Text encoded = *velmor::EscapeConvert(Document(), "to16on");
    Measure(state, encoded,
            [](const velmor::Text& t) { return velmor::EscapeConvert(t, "to16un"); });
}

void BM_EscapeTo10Un(benchmark::State& state) {
    const velmor::Text encoded = *velmor::EscapeConvert(Document(), "to10on");
    Measure(state, encoded,
            [](const velmor::Text& t) { return velmor::EscapeConvert(t, "to10un"); });
}

void BM_FilterChinese(benchmark::State& state) {
    Measure(state, Document(), [](const velmor::Text& t) {
        return velmor::FilterCharacters(t, velmor::CharacterFilter::Chinese);
    });
}

void BM_CollapseLineBreaks(benchmark::State& state) {
    Measure(state, Document(),
            [](const velmor::Text& t) { return velmor::CollapseLineBreakRuns(t); });
}

}  // namespace

BENCHMARK(BM_Base64Encode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Base64Decode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HexEncode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HexDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rc4Encode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rc4Decode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EscapeTo16On)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EscapeTo16Un)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EscapeTo10Un)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilterChinese)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CollapseLineBreaks)->Unit(benchmark::kMillisecond)->UseRealTime();
