#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandRegistry.h"
#include "core/Text.h"

namespace velmor {

enum class ControlKind {
    Label,
    EditBox,
    CheckBox,
    RadioButton,
    DropDown,
    ListBox,
    ListView,
    Button,
    GroupBox,
    Tab
};

// The state of one dialog control, named by its control name ("编辑框1", "单选框_每段").
struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    Text text;  // an edit box's content, a drop-down's current text (document code page)
    // The caption of a label, button, check box, radio button, group box or tab page (UTF-8);
    // the window shows it, and the form must say the same.
    std::string caption;
    bool checked = false;  // check boxes and radio buttons
    bool enabled = true;
    bool visible = true;
    // An edit box that takes only the digits 0-9 when typed or pasted (and the minus sign where
    // minusAllowed; a paste with anything else is refused whole). Text set by a handler is not
    // filtered, and numbers are still read by ToInt.
    bool digitsOnly = false;
    bool minusAllowed = false;
    std::string group;                 // the radio group a radio button belongs to
    std::vector<Text> items;           // list boxes and drop-downs
    std::vector<TextList> rows;        // a list view's rows, one text per column
    std::vector<std::string> columns;  // a list view's column captions (UTF-8)
    int currentIndex = -1;             // the selected item or row (or tab page), -1 for none
};

// The field values of one open dialog: what a command reads instead of widgets.
class DialogFields {
public:
    Control& Add(std::string name, ControlKind kind);
    Control* Find(std::string_view name);
    const Control* Find(std::string_view name) const;
    // The control, which must exist (a missing name is a programming error).
    Control& At(std::string_view name);
    const Control& At(std::string_view name) const;

    const Text& TextOf(std::string_view name) const { return At(name).text; }
    bool IsChecked(std::string_view name) const { return At(name).checked; }
    // The edit box's text read with ToInt.
    int NumberOf(std::string_view name) const;

    std::vector<Control>& Controls() { return m_controls; }
    const std::vector<Control>& Controls() const { return m_controls; }

    // The dialog's caption as shown now (UTF-8): the definition's title until a handler sets it.
    const std::string& Title() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }

private:
    std::vector<Control> m_controls;
    std::string m_title;
};

// How one dialog behaves, without widgets: its controls with their defaults and the handlers
// that run when the dialog opens, an edit box changes, a box is clicked or a button pressed.
// The window's form shows these controls; the batch runner drives them directly.
struct DialogDefinition {
    using Handler = std::function<void(DialogFields&, CommandContext&)>;

    std::string title;
    std::function<void(DialogFields&)> createControls;
    Handler onOpen;
    std::map<std::string, Handler, std::less<>> onChange;
    std::map<std::string, Handler, std::less<>> onClick;
    std::map<std::string, Handler, std::less<>> onPress;
    // The button that writes the document or the files, pressed by the batch runner when it
    // is given no press= step; empty when the dialog has two such buttons.
    std::string actionButton;
};

// One open dialog: the fields plus the user's actions on them, each running its handler.
class DialogSession {
public:
    DialogSession(const DialogDefinition& definition, CommandContext& context);

    DialogFields& Fields() { return m_fields; }
    const DialogDefinition& Definition() const { return m_definition; }

    // Each action returns false, changing nothing, when the control is missing, disabled or
    // of the wrong kind.
    bool SetEditText(std::string_view name, const Text& text);
    bool SetChecked(std::string_view name, bool checked);
    bool ClickRadio(std::string_view name);
    bool SelectDropDownItem(std::string_view name, const Text& itemText);
    bool AppendListItem(std::string_view name, const Text& itemText);
    bool SelectRow(std::string_view name, int index);
    bool Press(std::string_view name);

private:
    void RunHandler(const std::map<std::string, DialogDefinition::Handler, std::less<>>& handlers,
                    std::string_view name);

    const DialogDefinition& m_definition;
    CommandContext& m_context;
    DialogFields m_fields;
};

}  // namespace velmor
