#include <cstdint>
#include <cstdlib>

#include "core/TextPrimitives.h"
#include "paragraph/ParagraphCommands.h"
#include "paragraph/ParagraphFamily.h"

namespace velmor {

namespace {

void MergeParagraphs(DialogFields& fields, CommandContext& context) {
    if (fields.IsChecked("单选框_一段")) {
        context.editor.ReplaceText(
            TextReplace(context.editor.LendText().Get(), "\r\n", "", 1, -1, true));
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
    const TextLease lease = context.editor.LendText();
    const Text& text = lease.Get();
    const std::vector<std::string_view> paragraphs = ParagraphList(text);
    WriteResultOrRefuse(context.editor, BuildOutput([&](auto& sink) {
                            for (std::size_t k = 0; k < paragraphs.size(); ++k) {
                                sink.Add(paragraphs[k]);
                                if ((k + 1) % static_cast<std::uint64_t>(groupSize) == 0) {
                                    sink.Add(kCrLf);
                                }
                            }
                        }));
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
