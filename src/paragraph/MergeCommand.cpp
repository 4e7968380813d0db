#include <cstdint>
#include <cstdlib>

#include "paragraph/ParagraphCommands.h"
#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

// Joins every groupSize paragraphs into one, or all of them for a group size of 0.
void JoinParagraphs(CommandContext& context, std::uint64_t groupSize) {
    RewriteParagraphs(context.editor, MaxResultBytes(context.services), 0,
                      [groupSize](std::string_view text, auto& sink) {
                          ParagraphWalker walker(text);
                          std::uint64_t inGroup = 0;
                          for (std::string_view paragraph; walker.Next(paragraph);) {
                              sink.Add(paragraph);
                              if (++inGroup == groupSize) {
                                  sink.Add(kCrLf);
                                  inGroup = 0;
                              }
                          }
                      });
}

void MergeParagraphs(DialogFields& fields, CommandContext& context) {
    if (fields.IsChecked("单选框_一段")) {
        JoinParagraphs(context, 0);
        return;
    }
    if (!fields.IsChecked("单选框_多段")) {
        return;
    }
    // A group size of 0 divides nothing: the document is left as it is, with no undo step.
    const std::int64_t groupSize =
        std::llabs(static_cast<std::int64_t>(fields.NumberOf("编辑框1")));
    if (groupSize == 0) {
        return;
    }
    JoinParagraphs(context, static_cast<std::uint64_t>(groupSize));
}

}  // namespace

const DialogDefinition& MergeParagraphsDialog() {
    static const DialogDefinition definition = MakeParagraphDialog(
        "段合并",
        [](DialogFields& fields) {
            AddRadioButton(fields, "单选框_多段", "每几段合并为一段：", "合并", false);
            Control& count = fields.Add("编辑框1", ControlKind::EditBox);
            count.digitsOnly = true;
            count.minusAllowed = true;
            AddRadioButton(fields, "单选框_一段", "合并为一段", "合并", true);
            AddCaptioned(fields, "按钮1", ControlKind::Button, "确定");
        },
        MergeParagraphs);
    return definition;
}

}  // namespace velmor
