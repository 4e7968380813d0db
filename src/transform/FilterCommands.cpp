#include "core/CodePage936.h"
#include "core/LargeText.h"
#include "core/Utf8.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {

namespace {

bool IsAsciiDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A byte the code page conversion let through undecoded counts as a character of its own
// outside every class but "汉字" and "符号".
bool Keeps(CharacterFilter filter, const Utf8Item& item) {
    const char32_t c = item.codePoint;
    switch (filter) {
        case CharacterFilter::Chinese:
            return !item.wellFormed || c < 0x20 || c > 0x7F;
        case CharacterFilter::Letters:
            return item.wellFormed && IsAsciiLetter(c);
        case CharacterFilter::Digits:
            return item.wellFormed && IsAsciiDigit(c);
        case CharacterFilter::Symbols:
            return !item.wellFormed ||
                   !(IsAsciiDigit(c) || IsAsciiLetter(c) || (c >= 0x4E00 && c <= 0x9FA5));
    }
    return false;
}

void RunFilter(CommandContext& context, CharacterFilter filter) {
    context.editor.ReplaceText(FilterCharacters(context.editor.LendText().Get(), filter));
}

}  // namespace

Text FilterCharacters(const Text& text, CharacterFilter filter) {
    std::string kept;
    {
        const std::string utf8 = GbkToUtf8(text);
        ReserveLargeText(kept,
                         filter == CharacterFilter::Chinese || filter == CharacterFilter::Symbols
                             ? utf8.size()
                             : utf8.size() / 4,
                         0);
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
        const auto* const end = p + utf8.size();
        while (p < end) {
            const Utf8Item item = ReadUtf8Item(p, end);
            if (Keeps(filter, item)) {
                kept.append(reinterpret_cast<const char*>(p),
                            static_cast<std::size_t>(item.length));
            }
            p += item.length;
        }
    }
    return Utf8ToGbk(kept);
}

void RunFilterChinese(CommandContext& context) {
    RunFilter(context, CharacterFilter::Chinese);
}

void RunFilterLetters(CommandContext& context) {
    RunFilter(context, CharacterFilter::Letters);
}

void RunFilterDigits(CommandContext& context) {
    RunFilter(context, CharacterFilter::Digits);
}

void RunFilterSymbols(CommandContext& context) {
    RunFilter(context, CharacterFilter::Symbols);
}

}  // namespace velmor
