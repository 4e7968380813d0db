#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/Text.h"

namespace velmor {

// The columns of a VariableList row.
enum VariableColumn { kVariableName = 0, kVariableStart, kVariableEnd, kVariablePadding };

// The rows of the list view: name, start (the current value during a run), end and padding
// width, all held as texts.
using VariableList = std::vector<TextList>;

// ToInt(first row's end) - ToInt(first row's start); 0 for an empty list.
std::int64_t VariableSpan(const VariableList& variables);

// GenerateVariableText: the template once per value of the first variable (once for an empty
// list), every variable substituted in list order and counting up in lock-step. On success
// each row's start becomes end - copies + 1 again; when the text would pass
// kGeneratedTextLimit nothing is returned and the rows stay as they were.
std::optional<Text> GenerateVariableText(const Text& templateText, VariableList& variables);

}  // namespace velmor
