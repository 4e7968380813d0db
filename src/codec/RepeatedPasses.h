#pragma once

#include <functional>

#include "core/Text.h"

namespace velmor {

// Applies pass to text count times in a row (none for count <= 0). A pass returns false to
// refuse, leaving its input as it was; the run then stops with the last complete pass and
// RunPasses returns false. Short texts that come round again are recognised, so a cycle is
// not run through billions of times: the outcome is the same as running every pass.
bool RunPasses(Text& text, long long count, const std::function<bool(Text&)>& pass);

// The bytes up to the first zero byte, cut in place.
Text ToTextInPlace(ByteString bytes);

}  // namespace velmor
