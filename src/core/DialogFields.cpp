#include "core/DialogFields.h"

#include <stdexcept>

#include "core/Numbers.h"

namespace velmor {

Control& DialogFields::Add(std::string name, ControlKind kind) {
    Control control;
    control.name = std::move(name);
    control.kind = kind;
    m_controls.push_back(std::move(control));
    return m_controls.back();
}

Control* DialogFields::Find(std::string_view name) {
    for (Control& control : m_controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

const Control* DialogFields::Find(std::string_view name) const {
    for (const Control& control : m_controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

Control& DialogFields::At(std::string_view name) {
    return const_cast<Control&>(static_cast<const DialogFields&>(*this).At(name));
}

const Control& DialogFields::At(std::string_view name) const {
    const Control* control = Find(name);
    if (control == nullptr) {
        throw std::out_of_range("dialog has no control named " + std::string(name));
    }
    return *control;
}

int DialogFields::NumberOf(std::string_view name) const {
    return ToInt(TextOf(name));
}

DialogSession::DialogSession(const DialogDefinition& definition, CommandContext& context)
    : m_definition(definition), m_context(context) {
    m_fields.SetTitle(m_definition.title);
    if (m_definition.createControls) {
        m_definition.createControls(m_fields);
    }
    if (m_definition.onOpen) {
        m_definition.onOpen(m_fields, m_context);
    }
}

namespace {

Control* Usable(DialogFields& fields, std::string_view name, ControlKind kind) {
    Control* control = fields.Find(name);
    if (control == nullptr || !control->enabled || control->kind != kind) {
        return nullptr;
    }
    return control;
}

int RowCount(const Control& control) {
    return static_cast<int>(control.kind == ControlKind::ListView ? control.rows.size()
                                                                  : control.items.size());
}

}  // namespace

bool DialogSession::SetEditText(std::string_view name, const Text& text) {
    Control* control = Usable(m_fields, name, ControlKind::EditBox);
    if (control == nullptr) {
        return false;
    }
    control->text = text;
    RunHandler(m_definition.onChange, name);
    return true;
}

bool DialogSession::SetChecked(std::string_view name, bool checked) {
    Control* control = Usable(m_fields, name, ControlKind::CheckBox);
    if (control == nullptr) {
        return false;
    }
    // Only a click changes a check box, so its handler runs only when the state changes.
    if (control->checked != checked) {
        control->checked = checked;
        RunHandler(m_definition.onClick, name);
    }
    return true;
}

bool DialogSession::ClickRadio(std::string_view name) {
    Control* control = Usable(m_fields, name, ControlKind::RadioButton);
    if (control == nullptr) {
        return false;
    }
    const std::string group = control->group;
    for (Control& other : m_fields.Controls()) {
        if (other.kind == ControlKind::RadioButton && other.group == group) {
            other.checked = false;
        }
    }
    control->checked = true;
    RunHandler(m_definition.onClick, name);
    return true;
}

bool DialogSession::SelectDropDownItem(std::string_view name, const Text& itemText) {
    Control* control = Usable(m_fields, name, ControlKind::DropDown);
    if (control == nullptr) {
        return false;
    }
    for (std::size_t k = 0; k < control->items.size(); ++k) {
        if (control->items[k] == itemText) {
            control->currentIndex = static_cast<int>(k);
            control->text = itemText;
            RunHandler(m_definition.onChange, name);
            return true;
        }
    }
    return false;
}

bool DialogSession::AppendListItem(std::string_view name, const Text& itemText) {
    Control* control = Usable(m_fields, name, ControlKind::ListBox);
    if (control == nullptr) {
        return false;
    }
    control->items.push_back(itemText);
    return true;
}

bool DialogSession::SelectRow(std::string_view name, int index) {
    Control* control = m_fields.Find(name);
    if (control == nullptr || !control->enabled ||
        (control->kind != ControlKind::ListBox && control->kind != ControlKind::ListView) ||
        index < 0 || index >= RowCount(*control)) {
        return false;
    }
    control->currentIndex = index;
    RunHandler(m_definition.onChange, name);
    return true;
}

bool DialogSession::Press(std::string_view name) {
    if (Usable(m_fields, name, ControlKind::Button) == nullptr) {
        return false;
    }
    RunHandler(m_definition.onPress, name);
    return true;
}

void DialogSession::RunHandler(
    const std::map<std::string, DialogDefinition::Handler, std::less<>>& handlers,
    std::string_view name) {
    auto found = handlers.find(name);
    if (found != handlers.end() && found->second) {
        found->second(m_fields, m_context);
    }
}

}  // namespace velmor
