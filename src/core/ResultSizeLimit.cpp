#include "core/ResultSizeLimit.h"

#include <algorithm>
#include <limits>

namespace velmor {

namespace {

// Left to the rest of the system: a fixed floor and an eighth of what is available.
constexpr std::uint64_t kMarginFloor = std::uint64_t{64} << 20;
constexpr std::uint64_t kMarginShare = 8;
// Bytes held per result byte once it is written: the result, and the editor's form of it
// (the window's UTF-8 copy, up to one and a half bytes per byte, or the output written).
constexpr std::uint64_t kHeldPerResultByteTimesTwo = 5;

}  // namespace

std::size_t MaxResultBytesFor(std::uint64_t availableBytes, std::uint64_t largestText) {
    const std::uint64_t margin = kMarginFloor + availableBytes / kMarginShare;
    const std::uint64_t usable = availableBytes > margin ? availableBytes - margin : 0;
    const std::uint64_t limit = std::min(usable / kHeldPerResultByteTimesTwo * 2, largestText);
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(limit, std::numeric_limits<std::size_t>::max()));
}

std::size_t MaxResultBytes(const Services& services) {
    if (services.memory == nullptr) {
        return kMaxResultBytes;
    }
    return MaxResultBytesFor(services.memory->AvailableBytes(), services.memory->LargestText());
}

bool WriteResultOrRefuse(EditorAccess& editor, std::optional<Text> result, const char* message) {
    if (!result) {
        editor.ShowMessage(MessageKind::Error, message, kErrorTitle);
        return false;
    }
    editor.ReplaceText(std::move(*result));
    return true;
}

}  // namespace velmor
