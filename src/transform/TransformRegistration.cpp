#include "transform/TransformCommands.h"

namespace velmor {

// Every command of the character and line transforms, as the menu and the batch runner see it.
void RegisterTransformCommands(CommandRegistry& registry) {
    struct Entry {
        const char* caption;
        CommandFunction run;
        const PieceMap* map = nullptr;
    };
    const Entry entries[] = {
        {"到大写", RunToUpper, &UpperMap()}, {"到小写", RunToLower, &LowerMap()},
        {"到简体", RunToSimplified},         {"到繁体", RunToTraditional},
        {"到全角", RunToFullWidth},          {"到半角", RunToHalfWidth, &HalfWidthMap()},
    };
    for (const Entry& entry : entries) {
        Command command;
        command.caption = entry.caption;
        command.supportNotice = true;
        command.run = entry.run;
        if (entry.map != nullptr) {
            command.pieceMap = [map = entry.map](const DialogFields*) { return map; };
        }
        registry.Add(std::move(command));
    }
}

}  // namespace velmor
