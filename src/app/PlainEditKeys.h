#pragma once

#include <Qsci/qscicommand.h>

#include <vector>

namespace velmor {

// A key of the edit box and the editing command it runs.
struct EditKeyBinding {
    int key;  // a Qt key combined with its modifiers
    QsciCommand::Command command;
};

// The only keys the edit box handles itself: those of a plain multi-line edit box (moving,
// selecting, deleting, Enter, Tab). Everything else, the menu's shortcuts included, is left to
// the window. Tab replaces the selection with a TAB even when it spans lines.
const std::vector<EditKeyBinding>& PlainEditKeyBindings();

}  // namespace velmor
