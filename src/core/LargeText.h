#pragma once

#include <cstddef>

#include "core/Text.h"

namespace velmor {

// Buffers of many megabytes are faulted in page by page the first time they are written;
// where the system hands out huge pages on request, asking for them spares most of that.

// Reserves capacity bytes in text (keeping its content) and, for a large buffer, asks for
// huge pages before any of the new memory is touched. The whole capacity is expected to be
// written; where only a bound is known, say how much surely will be (written), so that no
// more than that is faulted in ahead.
void ReserveLargeText(Text& text, std::size_t capacity);
void ReserveLargeText(Text& text, std::size_t capacity, std::size_t written);
// Resizes text to a length within its capacity, where the new bytes (zero) are faulted in as
// a buffer reserved here would be.
void GrowLargeTextInPlace(Text& text, std::size_t length);
// Resizes text to length, reserving as ReserveLargeText does first; new bytes are zero.
void ResizeLargeText(Text& text, std::size_t length);
// Asks for huge pages for the whole 2 MiB pages inside [data, data + size) and faults in
// those of the first written bytes while huge pages come quickly; does nothing for a small
// range or where the system has no such request.
void AdviseHugePages(void* data, std::size_t size, std::size_t written);

// While one lives on a thread, the program's operator new faults in the large blocks it hands
// out there whole, at once: the editor widget zero-fills every block it allocates, and on a
// virtual machine faulting a block in at one request costs a small part of faulting it in
// as it is written.
class WholeBlocksWritten {
public:
    WholeBlocksWritten();
    ~WholeBlocksWritten();
    WholeBlocksWritten(const WholeBlocksWritten&) = delete;
    WholeBlocksWritten& operator=(const WholeBlocksWritten&) = delete;

    static bool Active();
};

}  // namespace velmor
