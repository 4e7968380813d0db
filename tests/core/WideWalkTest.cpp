#include <gtest/gtest.h>

#include <random>

#include "core/ByteBlocks.h"
#include "core/Positions.h"
#include "core/TextPrimitives.h"

using namespace velmor;

namespace {

// The character walk byte by byte, as the primitives were first written: the references the
// block-wise versions must agree with.
Text ScalarShift(Text text, char low, char high, char delta) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            ++i;
        } else if (c >= low && c <= high) {
            text[i] = static_cast<char>(c + delta);
        }
    }
    return text;
}

Text ScalarFullWidth(const Text& text) {
    Text result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (i + 1 < text.size()) {
                result += text.substr(i, 2);
            }
            ++i;
        } else if (c == 0x20) {
            result += "\xA1\xA1";
        } else if (c == 0x7E) {
            result += "\xA1\xAB";
        } else if (c >= 0x21 && c <= 0x7D) {
            result += '\xA3';
            result += static_cast<char>(c + 0x80);
        } else {
            result += static_cast<char>(c);
        }
    }
    return result;
}

Text ScalarHalfWidth(const Text& text) {
    Text result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            result += static_cast<char>(c);
            continue;
        }
        if (i + 1 >= text.size()) {
            break;
        }
        const unsigned char t = static_cast<unsigned char>(text[++i]);
        if (c == 0xA1 && t == 0xA1) {
            result += ' ';
        } else if (c == 0xA1 && t == 0xAB) {
            result += '~';
        } else if (c == 0xA1 && (t == 0xEE || t == 0xEF)) {
            result += '*';
        } else if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
            result += static_cast<char>(t - 0x80);
        } else {
            result += static_cast<char>(c);
            result += static_cast<char>(t);
        }
    }
    return result;
}

int ScalarCharacterCount(const Text& text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++count) {
        if (static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size()) {
            ++i;
        }
    }
    return count;
}

// Character starts of the walk from the first byte, where a byte >= 0x80 takes the next.
std::vector<bool> ScalarStarts(const Text& text) {
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        starts[i] = true;
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            ++i;
        }
    }
    return starts;
}

int ScalarFind(const Text& text, const Text& what, int start) {
    const std::vector<bool> starts = ScalarStarts(text.substr(static_cast<std::size_t>(start) - 1));
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (starts[i] &&
            text.compare(i + static_cast<std::size_t>(start) - 1, what.size(), what) == 0 &&
            i + static_cast<std::size_t>(start) - 1 + what.size() <= text.size()) {
            return static_cast<int>(i) + start;
        }
    }
    return -1;
}

TextList ScalarSplit(const Text& text, const Text& separator) {
    TextList members;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, separator.size(), separator) == 0) {
            members.push_back(text.substr(begin, i - begin));
            i += separator.size();
            begin = i;
        } else {
            i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
        }
    }
    if (begin < text.size()) {
        members.push_back(text.substr(begin));
    }
    return members;
}

// Texts that stress the walk: letters next to lead bytes, the bytes the width tables name,
// 0x80, lone lead bytes, and long runs of bytes >= 0x80 crossing the block edges.
class TextSource {
public:
    explicit TextSource(unsigned seed) : m_random(seed) {}

    Text Make(std::size_t length) {
        static const char kBytes[] =
            "aAzZ@[`{ ~\t\r\n0\x7F\x80\x81\xA1\xA3\xAB\xEE\xEF\xD6\xFE\xFF";
        const int style = Pick(4);
        Text text;
        while (text.size() < length) {
            if (style == 0 || Pick(8) == 0) {
                text += kBytes[Pick(sizeof kBytes - 1)];
            } else if (style == 1 && Pick(3) == 0) {
                // A long run of high bytes, odd or even.
                text.append(Pick(140), static_cast<char>(0x80 + Pick(128)));
            } else if (style == 2) {
                text += static_cast<char>(Pick(256) | 1);
            } else {
                text += static_cast<char>(Pick(128));
            }
        }
        text.resize(length);
        for (char& c : text) {
            if (c == '\0') {
                c = 'q';
            }
        }
        return text;
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    std::mt19937 m_random;
};

std::vector<Text> Samples() {
    std::vector<Text> samples;
    TextSource source(12);
    for (std::size_t length = 0; length <= 300; ++length) {
        for (int k = 0; k < 6; ++k) {
            samples.push_back(source.Make(length));
        }
    }
    for (int k = 0; k < 40; ++k) {
        samples.push_back(source.Make(1000 + static_cast<std::size_t>(k) * 37));
    }
    // Runs of every length of high bytes ending just before a letter at each block edge.
    for (std::size_t run = 0; run < 70; ++run) {
        for (std::size_t before : {0u, 1u, 62u, 63u, 64u}) {
            samples.push_back(Text(before, 'x') + Text(run, '\xB0') + "ab~ \xA3\xC1" +
                              Text(130, 'y'));
        }
    }
    return samples;
}

TEST(WideWalk, CaseAgreesWithTheScalarWalk) {
    for (const Text& text : Samples()) {
        ASSERT_EQ(TextUpper(text), ScalarShift(text, 'a', 'z', -0x20))
            << testing::PrintToString(text);
        ASSERT_EQ(TextLower(text), ScalarShift(text, 'A', 'Z', 0x20))
            << testing::PrintToString(text);
    }
}

TEST(WideWalk, WidthAgreesWithTheScalarWalk) {
    for (const Text& text : Samples()) {
        const Text full = ScalarFullWidth(text);
        ASSERT_EQ(FullWidthLength(text), full.size()) << testing::PrintToString(text);
        ASSERT_EQ(TextFullWidth(text), full) << testing::PrintToString(text);
        ASSERT_EQ(TextHalfWidth(text), ScalarHalfWidth(text)) << testing::PrintToString(text);
        ASSERT_EQ(TextHalfWidth(full), ScalarHalfWidth(full)) << testing::PrintToString(text);
    }
}

TEST(WideWalk, CharacterCountAgreesWithTheScalarWalk) {
    for (const Text& text : Samples()) {
        ASSERT_EQ(CharacterCount(text), ScalarCharacterCount(text)) << testing::PrintToString(text);
    }
}

TEST(WideWalk, FindAndSplitAgreeWithTheScalarWalk) {
    for (const Text& text : Samples()) {
        for (const Text& what : {Text("a"), Text("\xB0"), Text("~ "), Text("\xB0\xB0")}) {
            for (int start : {1, 2, 17, 64}) {
                if (static_cast<std::size_t>(start) > text.size()) {
                    continue;
                }
                ASSERT_EQ(TextFind(text, what, start), ScalarFind(text, what, start))
                    << testing::PrintToString(text) << " " << testing::PrintToString(what);
            }
            ASSERT_EQ(TextSplit(text, what), ScalarSplit(text, what))
                << testing::PrintToString(text) << " " << testing::PrintToString(what);
        }
    }
}

TEST(WideWalk, BlockMasksAgreeWithThePortableOnes) {
    TextSource source(3);
    for (int k = 0; k < 2000; ++k) {
        const Text block = source.Make(kBlockBytes);
        ASSERT_EQ(HighByteMask(block.data()), portable_blocks::HighByteMask(block.data()));
        for (auto [low, high] : {std::pair{'a', 'z'}, {'A', 'Z'}, {' ', '~'}, {'\xA1', '\xFE'}}) {
            ASSERT_EQ(ByteRangeMask(block.data(), low, high),
                      portable_blocks::ByteRangeMask(block.data(), low, high));
        }
        ASSERT_EQ(ByteEqualMask(block.data(), '\xA1'),
                  portable_blocks::ByteEqualMask(block.data(), '\xA1'));
        Text wide = block;
        Text narrow = block;
        ASSERT_EQ(ShiftBytesInRange(wide.data(), 'a', 'z', -0x20),
                  portable_blocks::ShiftBytesInRange(narrow.data(), 'a', 'z', -0x20));
        ASSERT_EQ(wide, narrow);
        // The copying forms write what the in-place ones leave, every byte of it.
        Text wideOut(kBlockBytes, '\0');
        Text narrowOut(kBlockBytes, '\0');
        ASSERT_EQ(
            ShiftBytesInRangeTo(block.data(), wideOut.data(), 'a', 'z', -0x20),
            portable_blocks::ShiftBytesInRangeTo(block.data(), narrowOut.data(), 'a', 'z', -0x20));
        ASSERT_EQ(wideOut, wide);
        ASSERT_EQ(narrowOut, wide);
        for (std::size_t end = 16; end <= kBlockBytes; ++end) {
            ASSERT_EQ(HighRunBefore16(block.data() + end),
                      portable_blocks::HighRunBefore16(block.data() + end));
        }
    }
}

TEST(WideWalk, LeadMaskFollowsTheWalkAcrossBlocks) {
    TextSource source(9);
    for (int k = 0; k < 500; ++k) {
        const Text text = source.Make(kBlockBytes * 4);
        std::uint64_t expected[4] = {};
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (static_cast<unsigned char>(text[i]) >= 0x80) {
                expected[i / 64] |= std::uint64_t{1} << (i % 64);
                ++i;
            }
        }
        bool trailFirst = false;
        for (std::size_t b = 0; b < 4; ++b) {
            ASSERT_EQ(LeadMask(HighByteMask(text.data() + b * 64), trailFirst), expected[b]);
        }
    }
}

}  // namespace
