#include <gtest/gtest.h>

#include <random>

#include "../support/RandomText.h"
#include "codec/Base64Codec.h"
#include "codec/HexCodec.h"
#include "core/CodePage936.h"
#include "core/ParallelPieces.h"
#include "core/TextPrimitives.h"
#include "transform/FilterLineBreakCommands.h"

namespace velmor {
namespace {

constexpr PieceSplit kOnePiece{1, 0};

// Cuts at every line feed, at about every seventh byte, into three, and into pieces longer
// than the 64-byte blocks of the walks, whose blocks then start where the pieces do.
const PieceSplit kSplits[] = {{1u << 20, 1}, {1u << 20, 7}, {3, 1}, {1u << 20, 100}, {5, 1}};

// Texts whose line feeds sit next to and inside what the character walks read as one: a lone
// lead byte before a line feed (which then reads as its trail), double-byte and four-byte
// characters on either side, CR LF, and a text with no line feed at all.
std::vector<Text> SplitTexts() {
    std::vector<Text> texts = {
        "",
        "\n",
        "abc",
        "\xD6\xD0\n\xCE\xC4",
        "\xD6\n\xD0\n",
        "\n\xD6",
        "a\xD6\n",
        "\x81\x30\x81\x30\n\x81\x30\x81\x30",
        "\x81\x30\n\x81\x30",
        "\x81\n\x30\x81\x30\n",
        "\xA3\xC1\n\xA1\xA1\n\xA1\n\xA3",
        "ab c~\r\n\r\n\xA3\xE1\xA3",
        "\x80\n\xFF\n",
    };
    std::mt19937 random(17);
    for (int k = 0; k < 20; ++k) {
        Text text = test::RandomValidText(random, 60);
        for (int cut = 0; cut < 12; ++cut) {
            const std::size_t at = random() % (text.size() + 1);
            // A line feed anywhere, a lone lead byte before some.
            text.insert(at, random() % 3 == 0 ? "\xB0\n" : "\n");
        }
        if (k % 4 == 0) {
            text += '\xD6';
        }
        texts.push_back(text);
    }
    // Lines of a few hundred bytes: long ASCII runs and Chinese, a line feed as the last or
    // first byte of a block, inside a double-byte or four-byte character, after a lone lead.
    for (int k = 0; k < 6; ++k) {
        Text text;
        while (text.size() < 3000) {
            const std::size_t line = random() % 300;
            if (random() % 2 == 0) {
                for (std::size_t i = 0; i < line; ++i) {
                    text += static_cast<char>(' ' + random() % 95);
                }
            } else {
                text += test::RandomValidText(random, static_cast<int>(line / 2));
            }
            const char* const breaks[] = {"\r\n", "\n", "\xB0\n", "\x81\x30\n\x81\x30"};
            text += breaks[random() % std::size(breaks)];
        }
        texts.push_back(text);
    }
    return texts;
}

TEST(LineFeedPieceEnds, EveryPieceButTheLastEndsAfterALineFeed) {
    const Text text = "ab\ncd\n\nef";
    EXPECT_EQ(LineFeedPieceEnds(text, {100, 1}), (std::vector<std::size_t>{3, 6, 7, 9}));
    EXPECT_EQ(LineFeedPieceEnds(text, {2, 1}), (std::vector<std::size_t>{6, 9}));
    EXPECT_EQ(LineFeedPieceEnds(text, {1, 0}), (std::vector<std::size_t>{9}));
    EXPECT_EQ(LineFeedPieceEnds("no line feed at all", {8, 1}), (std::vector<std::size_t>{19}));
    EXPECT_TRUE(LineFeedPieceEnds("", {8, 1}).empty());
    // A small document stays in one piece with the default cut.
    EXPECT_EQ(LineFeedPieceEnds(Text(1000, '\n'), DefaultPieceSplit()).size(), 1u);
}

TEST(UnitPieceEnds, CutsAtWholeGroups) {
    EXPECT_EQ(UnitPieceEnds(10, 3, {3, 1}), (std::vector<std::size_t>{6, 10}));
    EXPECT_EQ(UnitPieceEnds(10, 3, {100, 1}), (std::vector<std::size_t>{3, 6, 9, 10}));
    EXPECT_EQ(UnitPieceEnds(10, 1, {1, 0}), (std::vector<std::size_t>{10}));
}

TEST(RunInParallel, RunsEveryIndexAndPassesAnErrorOn) {
    std::vector<int> seen(5, 0);
    RunInParallel(seen.size(), [&](std::size_t i) { seen[i] += 1; });
    EXPECT_EQ(seen, std::vector<int>(5, 1));
    EXPECT_THROW(RunInParallel(3,
                               [](std::size_t i) {
                                   if (i == 0) {
                                       throw std::bad_alloc();
                                   }
                               }),
                 std::bad_alloc);
}

// Each per-character conversion gives the very bytes of its one-piece run, however the text
// is cut.
TEST(ParallelConversions, GiveTheBytesOfTheSingleThreadedRun) {
    using Conversion = Text (*)(const Text&, const PieceSplit&);
    const std::pair<const char*, Conversion> conversions[] = {
        {"upper",
         [](const Text& t, const PieceSplit& s) {
             // In place, and written into a buffer of its own.
             Text r = t;
             UpperInPlace(r, s);
             Text written(t.size(), '?');
             WriteUpper(t, written.data(), s);
             return written == r ? r : r + "<written differs>";
         }},
        {"lower",
         [](const Text& t, const PieceSplit& s) {
             // In place, and written into a buffer of its own.
             Text r = t;
             LowerInPlace(r, s);
             Text written(t.size(), '?');
             WriteLower(t, written.data(), s);
             return written == r ? r : r + "<written differs>";
         }},
        {"half width",
         [](const Text& t, const PieceSplit& s) {
             // In place, and written into a buffer of its own.
             Text r = TextFullWidth(t) + t;
             Text written(r.size(), '?');
             written.resize(WriteHalfWidth(r, written.data(), s));
             HalfWidthInPlace(r, s);
             return written == r ? r : r + "<written differs>";
         }},
        {"full width",
         [](const Text& t, const PieceSplit& s) { return *FullWidthWithin(t, t.max_size(), s); }},
        {"to UTF-8",
         [](const Text& t, const PieceSplit& s) {
             Text r;
             GbkToUtf8PiecesInParallel(
                 t, [&r](std::string_view piece) { r += piece; }, s);
             return r;
         }},
        {"from UTF-8",
         [](const Text& t, const PieceSplit& s) {
             // A stray byte before a line feed; the whole part at once, and in two parts
             // with what the first leaves in front of the second.
             const Text utf8 = GbkToUtf8(t) + "\xE4\n\xE4\xB8";
             Text r;
             Utf8ToGbkPartInParallel(utf8, true, r, s);
             r += "|";
             const std::size_t half = utf8.size() / 2;
             const std::size_t used = Utf8ToGbkPartInParallel(utf8.substr(0, half), false, r, s);
             Utf8ToGbkPartInParallel(utf8.substr(used), true, r, s);
             return r;
         }},
        {"base64",
         [](const Text& t, const PieceSplit& s) {
             Text room = t;
             room.reserve(2 * t.size() + 8);
             Base64EncodeInPlace(room, s);
             return Base64Encode(t, s) + "|" + room;
         }},
        {"filters",
         [](const Text& t, const PieceSplit& s) {
             Text r;
             for (const CharacterFilter filter :
                  {CharacterFilter::Chinese, CharacterFilter::Letters, CharacterFilter::Digits,
                   CharacterFilter::Symbols}) {
                 r += FilterCharacters(t, filter, s) + "|";
             }
             return r;
         }},
        {"hex",
         [](const Text& t, const PieceSplit& s) {
             Text room = t;
             room.reserve(2 * t.size() + 8);
             HexEncodeInPlace(room, s);
             return HexEncode(t, s) + "|" + room;
         }},
    };
    for (const Text& text : SplitTexts()) {
        for (const auto& [name, convert] : conversions) {
            const Text expected = convert(text, kOnePiece);
            for (const PieceSplit& split : kSplits) {
                ASSERT_EQ(convert(text, split), expected)
                    << name << " cut " << split.pieces << "/" << split.minBytes << " of "
                    << ::testing::PrintToString(text);
            }
        }
    }
}

// UTF-8 read in two parts, cut at every byte (inside two-, three- and four-byte sequences and
// stray bytes), converts as the whole does on any cut of the parts.
TEST(ParallelConversions, Utf8PartsCutAnywhereGiveTheWholeConversion) {
    const std::string utf8 = "a\xC3\xA9\n\xE4\xB8\xAD\n\xF0\x9F\x98\x80\n\xE4\n\xB8\xE4\xB8\xADz\n";
    const Text whole = Utf8ToGbk(utf8);
    for (const PieceSplit& split : kSplits) {
        for (std::size_t cut = 0; cut <= utf8.size(); ++cut) {
            Text gbk;
            const std::size_t used =
                Utf8ToGbkPartInParallel(utf8.substr(0, cut), false, gbk, split);
            Utf8ToGbkPartInParallel(utf8.substr(used), true, gbk, split);
            ASSERT_EQ(gbk, whole) << "cut at " << cut << " split " << split.pieces;
        }
    }
}

TEST(ParallelConversions, MatchTheOnePieceFunctions) {
    const Text text = "Ab\xD6\xD0\n~ \xA3\xC1\n\x81\x30\x81\x30";
    Text utf8;
    GbkToUtf8Pieces(text, [&utf8](std::string_view piece) { utf8 += piece; });
    EXPECT_EQ(GbkToUtf8(text), utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), text);
    EXPECT_EQ(TextFullWidth(text).size(), FullWidthLength(text));
    EXPECT_EQ(FullWidthWithin(text, FullWidthLength(text) - 1, {8, 1}), std::nullopt);
    EXPECT_EQ(Base64Encode("\n\n\n\n", {8, 1}), "CgoKCg==");
}

}  // namespace
}  // namespace velmor
