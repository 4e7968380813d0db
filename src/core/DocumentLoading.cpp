#include "core/DocumentLoading.h"

#include <algorithm>

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

}  // namespace

Text CutOpenedFileBytes(ByteString bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x00 || byte == 0x1A) {
            break;
        }
        if (byte < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 < bytes.size() && bytes[i + 1] == '\0') {
            break;
        }
        i += 2;
    }
    return CutAt(std::move(bytes), i);
}

Text CutDroppedFileBytes(ByteString bytes) {
    const std::size_t end = bytes.find('\0');
    return CutAt(std::move(bytes), end);
}

}  // namespace velmor
