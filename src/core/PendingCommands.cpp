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
        {"取网址源码", "", true, false},
        {"合并/拆分", "", false, false},
        {"增/删 文件头/尾", "", false, false},
        {"编码转换", "", false, false},
        {"&F.查找", "Ctrl+F", true, true},
        {"&P.查找上一个", "Shift+F3", false, true},
        {"&N.查找下一个", "F3", false, true},
        {"&R.基本替换", "Ctrl+H", false, false},
        {"换行符前后文本", "", true, false},
        {"Tab前后文本", "", true, false},
        {"&Z.正则替换/提取", "", true, false},
        {"段前增减", "", true, false},
        {"删除", "", true, false},
        {"保留指定位置", "", true, false},
        {"插入序号文本", "Ctrl+K", true, false},
        {"插入固定文本", "", true, false},
        {"插入整段", "", true, false},
        {"删除/保留段", "", true, false},
        {"删除/保留段部分", "", true, false},
        {"合并", "", true, false},
        {"&T.插入时间", "Ctrl+T", true, false},
        {"时分秒到秒", "", false, false},
        {"秒到时分秒", "", false, false},
        {"运行VBS", "F8", false, false},
        {"运行BAT", "F9", false, false},
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
