#include "core/GbkCharacter.h"
#include "core/LargeText.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {

namespace {

bool IsAsciiDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Raw units (kRawByteBase + byte) stand outside every class but "汉字" and "符号".
bool Keeps(CharacterFilter filter, char32_t c) {
    switch (filter) {
        case CharacterFilter::Chinese:
            return c < 0x20 || c > 0x7F;
        case CharacterFilter::Letters:
            return IsAsciiLetter(c);
        case CharacterFilter::Digits:
            return IsAsciiDigit(c);
        case CharacterFilter::Symbols:
            return !(IsAsciiDigit(c) || IsAsciiLetter(c) || (c >= 0x4E00 && c <= 0x9FA5));
    }
    return false;
}

void RunFilter(CommandContext& context, CharacterFilter filter) {
    context.editor.ReplaceText(FilterCharacters(context.editor.LendText().Get(), filter));
}

}  // namespace

// Each kept character is copied as its own bytes, so kept stray bytes stay apart: converted
// back together they could join into a character that was never there.
Text FilterCharacters(const Text& text, CharacterFilter filter) {
    Text kept;
    ReserveLargeText(kept,
                     filter == CharacterFilter::Chinese || filter == CharacterFilter::Symbols
                         ? text.size()
                         : text.size() / 4,
                     0);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            if (Keeps(filter, *p)) {
                kept += static_cast<char>(*p);
            }
            ++p;
            continue;
        }
        const GbkCharacter character = ReadGbkCharacter(p, end);
        if (character.rawPair) {
            // Two characters of one byte each.
            for (const unsigned char byte : {p[0], p[1]}) {
                if (Keeps(filter, RawUnit(byte))) {
                    kept += static_cast<char>(byte);
                }
            }
        } else if (Keeps(filter, character.codePoint)) {
            kept.append(reinterpret_cast<const char*>(p),
                        static_cast<std::size_t>(character.length));
        }
        p += character.length;
    }
    return kept;
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
