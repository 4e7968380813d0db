#include "generate/Accounts.h"

#include <algorithm>
#include <vector>

#include "generate/GeneratedText.h"
#include "generate/RandomCharacters.h"

namespace velmor {

namespace {

// Four em dashes, A1 AA each.
const Text kSeparator = "\xA1\xAA\xA1\xAA\xA1\xAA\xA1\xAA";

struct Bounds {
    int lo;
    int hi;
};

// RandomBetween's bounds: negative counts as 0, either order.
Bounds OrderedBounds(int a, int b) {
    a = std::max(a, 0);
    b = std::max(b, 0);
    return {std::min(a, b), std::max(a, b)};
}

std::uint64_t LongestString(const StringRule& rule, const AccountDraws& draws) {
    std::int64_t length = 0;
    switch (rule.length) {
        case StringRule::Length::Content:
            return rule.content.size();
        case StringRule::Length::Fixed:
            length = rule.fixedLength;
            break;
        case StringRule::Length::Range:
            length = draws.LongestBetween(rule.shortest, rule.longest);
            break;
    }
    if (rule.letterFirst) {
        return 1 + static_cast<std::uint64_t>(std::max<std::int64_t>(length - 1, 0));
    }
    return static_cast<std::uint64_t>(std::max<std::int64_t>(length, 0));
}

void AppendString(const StringRule& rule, AccountDraws& draws, Text& out) {
    if (rule.length == StringRule::Length::Content) {
        out += rule.content;
        return;
    }
    if (rule.letterFirst) {
        draws.AppendCharacters(1, kLetterCharacters, out);
    }
    const std::int64_t length = rule.length == StringRule::Length::Fixed
                                    ? rule.fixedLength
                                    : draws.LengthBetween(rule.shortest, rule.longest);
    draws.AppendCharacters(rule.letterFirst ? length - 1 : length, kDigitAndLetterCharacters, out);
}

}  // namespace

void GeneratorDraws::Start() {
    m_random.SeedRandom();
}

void GeneratorDraws::AppendCharacters(std::int64_t count, int kind, Text& out) {
    AppendRandomCharacters(m_random, count, kind, out);
}

int GeneratorDraws::LengthBetween(int a, int b) {
    return m_random.RandomBetween(a, b);
}

int GeneratorDraws::LongestBetween(int a, int b) const {
    // The generator's numbers stop at 32767, so a wider range never reaches its top.
    const Bounds bounds = OrderedBounds(a, b);
    return static_cast<int>(std::min<std::int64_t>(bounds.hi, std::int64_t{bounds.lo} + 32767));
}

void SecureDraws::AppendCharacters(std::int64_t count, int kind, Text& out) {
    AppendSecureCharacters(m_draw, count, kind, out);
}

int SecureDraws::LengthBetween(int a, int b) {
    const Bounds bounds = OrderedBounds(a, b);
    return static_cast<int>(m_draw.Between(bounds.lo, bounds.hi));
}

int SecureDraws::LongestBetween(int a, int b) const {
    return OrderedBounds(a, b).hi;
}

std::optional<Text> GenerateAccounts(const AccountsRequest& request, AccountDraws& draws) {
    const std::uint64_t longestAccount = LongestString(request.accounts, draws);
    const std::uint64_t longestLine =
        longestAccount + kSeparator.size() + LongestString(request.passwords, draws) + 2;
    const std::uint64_t lines = static_cast<std::uint64_t>(std::max(request.count, 0));
    if (lines > 0 &&
        (longestLine > kGeneratedTextLimit || lines * longestLine > kGeneratedTextLimit)) {
        return std::nullopt;
    }

    draws.Start();
    // Every account is drawn before the first password, so the accounts wait in one buffer.
    Text accounts;
    accounts.reserve(static_cast<std::size_t>(lines * longestAccount));
    std::vector<std::uint32_t> accountEnds;
    accountEnds.reserve(static_cast<std::size_t>(lines));
    for (std::uint64_t i = 0; i < lines; ++i) {
        AppendString(request.accounts, draws, accounts);
        accountEnds.push_back(static_cast<std::uint32_t>(accounts.size()));
    }

    Text text;
    text.reserve(static_cast<std::size_t>(lines * longestLine));
    std::uint32_t accountStart = 0;
    for (const std::uint32_t accountEnd : accountEnds) {
        text.append(accounts, accountStart, accountEnd - accountStart);
        text += kSeparator;
        AppendString(request.passwords, draws, text);
        text += "\r\n";
        accountStart = accountEnd;
    }
    return text;
}

}  // namespace velmor
