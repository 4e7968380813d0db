#include "generate/DialogControls.h"
#include "generate/GenerateDialogs.h"
#include "generate/GeneratedText.h"
#include "generate/RandomCharacters.h"

namespace velmor {

namespace {

int CheckedKind(const DialogFields& fields) {
    if (fields.IsChecked("单选框_整数")) {
        return kDigitCharacters;
    }
    if (fields.IsChecked("单选框_字母")) {
        return kLetterCharacters;
    }
    if (fields.IsChecked("单选框_混合")) {
        return kDigitAndLetterCharacters;
    }
    return 0;
}

void Generate(DialogFields& fields, CommandContext& context) {
    if (context.services.random == nullptr) {
        return;
    }
    const int count = fields.NumberOf("编辑框1");
    if (count > 0 && static_cast<std::uint64_t>(count) > kGeneratedTextLimit) {
        WriteGeneratedText(context, std::nullopt);
        return;
    }
    WriteGeneratedText(context,
                       RandomCharacters(*context.services.random, count, CheckedKind(fields)));
}

DialogDefinition MakeDefinition() {
    DialogDefinition definition;
    definition.title = "随机文本";
    definition.createControls = [](DialogFields& fields) {
        AddLabel(fields, "标签1", "文本长度：");
        AddEditBox(fields, "编辑框1", "10").digitsOnly = true;
        AddGroupBox(fields, "分组框1");
        AddRadioButton(fields, "单选框_整数", "整数", "kind", true);
        AddRadioButton(fields, "单选框_字母", "字母", "kind", false);
        AddRadioButton(fields, "单选框_混合", "整数字母混合", "kind", false);
        AddButton(fields, "按钮1", "生成");
    };
    definition.onPress["按钮1"] = Generate;
    definition.actionButton = "按钮1";
    return definition;
}

}  // namespace

const DialogDefinition& RandomTextDialog() {
    static const DialogDefinition definition = MakeDefinition();
    return definition;
}

}  // namespace velmor
