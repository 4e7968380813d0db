#include "core/DocumentLoading.h"

#include <algorithm>
#include <string_view>

namespace velmor {

namespace {

Text CutAt(ByteString bytes, std::size_t end) {
    bytes.resize(std::min(end, bytes.size()));
    // A text cut far short of its file must not keep the file's buffer for the whole run.
    if (bytes.size() < bytes.capacity() / 2) {
        bytes.shrink_to_fit();
    }
    return bytes;
}

// True when position at starts a character of a walk that starts one at from. A byte below
// 0x80 is a whole character or a trail byte, so a character starts after it whatever it
// was: the parity of the run of bytes of 0x80 and above just before at decides.
bool StartsCharacter(std::string_view bytes, std::size_t from, std::size_t at) {
    std::size_t start = at;
    while (start > from && static_cast<unsigned char>(bytes[start - 1]) >= 0x80) {
        --start;
    }
    return (at - start) % 2 == 0;
}

}  // namespace

Text CutOpenedFileBytes(ByteString bytes) {
    // Only a 0x00 or 0x1A can end the text early, so the walk over the characters is needed
    // only where one is found: most files have none, and their bytes are scanned at the speed
    // of memchr.
    const std::string_view view(bytes);
    const std::size_t zero = std::min(view.find('\0'), view.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t stop = std::min(view.find('\x1A', from), zero);
        if (stop >= view.size() || StartsCharacter(view, from, stop)) {
            return CutAt(std::move(bytes), stop);
        }
        // The byte is the trail byte of a lead byte: a zero goes with its lead, 0x1A stays.
        if (view[stop] == '\0') {
            return CutAt(std::move(bytes), stop - 1);
        }
        from = stop + 1;
    }
}

Text CutDroppedFileBytes(ByteString bytes) {
    const std::size_t end = bytes.find('\0');
    return CutAt(std::move(bytes), end);
}

}  // namespace velmor
