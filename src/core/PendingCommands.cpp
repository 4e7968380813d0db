#include "core/CommandRegistry.h"

namespace velmor {

// Menu items whose commands are not built yet: they show in the menu, disabled, with their
// shortcut. A subsystem that builds one registers it itself and removes it from here.
void RegisterPendingCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        bool supportNotice;
        bool windowOnly;
    };
    static const Entry entries[] = {
        {"汉字", "", false, false},
        {"字母", "", false, false},
        {"数字", "", false, false},
        {"符号", "", false, false},
        {"多换行符变单换行符", "", false, false},
        {"连续换行符数量变更", "", true, false},
        {"分割文本", "", true, false},
        {"编码/解码", "", false, false},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.shortcut = entry.shortcut;
        command.supportNotice = entry.supportNotice;
        command.windowOnly = entry.windowOnly;
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
