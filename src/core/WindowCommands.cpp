#include "core/CommandRegistry.h"

namespace velmor {

// Commands that only act on the window, its document file, the selection or the clipboard.
// The window binds their handlers; the batch runner does not offer them.
void RegisterWindowCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        bool supportNotice;
    };
    static const Entry entries[] = {
        {"&N.新建", "Ctrl+N", false}, {"&O.打开", "Ctrl+O", false}, {"&S.保存", "Ctrl+S", true},
        {"&A.另存为", "", false},     {"&P.打印", "Ctrl+P", false}, {"&X.退出", "", false},
        {"&U.撤消", "Ctrl+Z", false}, {"重做", "Ctrl+Y", false},    {"&X.剪切", "Ctrl+X", true},
        {"&C.复制", "Ctrl+C", true},  {"&P.粘贴", "Ctrl+V", true},  {"&A.全选", "Ctrl+A", true},
        {"&W.自动换行", "", false},   {"&F.字体", "", false},       {"&A.关于...", "", false},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.shortcut = entry.shortcut;
        command.supportNotice = entry.supportNotice;
        command.windowOnly = true;
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
