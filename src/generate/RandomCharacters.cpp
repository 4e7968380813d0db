#include "generate/RandomCharacters.h"

#include <string_view>

namespace velmor {

namespace {

constexpr std::string_view kDigitsThenLetters =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

char RandomCharacter(RandomGenerator& random, int kind) {
    if (kind == kDigitCharacters) {
        return static_cast<char>(random.RandomBetween(48, 57));
    }
    if (kind == kLetterCharacters) {
        const int which = random.RandomBetween(1, 2);
        const int upper = random.RandomBetween(65, 90);
        const int lower = random.RandomBetween(97, 122);
        return static_cast<char>(which == 1 ? upper : lower);
    }
    const int which = random.RandomBetween(1, 3);
    const int upper = random.RandomBetween(65, 90);
    const int lower = random.RandomBetween(97, 122);
    const int digit = random.RandomBetween(48, 57);
    return static_cast<char>(which == 1 ? upper : which == 2 ? lower : digit);
}

bool IsKnownKind(int kind) {
    return kind >= kDigitCharacters && kind <= kDigitAndLetterCharacters;
}

}  // namespace

void AppendRandomCharacters(RandomGenerator& random, std::int64_t count, int kind, Text& out) {
    random.SeedRandom();
    if (!IsKnownKind(kind) || count <= 0) {
        return;
    }
    out.reserve(out.size() + static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        out += RandomCharacter(random, kind);
    }
}

Text RandomCharacters(RandomGenerator& random, std::int64_t count, int kind) {
    Text text;
    AppendRandomCharacters(random, count, kind, text);
    return text;
}

void AppendSecureCharacters(SecureDraw& draw, std::int64_t count, int kind, Text& out) {
    if (!IsKnownKind(kind) || count <= 0) {
        return;
    }
    const std::string_view set = kind == kDigitCharacters    ? kDigitsThenLetters.substr(0, 10)
                                 : kind == kLetterCharacters ? kDigitsThenLetters.substr(10)
                                                             : kDigitsThenLetters;
    out.reserve(out.size() + static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        out += set[draw.Below(static_cast<std::uint32_t>(set.size()))];
    }
}

}  // namespace velmor
