#include "core/TextPrimitives.h"
#include "transform/TransformCommands.h"

namespace velmor {

namespace {

template <Text (*Convert)(const Text&)>
void ConvertDocument(CommandContext& context) {
    context.editor.ReplaceText(Convert(context.editor.ReadText()));
}

}  // namespace

void RunToUpper(CommandContext& context) {
    ConvertDocument<TextUpper>(context);
}
void RunToLower(CommandContext& context) {
    ConvertDocument<TextLower>(context);
}
void RunToFullWidth(CommandContext& context) {
    ConvertDocument<TextFullWidth>(context);
}
void RunToHalfWidth(CommandContext& context) {
    ConvertDocument<TextHalfWidth>(context);
}

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
