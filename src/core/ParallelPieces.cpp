#include "core/ParallelPieces.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <thread>

namespace velmor {

namespace {

// Below this a thread costs more than it saves.
constexpr std::size_t kMinPieceBytes = std::size_t{4} << 20;

std::size_t TargetPieceBytes(std::size_t size, const PieceSplit& split) {
    const std::size_t pieces = std::max<std::size_t>(split.pieces, 1);
    return std::max<std::size_t>({(size + pieces - 1) / pieces, split.minBytes, 1});
}

}  // namespace

PieceSplit DefaultPieceSplit() {
    return {std::max(1u, std::thread::hardware_concurrency()), kMinPieceBytes};
}

std::vector<std::size_t> LineFeedPieceEnds(std::string_view text, const PieceSplit& split) {
    std::vector<std::size_t> ends;
    const std::size_t target = TargetPieceBytes(text.size(), split);
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.size();
        if (text.size() - begin > target) {
            const std::size_t from = begin + target - 1;
            const void* lineFeed = std::memchr(text.data() + from, '\n', text.size() - from);
            if (lineFeed != nullptr) {
                end =
                    static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text.data()) + 1;
            }
        }
        ends.push_back(end);
        begin = end;
    }
    return ends;
}

std::vector<std::size_t> UnitPieceEnds(std::size_t size, std::size_t unit,
                                       const PieceSplit& split) {
    std::vector<std::size_t> ends;
    const std::size_t target = (TargetPieceBytes(size, split) + unit - 1) / unit * unit;
    for (std::size_t begin = 0; begin < size;) {
        const std::size_t end = size - begin > target ? begin + target : size;
        ends.push_back(end);
        begin = end;
    }
    return ends;
}

void RunInParallel(std::size_t count, const std::function<void(std::size_t)>& work) {
    const std::size_t threadCount =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    if (threadCount <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
        }
        return;
    }
    std::vector<std::exception_ptr> errors(count);
    std::atomic<std::size_t> next{0};
    const auto takeWork = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < count;) {
            try {
                work(i);
            } catch (...) {
                errors[i] = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(threadCount - 1);
    for (std::size_t t = 0; t + 1 < threadCount; ++t) {
        threads.emplace_back(takeWork);
    }
    takeWork();
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

void ForEachPieceInParallel(const std::vector<std::size_t>& ends,
                            const std::function<void(std::size_t, std::size_t)>& work) {
    RunInParallel(ends.size(), [&](std::size_t i) { work(i == 0 ? 0 : ends[i - 1], ends[i]); });
}

}  // namespace velmor
