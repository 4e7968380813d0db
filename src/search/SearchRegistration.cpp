#include "core/CommandRegistry.h"
#include "search/RegexDialog.h"
#include "search/ReplaceDialogs.h"

namespace velmor {

// Every command of search and replace. Find acts on the window's selection and keeps its
// keyword in the window, so the window binds it.
void RegisterSearchCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        bool supportNotice;
        const DialogDefinition* dialog;
    };
    const Entry entries[] = {
        {"&F.查找", "Ctrl+F", true, nullptr},
        {"&P.查找上一个", "Shift+F3", false, nullptr},
        {"&N.查找下一个", "F3", false, nullptr},
        {"&R.基本替换", "Ctrl+H", false, &BasicReplaceDialog()},
        {"换行符前后文本", "", true, &LineBreakReplaceDialog()},
        {"Tab前后文本", "", true, &TabReplaceDialog()},
        {"&Z.正则替换/提取", "", true, &RegexDialog(RegexDialogMode::RegexReplace)},
        {"保留指定位置", "", true, &RegexDialog(RegexDialogMode::KeepPosition)},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.shortcut = entry.shortcut;
        command.supportNotice = entry.supportNotice;
        command.windowOnly = entry.dialog == nullptr;
        command.dialog = entry.dialog;
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
