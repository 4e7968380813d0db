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

}  // namespace velmor
