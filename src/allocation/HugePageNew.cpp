// The program's global operator new: large blocks ask for huge pages before they are touched.
//
// The editor widget keeps its text and line index in blocks it allocates with operator new and
// zero-fills at once. Faulted in small pages, a 100 MB document costs a second or more in page
// faults alone on a virtual machine; in huge pages, a small part of that. The document's own
// buffers already ask for them (core/LargeText.h); this brings the widget's under the same
// rule. Only blocks of many megabytes are advised, and nothing is faulted in ahead beyond one
// timed page, so a block reserved for growth costs no memory until it is written; where the
// caller says every block will be written (velmor::WholeBlocksWritten), the whole block is.

#include <cstdlib>
#include <new>

#include "core/LargeText.h"

namespace {

void* Allocate(std::size_t size) {
    for (;;) {
        if (void* data = std::malloc(size == 0 ? 1 : size)) {
            velmor::AdviseHugePages(data, size, velmor::WholeBlocksWritten::Active() ? size : 0);
            return data;
        }
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}

void* operator new[](std::size_t size) {
    return Allocate(size);
}

void operator delete(void* data) noexcept {
    std::free(data);
}

void operator delete[](void* data) noexcept {
    std::free(data);
}

void operator delete(void* data, std::size_t) noexcept {
    std::free(data);
}

void operator delete[](void* data, std::size_t) noexcept {
    std::free(data);
}
