#include "core/ResultSizeLimit.h"

namespace velmor {

bool WriteResultOrRefuse(EditorAccess& editor, std::optional<Text> result, const char* message) {
    if (!result) {
        editor.ShowMessage(MessageKind::Error, message, kErrorTitle);
        return false;
    }
    editor.ReplaceText(std::move(*result));
    return true;
}

}  // namespace velmor
