#include "core/DisplayBreaks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "../support/ShortRows.h"

namespace velmor {
namespace {

struct Written {
    std::string buffer;
    std::vector<std::size_t> breaks;
};

Written WriteInPieces(const std::string& utf8, const std::vector<std::size_t>& cuts) {
    Written written;
    DisplayBreakWriter writer([&](std::string_view bytes) { written.buffer += bytes; });
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        writer.Write(std::string_view(utf8).substr(from, cut - from));
        from = cut;
    }
    writer.Write(std::string_view(utf8).substr(from));
    written.breaks = writer.TakeBreaks();
    return written;
}

TEST(DisplayBreaksTest, LongRunsAreCutBeforeTheCharacterThatPassesTheRowHowEverTheyArrive) {
    struct Case {
        std::string utf8;
        std::string shown;
        std::size_t rowBytes = 8;
    };
    const std::string row32(32, 'a');
    const Case cases[] = {
        // A row ends after a space within a sixteenth of a row past its length.
        {row32 + " bcdef", row32 + " \nbcdef", 32},
        {row32 + "b cdef", row32 + "b \ncdef", 32},
        {row32 + "bcdef", row32 + "bc\ndef", 32},
        {"", ""},
        {"12345678", "12345678"},
        {"123456789", "12345678\n9"},
        {"12345678\r\n9", "12345678\r\n9"},
        {"1234567\r\n123456789", "1234567\r\n12345678\n9"},
        {"12345678\r123456789", "12345678\r12345678\n9"},
        // A character that crosses the row's end stays whole in the row.
        {"中中中x", "中中中\nx"},
        {"1234567😀ab", "1234567😀\nab"},
        {std::string(40, 'a'), "aaaaaaaa\naaaaaaaa\naaaaaaaa\naaaaaaaa\naaaaaaaa"},
        // Bytes that only continue characters wait no longer than twice the row.
        {std::string(20, '\x80'), std::string(16, '\x80') + "\n" + std::string(4, '\x80')},
    };
    std::mt19937 random(16);
    for (const Case& c : cases) {
        std::vector<std::vector<std::size_t>> ways = {{}};
        std::vector<std::size_t> bytes;
        for (std::size_t i = 1; i < c.utf8.size(); ++i) {
            bytes.push_back(i);
        }
        ways.push_back(bytes);
        for (int attempt = 0; attempt < 20 && !c.utf8.empty(); ++attempt) {
            std::vector<std::size_t> cuts;
            for (std::size_t at = random() % 5; at < c.utf8.size(); at += 1 + random() % 9) {
                cuts.push_back(at);
            }
            ways.push_back(cuts);
        }
        const test::ShortRows rows(c.rowBytes);
        for (const auto& cuts : ways) {
            const Written written = WriteInPieces(c.utf8, cuts);
            EXPECT_EQ(written.buffer, c.shown) << c.utf8;
            DisplayBreaks breaks;
            breaks.Assign(written.breaks);
            for (const std::size_t at : written.breaks) {
                EXPECT_EQ(written.buffer[at], '\n');
            }
            EXPECT_EQ(breaks.Count() + c.utf8.size(), c.shown.size()) << c.utf8;
            std::string text;
            breaks.AppendText(written.buffer, 0, text);
            EXPECT_EQ(text, c.utf8);
        }
    }
}

// Edits of a buffer with breaks in random places, against a byte by byte model.
TEST(DisplayBreaksTest, PositionsFollowEditsLikeAMarkedBuffer) {
    std::mt19937 random(2028);
    std::string buffer;
    std::vector<bool> marked;
    DisplayBreaks breaks;
    for (int step = 0; step < 4000; ++step) {
        const std::size_t at = random() % (buffer.size() + 1);
        if (random() % 3 == 0 && !buffer.empty()) {
            const std::size_t length = std::min<std::size_t>(1 + random() % 6, buffer.size() - at);
            breaks.Deleted(at, length);
            buffer.erase(at, length);
            marked.erase(marked.begin() + static_cast<long>(at),
                         marked.begin() + static_cast<long>(at + length));
        } else if (random() % 2 == 0) {
            breaks.Inserted(at, 1, true);
            buffer.insert(at, 1, '\n');
            marked.insert(marked.begin() + static_cast<long>(at), true);
        } else {
            const std::string text(1 + random() % 4, static_cast<char>('a' + step % 26));
            breaks.Inserted(at, text.size(), false);
            buffer.insert(at, text);
            marked.insert(marked.begin() + static_cast<long>(at), text.size(), false);
        }
        std::vector<std::size_t> expected;
        std::string text;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            if (marked[i]) {
                expected.push_back(i);
            } else {
                text += buffer[i];
            }
        }
        ASSERT_EQ(breaks.Positions(), expected) << step;
        std::string stripped;
        const std::size_t from = random() % (buffer.size() + 1);
        breaks.AppendText(std::string_view(buffer).substr(from), from, stripped);
        std::string wanted;
        for (std::size_t i = from; i < buffer.size(); ++i) {
            wanted += marked[i] ? "" : std::string(1, buffer[i]);
        }
        ASSERT_EQ(stripped, wanted) << step;
        const std::size_t probe = random() % (buffer.size() + 1);
        std::size_t before = 0;
        for (std::size_t i = 0; i < probe; ++i) {
            before += marked[i] ? 1 : 0;
        }
        ASSERT_EQ(breaks.TextPosition(probe), probe - before);
        ASSERT_EQ(breaks.IsBreak(probe), probe < buffer.size() && marked[probe]);
        const std::size_t textPosition = random() % (text.size() + 1);
        const std::size_t past = breaks.BufferPosition(textPosition, true);
        const std::size_t first = breaks.BufferPosition(textPosition, false);
        // Both are places whose text position it is; before them stands a text byte or
        // nothing, after them a text byte or the end.
        ASSERT_EQ(breaks.TextPosition(past), textPosition);
        ASSERT_EQ(breaks.TextPosition(first), textPosition);
        ASSERT_TRUE(past == buffer.size() || !marked[past]);
        ASSERT_TRUE(first == 0 || !marked[first - 1]);
        ASSERT_EQ(breaks.CountIn(first, past), past - first);
    }
}

}  // namespace
}  // namespace velmor
