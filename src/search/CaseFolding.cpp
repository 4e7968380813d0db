#include "search/CaseFolding.h"

#include <wctype.h>

#include <locale.h>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>

namespace velmor {

namespace {

constexpr char32_t kPlaneEnd = 0x10000;

// Characters whose full upper case is more than one character: they keep their own case.
constexpr std::pair<char32_t, char32_t> kMultiCharacterUpper[] = {
    {0x00DF, 0x00DF}, {0x0149, 0x0149}, {0x01F0, 0x01F0}, {0x0390, 0x0390}, {0x03B0, 0x03B0},
    {0x0587, 0x0587}, {0x1E96, 0x1E9A}, {0x1F50, 0x1F50}, {0x1F52, 0x1F52}, {0x1F54, 0x1F54},
    {0x1F56, 0x1F56}, {0x1F80, 0x1FAF}, {0x1FB2, 0x1FB4}, {0x1FB6, 0x1FB7}, {0x1FBC, 0x1FBC},
    {0x1FC2, 0x1FC4}, {0x1FC6, 0x1FC7}, {0x1FCC, 0x1FCC}, {0x1FD2, 0x1FD3}, {0x1FD6, 0x1FD7},
    {0x1FE2, 0x1FE4}, {0x1FE6, 0x1FE7}, {0x1FF2, 0x1FF4}, {0x1FF6, 0x1FF7}, {0x1FFC, 0x1FFC},
    {0xFB00, 0xFB06}, {0xFB13, 0xFB17},
};

bool HasMultiCharacterUpper(char32_t c) {
    return std::any_of(std::begin(kMultiCharacterUpper), std::end(kMultiCharacterUpper),
                       [c](const auto& range) { return c >= range.first && c <= range.second; });
}

struct CaseTables {
    std::array<std::uint16_t, kPlaneEnd> canonical{};
    // (canonical, character) for every cased character, sorted.
    std::vector<std::pair<char32_t, char32_t>> byCanonical;
    std::vector<char32_t> cased;
};

const CaseTables& Tables() {
    static const auto tables = [] {
        auto t = std::make_unique<CaseTables>();
        // The Unicode case tables of the C library; without them only ASCII has case.
        locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        for (char32_t c = 0; c < kPlaneEnd; ++c) {
            char32_t upper = c;
            if (c >= 'a' && c <= 'z') {
                upper = c - 'a' + 'A';
            } else if (c >= 0x80 && unicode != locale_t{} && !HasMultiCharacterUpper(c) &&
                       (c < 0xD800 || c > 0xDFFF)) {
                upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), unicode));
                if (upper < 0x80 || upper >= kPlaneEnd) {
                    upper = c;
                }
            }
            t->canonical[c] = static_cast<std::uint16_t>(upper);
        }
        if (unicode != locale_t{}) {
            freelocale(unicode);
        }
        std::vector<int> groupSize(kPlaneEnd, 0);
        for (char32_t c = 0; c < kPlaneEnd; ++c) {
            ++groupSize[t->canonical[c]];
        }
        for (char32_t c = 0; c < kPlaneEnd; ++c) {
            if (groupSize[t->canonical[c]] > 1) {
                t->byCanonical.emplace_back(t->canonical[c], c);
                t->cased.push_back(c);
            }
        }
        std::sort(t->byCanonical.begin(), t->byCanonical.end());
        return t;
    }();
    return *tables;
}

}  // namespace

char32_t CanonicalCase(char32_t c) {
    return c < kPlaneEnd ? Tables().canonical[c] : c;
}

std::vector<char32_t> CaseEquivalents(char32_t c) {
    const auto& byCanonical = Tables().byCanonical;
    const char32_t canonical = CanonicalCase(c);
    auto it = std::lower_bound(byCanonical.begin(), byCanonical.end(),
                               std::pair<char32_t, char32_t>{canonical, 0});
    std::vector<char32_t> result;
    for (; it != byCanonical.end() && it->first == canonical; ++it) {
        result.push_back(it->second);
    }
    if (result.empty()) {
        result.push_back(c);
    }
    return result;
}

const std::vector<char32_t>& CasedCharacters() {
    return Tables().cased;
}

}  // namespace velmor
