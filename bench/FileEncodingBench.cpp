// Opening and saving documents in their file's encoding, beside the GBK path and the memory
// floor. The corpus is /tmp/velmor-corpus (zh-100m.gbk and its UTF-8 twin zh-100m.utf8):
//   bench_FileEncodingBench --benchmark_filter='Recognise|Validate|Memchr'
// (cached:1 runs over the first megabyte only, which the core's cache holds).
// Opening and saving through the window: VELMOR_ENCODING_FILE names the file,
//   VELMOR_ENCODING_FILE=/tmp/velmor-corpus/zh-100m.utf8 bench_FileEncodingBench
//       --benchmark_filter=BM_Window
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "core/DocumentEncoding.h"
#include "core/Utf8Validation.h"
#include "platform/FileBytes.h"
#include "support/BoundWindow.h"

namespace velmor {
namespace {

const ByteString& Corpus(const char* name) {
    static std::map<std::string, ByteString> files;
    ByteString& bytes = files[name];
    if (bytes.empty()) {
        bytes = ReadFileBytes(std::string("/tmp/velmor-corpus/") + name);
    }
    return bytes;
}

void Processed(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// The Chinese corpus, or (cached) its first megabyte to a line end, which stays in the core's
// own cache: the scan's speed without the memory's.
std::string_view Scanned(benchmark::State& state, int argument) {
    const ByteString& bytes = Corpus("zh-100m.utf8");
    return state.range(argument) == 0
               ? std::string_view(bytes)
               : std::string_view(bytes).substr(0, bytes.rfind('\n', std::size_t{1} << 20) + 1);
}

// The floor the recognition scan is measured against: one pass that looks at every byte.
void BM_MemchrUtf8(benchmark::State& state) {
    const std::string_view bytes = Scanned(state, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memchr(bytes.data(), '\0', bytes.size()));
    }
    Processed(state, bytes.size());
}
BENCHMARK(BM_MemchrUtf8)->ArgName("cached")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RecogniseUtf8(benchmark::State& state) {
    const ByteString& bytes = Corpus(state.range(0) == 0 ? "zh-100m.utf8" : "mix-100m.utf8");
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecogniseEncoding(bytes));
    }
    Processed(state, bytes.size());
}
BENCHMARK(BM_RecogniseUtf8)->ArgName("mixed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each form of the validator over the Chinese corpus (or its cached megabyte): 0 blocks,
// 1 SSSE3, 2 AVX2, 3 AVX-512.
void BM_ValidateUtf8(benchmark::State& state) {
    using Check = bool (*)(std::string_view);
    const Check forms[] = {utf8_validation::Blocks, utf8_validation::Ssse3, utf8_validation::Avx2,
                           utf8_validation::Avx512};
    const bool has[] = {true, utf8_validation::HasSsse3(), utf8_validation::HasAvx2(),
                        utf8_validation::HasAvx512()};
    if (!has[state.range(0)]) {
        state.SkipWithError("the processor lacks these instructions");
        return;
    }
    const std::string_view bytes = Scanned(state, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(forms[state.range(0)](bytes));
    }
    Processed(state, bytes.size());
}
BENCHMARK(BM_ValidateUtf8)
    ->ArgNames({"form", "cached"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

void BM_DecodeUtf8(benchmark::State& state) {
    const ByteString& bytes = Corpus("zh-100m.utf8");
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeDocument(bytes, FileEncoding::Utf8, GbkCut::Opened));
    }
    Processed(state, bytes.size());
}
BENCHMARK(BM_DecodeUtf8)->Unit(benchmark::kMillisecond);

void BM_EncodeDocument(benchmark::State& state) {
    const ByteString& text = Corpus("zh-100m.gbk");
    const auto encoding = static_cast<FileEncoding>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeDocument(text, encoding));
    }
    Processed(state, text.size());
}
BENCHMARK(BM_EncodeDocument)->ArgName("encoding")->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

QString WindowFile() {
    const char* named = std::getenv("VELMOR_ENCODING_FILE");
    return QString::fromUtf8(named ? named : "/tmp/velmor-corpus/zh-100m.gbk");
}

// Opening the file through the window, as Open does (recognition included): wall time.
void BM_WindowOpen(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto bound = std::make_unique<BoundWindow>();
        state.ResumeTiming();
        bound->window->openAtStart(WindowFile());
        QApplication::processEvents();
        state.PauseTiming();
        bound.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowOpen)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saving the opened document, unedited, in its file's encoding to /dev/shm: wall time.
void BM_WindowSave(benchmark::State& state) {
    BoundWindow bound;
    bound.window->openAtStart(WindowFile());
    QApplication::processEvents();
    const Text target = "/dev/shm/velmor-encoding-bench-" + std::to_string(::getpid()) + ".txt";
    for (auto _ : state) {
        bound.commands->Documents().SaveDocumentFile(target);
    }
    ::unlink(target.c_str());
}
BENCHMARK(BM_WindowSave)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velmor
