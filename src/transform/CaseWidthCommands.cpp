#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "transform/TransformCommands.h"

namespace velmor {

namespace {

std::size_t SameSize(std::size_t count) {
    return count;
}

// The case and half-width maps walk characters and change whole characters into characters.
constexpr PieceMap kUpper{CharacterWalkRestart,
                          SameSize,
                          [](std::string_view text, char* out) {
                              WriteUpper(text, out);
                              return text.size();
                          },
                          [](Text& text) { UpperInPlace(text); },
                          true,
                          false,
                          true};
constexpr PieceMap kLower{CharacterWalkRestart,
                          SameSize,
                          [](std::string_view text, char* out) {
                              WriteLower(text, out);
                              return text.size();
                          },
                          [](Text& text) { LowerInPlace(text); },
                          true,
                          false,
                          true};
constexpr PieceMap kHalfWidth{
    CharacterWalkRestart,
    SameSize,
    [](std::string_view text, char* out) { return WriteHalfWidth(text, out); },
    [](Text& text) { HalfWidthInPlace(text); },
    true,
    false,
    true};

}  // namespace

const PieceMap& UpperMap() {
    return kUpper;
}
const PieceMap& LowerMap() {
    return kLower;
}
const PieceMap& HalfWidthMap() {
    return kHalfWidth;
}

void RunToUpper(CommandContext& context) {
    context.editor.MapText([](std::string_view text, char* out) { kUpper.write(text, out); });
}
void RunToLower(CommandContext& context) {
    context.editor.MapText([](std::string_view text, char* out) { kLower.write(text, out); });
}
void RunToHalfWidth(CommandContext& context) {
    context.editor.RewriteText(kHalfWidth.rewrite);
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
