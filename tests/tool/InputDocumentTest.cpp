#include <gtest/gtest.h>

#include <random>

#include "InputDocument.h"
#include "core/CodePage936.h"

namespace velmor {
namespace {

std::string RandomInput(std::mt19937& random, std::size_t length) {
    static const std::string kPieces[] = {"ab",       "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                          "\xC3\xA9", "\xE4\xB8",     "\x80",
                                          "\xFF",     "\xD6\xD0",     "\r\n"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::string text;
    while (text.size() < length) {
        text += kPieces[pick(random)];
    }
    return text;
}

// Feeds input in pieces of random sizes, as reading a pipe would.
Text Build(const std::string& input, bool utf8, std::mt19937& random) {
    InputDocument document(utf8);
    std::uniform_int_distribution<std::size_t> size(0, 7);
    for (std::size_t at = 0; at < input.size();) {
        const std::size_t take = std::min(size(random), input.size() - at);
        document.Add(std::string_view(input).substr(at, take), 0);
        at += take;
    }
    return document.Finish();
}

TEST(InputDocument, PiecesGiveWhatTheWholeInputGives) {
    std::mt19937 random(6);
    for (int k = 0; k < 400; ++k) {
        std::string input = RandomInput(random, static_cast<std::size_t>(k % 60));
        if (k % 5 == 0 && !input.empty()) {
            input.insert(input.size() / 2, 1, '\0');
        }
        const std::string beforeZero = input.substr(0, input.find('\0'));
        ASSERT_EQ(Build(input, true, random), Utf8ToGbk(beforeZero))
            << testing::PrintToString(input);
        ASSERT_EQ(Build(input, false, random), beforeZero) << testing::PrintToString(input);
    }
}

TEST(InputDocument, AFileSizeHintOnlyReserves) {
    InputDocument document(true);
    document.Add("\xE4\xB8", 1000);
    document.Add(
        "\xAD"
        "a",
        1000);
    EXPECT_EQ(document.Finish(),
              "\xD6\xD0"
              "a");
}

}  // namespace
}  // namespace velmor
