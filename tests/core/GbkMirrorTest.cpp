#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "core/CodePage936.h"
#include "core/GbkMirror.h"

namespace velmor {
namespace {

// An editor buffer in memory: edits announce themselves to the mirror before they happen,
// as Scintilla's notifications do.
class MirroredBuffer {
public:
    MirroredBuffer()
        : m_mirror([this](std::size_t position, std::size_t length) {
              return std::string_view(m_utf8).substr(position, length);
          }) {}

    void Insert(std::size_t position, const std::string& utf8) {
        m_utf8.insert(position, utf8);
        m_mirror.AfterInsert(position, utf8.size());
    }
    void Erase(std::size_t position, std::size_t length) {
        m_mirror.BeforeDelete(position, length);
        m_utf8.erase(position, length);
    }
    void Replace(const Text& gbk) { m_utf8 = m_mirror.Adopt(SharedText(gbk)); }
    // What the editor does once an edit is done: spans the mirror names take its spelling.
    void Respell() {
        const std::vector<GbkMirror::Respelling> respellings = m_mirror.TakeRespellings();
        for (auto it = respellings.rbegin(); it != respellings.rend(); ++it) {
            Erase(it->start, it->length);
            Insert(it->start, it->utf8);
        }
        m_mirror.TakeRespellings();
    }
    void Restore(const SharedText& snapshot) { m_utf8 = m_mirror.Adopt(snapshot); }

    const std::string& Utf8() const { return m_utf8; }
    const GbkMirror& Mirror() const { return m_mirror; }

private:
    std::string m_utf8;
    GbkMirror m_mirror;
};

// The length of the item at `at` in a strict UTF-8 reading, as an editor in UTF-8 mode walks
// it: a well-formed sequence, or one stray byte.
std::size_t ItemLength(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t k) {
        return at + k < s.size() ? static_cast<unsigned char>(s[at + k]) : 0;
    };
    const auto continuation = [&](std::size_t k) { return (byte(k) & 0xC0) == 0x80; };
    const unsigned char lead = byte(0);
    if (lead >= 0xC2 && lead <= 0xDF) {
        return continuation(1) ? 2 : 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) ? 3 : 1;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= low && byte(1) <= high && continuation(2) && continuation(3) ? 4 : 1;
    }
    return 1;
}

std::vector<std::size_t> Boundaries(const std::string& utf8) {
    std::vector<std::size_t> boundaries{0};
    for (std::size_t at = 0; at < utf8.size();) {
        at += ItemLength(utf8, at);
        boundaries.push_back(at);
    }
    return boundaries;
}

// Pieces a user might type or paste: ASCII, Chinese, a character outside the code page (four
// GBK bytes), lone CR and LF, CR LF, and stray bytes that no UTF-8 reading accepts; or the
// same without a byte below 0x30 (no spaces, digits 0 and 1 aside, nor line breaks), as in
// Chinese written without them.
std::string RandomPiece(std::mt19937& random, bool spaced = true) {
    static const char* const kPieces[] = {
        "a",    "Zq",       " ",        "0",        "9",
        "\r",   "\n",       "\r\n",     "中",       "文字",
        "，",   "€",        "😀",        "\xC2\xA0", "\x81",
        "\xFF", "\xE4\xB8", "\xB8\xAD", "\x80",     "abc def\r\nghi",
    };
    static const char* const kUnspaced[] = {"a",    "Zq",       "9",        "中",  "文字",
                                            "，",   "€",        "😀",        "𠀀",  "\xC2\xA0",
                                            "\x81", "\xE4\xB8", "\xB8\xAD", "\x80"};
    std::string piece;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) {
        piece += spaced ? kPieces[random() % std::size(kPieces)]
                        : kUnspaced[random() % std::size(kUnspaced)];
    }
    return piece;
}

Text StartText(std::mt19937& random, std::size_t bytes, bool spaced = true) {
    std::string utf8;
    while (utf8.size() < bytes) {
        utf8 += RandomPiece(random, spaced);
    }
    return Utf8ToGbk(utf8);
}

void ExpectInStep(const MirroredBuffer& buffer, const std::string& step) {
    ASSERT_EQ(buffer.Mirror().Text().Flatten(), Utf8ToGbk(buffer.Utf8())) << step;
    ASSERT_EQ(buffer.Mirror().Utf8Size(), buffer.Utf8().size()) << step;
}

// After the respelling the buffer shows exactly what the text reads as, and the text's
// bytes are what the edits made them.
void ExpectRespelled(MirroredBuffer& buffer, const std::string& step) {
    const Text text = buffer.Mirror().Text().Flatten();
    buffer.Respell();
    ExpectInStep(buffer, step);
    ASSERT_EQ(buffer.Mirror().Text().Flatten(), text) << step << ": respelling changed bytes";
    ASSERT_EQ(buffer.Utf8(), GbkToUtf8(text)) << step;
}

TEST(GbkMirrorTest, AdoptedTextGivesTheWholeConversionAndReadsBackUnchanged) {
    std::mt19937 random(7);
    for (const Text& text :
         {Text(), Text("\x81"), Text("a\xD6"), StartText(random, 300000), Text(200000, '\xD6')}) {
        MirroredBuffer buffer;
        buffer.Replace(text);
        EXPECT_EQ(buffer.Utf8(), GbkToUtf8(text));
        EXPECT_EQ(buffer.Mirror().Text().Flatten(), text);
        ExpectInStep(buffer, "adopt");
    }
}

// Large enough to be cut on several cores and handed over in several converted batches.
TEST(GbkMirrorTest, AdoptingHandsTheExactSizeFirstThenPiecesOfTheConversion) {
    std::mt19937 random(11);
    const Text text = StartText(random, 13 << 20);
    GbkMirror mirror([](std::size_t, std::size_t) { return std::string_view(); });
    std::size_t reserved = 0;
    std::size_t largest = 0;
    std::string utf8;
    mirror.Adopt(SharedText(text), {[&](std::size_t size) {
                                        EXPECT_TRUE(utf8.empty()) << "the size comes first";
                                        reserved = size;
                                    },
                                    [&](std::string_view piece) {
                                        largest = std::max(largest, piece.size());
                                        utf8 += piece;
                                    }});
    EXPECT_EQ(utf8, GbkToUtf8(text));
    EXPECT_EQ(reserved, utf8.size());
    EXPECT_LT(largest, std::size_t{5} << 20) << "handed over in pieces, not whole";
    EXPECT_EQ(mirror.Utf8Size(), utf8.size());
    // Every chunk, wherever the text was cut for the cores, converts alone as in the whole;
    // so does every chunk of the mirror built from the UTF-8 on every core.
    const auto expectChunks = [&utf8, &text](const GbkMirror& built) {
        EXPECT_EQ(built.Text().Flatten(), text);
        const SharedText::Chunks& chunks = built.Text().Pieces();
        std::size_t at = 0;
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            const std::string_view bytes = chunks[i].Bytes();
            ASSERT_TRUE(i + 1 == chunks.size() || static_cast<unsigned char>(bytes.back()) < 0x30)
                << "chunk " << i;
            ASSERT_EQ(GbkToUtf8(bytes), std::string_view(utf8).substr(at, chunks[i].utf8Length))
                << "chunk " << i;
            at += chunks[i].utf8Length;
        }
        EXPECT_EQ(at, utf8.size());
    };
    expectChunks(mirror);
    GbkMirror rebuilt([](std::size_t, std::size_t) { return std::string_view(); });
    rebuilt.Rebuild(utf8);
    EXPECT_EQ(rebuilt.Utf8Size(), utf8.size());
    expectChunks(rebuilt);
}

// Random typing, deleting, pasting, cutting, whole-text replacement and restoring of older
// snapshots, with the mirror checked against a full conversion after every step and every
// kept snapshot checked to stay as it was recorded.
void FollowRandomEdits(bool spaced) {
    std::mt19937 random(936);
    MirroredBuffer buffer;
    buffer.Replace(StartText(random, 150000, spaced));
    std::vector<std::pair<SharedText, Text>> snapshots;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int step = 0; step < 3000 && std::chrono::steady_clock::now() < deadline; ++step) {
        const std::vector<std::size_t> boundaries = Boundaries(buffer.Utf8());
        const std::size_t at = boundaries[random() % boundaries.size()];
        const unsigned pick = random() % 100;
        std::string what;
        if (pick < 45) {
            what = "type";
            buffer.Insert(at, RandomPiece(random, spaced));
        } else if (pick < 80) {
            const std::size_t end = boundaries[std::min<std::size_t>(
                boundaries.size() - 1,
                static_cast<std::size_t>(
                    std::lower_bound(boundaries.begin(), boundaries.end(), at) -
                    boundaries.begin()) +
                    random() % (pick < 75 ? 3 : 70000))];
            what = "delete";
            buffer.Erase(at, end - at);
        } else if (pick < 88) {
            what = "paste";
            std::string paste;
            while (paste.size() < 1000 + random() % 150000) {
                paste += RandomPiece(random, spaced);
            }
            buffer.Insert(at, paste);
        } else if (pick < 92) {
            what = "replace";
            buffer.Replace(StartText(random, random() % 250000, spaced));
        } else if (pick < 97 || snapshots.empty()) {
            what = "record";
            snapshots.emplace_back(buffer.Mirror().Text(), buffer.Mirror().Text().Flatten());
        } else {
            what = "restore";
            const auto& [snapshot, text] = snapshots[random() % snapshots.size()];
            buffer.Restore(snapshot);
            ASSERT_EQ(buffer.Utf8(), GbkToUtf8(text));
        }
        ExpectInStep(buffer, what + " at step " + std::to_string(step));
        if (pick % 2 == 0) {
            ExpectRespelled(buffer, what + " at step " + std::to_string(step));
        }
    }
    for (const auto& [snapshot, text] : snapshots) {
        ASSERT_EQ(snapshot.Flatten(), text) << "a snapshot changed after it was taken";
    }
}

TEST(GbkMirrorTest, FollowsRandomEditsLikeAFullConversion) {
    FollowRandomEdits(true);
}

// Chunks then end after characters, not after spaces and line breaks.
TEST(GbkMirrorTest, FollowsRandomEditsOfTextWithoutSpacesOrLineBreaks) {
    FollowRandomEdits(false);
}

TEST(GbkMirrorTest, RemovingTheBytesBetweenStrayBytesJoinsThemAsTheBufferDoes) {
    MirroredBuffer buffer;
    buffer.Replace("x");
    buffer.Insert(0, "\xE4\r\xB8\r\xAD");
    buffer.Erase(3, 1);
    buffer.Erase(1, 1);
    EXPECT_EQ(buffer.Utf8(), "中x");
    ExpectInStep(buffer, "joined");
    EXPECT_EQ(buffer.Mirror().Text().Flatten(), "\xD6\xD0x");
}

// A stray byte in the buffer spells itself, until an edit puts beside it what the text then
// reads together with it as one character: the buffer must take that character's spelling.
TEST(GbkMirrorTest, EditsBesideStrayBytesLeaveTheBufferSpellingWhatTheTextReads) {
    struct Case {
        const char* name;
        Text start;
        std::size_t at;
        const char* insert;
        std::size_t eraseAt;
        std::size_t eraseLength;
        const char* shown;
    };
    const Case cases[] = {
        {"lead byte, then a typed trail", Text("x\x82 "), 2, "c", 0, 0, "x俢 "},
        {"lead byte, then a pasted euro sign", Text("\xB3\r"), 1, "€¢", 0, 0, "硛¢\r"},
        {"four bytes from stray bytes and digits", Text("\x81\x30\x81 "), 3, "0", 0, 0,
         "\xC2\x80 "},
        {"a lead byte shifts the pairs that follow", Text("\x81 "), 1, "中文", 0, 0, "佒形\xC4 "},
        {"a delete joins a lead byte and a letter", Text("\x81 c"), 0, "", 1, 1, "乧"},
        {"a lone 0x80 is the euro sign", Text(" "), 1, "\x80", 0, 0, " €"},
        {"stray bytes that stay apart keep their spelling", Text("\x81\r"), 2, "\xFF", 0, 0,
         "\x81\r\xFF"},
    };
    for (const Case& c : cases) {
        MirroredBuffer buffer;
        buffer.Replace(c.start);
        if (*c.insert != '\0') {
            buffer.Insert(c.at, c.insert);
        }
        if (c.eraseLength > 0) {
            buffer.Erase(c.eraseAt, c.eraseLength);
        }
        ExpectRespelled(buffer, c.name);
        EXPECT_EQ(buffer.Utf8(), c.shown) << c.name;
    }
}

// Also where no space or line break ends a chunk: Chinese alone, four-byte characters alone.
TEST(GbkMirrorTest, TypingIntoALargeTextCopiesOnlyTheChunkTyped) {
    std::mt19937 random(1);
    const auto repeated = [](const char* utf8) {
        std::string text;
        while (text.size() < (4u << 20)) {
            text += utf8;
        }
        return Utf8ToGbk(text);
    };
    for (const Text& text : {StartText(random, 4 << 20), repeated("中文字，"), repeated("😀𠀀")}) {
        MirroredBuffer buffer;
        buffer.Replace(text);
        const SharedText before = buffer.Mirror().Text();
        ASSERT_GT(before.Pieces().size(), 30u);
        std::size_t at = 0;
        for (const SharedText::Chunk& chunk : before.Pieces()) {
            ASSERT_EQ(GbkToUtf8(chunk.Bytes()), buffer.Utf8().substr(at, chunk.utf8Length));
            at += chunk.utf8Length;
        }
        buffer.Insert(buffer.Utf8().size() / 2, "k");
        std::size_t shared = 0;
        for (const SharedText::Chunk& chunk : buffer.Mirror().Text().Pieces()) {
            for (const SharedText::Chunk& old : before.Pieces()) {
                if (chunk.buffer == old.buffer && chunk.start == old.start) {
                    shared += chunk.length;
                }
            }
        }
        EXPECT_GE(shared + 200000, before.Size()) << "unchanged chunks must be shared";
        ExpectInStep(buffer, "typed");
    }
}

TEST(SharedTextTest, ComparesContentAcrossDifferentChunking) {
    const SharedText whole(Text("abcdef"));
    auto buffer = std::make_shared<const std::string>("xabcdefx");
    const SharedText pieces(SharedText::Chunks{{buffer, 1, 2, 0}, {buffer, 3, 4, 0}});
    EXPECT_TRUE(whole == pieces);
    EXPECT_FALSE(whole == SharedText(Text("abcdeg")));
    EXPECT_FALSE(whole == SharedText(Text("abcde")));
    EXPECT_TRUE(SharedText() == SharedText(Text()));
    EXPECT_EQ(pieces.Flatten(), "abcdef");
}

TEST(SharedTextTest, AWholeBufferIsOneBufferCutInOrderFromStartToEnd) {
    auto buffer = std::make_shared<const std::string>("abcdef");
    auto other = std::make_shared<const std::string>("def");
    using Chunks = SharedText::Chunks;
    EXPECT_EQ(SharedText(Chunks{{buffer, 0, 2, 0}, {buffer, 2, 4, 0}}).WholeBuffer(), buffer.get());
    EXPECT_EQ(SharedText(Chunks{{buffer, 0, 6, 0}}).WholeBuffer(), buffer.get());
    EXPECT_EQ(SharedText(Chunks{{buffer, 0, 3, 0}}).WholeBuffer(), nullptr) << "a prefix";
    EXPECT_EQ(SharedText(Chunks{{buffer, 1, 5, 0}}).WholeBuffer(), nullptr) << "a suffix";
    EXPECT_EQ(SharedText(Chunks{{buffer, 2, 4, 0}, {buffer, 0, 2, 0}}).WholeBuffer(), nullptr)
        << "out of order";
    EXPECT_EQ(SharedText(Chunks{{buffer, 0, 3, 0}, {other, 0, 3, 0}}).WholeBuffer(), nullptr)
        << "two buffers";
    EXPECT_EQ(SharedText().WholeBuffer(), nullptr);
}

}  // namespace
}  // namespace velmor
