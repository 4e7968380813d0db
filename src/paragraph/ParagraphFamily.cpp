#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

constexpr const char* kListedButton = "单选框_指定";
constexpr const char* kMultiplesButton = "单选框_倍数";
constexpr const char* kEveryButton = "单选框_每段";

std::string OddButton(const ParagraphFamilyDialog& family) {
    return "单选框_" + family.oddCaption;
}

void SetEnabled(DialogFields& fields, const std::vector<std::string>& names, bool enabled) {
    for (const std::string& name : names) {
        fields.At(name).enabled = enabled;
    }
}

// The state the click rules give for the checked mode.
void ApplyModeRules(DialogFields& fields, const ParagraphFamilyDialog& family) {
    const SelectionMode mode = ReadSelectionMode(fields, family);
    Control& numberField = fields.At(kNumberField);
    numberField.enabled = mode == SelectionMode::Listed || mode == SelectionMode::Multiples;
    if (!numberField.enabled) {
        numberField.text.clear();
    }
    SetEnabled(fields, family.disabledByEvery, mode != SelectionMode::Every);
}

}  // namespace

void AddCaptioned(DialogFields& fields, std::string name, ControlKind kind, std::string caption) {
    fields.Add(std::move(name), kind).caption = std::move(caption);
}

void AddRadioButton(DialogFields& fields, std::string name, std::string caption, std::string group,
                    bool checked) {
    Control& button = fields.Add(std::move(name), ControlKind::RadioButton);
    button.caption = std::move(caption);
    button.group = std::move(group);
    button.checked = checked;
}

void AddNumberField(DialogFields& fields, const ParagraphFamilyDialog& family,
                    std::string groupBoxName) {
    AddCaptioned(fields, std::move(groupBoxName), ControlKind::GroupBox, family.numberGroupCaption);
    fields.Add(std::string(kNumberField), ControlKind::EditBox);
}

void AddModeButtons(DialogFields& fields, const ParagraphFamilyDialog& family,
                    std::string groupBoxName) {
    const std::string group(kModeGroup);
    AddCaptioned(fields, std::move(groupBoxName), ControlKind::GroupBox, group);
    AddRadioButton(fields, kListedButton, "指定", group, true);
    AddRadioButton(fields, kMultiplesButton, "倍数", group, false);
    AddRadioButton(fields, OddButton(family), family.oddCaption, group, false);
    if (family.hasEvery) {
        AddRadioButton(fields, kEveryButton, "每段", group, false);
    }
}

void AddModeClickRules(DialogDefinition& definition, const ParagraphFamilyDialog& family) {
    const auto rule = [&family](DialogFields& fields, CommandContext&) {
        ApplyModeRules(fields, family);
    };
    definition.onClick[kListedButton] = rule;
    definition.onClick[kMultiplesButton] = rule;
    definition.onClick[OddButton(family)] = rule;
    if (family.hasEvery) {
        definition.onClick[kEveryButton] = rule;
    }
}

DialogDefinition MakeParagraphDialog(std::string title,
                                     std::function<void(DialogFields&)> createControls,
                                     DialogDefinition::Handler run,
                                     const ParagraphFamilyDialog* family) {
    DialogDefinition definition;
    definition.title = std::move(title);
    definition.createControls = std::move(createControls);
    if (family != nullptr) {
        AddModeClickRules(definition, *family);
    }
    definition.actionButton = "按钮1";
    definition.onPress[definition.actionButton] = std::move(run);
    return definition;
}

SelectionMode ReadSelectionMode(const DialogFields& fields, const ParagraphFamilyDialog& family) {
    if (fields.IsChecked(kMultiplesButton)) {
        return SelectionMode::Multiples;
    }
    if (fields.IsChecked(OddButton(family))) {
        return SelectionMode::Odd;
    }
    if (family.hasEvery && fields.IsChecked(kEveryButton)) {
        return SelectionMode::Every;
    }
    return SelectionMode::Listed;
}

BusyScope::BusyScope(DialogFields& fields, const ParagraphFamilyDialog& family)
    : m_fields(fields), m_family(family) {
    SetEnabled(m_fields, m_family.busyControls, false);
}

BusyScope::~BusyScope() {
    SetEnabled(m_fields, m_family.busyControls, true);
    ApplyModeRules(m_fields, m_family);
}

}  // namespace velmor
