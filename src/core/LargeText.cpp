#include "core/LargeText.h"

#include <cstdint>

#include <sys/mman.h>

namespace velmor {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a buffer spans too few huge pages to be worth a system call.
constexpr std::size_t kLargeBytes = std::size_t{8} << 20;

}  // namespace

void AdviseHugePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
    if (size < kLargeBytes) {
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
    if (last > first) {
        // Advice only: where it is refused the buffer works the same with small pages.
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)size;
#endif
}

void ReserveLargeText(Text& text, std::size_t capacity) {
    if (capacity <= text.capacity()) {
        return;
    }
    text.reserve(capacity);
    AdviseHugePages(text.data(), text.capacity());
}

void ResizeLargeText(Text& text, std::size_t length) {
    ReserveLargeText(text, length);
    text.resize(length);
}

}  // namespace velmor
