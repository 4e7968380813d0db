#include "core/LargeText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>
#include <thread>

#include <sys/mman.h>
#include <time.h>

namespace velmor {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallPage = 4096;
// Below this a buffer spans too few huge pages to be worth a system call.
constexpr std::size_t kLargeBytes = std::size_t{8} << 20;

#if defined(MADV_HUGEPAGE) && defined(__linux__)

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

using Clock = std::chrono::steady_clock;

// A huge page is normally far cheaper to fault in than its 512 small pages. Under some
// hypervisors one the host has taken back costs several times more (milliseconds where small
// pages take about one), and a buffer may get quick ones first and slow ones after; under
// others every small page traps to the host and stays the dearer even then. So the part of a
// buffer that will surely be written is faulted in a huge page at a time, against a time budget
// that quick pages never exhaust, single stalls included. Once it is spent, the next 2 MiB are
// faulted in small pages and timed: where they came clearly cheaper, the rest keeps small pages,
// and so do the buffers of the next few seconds, until freed memory may be quick to hand out again;
// otherwise the huge pages go on. Budget and sample count the thread's own CPU time: on a loaded
// machine the time a thread waits for a core says nothing about the pages.
constexpr auto kBudgetPerHugePage = std::chrono::microseconds(2000);
constexpr auto kBudgetSlack = std::chrono::microseconds(10000);
constexpr auto kSmallPagesFor = std::chrono::seconds(3);
// One sample on a busy machine is no exact measure: small pages must win clearly.
constexpr int kSmallPagesWinBy = 2;
std::atomic<Clock::rep> smallPagesUntil{0};

bool HugePagesRecentlySlow() {
    return Clock::now().time_since_epoch().count() < smallPagesUntil.load();
}

void AdviseSmallPagesForAWhile() {
    smallPagesUntil.store((Clock::now() + kSmallPagesFor).time_since_epoch().count());
}

std::chrono::nanoseconds ThreadTime() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::uintptr_t HugePageBelow(std::uintptr_t address) {
    return address & ~(kHugePage - 1);
}

void FaultInSmallPages(std::uintptr_t from, std::uintptr_t to) {
    if (to > from) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    }
}

bool FaultInHugePage(std::uintptr_t page) {
    return ::madvise(reinterpret_cast<void*>(page), kHugePage, MADV_POPULATE_WRITE) == 0;
}

// Small pages faulted in and read once each: under a hypervisor that shadows the page tables,
// the first access after the fault is what costs.
void FaultInAndReadSmallPages(std::uintptr_t from, std::uintptr_t to) {
    FaultInSmallPages(from, to);
    for (std::uintptr_t page = from; page < to; page += kSmallPage) {
        (void)*reinterpret_cast<const volatile char*>(page);
    }
}

void KeepSmallPages(std::uintptr_t from, std::uintptr_t to) {
    if (to > from) {
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_NOHUGEPAGE);
    }
}

// Faults in [from, to), whole huge pages, in huge pages while they come quickly, and from the
// first slow one on in whichever size a sample shows cheaper; the rest up to last then keeps
// small pages too where those won. One request for many small pages costs less than faulting
// them in one by one as they are written.
void FaultIn(std::uintptr_t from, std::uintptr_t to, std::uintptr_t last) {
    if (HugePagesRecentlySlow()) {
        FaultInSmallPages(from, to);
        return;
    }
    const std::chrono::nanoseconds start = ThreadTime();
    std::chrono::nanoseconds budget = kBudgetSlack;
    for (std::uintptr_t page = from; page < to; page += kHugePage) {
        if (!FaultInHugePage(page)) {
            return;  // a kernel without the request: the pages come as they are written
        }
        budget += kBudgetPerHugePage;
        const std::chrono::nanoseconds sampleStart = ThreadTime();
        if (sampleStart - start <= budget) {
            continue;
        }
        const std::uintptr_t sample = page + kHugePage;
        if (sample >= to) {
            return;
        }
        const auto hugePageCost = (sampleStart - start) / ((sample - from) / kHugePage);
        KeepSmallPages(sample, sample + kHugePage);
        FaultInAndReadSmallPages(sample, sample + kHugePage);
        if (kSmallPagesWinBy * (ThreadTime() - sampleStart) < hugePageCost) {
            AdviseSmallPagesForAWhile();
            KeepSmallPages(sample + kHugePage, last);
            FaultInSmallPages(sample + kHugePage, to);
            return;
        }
        for (std::uintptr_t rest = sample + kHugePage; rest < to; rest += kHugePage) {
            FaultInHugePage(rest);
        }
        return;
    }
}

// Faulting pages in is the kernel clearing them, one core's work per range: a large range is
// halved between two threads, each sampling and choosing page sizes on its own.
constexpr std::size_t kFaultInTwoBytes = std::size_t{64} << 20;

void FaultInOnCores(std::uintptr_t from, std::uintptr_t to, std::uintptr_t last) {
    if (to <= from || to - from < kFaultInTwoBytes || std::thread::hardware_concurrency() < 2) {
        FaultIn(from, to, last);
        return;
    }
    const std::uintptr_t middle = HugePageBelow(from + (to - from) / 2);
    std::thread other;
    try {
        other = std::thread([middle, to, last] { FaultIn(middle, to, last); });
    } catch (const std::system_error&) {
        FaultIn(from, to, last);
        return;
    }
    FaultIn(from, middle, middle);
    other.join();
}

#endif

}  // namespace

void AdviseHugePages(void* data, std::size_t size, std::size_t written) {
#if defined(MADV_HUGEPAGE) && defined(__linux__)
    if (size < kLargeBytes) {
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = HugePageBelow(begin + kHugePage - 1);
    const std::uintptr_t last = HugePageBelow(begin + size);
    if (last <= first + kHugePage) {
        return;
    }
    // Advice only: where it is refused the buffer works the same with small pages.
    if (!HugePagesRecentlySlow() &&
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE) != 0) {
        return;
    }
    // At least one page is timed, so that a buffer of unknown use does not take slow pages.
    FaultInOnCores(
        first, std::min(last, std::max(first + kHugePage, HugePageBelow(begin + written))), last);
#else
    (void)data;
    (void)size;
    (void)written;
#endif
}

namespace {

thread_local int wholeBlocksWritten = 0;

}  // namespace

WholeBlocksWritten::WholeBlocksWritten() {
    ++wholeBlocksWritten;
}

WholeBlocksWritten::~WholeBlocksWritten() {
    --wholeBlocksWritten;
}

bool WholeBlocksWritten::Active() {
    return wholeBlocksWritten > 0;
}

void ReserveLargeText(Text& text, std::size_t capacity) {
    ReserveLargeText(text, capacity, capacity);
}

void ReserveLargeText(Text& text, std::size_t capacity, std::size_t written) {
    if (capacity <= text.capacity()) {
        return;
    }
    text.reserve(capacity);
    AdviseHugePages(text.data(), text.capacity(), written);
}

void GrowLargeTextInPlace(Text& text, std::size_t length) {
#if defined(MADV_HUGEPAGE) && defined(__linux__)
    if (text.capacity() >= kLargeBytes && length > text.size()) {
        const auto begin = reinterpret_cast<std::uintptr_t>(text.data());
        FaultInOnCores(HugePageBelow(begin + text.size() + kHugePage - 1),
                       HugePageBelow(begin + length), HugePageBelow(begin + text.capacity()));
    }
#endif
    text.resize(length);
}

void ResizeLargeText(Text& text, std::size_t length) {
    ReserveLargeText(text, length);
    text.resize(length);
}

}  // namespace velmor
