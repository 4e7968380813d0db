#include "core/CommandRegistry.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {

// The filters under "筛选", the line-break commands and the text split.
void RegisterFilterLineBreakCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        CommandFunction run;
    };
    const Entry direct[] = {
        {"汉字", RunFilterChinese},
        {"字母", RunFilterLetters},
        {"数字", RunFilterDigits},
        {"符号", RunFilterSymbols},
        {"多换行符变单换行符", RunCollapseLineBreaks},
    };
    for (const Entry& entry : direct) {
        Command command;
        command.caption = entry.caption;
        command.run = entry.run;
        registry.Add(std::move(command));
    }
    registry.AddDialog("连续换行符数量变更", "", LineBreakCountDialog());
    registry.AddDialog("分割文本", "", SplitTextDialog());
}

}  // namespace velmor
