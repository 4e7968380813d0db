#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/OpenCcConverter.h"
#include "transform/ChineseScript.h"

// Every double-byte GBK character through both script conversions, checked against glibc's
// iconv: what the conversion writes must be GBK that other programs read.

namespace velmor {
namespace {

// glibc's reading of a GBK byte string, nothing when it rejects any of it.
std::optional<std::string> IconvGbkToUtf8(const std::string& gbk) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(gbk.size() * 3 + 16, '\0');
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    char* outPointer = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - outLeft);
    return out;
}

// Every pair glibc reads as one GBK character.
std::vector<std::string> ReadablePairs() {
    std::vector<std::string> pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (IconvGbkToUtf8(pair)) {
                pairs.push_back(pair);
            }
        }
    }
    return pairs;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

class ScriptConversionGbk : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_converter.CanConvertToSimplified() || !m_converter.CanConvertToTraditional()) {
            GTEST_SKIP() << "OpenCC dictionaries are not installed";
        }
    }
    OpenCcConverter m_converter;
};

TEST_F(ScriptConversionGbk, EveryPairConvertsToGbkThatIconvReads) {
    const std::vector<std::string> pairs = ReadablePairs();
    ASSERT_GT(pairs.size(), 21000u) << "glibc's GBK table looks incomplete";
    // One character a line, so that no phrase joins neighbours.
    std::string text;
    for (const std::string& pair : pairs) {
        text += pair + "\r\n";
    }
    for (const ChineseScript target : {ChineseScript::Simplified, ChineseScript::Traditional}) {
        const Text converted = ConvertChineseScript(text, target, m_converter);
        ASSERT_EQ(converted.size(), text.size());
        int unreadable = 0;
        for (std::size_t at = 0; at < text.size(); at += 4) {
            const std::string result = converted.substr(at, 2);
            if (!IconvGbkToUtf8(result) && ++unreadable <= 20) {
                ADD_FAILURE() << Hex(text.substr(at, 2)) << " became " << Hex(result)
                              << (target == ChineseScript::Simplified ? " (到简体)" : " (到繁体)");
            }
        }
        EXPECT_EQ(unreadable, 0);
        EXPECT_TRUE(IconvGbkToUtf8(converted).has_value());
    }
}

// Characters whose counterpart lies only in the user-defined areas stay as they were.
TEST_F(ScriptConversionGbk, ACounterpartWithoutAReadableCodeKeepsTheCharacter) {
    struct Row {
        const char* gbk;
        const char* what;
    };
    const Row rows[] = {
        {"\x86\xB7", "喎"},
        {"\xBC\x97", "紬"},
        {"\xE8\x40", "鐯"},
    };
    for (const Row& row : rows) {
        const Text converted =
            ConvertChineseScript(row.gbk, ChineseScript::Simplified, m_converter);
        EXPECT_TRUE(IconvGbkToUtf8(converted).has_value()) << row.what << " → " << Hex(converted);
    }
    EXPECT_EQ(ConvertChineseScript("\x86\xB7", ChineseScript::Simplified, m_converter), "\x86\xB7");
}

}  // namespace
}  // namespace velmor
