#include <benchmark/benchmark.h>

#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileBytes.h"

// Saving a document: written in full, synced and renamed over the old file. The target folder
// is /dev/shm (tmpfs) so that the figure compares with copying the same bytes there.

namespace {

std::string TargetPath() {
    return "/dev/shm/velmor-save-bench-" + std::to_string(getpid()) + ".txt";
}

void BM_SaveDocumentBytes(benchmark::State& state) {
    const std::string text(static_cast<std::size_t>(state.range(0)), '\xD6');
    const std::string path = TargetPath();
    velmor::SaveDocumentBytes(path, "old");
    for (auto _ : state) {
        if (!velmor::SaveDocumentBytes(path, text)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    ::unlink(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The same bytes handed over in parts of state.range(1) bytes, as a document's chunks or an
// editor's buffer are: the size of the parts must not change the figure much.
void BM_SaveDocumentParts(benchmark::State& state) {
    const std::string text(static_cast<std::size_t>(state.range(0)), '\xD6');
    const auto partSize = static_cast<std::size_t>(state.range(1));
    std::vector<std::string_view> parts;
    for (std::size_t from = 0; from < text.size(); from += partSize) {
        parts.push_back(std::string_view(text).substr(from, partSize));
    }
    const std::string path = TargetPath();
    velmor::SaveDocumentBytes(path, "old");
    for (auto _ : state) {
        if (!velmor::SaveDocumentBytes(path, parts)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    ::unlink(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

}  // namespace

// Wall time: the work is in the kernel, which CPU time of the process hardly sees.
BENCHMARK(BM_SaveDocumentBytes)
    ->Arg(10 << 20)
    ->Arg(100 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SaveDocumentParts)
    ->ArgsProduct({{100 << 20, 133 << 20}, {64 << 10, 1 << 20, 256 << 20}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
