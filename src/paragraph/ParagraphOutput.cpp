#include "paragraph/ParagraphOutput.h"

#include "core/EditorAccess.h"

namespace velmor {

bool WriteOutput(EditorAccess& editor, std::optional<Text> output) {
    if (!output) {
        editor.ShowMessage(MessageKind::Error, "结果文本将超过1GB，文本未作改变。", kErrorTitle);
        return false;
    }
    editor.ReplaceText(std::move(*output));
    return true;
}

}  // namespace velmor
