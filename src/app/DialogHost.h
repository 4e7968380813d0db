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

class DialogSession;

// Opens command dialogs without blocking. A dialog is created fresh by its form's factory;
// choosing its command again while it is open brings the open one to the front. Dialogs
// owned by the window stay in front of it; the others are independent top-level windows.
class DialogHost {
public:
    enum class Owner { None, Window };
    // Builds the dialog's widget (without a parent) working on the given context.
    using Factory = std::function<QWidget*(CommandContext&)>;
    // Runs one dialog action; the window's runner marks the document modified when the
    // action changed its text.
    using ActionRunner = std::function<void(const std::function<void()>&)>;
    // Presses a dialog's button; the window's runner may run its handler on a worker.
    using PressRunner = std::function<void(DialogSession&, std::string_view button)>;

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

    void SetActionRunner(ActionRunner runner) { m_actionRunner = std::move(runner); }
    // What a form's action button calls to change the document; runs the action through the
    // window's runner, or as it is without one.
    void RunAction(const std::function<void()>& action) const;
    void SetPressRunner(PressRunner runner) { m_pressRunner = std::move(runner); }
    // What a form's button calls: the press through the window's press runner, or as an
    // action without one.
    void RunPress(DialogSession& session, std::string_view button) const;

private:
    struct Form {
        Factory factory;
        Owner owner = Owner::None;
        QPointer<QWidget> open;
    };

    QWidget& m_window;
    CommandContext& m_context;
    std::map<std::string, Form, std::less<>> m_forms;
    ActionRunner m_actionRunner;
    PressRunner m_pressRunner;
};

// Every subsystem's dialog forms, registered with the host when the window is built.
void RegisterDialogForms(DialogHost& host);

}  // namespace velmor
