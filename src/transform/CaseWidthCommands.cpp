#include "core/ResultSizeLimit.h"
#include "core/TextPrimitives.h"
#include "transform/TransformCommands.h"

namespace velmor {

namespace {

std::size_t SameSize(std::size_t count) {
    return count;
}

// The case maps change a byte from a to z (A to Z) where the character walk finds a character
// of its own: in text converted from well-formed UTF-8 that is such a letter or, behind the
// euro sign's one byte, the letter trail byte of a two-byte code, and every such pair is a
// character in either case. The half-width map turns pairs the walk finds into one byte, which
// behind the euro sign need not be a character's.
constexpr PieceMap kUpper{CharacterWalkRestart,
                          SameSize,
                          [](std::string_view text, char* out) {
                              WriteUpper(text, out);
                              return text.size();
                          },
                          [](Text& text) { UpperInPlace(text); },
                          true,
                          PieceMap::Utf8Result::WellFormed};
constexpr PieceMap kLower{CharacterWalkRestart,
                          SameSize,
                          [](std::string_view text, char* out) {
                              WriteLower(text, out);
                              return text.size();
                          },
                          [](Text& text) { LowerInPlace(text); },
                          true,
                          PieceMap::Utf8Result::WellFormed};
constexpr PieceMap kHalfWidth{
    CharacterWalkRestart,
    SameSize,
    [](std::string_view text, char* out) { return WriteHalfWidth(text, out); },
    [](Text& text) { HalfWidthInPlace(text); },
    true,
    PieceMap::Utf8Result::WellFormedWithoutEuroSign};

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
