#include "generate/DialogControls.h"
#include "generate/GenerateDialogs.h"
#include "generate/GeneratedText.h"
#include "generate/NumberedText.h"

namespace velmor {

namespace {

void Generate(DialogFields& fields, CommandContext& context) {
    NumberedTextRequest request;
    request.left = fields.TextOf("编辑框_文本左");
    request.numbered = fields.IsChecked("选择框1");
    request.start = fields.NumberOf("编辑框_起始号");
    request.right = fields.TextOf("编辑框_文本右");
    request.lines = fields.NumberOf("编辑框_行数");
    WriteGeneratedText(context, BuildNumberedText(request));
}

DialogDefinition MakeDefinition() {
    DialogDefinition definition;
    definition.title = "生成带序号文本";
    definition.createControls = [](DialogFields& fields) {
        AddGroupBox(fields, "分组框1");
        AddEditBox(fields, "编辑框_文本左");
        AddLabel(fields, "标签1", "+");
        AddCheckBox(fields, "选择框1", "起始序号", true);
        // A negative start numbers the lines from below zero.
        Control& start = AddEditBox(fields, "编辑框_起始号");
        start.digitsOnly = true;
        start.minusAllowed = true;
        AddLabel(fields, "标签3", "+");
        AddEditBox(fields, "编辑框_文本右");
        AddLabel(fields, "标签2", "生成行数：");
        AddEditBox(fields, "编辑框_行数", "10").digitsOnly = true;
        AddButton(fields, "按钮1", "生成");
    };
    definition.onPress["按钮1"] = Generate;
    definition.actionButton = "按钮1";
    return definition;
}

}  // namespace

const DialogDefinition& NumberedTextDialog() {
    static const DialogDefinition definition = MakeDefinition();
    return definition;
}

}  // namespace velmor
