#include "core/CommandRegistry.h"
#include "paragraph/ParagraphCommands.h"

namespace velmor {

// The paragraph commands under "段" and the space commands under "空格".
void RegisterParagraphCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        const DialogDefinition& dialog;
    };
    const Entry entries[] = {
        {"段前增减", "", IndentParagraphsDialog()},
        {"删除", "", DeleteSpacesDialog()},
        {"插入序号文本", "Ctrl+K", InsertNumberedTextDialog()},
        {"插入固定文本", "", InsertFixedTextDialog()},
        {"插入整段", "", InsertWholeParagraphDialog()},
        {"删除/保留段", "", DeleteKeepParagraphsDialog()},
        {"删除/保留段部分", "", ParagraphPartDialog()},
        {"合并", "", MergeParagraphsDialog()},
    };
    for (const Entry& entry : entries) {
        registry.AddDialog(entry.caption, entry.shortcut, entry.dialog);
    }
}

}  // namespace velmor
