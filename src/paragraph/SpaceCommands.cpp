#include <cstdint>

#include "core/Numbers.h"
#include "paragraph/ParagraphCommands.h"
#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

constexpr const char* kIndentTitle = "段前空格";

// Every paragraph starts with exactly n ASCII spaces in place of its leading spaces.
void IndentParagraphs(DialogFields& fields, CommandContext& context) {
    const std::string shownTitle = fields.Title();
    fields.SetTitle(std::string(kIndentTitle) + "——正在调整...");
    const int count = fields.NumberOf("编辑框1");
    const std::uint64_t padding = count > 0 ? static_cast<std::uint64_t>(count) : 0;
    const bool written =
        RewriteParagraphs(context.editor, MaxResultBytes(context.services), padding,
                          [&](std::string_view text, auto& sink) {
                              ParagraphWalker walker(text);
                              for (std::string_view paragraph; walker.Next(paragraph);) {
                                  sink.AddSpaces(padding);
                                  sink.Add(TrimLeftView(paragraph));
                                  sink.Add(kCrLf);
                              }
                          });
    fields.SetTitle(written ? std::string(kIndentTitle) + "——调整完毕！" : shownTitle);
}

const ParagraphFamilyDialog& DeleteSpacesFamily() {
    static const ParagraphFamilyDialog family{
        "需要删除空格的段（多个段 用“,”英文逗号隔开）",
        "奇数",
        true,
        {"编辑框1", "单选框_段首", "单选框_段尾", "单选框_段首尾", "单选框_指定", "单选框_倍数",
         "单选框_奇数", "单选框_每段"},
        {"单选框_段首", "单选框_段尾", "单选框_段首尾"}};
    return family;
}

enum class SpacePart { Start, End, BothEnds, All };

SpacePart ReadSpacePart(const DialogFields& fields) {
    if (fields.IsChecked("单选框_段首")) {
        return SpacePart::Start;
    }
    if (fields.IsChecked("单选框_段尾")) {
        return SpacePart::End;
    }
    if (fields.IsChecked("单选框_段首尾")) {
        return SpacePart::BothEnds;
    }
    return SpacePart::All;
}

void DeleteSpaces(DialogFields& fields, CommandContext& context) {
    const SpacePart part = ReadSpacePart(fields);
    RunParagraphCommand(fields, context, DeleteSpacesFamily(), 0,
                        [&](auto& sink, std::size_t, std::string_view paragraph, bool selected) {
                            if (!selected) {
                                sink.Add(paragraph);
                            } else if (part == SpacePart::Start) {
                                sink.Add(TrimLeftView(paragraph));
                            } else if (part == SpacePart::End) {
                                sink.Add(TrimRightView(paragraph));
                            } else if (part == SpacePart::BothEnds) {
                                sink.Add(TrimView(paragraph));
                            } else {
                                sink.AddWithoutSpaces(paragraph);
                            }
                            sink.Add(kCrLf);
                        });
}

}  // namespace

const DialogDefinition& IndentParagraphsDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        kIndentTitle,
        [](DialogFields& fields) {
            AddCaptioned(fields, "分组框1", ControlKind::GroupBox, "");
            AddCaptioned(fields, "标签1", ControlKind::Label,
                         "要在每段前填充几个空格？默认为4个，也就两个汉字的长度。");
            Control& indent = fields.Add("编辑框1", ControlKind::EditBox);
            indent.text = Text("4");
            indent.digitsOnly = true;
            AddCaptioned(fields, "按钮1", ControlKind::Button, "调整");
        },
        IndentParagraphs);
    return definition;
}

const DialogDefinition& DeleteSpacesDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "删除空格",
        [](DialogFields& fields) {
            AddNumberField(fields, DeleteSpacesFamily(), "分组框2");
            AddModeButtons(fields, DeleteSpacesFamily(), "分组框3");
            AddCaptioned(fields, "分组框1", ControlKind::GroupBox, "需要删除空格部分：");
            const std::string group = "需要删除空格部分";
            AddRadioButton(fields, "单选框_段首", "段首", group, false);
            AddRadioButton(fields, "单选框_段尾", "段尾", group, false);
            AddRadioButton(fields, "单选框_段首尾", "段首尾", group, false);
            AddRadioButton(fields, "单选框_全部", "全部", group, true);
            AddCaptioned(fields, "按钮1", ControlKind::Button, "确定");
        },
        DeleteSpaces, &DeleteSpacesFamily());
    return definition;
}

}  // namespace velmor
