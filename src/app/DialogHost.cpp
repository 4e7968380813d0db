#include "app/DialogHost.h"

#include "core/DialogFields.h"

namespace velmor {

DialogHost::DialogHost(QWidget& window, CommandContext& context)
    : m_window(window), m_context(context) {}

DialogHost::~DialogHost() {
    CloseAll();
}

void DialogHost::Register(std::string caption, Factory factory, Owner owner) {
    Form& form = m_forms[std::move(caption)];
    form.factory = std::move(factory);
    form.owner = owner;
}

bool DialogHost::Has(std::string_view caption) const {
    return m_forms.find(caption) != m_forms.end();
}

std::vector<std::string> DialogHost::Captions() const {
    std::vector<std::string> captions;
    for (const auto& [caption, form] : m_forms) {
        captions.push_back(caption);
    }
    return captions;
}

QWidget* DialogHost::Open(std::string_view caption) {
    auto found = m_forms.find(caption);
    if (found == m_forms.end()) {
        return nullptr;
    }
    Form& form = found->second;
    if (form.open) {
        form.open->show();
        form.open->raise();
        form.open->activateWindow();
        return form.open;
    }
    QWidget* dialog = form.factory(m_context);
    if (dialog == nullptr) {
        return nullptr;
    }
    if (form.owner == Owner::Window) {
        dialog->setParent(&m_window, Qt::Dialog);
    } else {
        dialog->setParent(nullptr, dialog->windowFlags() | Qt::Window);
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    form.open = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

QWidget* DialogHost::Find(std::string_view caption) const {
    auto found = m_forms.find(caption);
    return found == m_forms.end() ? nullptr : found->second.open.data();
}

void DialogHost::RunAction(const std::function<void()>& action) const {
    if (m_actionRunner) {
        m_actionRunner(action);
    } else {
        action();
    }
}

void DialogHost::RunPress(DialogSession& session, std::string_view button) const {
    if (m_pressRunner) {
        m_pressRunner(session, button);
    } else {
        RunAction([&] { session.Press(button); });
    }
}

void DialogHost::CloseAll() {
    for (auto& [caption, form] : m_forms) {
        delete form.open.data();
    }
}

}  // namespace velmor
