#include "app/FormDialog.h"
#include "generate/GenerateDialogs.h"
#include "ui_AccountsDialog.h"
#include "ui_NumberedTextDialog.h"
#include "ui_RandomTextDialog.h"
#include "ui_VariableTextDialog.h"

namespace velmor {

void RegisterGenerateForms(DialogHost& host) {
    RegisterForm<Ui::NumberedTextDialog>(host, "带序号文本", NumberedTextDialog());
    RegisterForm<Ui::VariableTextDialog>(host, "变量文本", VariableTextDialog());
    RegisterForm<Ui::AccountsDialog>(host, "账号密码", AccountsDialog());
    RegisterForm<Ui::RandomTextDialog>(host, "随机文本", RandomTextDialog());
}

}  // namespace velmor
