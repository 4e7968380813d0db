#pragma once

#include <cstddef>

namespace velmor {

// The largest text a command may build: beyond it the command refuses with a message instead
// of exhausting memory.
inline constexpr std::size_t kMaxResultBytes = std::size_t{1} << 30;

}  // namespace velmor
