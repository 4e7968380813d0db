#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "transform/TransformCommands.h"

namespace velmor {

void RunToUpper(CommandContext& context) {
    context.editor.MapText([](std::string_view text, char* out) { WriteUpper(text, out); });
}
void RunToLower(CommandContext& context) {
    context.editor.MapText([](std::string_view text, char* out) { WriteLower(text, out); });
}
void RunToHalfWidth(CommandContext& context) {
    context.editor.RewriteText([](Text& text) { HalfWidthInPlace(text); });
}

void RunToFullWidth(CommandContext& context) {
    std::optional<Text> result;
    {
        const TextLease lease = context.editor.LendText();
        // Sized first, so that a text that would pass the limit is refused before allocating.
        result = FullWidthWithin(lease.Get(), MaxResultBytes(context.services));
    }
    WriteResultOrRefuse(context.editor, std::move(result));
}

}  // namespace velmor
