#pragma once

#include <cstddef>
#include <optional>

#include "core/EditorAccess.h"
#include "core/Text.h"

namespace velmor {

// The largest text a command may build: beyond it the command refuses with a message instead
// of exhausting memory.
inline constexpr std::size_t kMaxResultBytes = std::size_t{1} << 30;
inline constexpr const char* kResultTooLargeMessage = "结果文本将超过1GB，文本未作改变。";

// Writes the command's result into the document, or, when there is none because it would have
// passed kMaxResultBytes, leaves the document as it is and shows the error message. True when
// the result was written.
bool WriteResultOrRefuse(EditorAccess& editor, std::optional<Text> result,
                         const char* message = kResultTooLargeMessage);

}  // namespace velmor
