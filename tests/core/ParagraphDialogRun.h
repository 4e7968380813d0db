#pragma once

#include <string>
#include <vector>

#include "core/DialogFields.h"
#include "core/MemoryEditor.h"

namespace velmor {

// Opens a dialog on a document, applies steps as the batch runner does ("NAME=VALUE" sets an
// edit box, "NAME=1"/"NAME=0" a check box, a bare "NAME" clicks a radio button) and presses
// the action button once.
struct DialogRun {
    MemoryEditor editor;
    Services services;
    CommandContext context{editor, services};
    DialogSession session;

    DialogRun(const DialogDefinition& definition, const Text& document)
        : editor(document), session(definition, context) {}

    // False when a step names a control that is missing or disabled.
    bool Apply(const std::vector<std::string>& steps) {
        for (const std::string& step : steps) {
            const std::size_t equals = step.find('=');
            if (equals == std::string::npos) {
                if (!session.ClickRadio(step)) {
                    return false;
                }
                continue;
            }
            const std::string name = step.substr(0, equals);
            const std::string value = step.substr(equals + 1);
            const Control* control = session.Fields().Find(name);
            const bool done = control != nullptr && control->kind == ControlKind::CheckBox
                                  ? session.SetChecked(name, value == "1")
                                  : session.SetEditText(name, value);
            if (!done) {
                return false;
            }
        }
        return true;
    }

    Text Press() {
        session.Press(session.Definition().actionButton);
        return editor.ReadText();
    }
};

}  // namespace velmor
