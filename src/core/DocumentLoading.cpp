#include "core/DocumentLoading.h"

#include <algorithm>

namespace velmor {

Text CutOpenedFileBytes(const ByteString& bytes) {
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
    return bytes.substr(0, std::min(i, bytes.size()));
}

Text CutDroppedFileBytes(const ByteString& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace velmor
