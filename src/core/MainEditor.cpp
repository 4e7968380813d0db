#include "core/MainEditor.h"

#include "core/CodePage936.h"

namespace velmor {

void MainEditor::ReplaceTextWithUtf8(std::string_view utf8) {
    ReplaceText(Utf8ToGbk(utf8));
}

}  // namespace velmor
