#include "transform/PositionTimeCommands.h"

namespace velmor {

// The time commands under "&A.修正" → "时间". "保留指定位置" is a mode of the regular-expression
// dialog and is registered with it.
void RegisterPositionTimeCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        const char* shortcut;
        bool supportNotice;
        CommandFunction run;
    };
    const Entry entries[] = {
        {"&T.插入时间", "Ctrl+T", true, RunInsertTime},
        {"时分秒到秒", "", false, RunHoursMinutesSecondsToSeconds},
        {"秒到时分秒", "", false, RunSecondsToHoursMinutesSeconds},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.shortcut = entry.shortcut;
        command.supportNotice = entry.supportNotice;
        command.run = entry.run;
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
