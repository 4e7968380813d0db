#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DialogFields.h"
#include "core/Text.h"

namespace velmor {

// One user action on a dialog, as given on the command line.
struct BatchStep {
    enum class Kind { Set, Click, Select, Press };

    Kind kind = Kind::Set;
    std::string name;  // the control name, UTF-8 like the dialog tables
    Text value;        // Set: the value in the document code page, escapes resolved
    int index = 0;     // Select: the 0-based row
};

// Reads NAME=VALUE, NAME, select=NAME:INDEX or press=NAME (UTF-8). VALUE's escapes \r \n \t
// and \\ are resolved before it is converted to GBK; any other backslash stays as it is.
// Returns nothing and sets error for a malformed step.
std::optional<BatchStep> ParseStep(std::string_view argument, std::string& error);

// Resolves \r, \n, \t and \\; every other backslash is kept.
std::string ResolveEscapes(std::string_view value);

// Applies the steps in order to an open dialog, then presses the dialog's action button when
// no step pressed anything. Returns the reason of the first usage error (unknown control,
// wrong kind, disabled control, value not in a drop-down, row out of range, no action
// button), or the empty string. Steps that can be checked before anything runs are checked
// first, so a misspelt name changes nothing.
// Without pressAction the steps are applied and checked but the action button is left
// unpressed: the fields are then those it would be pressed with.
std::string ApplySteps(DialogSession& session, const std::vector<BatchStep>& steps,
                       bool pressAction = true);

}  // namespace velmor
