#include "core/LargeText.h"
#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "transform/TransformCommands.h"

namespace velmor {

void RunToUpper(CommandContext& context) {
    context.editor.RewriteText(UpperInPlace);
}
void RunToLower(CommandContext& context) {
    context.editor.RewriteText(LowerInPlace);
}
void RunToHalfWidth(CommandContext& context) {
    context.editor.RewriteText(HalfWidthInPlace);
}

void RunToFullWidth(CommandContext& context) {
    std::optional<Text> result;
    {
        const TextLease lease = context.editor.LendText();
        const Text& text = lease.Get();
        // Sized first, so that a text that would pass the limit is refused before allocating.
        const std::size_t length = FullWidthLength(text);
        if (length <= kMaxResultBytes) {
            result.emplace();
            ResizeLargeText(*result, length);
            WriteFullWidth(text, result->data());
        }
    }
    WriteResultOrRefuse(context.editor, std::move(result));
}

}  // namespace velmor
