#pragma once

#include <string>

#include "core/DialogFields.h"

namespace velmor {

// Shorthands for the generators' dialog tables: a caption is UTF-8, an edit box's text is in
// the document code page.
inline Control& AddLabel(DialogFields& fields, std::string name, std::string caption) {
    Control& control = fields.Add(std::move(name), ControlKind::Label);
    control.caption = std::move(caption);
    return control;
}

inline Control& AddGroupBox(DialogFields& fields, std::string name, std::string caption = {}) {
    Control& control = fields.Add(std::move(name), ControlKind::GroupBox);
    control.caption = std::move(caption);
    return control;
}

inline Control& AddEditBox(DialogFields& fields, std::string name, Text text = {},
                           bool enabled = true) {
    Control& control = fields.Add(std::move(name), ControlKind::EditBox);
    control.text = std::move(text);
    control.enabled = enabled;
    return control;
}

inline Control& AddCheckBox(DialogFields& fields, std::string name, std::string caption,
                            bool checked) {
    Control& control = fields.Add(std::move(name), ControlKind::CheckBox);
    control.caption = std::move(caption);
    control.checked = checked;
    return control;
}

inline Control& AddRadioButton(DialogFields& fields, std::string name, std::string caption,
                               std::string group, bool checked) {
    Control& control = fields.Add(std::move(name), ControlKind::RadioButton);
    control.caption = std::move(caption);
    control.group = std::move(group);
    control.checked = checked;
    return control;
}

inline Control& AddButton(DialogFields& fields, std::string name, std::string caption) {
    Control& control = fields.Add(std::move(name), ControlKind::Button);
    control.caption = std::move(caption);
    return control;
}

}  // namespace velmor
