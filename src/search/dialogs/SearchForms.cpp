#include "search/dialogs/SearchForms.h"

#include <QLineEdit>

#include "app/FormDialog.h"
#include "app/MainWindow.h"
#include "search/RegexDialog.h"
#include "search/ReplaceDialogs.h"
#include "ui_FindDialog.h"
#include "ui_KeepPositionDialog.h"
#include "ui_LineBreakReplaceDialog.h"
#include "ui_RegexDialog.h"
#include "ui_ReplaceDialog.h"
#include "ui_TabReplaceDialog.h"

namespace velmor {

namespace {

constexpr const char* kFind = "&F.查找";
constexpr const char* kRegex = "&Z.正则替换/提取";
constexpr const char* kKeepPosition = "保留指定位置";

RegexDialogMode ModeOf(std::string_view caption) {
    return caption == kKeepPosition ? RegexDialogMode::KeepPosition : RegexDialogMode::RegexReplace;
}

}  // namespace

void RegisterSearchForms(DialogHost& host) {
    RegisterForm<Ui::ReplaceDialog>(host, "&R.基本替换", BasicReplaceDialog(),
                                    DialogHost::Owner::Window);
    RegisterForm<Ui::LineBreakReplaceDialog>(host, "换行符前后文本", LineBreakReplaceDialog());
    RegisterForm<Ui::TabReplaceDialog>(host, "Tab前后文本", TabReplaceDialog());
    RegisterForm<Ui::RegexDialog>(host, kRegex, RegexDialog(RegexDialogMode::RegexReplace));
    RegisterForm<Ui::KeepPositionDialog>(host, kKeepPosition,
                                         RegexDialog(RegexDialogMode::KeepPosition));
}

SearchWindowCommands::SearchWindowCommands(MainWindow& window)
    : QObject(&window), m_window(window), m_findDialog(MakeFindDialog(m_find)) {
    RegisterForm<Ui::FindDialog>(window.Dialogs(), kFind, m_findDialog, DialogHost::Owner::Window);
    window.SetWindowHandler(kFind, [this] { OpenFind(); });
    window.SetWindowHandler("&N.查找下一个",
                            [this] { RunFind(m_find, m_window.Access(), FindDirection::Next); });
    window.SetWindowHandler(
        "&P.查找上一个", [this] { RunFind(m_find, m_window.Access(), FindDirection::Previous); });
    window.SetWindowHandler(kRegex, [this] { OpenShared(kRegex); });
    window.SetWindowHandler(kKeepPosition, [this] { OpenShared(kKeepPosition); });
}

void SearchWindowCommands::OpenFind() {
    QWidget* dialog = m_window.Dialogs().Open(kFind);
    if (dialog == nullptr) {
        return;
    }
    if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("编辑框1"))) {
        box->selectAll();
        box->setFocus();
    }
}

void SearchWindowCommands::OpenShared(const char* caption) {
    const RegexDialogMode mode = ModeOf(caption);
    const char* other = mode == RegexDialogMode::KeepPosition ? kRegex : kKeepPosition;
    auto* open = qobject_cast<FormDialog*>(m_window.Dialogs().Find(caption));
    if (open == nullptr) {
        open = qobject_cast<FormDialog*>(m_window.Dialogs().Find(other));
    }
    if (open == nullptr) {
        m_window.Dialogs().Open(caption);
        return;
    }
    if (RegexDialogModeOf(open->Session().Fields()) != mode) {
        ApplyRegexDialogMode(open->Session().Fields(), mode);
        open->ShowFields();
    }
    open->show();
    open->raise();
    open->activateWindow();
}

}  // namespace velmor
