#include "search/Find.h"

#include <algorithm>
#include <climits>

#include "core/CodePage936.h"
#include "core/Positions.h"
#include "core/TextPrimitives.h"

namespace velmor {

namespace {

constexpr const char* kKeywordBox = "编辑框1";
constexpr const char* kCaseBox = "选择框1";
constexpr const char* kPreviousButton = "搜寻上一个按钮";
constexpr const char* kNextButton = "搜寻下一个按钮";

void EnableButtons(DialogFields& fields, bool enabled) {
    fields.At(kPreviousButton).enabled = enabled;
    fields.At(kNextButton).enabled = enabled;
}

}  // namespace

void RunFind(const FindState& state, EditorAccess& editor, FindDirection direction) {
    if (state.keyword.empty()) {
        return;
    }
    const TextLease lease = editor.LendText();
    const Text& text = lease.Get();
    const long long start = editor.SelectionStart();
    const long long end = std::clamp<long long>(start + editor.SelectionLength(), 0, INT_MAX);
    const int b = ByteOffsetOfCharacters(text, static_cast<int>(start));
    const int m = ByteOffsetOfCharacters(text, static_cast<int>(end)) - b;
    const int found = direction == FindDirection::Next
                          ? TextFind(text, state.keyword, b + m + 1, state.ignoreCase)
                          : TextFindLast(text, state.keyword, b + 1, state.ignoreCase);
    if (found == -1) {
        editor.ShowMessage(MessageKind::Error,
                           "未找到更多被搜索的关键字“" + GbkToUtf8(state.keyword) + "”！",
                           kErrorTitle);
        return;
    }
    editor.SetSelectionStart(CharacterIndexOfByte(text, found - 1));
    editor.SetSelectionLength(CharacterCount(state.keyword));
}

DialogDefinition MakeFindDialog(FindState& state) {
    DialogDefinition definition;
    definition.title = "搜寻";
    definition.createControls = [](DialogFields& fields) {
        fields.Add("标签1", ControlKind::Label).caption = "请输入欲搜寻的文本：";
        fields.Add(kKeywordBox, ControlKind::EditBox);
        fields.Add(kCaseBox, ControlKind::CheckBox).caption = "英文字母区分大小写";
        fields.Add(kPreviousButton, ControlKind::Button).caption = "&P.搜寻上一个";
        fields.Add(kNextButton, ControlKind::Button).caption = "&N.搜寻下一个";
    };
    definition.onOpen = [&state](DialogFields& fields, CommandContext&) {
        fields.At(kKeywordBox).text = state.keyword;
        fields.At(kCaseBox).checked = !state.ignoreCase;
        EnableButtons(fields, !state.keyword.empty());
    };
    definition.onChange[kKeywordBox] = [&state](DialogFields& fields, CommandContext&) {
        state.keyword = fields.TextOf(kKeywordBox);
        EnableButtons(fields, !state.keyword.empty());
    };
    definition.onClick[kCaseBox] = [&state](DialogFields& fields, CommandContext&) {
        state.ignoreCase = !fields.IsChecked(kCaseBox);
    };
    definition.onPress[kPreviousButton] = [&state](DialogFields&, CommandContext& context) {
        RunFind(state, context.editor, FindDirection::Previous);
    };
    definition.onPress[kNextButton] = [&state](DialogFields&, CommandContext& context) {
        RunFind(state, context.editor, FindDirection::Next);
    };
    definition.actionButton = kNextButton;
    return definition;
}

}  // namespace velmor
