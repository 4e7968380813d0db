#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

#include "codec/Base64Codec.h"
#include "codec/HexCodec.h"
#include "codec/Rc4Codec.h"
#include "codec/RepeatedPasses.h"
#include "core/TextPrimitives.h"

namespace velmor {
namespace {

struct DecodeRow {
    Text input;
    ByteString expected;
};

void PrintTo(const DecodeRow& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.input);
}

class Base64DecodeTable : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(Base64DecodeTable, DecodesByTheTolerantRules) {
    EXPECT_EQ(Base64Decode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Base64DecodeTable,
    ::testing::Values(DecodeRow{"", ""}, DecodeRow{"YQ", ByteString("a\0\0", 3)},
                      DecodeRow{"QUI", ByteString("AB\0", 3)}, DecodeRow{"Q Q = =", "A"},
                      DecodeRow{"QUJD", "ABC"}, DecodeRow{"QUJD=", "ABC"},
                      DecodeRow{"QUJD.", "ABC"}, DecodeRow{"=", ""},
                      DecodeRow{"QUJ\tD", ByteString("ABI\x0C\0\0", 6)},
                      // Line breaks, spaces and full-width spaces anywhere are dropped.
                      DecodeRow{"QU\r\nJD\xA1\xA1ZW Y=", "ABCef"},
                      // A space between CR and LF lets them meet and go too.
                      DecodeRow{"QUJD\r \nZGVm", "ABCdef"},
                      // A pair removed once is not looked at again: the CR LF left stays.
                      DecodeRow{"QUJD\r\r\n\n", "ABC"},
                      // A trail byte CR does not form a pair with the LF after it.
                      DecodeRow{"\x81\r\nQ", ""},
                      // A stray group keeps the work values of the positions it did not reach.
                      DecodeRow{"QUJD!", "ABC"}, DecodeRow{"QUJDQU!", "ABCA"},
                      DecodeRow{"QUJDQUJ!", "ABCAB"},
                      DecodeRow{"QUJD!AAAA", ByteString("ABC\x85"
                                                        "BC\0\0\0",
                                                        9)}));

// The decoder as the rules read, over whole texts, for comparing with the one-pass decoder.
ByteString ReferenceBase64Decode(const Text& input) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const Text text = TextReplace(TextStripSpaces(input), "\r\n", "", 1, -1, true);
    const int length = TextLen(text);
    const int groups = (length + 3) / 4;
    int work[5] = {0, 0, 0, 0, 0};
    int stop = 5;
    ByteString out;
    for (int g = 0; g < groups; ++g) {
        stop = 5;
        for (int p = 1; p <= 4; ++p) {
            const int position = 4 * g + p;
            const int x = position <= length ? static_cast<unsigned char>(text[position - 1]) : 0;
            const std::size_t value = x == 0 ? 0 : alphabet.find(static_cast<char>(x));
            if (x == 0) {
                work[p] = 0;
            } else if (value != std::string::npos) {
                work[p] = static_cast<int>(value);
            } else {
                work[p] = x;
                stop = p;
                break;
            }
        }
        out += static_cast<char>((work[1] * 4 | work[2] / 16) & 0xFF);
        out += static_cast<char>((work[2] * 16 | work[3] / 4) & 0xFF);
        out += static_cast<char>((work[3] * 64 | work[4]) & 0xFF);
    }
    if (groups > 0 && stop < 5) {
        out.resize(out.size() - std::min(5 - stop, 3));
    }
    return out;
}

TEST(Base64Decode, AgreesWithTheRulesOnRandomNoisyInput) {
    std::mt19937 random(5);
    const std::string pieces[] = {"Q",  "U", "J",        "D",        "z",    "+",
                                  "/",  "=", " ",        "\xA1\xA1", "\r",   "\n",
                                  "\t", ".", "\xD6\xD0", "\x81",     "\xA1", "\x80"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int round = 0; round < 20000; ++round) {
        Text input;
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k) {
            input += pieces[pick(random)];
        }
        ASSERT_EQ(Base64Decode(input), ReferenceBase64Decode(input))
            << ::testing::PrintToString(input);
    }
}

TEST(Base64Encode, PadsAndNeverBreaksLines) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("a"), "YQ==");
    EXPECT_EQ(Base64Encode("ab"), "YWI=");
    EXPECT_EQ(Base64Encode("abc"), "YWJj");
    EXPECT_EQ(Base64Encode(ByteString("\xD6\xD0\0\xFF", 4)), "1tAA/w==");
    EXPECT_EQ(Base64Encode(ByteString(300, 'x')).find('\n'), std::string::npos);
}

// Bit by bit, as the encodings are defined.
Text ReferenceBase64Encode(const ByteString& bytes) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    Text out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        unsigned group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = group << 8 | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            out += k <= count ? alphabet[group >> (18 - 6 * k) & 63] : '=';
        }
    }
    return out;
}

Text ReferenceHexEncode(const Text& text) {
    Text out;
    for (const char c : text) {
        out += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4];
        out += "0123456789ABCDEF"[static_cast<unsigned char>(c) & 15];
    }
    return out;
}

ByteString RandomBytes(std::mt19937& random, std::size_t length) {
    ByteString bytes(length, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

// Every length up to a few vector steps, at every alignment of the input.
TEST(WideEncoding, EveryLengthAndAlignmentEncodesAsTheDefinition) {
    std::mt19937 random(11);
    const ByteString pool = RandomBytes(random, 300);
    for (std::size_t offset = 0; offset < 32; ++offset) {
        for (std::size_t length = 0; offset + length <= 200; ++length) {
            const ByteString bytes = pool.substr(offset, length);
            ASSERT_EQ(Base64Encode(bytes), ReferenceBase64Encode(bytes)) << offset << " " << length;
            ASSERT_EQ(HexEncode(bytes), ReferenceHexEncode(bytes)) << offset << " " << length;
        }
    }
}

// In its own buffer the text is encoded from the last chunk to the first; the first chunks'
// output overlaps their input. Lengths around the chunk sizes, with room and without.
TEST(WideEncoding, EncodingInPlaceGivesTheSameTextWithRoomOrWithout) {
    std::mt19937 random(12);
    for (const std::size_t length : {0, 1, 2, 3, 4095, 4096, 4097, 8191, 8193, 12287, 12288, 12289,
                                     36863, 36865, 49153, 100003}) {
        const ByteString bytes = RandomBytes(random, length);
        for (const bool room : {false, true}) {
            ByteString base64 = bytes;
            ByteString hex = bytes;
            if (room) {
                base64.reserve(2 * length + 4);
                hex.reserve(2 * length + 4);
            }
            const char* const buffer = base64.data();
            Base64EncodeInPlace(base64);
            HexEncodeInPlace(hex);
            ASSERT_EQ(base64, ReferenceBase64Encode(bytes)) << length << " " << room;
            ASSERT_EQ(hex, ReferenceHexEncode(bytes)) << length << " " << room;
            if (room) {
                EXPECT_EQ(base64.data(), buffer) << "the room was not used";
            }
        }
    }
}

struct HexRow {
    Text input;
    Text expected;
};

void PrintTo(const HexRow& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.input);
}

class HexDecodeTable : public ::testing::TestWithParam<HexRow> {};

TEST_P(HexDecodeTable, ReadsPairsByPosition) {
    EXPECT_EQ(HexDecode(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, HexDecodeTable,
    ::testing::Values(HexRow{"D6D041",
                             "\xD6\xD0"
                             "A"},
                      HexRow{"d6d041",
                             "\xD6\xD0"
                             "A"},
                      HexRow{"D6D04", "\xD6\xD0"}, HexRow{"G1", "\x11"}, HexRow{"1G", "\x10"},
                      HexRow{"GG", ""}, HexRow{"GG41", ""}, HexRow{"4142 43", "ABD"},
                      HexRow{"41\r\n42", "A"}, HexRow{"41\r\n\r\n42", "A"}, HexRow{"410042", "A"},
                      HexRow{"", ""}, HexRow{"4", ""},
                      // After a lead byte the second byte is a trail byte and keeps its case:
                      // "A" is then no digit and counts as 0; "a" still is one.
                      HexRow{"\xD6"
                             "A",
                             ""},
                      HexRow{"\xD6"
                             "a41",
                             "\xAA"
                             "A"}));

TEST(HexEncode, WritesTwoUpperCaseDigitsPerByte) {
    EXPECT_EQ(HexEncode("\xD6\xD0"
                        "A"),
              "D6D041");
    EXPECT_EQ(HexEncode("\x01\x0F\xFF"), "010FFF");
    EXPECT_EQ(HexEncode(""), "");
}

TEST(Rc4, CipherTextHasThreeCharactersPerByteAndEndsWithAComma) {
    const Text text = "a\xD6\xD0\r\nb";
    const Text cipher = Rc4Encode(text, "key");
    EXPECT_EQ(cipher.size(), 3 * text.size());
    EXPECT_EQ(cipher.back(), ',');
    for (std::size_t k = 0; k < cipher.size(); k += 3) {
        EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(cipher[k])) &&
                    !std::islower(cipher[k]));
        EXPECT_EQ(cipher[k + 2], ',');
    }
    EXPECT_EQ(Rc4Encode("", "key"), "");
    EXPECT_EQ(Rc4Decode("", "key"), "");
}

TEST(Rc4, StreamIsNotThePublishedOne) {
    // The published cipher gives BB F3 16 E8 D9 40 AF 0A D3 for this key and text.
    EXPECT_NE(Rc4Encode("Plaintext", "Key"), "BB,F3,16,E8,D9,40,AF,0A,D3,");
}

TEST(Rc4, DecodesWithAnyKeyItEncodedWith) {
    const Text keys[] = {"", "k", "\xD6\xD0\xCE\xC4", "line1\r\nline2", Text(300, 'z')};
    const Text text = "Hello, \xD6\xD0\xCE\xC4!\r\n";
    for (const Text& key : keys) {
        const Text cipher = Rc4Encode(text, key);
        EXPECT_EQ(Rc4Decode(cipher, key), text);
        Text lower = cipher;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(Rc4Decode(lower, key), text);
    }
    EXPECT_NE(Rc4Decode(Rc4Encode(text, "a"), "b"), text);
}

TEST(Rc4, ChunksOfNonDigitsCountMinusTwo) {
    // Learn the first stream byte of the key from a known byte, then decode crafted chunks.
    const int stream = std::stoi(Rc4Encode("\x01", "k").substr(0, 2), nullptr, 16) ^ 0x01;
    auto first = [&](const Text& chunk) {
        const Text plain = Rc4Decode(chunk, "k");
        return plain.empty() ? 0 : static_cast<unsigned char>(plain[0]);
    };
    EXPECT_EQ(first("1G"), 0x0E ^ stream);
    EXPECT_EQ(first("G1"), 0xE1 ^ stream);
    EXPECT_EQ(first("\r\n"), 0xDE ^ stream);
    EXPECT_EQ(first(",1,,G,"), 0x0E ^ stream);
    EXPECT_EQ(first("7"), 0x07 ^ stream);
}

TEST(RepeatedPasses, SkippingCyclesGivesTheSameTextAsRunningEveryPass) {
    // A walk that enters a cycle of three after two steps.
    auto step = [](Text& text) {
        static const std::map<Text, Text> next = {
            {"s", "t"}, {"t", "a"}, {"a", "b"}, {"b", "c"}, {"c", "a"}};
        text = next.at(text);
        return true;
    };
    for (long long count = -1; count < 40; ++count) {
        Text skipped = "s";
        RunPasses(skipped, count, step);
        Text walked = "s";
        for (long long k = 0; k < count; ++k) {
            step(walked);
        }
        EXPECT_EQ(skipped, walked) << count;
    }
    Text huge = "s";
    RunPasses(huge, 2000000000, step);
    EXPECT_EQ(huge, Text(1, "abc"[(2000000000 - 2) % 3]));
}

TEST(RepeatedPasses, ARefusedPassKeepsTheLastCompleteOne) {
    int passes = 0;
    Text text = "x";
    EXPECT_FALSE(RunPasses(text, 10, [&passes](Text& t) {
        if (t.size() >= 4) {
            return false;
        }
        t += t;
        ++passes;
        return true;
    }));
    EXPECT_EQ(text, "xxxx");
    EXPECT_EQ(passes, 2);
}

}  // namespace
}  // namespace velmor
