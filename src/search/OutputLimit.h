#pragma once

#include <cstddef>

namespace velmor {

// A command refuses to build a document larger than this, before allocating it.
inline constexpr std::size_t kMaxOutputBytes = std::size_t{1} << 30;
inline constexpr const char* kOutputTooLargeMessage = "结果文本将超过 1 GiB，未执行。";

}  // namespace velmor
