#include <charconv>
#include <cstdint>

#include "paragraph/ParagraphCommands.h"
#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

// Digits and sign of the longest 64-bit number.
constexpr std::size_t kLongestNumber = 20;

const ParagraphFamilyDialog& NumberedTextFamily() {
    static const ParagraphFamilyDialog family{
        kInsertGroupCaption,
        "奇数段",
        true,
        {"编辑框1", "单选框_段首", "单选框_段尾", "单选框_指定", "单选框_倍数", "编辑框_文本左",
         "编辑框_文本右", "编辑框_起始号", "选择框1"},
        {}};
    return family;
}

void InsertNumberedText(DialogFields& fields, CommandContext& context) {
    const ParagraphFamilyDialog& family = NumberedTextFamily();
    const Text& left = fields.TextOf("编辑框_文本左");
    const Text& right = fields.TextOf("编辑框_文本右");
    const bool numbered = fields.IsChecked("选择框1");
    const int start = fields.NumberOf("编辑框_起始号");
    const bool atStart = fields.IsChecked("单选框_段首");
    // The number is a whole number far below 1e13, which the decimal form writes in full.
    const std::uint64_t growth = left.size() + right.size() + (numbered ? kLongestNumber : 0);
    RunParagraphCommand(
        fields, context, family, growth,
        [&](auto& sink, std::size_t number, std::string_view paragraph, bool selected) {
            if (!selected) {
                sink.Add(paragraph);
                sink.Add(kCrLf);
                return;
            }
            if (!atStart) {
                sink.Add(paragraph);
            }
            sink.Add(left);
            if (numbered) {
                char digits[kLongestNumber];
                const auto end = std::to_chars(
                    digits, digits + kLongestNumber,
                    static_cast<std::int64_t>(number) + static_cast<std::int64_t>(start) - 1);
                sink.Add(std::string_view(digits, static_cast<std::size_t>(end.ptr - digits)));
            }
            sink.Add(right);
            if (atStart) {
                sink.Add(paragraph);
            }
            sink.Add(kCrLf);
        });
}

const ParagraphFamilyDialog& FixedTextFamily() {
    static const ParagraphFamilyDialog family{
        kInsertGroupCaption,
        "奇数段",
        true,
        {"编辑框1", "编辑框_文本", "单选框_段首", "单选框_段尾", "单选框_指定", "单选框_倍数"},
        {}};
    return family;
}

void InsertFixedText(DialogFields& fields, CommandContext& context) {
    const Text& inserted = fields.TextOf("编辑框_文本");
    const bool atStart = fields.IsChecked("单选框_段首");
    RunParagraphCommand(fields, context, FixedTextFamily(), inserted.size(),
                        [&](auto& sink, std::size_t, std::string_view paragraph, bool selected) {
                            if (selected && atStart) {
                                sink.Add(inserted);
                            }
                            sink.Add(paragraph);
                            if (selected && !atStart) {
                                sink.Add(inserted);
                            }
                            sink.Add(kCrLf);
                        });
}

const ParagraphFamilyDialog& WholeParagraphFamily() {
    static const ParagraphFamilyDialog family{
        kOperateGroupCaption,
        "奇数段",
        true,
        {"编辑框1", "编辑框_文本", "单选框_指定", "单选框_倍数", "单选框_段前", "单选框_段后"},
        {}};
    return family;
}

void InsertWholeParagraph(DialogFields& fields, CommandContext& context) {
    const Text& inserted = fields.TextOf("编辑框_文本");
    const bool before = fields.IsChecked("单选框_段前");
    RunParagraphCommand(fields, context, WholeParagraphFamily(), inserted.size() + kCrLf.size(),
                        [&](auto& sink, std::size_t, std::string_view paragraph, bool selected) {
                            if (selected && before) {
                                sink.Add(inserted);
                                sink.Add(kCrLf);
                            }
                            sink.Add(paragraph);
                            if (selected && !before) {
                                sink.Add(kCrLf);
                                sink.Add(inserted);
                            }
                            sink.Add(kCrLf);
                        });
}

}  // namespace

const DialogDefinition& InsertNumberedTextDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "插入序号文本",
        [](DialogFields& fields) {
            AddNumberField(fields, NumberedTextFamily(), "分组框1");
            AddCaptioned(fields, "分组框2", ControlKind::GroupBox, "文本内容");
            fields.Add("编辑框_文本左", ControlKind::EditBox);
            AddCaptioned(fields, "标签1", ControlKind::Label, "+");
            AddCaptioned(fields, "选择框1", ControlKind::CheckBox, "起始序号");
            fields.At("选择框1").checked = true;
            Control& start = fields.Add("编辑框_起始号", ControlKind::EditBox);
            start.digitsOnly = true;
            start.minusAllowed = true;
            AddCaptioned(fields, "标签2", ControlKind::Label, "+");
            fields.Add("编辑框_文本右", ControlKind::EditBox);
            AddCaptioned(fields, "分组框3", ControlKind::GroupBox, "首/尾");
            AddRadioButton(fields, "单选框_段首", "段首", "首/尾", true);
            AddRadioButton(fields, "单选框_段尾", "段尾", "首/尾", false);
            AddModeButtons(fields, NumberedTextFamily(), "分组框4");
            AddCaptioned(fields, "按钮1", ControlKind::Button, "执行");
        },
        InsertNumberedText, &NumberedTextFamily());
    return definition;
}

const DialogDefinition& InsertFixedTextDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "插入固定文本",
        [](DialogFields& fields) {
            AddNumberField(fields, FixedTextFamily(), "分组框1");
            AddCaptioned(fields, "分组框2", ControlKind::GroupBox, "文本内容");
            fields.Add("编辑框_文本", ControlKind::EditBox);
            AddCaptioned(fields, "分组框3", ControlKind::GroupBox, "首/尾");
            AddRadioButton(fields, "单选框_段首", "段首", "首/尾", true);
            AddRadioButton(fields, "单选框_段尾", "段尾", "首/尾", false);
            AddModeButtons(fields, FixedTextFamily(), "分组框4");
            AddCaptioned(fields, "按钮1", ControlKind::Button, "执行");
        },
        InsertFixedText, &FixedTextFamily());
    return definition;
}

const DialogDefinition& InsertWholeParagraphDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "插入整段",
        [](DialogFields& fields) {
            AddNumberField(fields, WholeParagraphFamily(), "分组框1");
            AddCaptioned(fields, "分组框2", ControlKind::GroupBox, "段内容");
            fields.Add("编辑框_文本", ControlKind::EditBox);
            AddCaptioned(fields, "分组框3", ControlKind::GroupBox, "前/后");
            AddRadioButton(fields, "单选框_段前", "段前", "前/后", true);
            AddRadioButton(fields, "单选框_段后", "段后", "前/后", false);
            AddModeButtons(fields, WholeParagraphFamily(), "分组框4");
            AddCaptioned(fields, "按钮1", ControlKind::Button, "执行");
        },
        InsertWholeParagraph, &WholeParagraphFamily());
    return definition;
}

}  // namespace velmor
