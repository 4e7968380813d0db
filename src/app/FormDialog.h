#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/DialogHost.h"
#include "core/DialogFields.h"

namespace velmor {

// A command dialog shown through its Designer form. Every widget whose objectName is a control
// name of the definition shows that control; the user's actions on it become the dialog
// session's actions, and the fields are shown again after each handler has run. Button
// presses go through the host (RunPress), since they are what changes the document.
class FormDialog : public QWidget {
    Q_OBJECT

public:
    FormDialog(const DialogDefinition& definition, CommandContext& context, const DialogHost& host);

    DialogSession& Session() { return m_session; }
    // Binds the widgets of the form set up on this dialog and shows the fields; called once,
    // after the form's setupUi.
    void Bind();
    // Shows every field in its widget.
    void ShowFields();
    // Where the form, as designed, disagrees with the freshly opened fields (see
    // CompareFormWithFields); recorded by Bind.
    const std::vector<std::string>& FormDifferences() const { return m_formDifferences; }

protected:
    // Makes the button of that name (none for an empty name) a default button.
    void SetDefaultButton(const std::string& name);
    void showEvent(QShowEvent* event) override;
    // Enter presses the focused button, else the dialog's action button; a multi-line box
    // takes Enter for itself before it gets here.
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Binding {
        std::string name;
        QWidget* widget = nullptr;
    };

    void Connect(const Binding& binding);
    // Runs a session action started by the user, then shows the fields it changed.
    void Act(const std::function<void()>& action);

    const DialogHost& m_host;
    DialogSession m_session;
    std::vector<Binding> m_bindings;
    std::vector<std::string> m_formDifferences;
    bool m_showing = false;
};

// Registers the command's dialog with the host: a FormDialog over the Designer form UiForm
// (the class uic generates) for the given definition.
template <class UiForm>
void RegisterForm(DialogHost& host, std::string caption, const DialogDefinition& definition,
                  DialogHost::Owner owner = DialogHost::Owner::None) {
    host.Register(
        std::move(caption),
        [&host, &definition](CommandContext& context) -> QWidget* {
            auto* dialog = new FormDialog(definition, context, host);
            UiForm form;
            form.setupUi(dialog);
            dialog->Bind();
            return dialog;
        },
        owner);
}

}  // namespace velmor
