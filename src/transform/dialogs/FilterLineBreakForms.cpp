#include "app/FormDialog.h"
#include "transform/FilterLineBreakCommands.h"
#include "ui_LineBreakCountDialog.h"
#include "ui_SplitTextDialog.h"

namespace velmor {

void RegisterFilterLineBreakForms(DialogHost& host) {
    RegisterForm<Ui::LineBreakCountDialog>(host, "连续换行符数量变更", LineBreakCountDialog());
    RegisterForm<Ui::SplitTextDialog>(host, "分割文本", SplitTextDialog());
}

}  // namespace velmor
