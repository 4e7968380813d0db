#pragma once

#include <cstddef>
#include <optional>

#include "core/EditorAccess.h"
#include "core/Services.h"
#include "core/Text.h"

namespace velmor {

// The limit of a result where the run gives no memory budget.
inline constexpr std::size_t kMaxResultBytes = std::size_t{1} << 30;
inline constexpr const char* kResultTooLargeMessage = "结果文本将超过1GB，文本未作改变。";

// The largest text a command may build now: beyond it the command refuses with a message
// instead of exhausting memory. From the run's memory budget: what the system can still give,
// less a margin for everything else, shared by the result and the editor's own form of it,
// and never more than the editor can hold; kMaxResultBytes without a budget.
std::size_t MaxResultBytes(const Services& services);
// The same limit from the memory figures themselves.
std::size_t MaxResultBytesFor(std::uint64_t availableBytes, std::uint64_t largestText);

// Writes the command's result into the document, or, when there is none because it would have
// passed the limit, leaves the document as it is and shows the error message. True when the
// result was written.
bool WriteResultOrRefuse(EditorAccess& editor, std::optional<Text> result,
                         const char* message = kResultTooLargeMessage);

}  // namespace velmor
