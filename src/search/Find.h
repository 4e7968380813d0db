#pragma once

#include "core/DialogFields.h"
#include "core/EditorAccess.h"

namespace velmor {

// The run-long state of find: kept by the window for the whole run, never saved.
struct FindState {
    Text keyword;             // `FindKeyword`: the last text typed into the search box
    bool ignoreCase = false;  // `FindIgnoreCase`: ASCII letters match regardless of case
};

enum class FindDirection { Next, Previous };

// Selects the next occurrence of the keyword after the selection, or the last one wholly
// before it; reports the error message and keeps the selection when there is none. No
// wrap-around; an empty keyword does nothing.
void RunFind(const FindState& state, EditorAccess& editor, FindDirection direction);

// The "搜寻" dialog working on state; state must outlive the definition.
DialogDefinition MakeFindDialog(FindState& state);

}  // namespace velmor
