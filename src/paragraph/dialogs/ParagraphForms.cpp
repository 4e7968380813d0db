#include "app/FormDialog.h"
#include "paragraph/ParagraphCommands.h"
#include "ui_DeleteKeepParagraphsDialog.h"
#include "ui_DeleteSpacesDialog.h"
#include "ui_IndentParagraphsDialog.h"
#include "ui_InsertFixedTextDialog.h"
#include "ui_InsertNumberedTextDialog.h"
#include "ui_InsertWholeParagraphDialog.h"
#include "ui_MergeParagraphsDialog.h"
#include "ui_ParagraphPartDialog.h"

namespace velmor {

void RegisterParagraphForms(DialogHost& host) {
    RegisterForm<Ui::IndentParagraphsDialog>(host, "段前增减", IndentParagraphsDialog());
    RegisterForm<Ui::DeleteSpacesDialog>(host, "删除", DeleteSpacesDialog());
    RegisterForm<Ui::InsertNumberedTextDialog>(host, "插入序号文本", InsertNumberedTextDialog());
    RegisterForm<Ui::InsertFixedTextDialog>(host, "插入固定文本", InsertFixedTextDialog());
    RegisterForm<Ui::InsertWholeParagraphDialog>(host, "插入整段", InsertWholeParagraphDialog());
    RegisterForm<Ui::DeleteKeepParagraphsDialog>(host, "删除/保留段", DeleteKeepParagraphsDialog());
    RegisterForm<Ui::ParagraphPartDialog>(host, "删除/保留段部分", ParagraphPartDialog());
    RegisterForm<Ui::MergeParagraphsDialog>(host, "合并", MergeParagraphsDialog());
}

}  // namespace velmor
