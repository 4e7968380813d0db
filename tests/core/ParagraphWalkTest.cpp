#include "paragraph/ParagraphOutput.h"

#include <gtest/gtest.h>

#include <random>

#include "core/MemoryEditor.h"
#include "core/TextPrimitives.h"
#include "paragraph/ParagraphSelection.h"

namespace velmor {
namespace {

// Random texts over the bytes that decide a cut: CR, LF, lead bytes, ASCII, a space.
Text RandomText(std::mt19937& random, int longest) {
    const char alphabet[] = {'\r', '\n', '\x81', '\xA1', 'a', ' '};
    Text text;
    const int length = static_cast<int>(random() % static_cast<unsigned>(longest));
    for (int k = 0; k < length; ++k) {
        text += alphabet[random() % sizeof alphabet];
    }
    return text;
}

TEST(ParagraphWalker, CutsAsTheTextSplitOnRandomTexts) {
    std::mt19937 random(8);
    for (int round = 0; round < 3000; ++round) {
        const Text text = RandomText(random, 40);
        EXPECT_EQ(ParagraphList(text), SplitViewsAtSeparator(text, "\r\n", std::nullopt, true))
            << ::testing::PrintToString(text);
    }
}

// Rewrites text with the walk once where it lies (growth 0) and once through a new buffer
// (any growth): the two must give the same document.
template <typename Walk>
void ExpectSameBothWays(const Text& text, Walk walk, const char* name) {
    MemoryEditor inPlace(text);
    MemoryEditor copied(text);
    EXPECT_TRUE(RewriteParagraphs(inPlace, kMaxResultBytes, 0, walk));
    EXPECT_TRUE(RewriteParagraphs(copied, kMaxResultBytes, 1, walk));
    EXPECT_EQ(inPlace.Contents(), copied.Contents())
        << name << " " << ::testing::PrintToString(text);
    EXPECT_EQ(inPlace.ChangeNotifications(), 1);
}

TEST(RewriteParagraphs, InPlaceGivesWhatANewBufferGives) {
    const auto identity = [](std::string_view text, auto& sink) {
        ParagraphWalker walker(text);
        for (std::string_view paragraph; walker.Next(paragraph);) {
            sink.Add(paragraph);
            sink.Add("\r\n");
        }
    };
    const auto everyOther = [](std::string_view text, auto& sink) {
        ParagraphWalker walker(text);
        bool keep = false;
        for (std::string_view paragraph; walker.Next(paragraph);) {
            if ((keep = !keep)) {
                sink.AddWithoutSpaces(paragraph);
                sink.Add("\r\n");
            }
        }
    };
    const auto trimmedTails = [](std::string_view text, auto& sink) {
        ParagraphWalker walker(text);
        for (std::string_view paragraph; walker.Next(paragraph);) {
            sink.AddSpaces(0);
            sink.Add(paragraph.substr(paragraph.size() / 2));
            sink.Add("\r\n");
        }
    };
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        const Text text = RandomText(random, 30);
        ExpectSameBothWays(text, identity, "identity");
        ExpectSameBothWays(text, everyOther, "every other");
        ExpectSameBothWays(text, trimmedTails, "tails");
    }
}

TEST(RewriteParagraphs, LastParagraphGainsItsLineBreakInPlace) {
    MemoryEditor editor(Text("a\r\nb"));
    RewriteParagraphs(editor, kMaxResultBytes, 0, [](std::string_view text, auto& sink) {
        ParagraphWalker walker(text);
        for (std::string_view paragraph; walker.Next(paragraph);) {
            sink.Add(paragraph);
            sink.Add("\r\n");
        }
    });
    EXPECT_EQ(editor.Contents(), "a\r\nb\r\n");
}

TEST(ParagraphCountBound, NeverBelowTheParagraphCount) {
    EXPECT_EQ(ParagraphCountBound(""), 1u);
    EXPECT_EQ(ParagraphCountBound("a\r\nb\nc"), 3u);
    EXPECT_EQ(ParagraphCountBound("\x81\r\n"), 2u);
}

}  // namespace
}  // namespace velmor
