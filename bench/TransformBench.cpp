#include <benchmark/benchmark.h>

#include <string>

#include "core/CodePage936.h"
#include "core/TextPrimitives.h"
#include "platform/OpenCcConverter.h"
#include "transform/ChineseScript.h"

namespace {

// Mixed document text: Chinese with phrases OpenCC rewrites, ASCII, CR LF and TAB.
velmor::Text MakeDocument(std::size_t bytes) {
    const velmor::Text line = velmor::Utf8ToGbk(
        "我们讨论简体中文和繁体中文的转换问题，头发长了要去理发店。\tVersion 3.0 abc\r\n");
    velmor::Text text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes) {
        text += line;
    }
    return text;
}

void BM_ToTraditional(benchmark::State& state) {
    const velmor::OpenCcConverter converter;
    const velmor::Text text = MakeDocument(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            velmor::ConvertChineseScript(text, velmor::ChineseScript::Traditional, converter));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ToSimplified(benchmark::State& state) {
    const velmor::OpenCcConverter converter;
    const velmor::Text text =
        velmor::ConvertChineseScript(MakeDocument(static_cast<std::size_t>(state.range(0))),
                                     velmor::ChineseScript::Traditional, converter);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            velmor::ConvertChineseScript(text, velmor::ChineseScript::Simplified, converter));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ToUpper(benchmark::State& state) {
    const velmor::Text text = MakeDocument(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::TextUpper(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ToTraditional)->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToSimplified)->Arg(1 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToUpper)->Arg(100 << 20)->Unit(benchmark::kMillisecond);
