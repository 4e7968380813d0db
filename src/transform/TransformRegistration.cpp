#include "transform/TransformCommands.h"

namespace velmor {

// Every command of the character and line transforms, as the menu and the batch runner see it.
void RegisterTransformCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        CommandFunction run;
    };
    const Entry entries[] = {
        {"到大写", RunToUpper},       {"到小写", RunToLower},     {"到简体", RunToSimplified},
        {"到繁体", RunToTraditional}, {"到全角", RunToFullWidth}, {"到半角", RunToHalfWidth},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.supportNotice = true;
        command.run = entry.run;
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
