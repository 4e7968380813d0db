#include <cstdint>

#include "core/Numbers.h"
#include "paragraph/ParagraphCommands.h"
#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

const ParagraphFamilyDialog& DeleteKeepFamily() {
    static const ParagraphFamilyDialog family{
        kOperateGroupCaption,
        "奇数",
        false,
        {"编辑框1", "单选框_指定", "单选框_倍数", "单选框_删除", "单选框_保留"},
        {}};
    return family;
}

void DeleteKeepParagraphs(DialogFields& fields, CommandContext& context) {
    const bool keep = fields.IsChecked("单选框_保留");
    RunParagraphCommand(fields, context, DeleteKeepFamily(), 0,
                        [&](auto& sink, std::size_t, std::string_view paragraph, bool selected) {
                            if (selected == keep) {
                                sink.Add(paragraph);
                                sink.Add(kCrLf);
                            }
                        });
}

const ParagraphFamilyDialog& PartFamily() {
    static const ParagraphFamilyDialog family{
        kOperateGroupCaption,
        "奇数段",
        true,
        {"单选框_保留", "单选框_删除", "单选框_首", "单选框_尾", "编辑框_长度"},
        {}};
    return family;
}

std::size_t CharacterLength(std::string_view text, std::size_t offset) {
    return static_cast<unsigned char>(text[offset]) >= 0x80 && offset + 1 < text.size() ? 2 : 1;
}

// The longest start of whole characters within limit bytes, so that a cut never splits a
// double-byte character.
std::size_t WholeCharactersWithin(std::string_view text, std::int64_t limit) {
    if (limit <= 0) {
        return 0;
    }
    if (static_cast<std::uint64_t>(limit) >= text.size()) {
        return text.size();
    }
    const auto bound = static_cast<std::size_t>(limit);
    std::size_t offset = 0;
    while (offset < text.size()) {
        const std::size_t next = offset + CharacterLength(text, offset);
        if (next > bound) {
            break;
        }
        offset = next;
    }
    return offset;
}

// The first character start at or after offset at.
std::size_t CharacterStartFrom(std::string_view text, std::int64_t at) {
    if (at <= 0) {
        return 0;
    }
    if (static_cast<std::uint64_t>(at) >= text.size()) {
        return text.size();
    }
    std::size_t offset = 0;
    while (offset < static_cast<std::size_t>(at)) {
        offset += CharacterLength(text, offset);
    }
    return offset;
}

// The part of the paragraph that stays: the first or last length bytes, or what is left after
// deleting them, moved to whole characters.
std::string_view CutParagraph(std::string_view paragraph, std::int64_t length, bool keep,
                              bool fromStart) {
    const auto size = static_cast<std::int64_t>(paragraph.size());
    if (keep && fromStart) {
        return paragraph.substr(0, WholeCharactersWithin(paragraph, length));
    }
    if (keep) {
        return paragraph.substr(CharacterStartFrom(paragraph, size - length));
    }
    if (fromStart) {
        return paragraph.substr(CharacterStartFrom(paragraph, length));
    }
    return paragraph.substr(0, WholeCharactersWithin(paragraph, size - length));
}

void CutParagraphs(DialogFields& fields, CommandContext& context) {
    const bool keep = fields.IsChecked("单选框_保留");
    const bool fromStart = fields.IsChecked("单选框_首");
    const std::int64_t length = fields.NumberOf("编辑框_长度");
    RunParagraphCommand(fields, context, PartFamily(), 0,
                        [&](auto& sink, std::size_t, std::string_view paragraph, bool selected) {
                            if (selected) {
                                sink.Add(CutParagraph(paragraph, length, keep, fromStart));
                                sink.Add(kCrLf);
                            } else if (!keep) {
                                sink.Add(paragraph);
                                sink.Add(kCrLf);
                            }
                        });
}

}  // namespace

const DialogDefinition& DeleteKeepParagraphsDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "删除/保留段",
        [](DialogFields& fields) {
            AddNumberField(fields, DeleteKeepFamily(), "分组框1");
            AddCaptioned(fields, "分组框2", ControlKind::GroupBox, "删除/保留");
            AddRadioButton(fields, "单选框_删除", "删除", "删除/保留", true);
            AddRadioButton(fields, "单选框_保留", "保留", "删除/保留", false);
            AddModeButtons(fields, DeleteKeepFamily(), "分组框3");
            AddCaptioned(fields, "按钮1", ControlKind::Button, "执行");
        },
        DeleteKeepParagraphs, &DeleteKeepFamily());
    return definition;
}

const DialogDefinition& ParagraphPartDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "段部分",
        [](DialogFields& fields) {
            AddNumberField(fields, PartFamily(), "分组框1");
            AddCaptioned(fields, "分组框2", ControlKind::GroupBox, "");
            AddRadioButton(fields, "单选框_保留", "保留", "保留/删除", true);
            AddRadioButton(fields, "单选框_删除", "删除", "保留/删除", false);
            AddCaptioned(fields, "分组框3", ControlKind::GroupBox, "");
            AddRadioButton(fields, "单选框_首", "首", "首/尾", true);
            AddRadioButton(fields, "单选框_尾", "尾", "首/尾", false);
            AddCaptioned(fields, "标签1", ControlKind::Label, "字符长度：");
            Control& length = fields.Add("编辑框_长度", ControlKind::EditBox);
            length.text = Text("10");
            length.digitsOnly = true;
            length.minusAllowed = true;
            AddModeButtons(fields, PartFamily(), "分组框4");
            AddCaptioned(fields, "按钮1", ControlKind::Button, "确定");
        },
        CutParagraphs, &PartFamily());
    return definition;
}

}  // namespace velmor
