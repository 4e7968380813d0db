#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "../support/FixedMemoryBudget.h"
#include "../support/RandomText.h"
#include "codec/Base64Codec.h"
#include "codec/CodecDialog.h"
#include "codec/EscapeConversion.h"
#include "codec/HexCodec.h"
#include "codec/Rc4Codec.h"
#include "core/CodePage936.h"
#include "core/MemoryEditor.h"

namespace velmor {
namespace {

class CodecDialogTest : public ::testing::Test {
protected:
    CodecDialogTest() : m_session(CodecDialog(), m_context) {}

    void Select(const char* listName, const char* utf8Item) {
        ASSERT_TRUE(m_session.SelectDropDownItem(listName, Utf8ToGbk(utf8Item))) << utf8Item;
    }
    const Control& At(const char* name) { return m_session.Fields().At(name); }
    Text Press(const Text& document) {
        m_editor.ReplaceText(document);
        EXPECT_TRUE(m_session.Press("按钮1"));
        return m_editor.ReadText();
    }

    MemoryEditor m_editor;
    Services m_services;
    CommandContext m_context{m_editor, m_services};
    DialogSession m_session;
};

TEST_F(CodecDialogTest, OpensWithTheDefaultsOfItsTable) {
    EXPECT_EQ(At("组合框_编解码方式").text, "BASE64");
    EXPECT_EQ(At("编辑框_处理次数").text, "1");
    EXPECT_FALSE(At("选择夹1").visible);
    EXPECT_TRUE(At("单选框_加密").checked);
    EXPECT_FALSE(At("单选框_解密").checked);
    EXPECT_EQ(At("组合框_U码转换的类型").text, "to16on");
    EXPECT_EQ(At("按钮1").caption, "确定");
}

TEST_F(CodecDialogTest, FieldsFollowTheSelectedCodec) {
    struct Row {
        const char* codec;
        bool tabsVisible;
        int page;
        bool directionEnabled;
    };
    m_session.SetEditText("编辑框_密钥", "key");
    m_session.SelectDropDownItem("组合框_U码转换的类型", "to10un");
    m_session.ClickRadio("单选框_解密");
    for (const Row& row : {Row{"RC4", true, 0, true}, Row{"U码转换", true, 1, false},
                           Row{"BASE64", false, 1, true}, Row{"十六进制", false, 1, true},
                           Row{"U码转换", true, 1, false}, Row{"RC4", true, 0, true}}) {
        Select("组合框_编解码方式", row.codec);
        EXPECT_EQ(At("选择夹1").visible, row.tabsVisible) << row.codec;
        if (row.tabsVisible) {
            EXPECT_EQ(At("选择夹1").currentIndex, row.page) << row.codec;
        }
        EXPECT_EQ(At("单选框_加密").enabled, row.directionEnabled) << row.codec;
        EXPECT_EQ(At("单选框_解密").enabled, row.directionEnabled) << row.codec;
        EXPECT_TRUE(At("单选框_解密").checked);
        EXPECT_EQ(At("编辑框_密钥").text, "key");
        EXPECT_EQ(At("组合框_U码转换的类型").text, "to10un");
    }
}

TEST_F(CodecDialogTest, RepeatCountChainsThePasses) {
    const Text start = "\xD6\xD0\xCE\xC4 abc";
    m_session.SetEditText("编辑框_处理次数", "2");
    const Text twice = Press(start);
    EXPECT_EQ(twice, Base64Encode(Base64Encode(start)));
    m_session.ClickRadio("单选框_解密");
    EXPECT_EQ(Press(twice), start);

    Select("组合框_编解码方式", "RC4");
    m_session.SetEditText("编辑框_密钥", "k\r\n\xD6\xD0");
    m_session.ClickRadio("单选框_加密");
    const Text cipher = Press(start);
    EXPECT_EQ(cipher, Rc4Encode(Rc4Encode(start, "k\r\n\xD6\xD0"), "k\r\n\xD6\xD0"));
    m_session.ClickRadio("单选框_解密");
    EXPECT_EQ(Press(cipher), start);

    Select("组合框_编解码方式", "十六进制");
    m_session.ClickRadio("单选框_加密");
    EXPECT_EQ(Press(start), HexEncode(HexEncode(start)));
    m_session.ClickRadio("单选框_解密");
    EXPECT_EQ(Press(HexEncode(HexEncode(start))), start);
}

TEST_F(CodecDialogTest, NoPassStillRewritesTheDocument) {
    for (const char* count : {"0", "", "abc", "-3"}) {
        m_session.SetEditText("编辑框_处理次数", count);
        const int before = m_editor.ChangeNotifications();
        EXPECT_EQ(Press("text"), "text");
        EXPECT_EQ(m_editor.ChangeNotifications(), before + 2) << count;  // ours and the press's
    }
    m_session.SetEditText("编辑框_处理次数", "1");
    EXPECT_EQ(Press(""), "");
}

TEST_F(CodecDialogTest, EscapeConversionRunsOnceWhateverTheCount) {
    Select("组合框_编解码方式", "U码转换");
    m_session.SetEditText("编辑框_处理次数", "5");
    EXPECT_EQ(Press("AB"), "\\u0041\\u0042");
    m_session.SetEditText("编辑框_处理次数", "0");
    m_session.SelectDropDownItem("组合框_U码转换的类型", "to16un");
    EXPECT_EQ(Press("\\u0041\\u0042"), "AB");
    EXPECT_FALSE(m_session.ClickRadio("单选框_解密"));
}

TEST_F(CodecDialogTest, EncodingThatWouldPassTheLimitStopsWithTheLastCompletePass) {
    m_session.SetEditText("编辑框_处理次数", "2000000000");
    m_editor.ReplaceText("abc");
    const test::FixedMemoryBudget budget(100);
    m_services.memory = &budget;
    RunCodec(m_session.Fields(), m_context);
    m_services.memory = nullptr;
    const Text result = m_editor.ReadText();
    EXPECT_LE(result.size(), 100u);
    EXPECT_GT(Base64EncodedSize(result.size()), 100u);
    ASSERT_EQ(m_editor.Messages().size(), 1u);
    EXPECT_EQ(m_editor.Messages()[0].text, "编码结果过大，已停止。");
    EXPECT_EQ(m_editor.Messages()[0].title, "错误");
    Text decoded = result;
    while (decoded != "abc" && !decoded.empty()) {
        decoded = Base64Decode(decoded);
    }
    EXPECT_EQ(decoded, "abc");
}

TEST_F(CodecDialogTest, HugeCountsOfDecodingEndQuickly) {
    m_session.SetEditText("编辑框_处理次数", "2000000000");
    m_session.ClickRadio("单选框_解密");
    for (const char* codec : {"BASE64", "RC4", "十六进制"}) {
        Select("组合框_编解码方式", codec);
        for (const Text& document : {Text("5"), Text("QUJD"), Text("41"), Text("1G"), Text("")}) {
            Press(document);
        }
    }
    EXPECT_TRUE(m_editor.Messages().empty());
}

TEST(CodecFuzz, AnyBytesDecodeWithoutHarmAndValidTextSurvivesEveryRoundTrip) {
    std::mt19937 random(11);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int rounds = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        ++rounds;
        Text noise(random() % 64, '\0');
        for (char& c : noise) {
            c = static_cast<char>(1 + random() % 255);
        }
        const Text key = noise.substr(0, random() % 8);
        Base64Decode(noise);
        Rc4Decode(noise, key);
        HexDecode(noise);
        for (const char* name : {"to16on", "to16un", "to10on", "to10un"}) {
            EscapeConvert(noise, name);
        }
        // The empty text is the one exception: its escapes are a lone prefix.
        if (!noise.empty()) {
            EXPECT_EQ(EscapeConvert(*EscapeConvert(noise, "to16on"), "to16un"), noise);
        }

        const Text text = test::RandomValidText(random, 1 + static_cast<int>(random() % 40));
        ASSERT_EQ(Base64Decode(Base64Encode(text)), text);
        ASSERT_EQ(Rc4Decode(Rc4Encode(text, key), key), text);
        ASSERT_EQ(HexDecode(HexEncode(text)), text);
        ASSERT_EQ(EscapeConvert(*EscapeConvert(text, "to16on"), "to16un"), text);
        ASSERT_EQ(EscapeConvert(*EscapeConvert(text, "to10on"), "to10un"), text)
            << ::testing::PrintToString(text);
    }
    EXPECT_GT(rounds, 100);
}

}  // namespace
}  // namespace velmor
