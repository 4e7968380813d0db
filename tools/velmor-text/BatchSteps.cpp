#include "BatchSteps.h"

#include <charconv>

#include "core/CodePage936.h"

namespace velmor {

namespace {

constexpr std::string_view kSelectPrefix = "select=";
constexpr std::string_view kPressPrefix = "press=";

std::string Quoted(std::string_view name) {
    return "\"" + std::string(name) + "\"";
}

bool KindFits(BatchStep::Kind step, ControlKind control) {
    switch (step) {
        case BatchStep::Kind::Set:
            return control == ControlKind::EditBox || control == ControlKind::CheckBox ||
                   control == ControlKind::DropDown || control == ControlKind::ListBox;
        case BatchStep::Kind::Click:
            return control == ControlKind::RadioButton;
        case BatchStep::Kind::Select:
            return control == ControlKind::ListBox || control == ControlKind::ListView;
        case BatchStep::Kind::Press:
            return control == ControlKind::Button;
    }
    return false;
}

std::string KindMismatch(const BatchStep& step) {
    switch (step.kind) {
        case BatchStep::Kind::Set:
            return "control " + Quoted(step.name) +
                   " takes no value (only edit boxes, check boxes, drop-downs and list boxes do)";
        case BatchStep::Kind::Click:
            return "control " + Quoted(step.name) + " is not a radio button";
        case BatchStep::Kind::Select:
            return "control " + Quoted(step.name) + " is not a list box or list view";
        case BatchStep::Kind::Press:
            return "control " + Quoted(step.name) + " is not a button";
    }
    return {};
}

std::string CheckStatically(const DialogFields& fields, const BatchStep& step) {
    const Control* control = fields.Find(step.name);
    if (control == nullptr) {
        return "the dialog has no control " + Quoted(step.name);
    }
    if (!KindFits(step.kind, control->kind)) {
        return KindMismatch(step);
    }
    if (step.kind == BatchStep::Kind::Set && control->kind == ControlKind::CheckBox &&
        step.value != "0" && step.value != "1") {
        return "check box " + Quoted(step.name) + " takes 1 or 0";
    }
    return {};
}

std::string Apply(DialogSession& session, const BatchStep& step) {
    const Control* control = session.Fields().Find(step.name);
    if (!control->enabled) {
        return "control " + Quoted(step.name) + " is disabled";
    }
    switch (step.kind) {
        case BatchStep::Kind::Set:
            switch (control->kind) {
                case ControlKind::EditBox:
                    session.SetEditText(step.name, step.value);
                    return {};
                case ControlKind::CheckBox:
                    session.SetChecked(step.name, step.value == "1");
                    return {};
                case ControlKind::DropDown:
                    if (!session.SelectDropDownItem(step.name, step.value)) {
                        return "drop-down " + Quoted(step.name) + " has no item " +
                               Quoted(GbkToUtf8(step.value));
                    }
                    return {};
                default:
                    session.AppendListItem(step.name, step.value);
                    return {};
            }
        case BatchStep::Kind::Click:
            session.ClickRadio(step.name);
            return {};
        case BatchStep::Kind::Select:
            if (!session.SelectRow(step.name, step.index)) {
                return Quoted(step.name) + " has no row " + std::to_string(step.index);
            }
            return {};
        case BatchStep::Kind::Press:
            session.Press(step.name);
            return {};
    }
    return {};
}

}  // namespace

std::string ResolveEscapes(std::string_view value) {
    std::string resolved;
    resolved.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            const char replacement = next == 'r'    ? '\r'
                                     : next == 'n'  ? '\n'
                                     : next == 't'  ? '\t'
                                     : next == '\\' ? '\\'
                                                    : '\0';
            if (replacement != '\0') {
                resolved += replacement;
                ++i;
                continue;
            }
        }
        resolved += value[i];
    }
    return resolved;
}

std::optional<BatchStep> ParseStep(std::string_view argument, std::string& error) {
    BatchStep step;
    if (argument.starts_with(kPressPrefix)) {
        step.kind = BatchStep::Kind::Press;
        step.name = argument.substr(kPressPrefix.size());
    } else if (argument.starts_with(kSelectPrefix)) {
        step.kind = BatchStep::Kind::Select;
        const std::string_view rest = argument.substr(kSelectPrefix.size());
        const std::size_t colon = rest.rfind(':');
        const std::string_view digits =
            colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        const auto [end, failure] =
            std::from_chars(digits.data(), digits.data() + digits.size(), step.index);
        if (digits.empty() || failure != std::errc() || end != digits.data() + digits.size() ||
            step.index < 0) {
            error = "select= needs NAME:INDEX with a row number from 0: " + std::string(argument);
            return std::nullopt;
        }
        step.name = rest.substr(0, colon);
    } else if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
        step.kind = BatchStep::Kind::Set;
        step.name = argument.substr(0, equals);
        step.value = Utf8ToGbk(ResolveEscapes(argument.substr(equals + 1)));
    } else {
        step.kind = BatchStep::Kind::Click;
        step.name = argument;
    }
    if (step.name.empty()) {
        error = "a step names no control: " + std::string(argument);
        return std::nullopt;
    }
    return step;
}

std::string ApplySteps(DialogSession& session, const std::vector<BatchStep>& steps,
                       bool pressAction) {
    bool pressed = false;
    for (const BatchStep& step : steps) {
        if (std::string reason = CheckStatically(session.Fields(), step); !reason.empty()) {
            return reason;
        }
        pressed = pressed || step.kind == BatchStep::Kind::Press;
    }
    const std::string& action = session.Definition().actionButton;
    if (!pressed && action.empty()) {
        return "this dialog has more than one action button: say which with press=NAME";
    }
    for (const BatchStep& step : steps) {
        if (std::string reason = Apply(session, step); !reason.empty()) {
            return reason;
        }
    }
    if (!pressed) {
        BatchStep press;
        press.kind = BatchStep::Kind::Press;
        press.name = action;
        if (session.Fields().Find(action) == nullptr) {
            return "the dialog has no action button " + Quoted(action);
        }
        if (!session.Fields().At(action).enabled) {
            return "control " + Quoted(action) + " is disabled";
        }
        return pressAction ? Apply(session, press) : std::string();
    }
    return {};
}

}  // namespace velmor
