#include "generate/GenerateDialogs.h"

namespace velmor {

// The dialog commands of the "生成" menu.
void RegisterGenerateCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        const DialogDefinition& dialog;
    };
    const Entry entries[] = {
        {"带序号文本", "", NumberedTextDialog()},
        {"变量文本", "Ctrl+L", VariableTextDialog()},
        {"账号密码", "", AccountsDialog()},
        {"随机文本", "", RandomTextDialog()},
    };
    for (const Entry& entry : entries) {
        registry.AddDialog(entry.caption, entry.shortcut, entry.dialog);
    }
}

}  // namespace velmor
