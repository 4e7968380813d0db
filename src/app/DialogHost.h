#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandRegistry.h"

namespace velmor {

// Opens command dialogs without blocking. A dialog is created fresh by its form's factory;
// choosing its command again while it is open brings the open one to the front. Dialogs
// owned by the window stay in front of it; the others are independent top-level windows.
class DialogHost {
public:
    enum class Owner { None, Window };
    // Builds the dialog's widget (without a parent) working on the given context.
    using Factory = std::function<QWidget*(CommandContext&)>;

    DialogHost(QWidget& window, CommandContext& context);
    // Closes every dialog still open without asking.
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    void Register(std::string caption, Factory factory, Owner owner = Owner::None);
    bool Has(std::string_view caption) const;
    // The captions of every registered form, in caption order.
    std::vector<std::string> Captions() const;

    // Shows the dialog of the command, creating it unless it is open; null without a form.
    QWidget* Open(std::string_view caption);
    // The open dialog of the command, or null.
    QWidget* Find(std::string_view caption) const;
    void CloseAll();

private:
    struct Form {
        Factory factory;
        Owner owner = Owner::None;
        QPointer<QWidget> open;
    };

    QWidget& m_window;
    CommandContext& m_context;
    std::map<std::string, Form, std::less<>> m_forms;
};

// Every subsystem's dialog forms, registered with the host when the window is built.
void RegisterDialogForms(DialogHost& host);

}  // namespace velmor
