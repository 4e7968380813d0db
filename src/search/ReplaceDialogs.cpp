#include "search/ReplaceDialogs.h"

#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "search/MatchTextReplace.h"

namespace velmor {

namespace {

constexpr const char* kReplaceButton = "按钮1";

DialogDefinition MakeBasicReplaceDialog() {
    DialogDefinition definition;
    definition.title = "替换";
    definition.createControls = [](DialogFields& fields) {
        fields.Add("标签1", ControlKind::Label).caption = "查找内容(N)：";
        fields.Add("编辑框1", ControlKind::EditBox);
        fields.Add("标签2", ControlKind::Label).caption = "替换为(P)：";
        fields.Add("编辑框2", ControlKind::EditBox);
        fields.Add("选择框1", ControlKind::CheckBox).caption = "是否区分大小写";
        fields.Add(kReplaceButton, ControlKind::Button).caption = "替换";
    };
    definition.onPress[kReplaceButton] = [](DialogFields& fields, CommandContext& context) {
        ReplaceAllInDocument(context, fields.TextOf("编辑框1"), fields.TextOf("编辑框2"),
                             fields.IsChecked("选择框1"));
    };
    definition.actionButton = kReplaceButton;
    return definition;
}

DialogDefinition MakeSeparatorReplaceDialog(const char* title, const char* separatorLabel,
                                            Text separator) {
    DialogDefinition definition;
    definition.title = title;
    definition.createControls = [separatorLabel](DialogFields& fields) {
        fields.Add("标签1", ControlKind::Label).caption = "寻找文本：";
        fields.Add("编辑框_寻找1", ControlKind::EditBox);
        fields.Add("选择框1", ControlKind::CheckBox);
        fields.Add("标签3", ControlKind::Label).caption = separatorLabel;
        fields.Add("编辑框_寻找2", ControlKind::EditBox);
        fields.Add("标签2", ControlKind::Label).caption = "替换为(P)：";
        fields.Add("编辑框_替换1", ControlKind::EditBox);
        fields.Add("选择框2", ControlKind::CheckBox);
        fields.Add("标签4", ControlKind::Label).caption = separatorLabel;
        fields.Add("编辑框_替换2", ControlKind::EditBox);
        fields.Add("选择框_大小写", ControlKind::CheckBox).caption = "是否区分大小写";
        fields.Add(kReplaceButton, ControlKind::Button).caption = "替换_换行符";
    };
    definition.onPress[kReplaceButton] = [separator](DialogFields& fields,
                                                     CommandContext& context) {
        const auto joined = [&](const char* before, const char* withSeparator, const char* after) {
            return fields.TextOf(before) + (fields.IsChecked(withSeparator) ? separator : Text()) +
                   fields.TextOf(after);
        };
        ReplaceAllInDocument(context, joined("编辑框_寻找1", "选择框1", "编辑框_寻找2"),
                             joined("编辑框_替换1", "选择框2", "编辑框_替换2"),
                             fields.IsChecked("选择框_大小写"));
    };
    definition.actionButton = kReplaceButton;
    return definition;
}

}  // namespace

void ReplaceAllInDocument(CommandContext& context, const Text& find, const Text& replacement,
                          bool caseSensitive) {
    const TextLease lease = context.editor.LendText();
    const Text& text = lease.Get();
    if (!find.empty() && ReplacedSizeExceeds(text, find, replacement, caseSensitive,
                                             MaxResultBytes(context.services))) {
        context.editor.ShowMessage(MessageKind::Error, kResultTooLargeMessage, kErrorTitle);
        return;
    }
    context.editor.ReplaceText(TextReplace(text, find, replacement, 1, -1, caseSensitive));
}

const DialogDefinition& BasicReplaceDialog() {
    static const DialogDefinition definition = MakeBasicReplaceDialog();
    return definition;
}

const DialogDefinition& LineBreakReplaceDialog() {
    static const DialogDefinition definition =
        MakeSeparatorReplaceDialog("替换_换行符", "+    换行符+", "\r\n");
    return definition;
}

const DialogDefinition& TabReplaceDialog() {
    static const DialogDefinition definition =
        MakeSeparatorReplaceDialog("替换_TAB", "+    TAB+", "\t");
    return definition;
}

}  // namespace velmor
