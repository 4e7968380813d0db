#include "core/DocumentEncoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "../support/Iconv.h"
#include "../support/RandomText.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"
#include "core/Utf8.h"
#include "core/Utf8Validation.h"

namespace velmor {
namespace {

using namespace std::string_literals;
using test::Iconv;

constexpr FileEncoding kUnicodeEncodings[] = {FileEncoding::Utf8, FileEncoding::Utf8Bom,
                                              FileEncoding::Utf16Le, FileEncoding::Utf16Be};

// The same question asked item by item, as the validator's block masks must answer it.
bool IsWellFormedItemByItem(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const Utf8Item item = ReadUtf8Item(p, end);
        if (!item.wellFormed) {
            return false;
        }
        p += item.length;
    }
    return true;
}

// Every scalar value but U+0000 (the text holds no zero byte), as text and as UTF-8.
struct AllScalars {
    Text text;
    std::string utf8;
};
const AllScalars& EveryScalarValue() {
    static const AllScalars all = [] {
        AllScalars made;
        for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) {
                continue;
            }
            made.text += EncodeCodePoint(cp);
            AppendUtf8(made.utf8, cp);
        }
        return made;
    }();
    return all;
}

const char* IconvName(FileEncoding encoding) {
    return encoding == FileEncoding::Utf16Le   ? "UTF-16LE"
           : encoding == FileEncoding::Utf16Be ? "UTF-16BE"
                                               : "UTF-8";
}

// What a file's bytes open as and save back to, unedited.
ByteString OpenedAndSaved(const ByteString& bytes) {
    const FileEncoding encoding = RecogniseEncoding(bytes);
    const DecodedDocument decoded = DecodeDocument(bytes, encoding, GbkCut::Opened);
    return EncodeDocument(decoded.text, encoding).value_or("<refused>");
}

TEST(DocumentEncodingTest, RecognitionByMarkThenStrictValidityElseGbk) {
    const std::string megabyteOfAscii(1 << 20, 'a');
    struct Row {
        ByteString bytes;
        FileEncoding expected;
    };
    const Row rows[] = {
        {"", FileEncoding::Gbk},
        {"plain ascii\r\n", FileEncoding::Gbk},
        {"\xEF\xBB\xBF", FileEncoding::Utf8Bom},
        {"\xEF\xBB\xBFx", FileEncoding::Utf8Bom},
        {"\xFF\xFE", FileEncoding::Utf16Le},
        {"\xFE\xFF\0a"s, FileEncoding::Utf16Be},
        {"\xFF", FileEncoding::Gbk},
        {"中文", FileEncoding::Utf8},
        {"\xD6\xD0\xCE\xC4", FileEncoding::Gbk},
        {"\xB0\xA1", FileEncoding::Gbk},
        {"中\xE6\x96", FileEncoding::Gbk},
        {"中\0文"s, FileEncoding::Utf8},
        {"\xC0\x80", FileEncoding::Gbk},
        {"\xE0\x80\xAF", FileEncoding::Gbk},
        {"\xED\xA0\x80", FileEncoding::Gbk},
        {"\xF4\x90\x80\x80", FileEncoding::Gbk},
        {"\xF0\x9F\x98\x80", FileEncoding::Utf8},
        {megabyteOfAscii + "\xFF", FileEncoding::Gbk},
        {megabyteOfAscii + "\xE4\xB8", FileEncoding::Gbk},
        {megabyteOfAscii + "中", FileEncoding::Utf8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes.substr(0, 40)));
        EXPECT_EQ(RecogniseEncoding(row.bytes), row.expected);
    }
}

// Every form of the validator and glibc's UTF-8 decoder give the item reader's answer.
void ExpectEveryValidatorAgrees(std::string_view bytes, const std::string& where) {
    static Iconv utf8ToUtf32("UTF-32LE", "UTF-8");
    const bool expected = IsWellFormedItemByItem(bytes);
    ASSERT_EQ(utf8_validation::Blocks(bytes), expected) << "blocks " << where;
    if (utf8_validation::HasSsse3()) {
        ASSERT_EQ(utf8_validation::Ssse3(bytes), expected) << "SSSE3 " << where;
    }
    if (utf8_validation::HasAvx2()) {
        ASSERT_EQ(utf8_validation::Avx2(bytes), expected) << "AVX2 " << where;
    }
    if (utf8_validation::HasAvx512()) {
        ASSERT_EQ(utf8_validation::Avx512(bytes), expected) << "AVX-512 " << where;
    }
    ASSERT_EQ(IsWellFormedUtf8(bytes), expected) << where;
    ASSERT_EQ(utf8ToUtf32.Convert(bytes).has_value(), expected) << "iconv " << where;
}

TEST(DocumentEncodingTest, EveryValidatorAgreesWithTheItemReaderAndIconvAtEveryOffset) {
    // One bad or truncated sequence (and a few good edge ones) swept over every lane and
    // edge of the first three 64-byte blocks and around the edges of the first two
    // kilobytes (which the widest form takes at once), inside Chinese text, ASCII and
    // four-byte characters that are whole before and after it.
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at < 2100; ++at) {
        if (at < 200 || (at > 1024 - 70 && at < 1024 + 70) || at > 2048 - 70) {
            offsets.push_back(at);
        }
    }
    // From U+4E00 on: after 127 one-byte and 1920 two-byte characters.
    const std::string chinese =
        EveryScalarValue().utf8.substr(127 + 1920 * 2 + (0x4E00 - 0x800) * 3, 2400);
    const std::string emoji = EveryScalarValue().utf8.substr(EveryScalarValue().utf8.size() - 2400);
    struct Around {
        std::string text;
        std::size_t width;
    };
    const Around arounds[] = {{chinese, 3}, {std::string(2400, 'x'), 1}, {emoji, 4}};
    // The first `at` bytes: whole characters after ASCII filling out the length.
    const auto before = [](const Around& around, std::size_t at) {
        return std::string(at % around.width, 'x') + around.text.substr(0, at - at % around.width);
    };
    const std::string faults[] = {"\xFF"s,
                                  "\xE4\xB8"s,
                                  "\xC0\x80"s,
                                  "\xC1\xBF"s,
                                  "\xED\xA0\x80"s,
                                  "\xED\xBF\xBF"s,
                                  "\x80"s,
                                  "\xBF\xBF"s,
                                  "\xF0\x9F\x98"s,
                                  "\xF4\x90\x80\x80"s,
                                  "\xF5\x80\x80\x80"s,
                                  "\xF8\x88\x80\x80\x80"s,
                                  "\xE0\x9F\xBF"s,
                                  "\xF0\x8F\xBF\xBF"s,
                                  "\xC2"s,
                                  "\xE4\xB8\xAD\x80"s,
                                  "\xED\x9F\xBF"s,
                                  "\xEE\x80\x80"s,
                                  "\xF4\x8F\xBF\xBF"s,
                                  "\xF0\x90\x80\x80"s,
                                  "\xE0\xA0\x80"s,
                                  "\xC2\x80"s};
    for (const std::string& fault : faults) {
        for (const std::size_t at : offsets) {
            for (const Around& around : arounds) {
                ExpectEveryValidatorAgrees(
                    before(around, at) + fault + around.text,
                    testing::PrintToString(fault) + " at " + std::to_string(at));
                // At the very end, so that the text stops inside or right after it.
                ExpectEveryValidatorAgrees(
                    before(around, at) + fault,
                    testing::PrintToString(fault) + " ending at " + std::to_string(at));
            }
        }
    }
    // A character cut short by a kilobyte of ASCII, the rest of it after that.
    for (const std::string& character : {"\xE4\xB8\xAD"s, "\xF0\x9F\x98\x80"s}) {
        for (std::size_t cut = 1; cut < character.size(); ++cut) {
            ExpectEveryValidatorAgrees(std::string(1024 - cut, 'x') + character.substr(0, cut) +
                                           std::string(1024, 'x') + character.substr(cut) +
                                           std::string(100, 'x'),
                                       "cut across ASCII after " + std::to_string(cut));
        }
    }
    // Valid text holding the leads with narrowed ranges, cut at every length (inside a
    // character is the only fault) and with each byte in turn replaced.
    const char* const narrowed[] = {"中",           "\xE0\xA0\x80",     "a",
                                    "\xED\x9F\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
                                    "\xC2\x80",     "\xEF\xBF\xBF"};
    std::string mixed;
    for (std::size_t k = 0; mixed.size() < 2200; ++k) {
        mixed += narrowed[k * 3 % std::size(narrowed)];
    }
    ASSERT_TRUE(IsWellFormedItemByItem(mixed));
    for (const std::string& text : {chinese, emoji, mixed}) {
        ASSERT_TRUE(IsWellFormedItemByItem(text));
        for (const std::size_t length : offsets) {
            ExpectEveryValidatorAgrees(std::string_view(text).substr(0, length),
                                       "cut at " + std::to_string(length));
        }
    }
    for (const std::size_t at : offsets) {
        for (const char replacement : {'a', '\x80', '\x8F', '\x9F', '\xBF', '\xC2', '\xE0', '\xED',
                                       '\xE4', '\xF0', '\xF4'}) {
            std::string changed = mixed.substr(0, 2100);
            changed[at] = replacement;
            ExpectEveryValidatorAgrees(
                changed, testing::PrintToString(replacement) + " replacing " + std::to_string(at));
        }
    }
    std::mt19937 random(19);
    const char pieces[][5] = {"a",
                              "\xC3\xA9",
                              "\xE4\xB8\xAD",
                              "\xF0\x9F\x98\x80",
                              "\x80",
                              "\xE4",
                              "\xED\x9F\xBF",
                              "\xEF\xBF\xBF",
                              "\xF4\x8F\xBF\xBF",
                              "\xE0\xA0\x80",
                              "\xF0\x90\x80\x80"};
    for (int round = 0; round < 4000; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % (round % 8 == 0 ? 1500 : 150));
        for (int k = 0; k < count; ++k) {
            bytes += pieces[random() % 4 == 0 ? random() % std::size(pieces) : random() % 4];
        }
        ExpectEveryValidatorAgrees(bytes, testing::PrintToString(bytes));
        // Any bytes at all.
        std::string noise(random() % (round % 8 == 0 ? 2500 : 200), '\0');
        for (char& byte : noise) {
            byte = static_cast<char>(random() % 8 == 0 ? random() : 0x80 + random() % 0x80);
        }
        ExpectEveryValidatorAgrees(noise, testing::PrintToString(noise));
    }
}

TEST(DocumentEncodingTest, EveryScalarValueRoundTripsThroughEachEncodingAndMatchesIconv) {
    const AllScalars& all = EveryScalarValue();
    for (FileEncoding encoding : kUnicodeEncodings) {
        SCOPED_TRACE(EncodingName(encoding));
        Iconv toFile(IconvName(encoding), "UTF-8");
        ASSERT_TRUE(toFile.IsOpen());
        const std::optional<ByteString> bytes = EncodeDocument(all.text, encoding);
        ASSERT_TRUE(bytes.has_value());
        const std::optional<std::string> reference = toFile.Convert(all.utf8);
        ASSERT_TRUE(reference.has_value());
        ASSERT_TRUE(*bytes == std::string(ByteOrderMark(encoding)) + *reference)
            << "the file bytes are the standard encoding of every character";
        ASSERT_EQ(RecogniseEncoding(*bytes), encoding);
        const DecodedDocument decoded = DecodeDocument(*bytes, encoding, GbkCut::Opened);
        ASSERT_TRUE(decoded.text == all.text) << "the text comes back byte for byte";
        EXPECT_FALSE(decoded.cut);
        EXPECT_FALSE(decoded.keptUndecodable);
        ASSERT_TRUE(OpenedAndSaved(*bytes) == *bytes);
    }
}

TEST(DocumentEncodingTest, RandomValidFilesAndMarkedFilesSaveBackByteForByte) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const Text text = test::RandomValidText(random, static_cast<int>(1 + random() % 400));
        for (FileEncoding encoding : kUnicodeEncodings) {
            const std::optional<ByteString> bytes = EncodeDocument(text, encoding);
            ASSERT_TRUE(bytes.has_value());
            const ByteString saved = OpenedAndSaved(*bytes);
            ASSERT_TRUE(saved == *bytes || (encoding == FileEncoding::Utf8 && saved == text))
                << EncodingName(encoding) << " round " << round;
        }
    }
}

TEST(DocumentEncodingTest, UndecodableUtf16IsKeptAndSavedBackUnchanged) {
    struct Row {
        ByteString bytes;
        FileEncoding encoding;
        bool kept;
    };
    const Row rows[] = {
        {"\xFF\xFE"
         "a\0\x00\xD8"
         "b\0"s,
         FileEncoding::Utf16Le, true},
        {"\xFF\xFE\x00\xDC\x3D\xD8"s, FileEncoding::Utf16Le, true},
        {"\xFE\xFF\xD8\x3D\xDE\x00\xD8\x3D"s, FileEncoding::Utf16Be, true},
        {"\xFF\xFE"
         "a\0"
         "\x41"s,
         FileEncoding::Utf16Le, true},
        {"\xFE\xFF\xFF"s, FileEncoding::Utf16Be, true},
        {"\xFF\xFE"s, FileEncoding::Utf16Le, false},
        {"\xFF\xFE\x3D\xD8\x00\xDE"s, FileEncoding::Utf16Le, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        ASSERT_EQ(RecogniseEncoding(row.bytes), row.encoding);
        const DecodedDocument decoded = DecodeDocument(row.bytes, row.encoding, GbkCut::Opened);
        EXPECT_EQ(decoded.keptUndecodable, row.kept);
        EXPECT_EQ(decoded.text.find('\0'), Text::npos);
        EXPECT_EQ(OpenedAndSaved(row.bytes), row.bytes);
        EXPECT_EQ(CanEncodeDocument(decoded.text, FileEncoding::Utf8), !row.kept)
            << "kept units are not characters for any other encoding";
    }
    // Every unit value, lone, between characters; and any random units at all.
    ByteString every("\xFF\xFE");
    for (unsigned unit = 0xD800; unit <= 0xDFFF; ++unit) {
        every += "x"s + '\0' + static_cast<char>(unit & 0xFF) + static_cast<char>(unit >> 8);
    }
    every += "\x7F";
    EXPECT_TRUE(OpenedAndSaved(every) == every);
    std::mt19937 random(16);
    for (int round = 0; round < 2000; ++round) {
        ByteString bytes(round % 2 == 0 ? "\xFF\xFE" : "\xFE\xFF");
        const int count = static_cast<int>(random() % 40);
        for (int k = 0; k < count; ++k) {
            const unsigned roll = random() % 4;
            const unsigned unit = roll == 0 ? 0xD800 + random() % 0x800 : 1 + random() % 0xFFFF;
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        if (random() % 3 == 0) {
            bytes += static_cast<char>(random());
        }
        ASSERT_EQ(OpenedAndSaved(bytes), bytes) << testing::PrintToString(bytes);
    }
}

TEST(DocumentEncodingTest, BadInputGivesAClearResult) {
    // A zero stops the text (it holds no zero byte) and says so; Chinese before it stays.
    DecodedDocument decoded = DecodeDocument("中\0文"s, FileEncoding::Utf8, GbkCut::Opened);
    EXPECT_EQ(decoded.text, "\xD6\xD0");
    EXPECT_TRUE(decoded.cut);
    decoded = DecodeDocument(
        "\xFF\xFE"
        "a\0\0\0b\0"s,
        FileEncoding::Utf16Le, GbkCut::Opened);
    EXPECT_EQ(decoded.text, "a");
    EXPECT_TRUE(decoded.cut);
    // A mark alone is an empty document that saves back as the mark.
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        EXPECT_EQ(DecodeDocument(mark, RecogniseEncoding(mark), GbkCut::Opened).text, "");
        EXPECT_EQ(OpenedAndSaved(mark), mark);
    }
    // Not valid UTF-8, so GBK: the bytes are the text, unchanged.
    for (const ByteString& bytes : {"中\xE6\x96"s, std::string(1 << 20, 'a') + "\xFF", "\xFF"s}) {
        EXPECT_EQ(DecodeDocument(bytes, RecogniseEncoding(bytes), GbkCut::Opened).text, bytes);
    }
    // UTF-8 forced on bytes that are not keeps the stray ones.
    EXPECT_EQ(DecodeDocument("a\xFF"
                             "b",
                             FileEncoding::Utf8, GbkCut::Opened)
                  .text,
              "a\xFF"
              "b");
}

TEST(DocumentEncodingTest, WellFormedUtf8IsKeptAsTheFileBytesForTheEditor) {
    struct Row {
        ByteString bytes;
        FileEncoding encoding;
        std::optional<std::string> kept;  // the UTF-8 kept, or nothing when converted
        bool cut;
    };
    const Row rows[] = {
        {"中文\r\n", FileEncoding::Utf8, "中文\r\n", false},
        {"\xEF\xBB\xBF中", FileEncoding::Utf8Bom, "中", false},
        {"\xEF\xBB\xBF", FileEncoding::Utf8Bom, "", false},
        {"中\0文"s, FileEncoding::Utf8, "中", true},
        // Forced on bytes that are not UTF-8: converted, the stray byte kept as it is.
        {"a\xFF", FileEncoding::Utf8, std::nullopt, false},
        {"\xD6\xD0", FileEncoding::Gbk, std::nullopt, false},
        {"\xFF\xFE"
         "a\0"s,
         FileEncoding::Utf16Le, std::nullopt, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        DecodedDocument decoded =
            DecodeDocument(row.bytes, row.encoding, GbkCut::Opened, WellFormedUtf8::Kept);
        const DecodedDocument converted = DecodeDocument(row.bytes, row.encoding, GbkCut::Opened);
        EXPECT_EQ(decoded.cut, row.cut);
        ASSERT_EQ(decoded.fileBytes.has_value(), row.kept.has_value());
        if (row.kept) {
            EXPECT_EQ(decoded.fileBytes->substr(decoded.utf8Start, decoded.utf8Length), *row.kept);
            EXPECT_EQ(decoded.text, "");
        }
        // Either way the editor ends up with the very text the conversion gives.
        MemoryEditor editor;
        editor.ReplaceText("old");
        ReplaceWithDecoded(editor, decoded);
        EXPECT_EQ(editor.ReadText(), converted.text);
    }
}

TEST(DocumentEncodingTest, BytesThatAreNoCharacterAreNeverWrittenAsUnicode) {
    const Text undecodable[] = {
        "\xFF",
        "a\xD6",
        "\x81\x7F",
        "\xA2\xE3",
        "\xD6\x30z",
        "\x81\x30\x81",
        "\x84\x31\xA5\x30",   // past the last four-byte code of the BMP
        "\xA2\xFF\x82\xFF!",  // the odd-byte mark of UTF-16, not at the end
        "\xA5\xFF\x81\xFF",   // past the last unit mark
    };
    for (const Text& text : undecodable) {
        SCOPED_TRACE(testing::PrintToString(text));
        for (FileEncoding encoding : kUnicodeEncodings) {
            EXPECT_FALSE(EncodeDocument("ok" + text, encoding).has_value())
                << EncodingName(encoding);
            EXPECT_FALSE(CanEncodeDocument("ok" + text, encoding));
        }
        EXPECT_EQ(EncodeDocument(text, FileEncoding::Gbk), text) << "GBK holds any bytes";
    }
}

}  // namespace
}  // namespace velmor
