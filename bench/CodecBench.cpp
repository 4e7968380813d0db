#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "core/CodePage936.h"

namespace {

constexpr size_t kInputSize = 16 << 20;

enum class Mix { AsciiHeavy, ChineseHeavy, Mixed };

// A GBK document of about 16 MB in runs of ASCII words and of GB2312 ideographs with
// full-width punctuation, CR LF breaks and, in the mixed text, characters that need four-byte
// codes.
std::string MakeDocument(Mix mix) {
    std::mt19937 random(936);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> runLength(1, 12);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::uniform_int_distribution<int> lead(0xB0, 0xD7);
    std::uniform_int_distribution<int> trail(0xA1, 0xF9);
    const int chinesePercent = mix == Mix::AsciiHeavy ? 3 : mix == Mix::ChineseHeavy ? 97 : 50;
    const std::string emoji = velmor::EncodeCodePoint(0x1F600);
    const std::string comma = "\xA3\xAC";
    std::string text;
    text.reserve(kInputSize + 64);
    while (text.size() < kInputSize) {
        const int roll = percent(random);
        const int length = runLength(random);
        if (roll < chinesePercent) {
            for (int i = 0; i < length; ++i) {
                text += static_cast<char>(lead(random));
                text += static_cast<char>(trail(random));
            }
            text += mix == Mix::Mixed && roll % 10 == 0 ? emoji : comma;
        } else {
            for (int i = 0; i < length; ++i) {
                text += static_cast<char>(letter(random));
            }
            text += ' ';
        }
        if (roll % 16 == 0) {
            text += "\r\n";
        }
    }
    return text;
}

void GbkToUtf8Bench(benchmark::State& state, Mix mix) {
    const std::string gbk = MakeDocument(mix);
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::GbkToUtf8(gbk));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * gbk.size());
}

void Utf8ToGbkBench(benchmark::State& state, Mix mix) {
    const std::string utf8 = velmor::GbkToUtf8(MakeDocument(mix));
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmor::Utf8ToGbk(utf8));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * utf8.size());
}

BENCHMARK_CAPTURE(GbkToUtf8Bench, AsciiHeavy, Mix::AsciiHeavy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GbkToUtf8Bench, ChineseHeavy, Mix::ChineseHeavy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GbkToUtf8Bench, Mixed, Mix::Mixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Utf8ToGbkBench, AsciiHeavy, Mix::AsciiHeavy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Utf8ToGbkBench, ChineseHeavy, Mix::ChineseHeavy)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Utf8ToGbkBench, Mixed, Mix::Mixed)->Unit(benchmark::kMillisecond);

}  // namespace
