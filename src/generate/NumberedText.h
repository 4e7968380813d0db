#pragma once

#include <optional>

#include "core/Text.h"

namespace velmor {

// What one run of "生成" in the numbered-text dialog reads from its fields.
struct NumberedTextRequest {
    Text left;
    bool numbered = true;
    int start = 0;
    Text right;
    int lines = 0;
};

// lines lines of left + number + right + CR LF, the numbers running from start (no number when
// not numbered, no line when lines <= 0); nothing when the text would pass
// kGeneratedTextLimit.
std::optional<Text> BuildNumberedText(const NumberedTextRequest& request);

}  // namespace velmor
