#include "transform/ChineseScript.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/CodePage936.h"
#include "core/CommandRegistry.h"
#include "core/MemoryEditor.h"
#include "core/Utf8.h"

namespace velmor {
namespace {

std::u32string Decode(std::string_view utf8) {
    std::vector<char32_t> codes;
    EXPECT_TRUE(DecodeUtf8(utf8, codes));
    return std::u32string(codes.begin(), codes.end());
}

std::string Encode(const std::u32string& codes) {
    std::string out;
    for (char32_t c : codes) {
        AppendUtf8(out, c);
    }
    return out;
}

// Phrases first (longest listed first), then single characters; everything else unchanged.
// Counts its calls so the tests can see that text goes through in batches.
class FakeConverter : public ChineseConverter {
public:
    std::vector<std::pair<std::u32string, std::u32string>> phrases;
    std::map<char32_t, char32_t> characters;
    mutable int calls = 0;

    std::string ToSimplified(std::string_view utf8) const override { return Map(utf8); }
    std::string ToTraditional(std::string_view utf8) const override { return Map(utf8); }

private:
    std::string Map(std::string_view utf8) const {
        ++calls;
        const std::u32string in = Decode(utf8);
        std::u32string out;
        for (std::size_t i = 0; i < in.size();) {
            bool matched = false;
            for (const auto& [from, to] : phrases) {
                if (in.compare(i, from.size(), from) == 0) {
                    out += to;
                    i += from.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                auto found = characters.find(in[i]);
                out += found == characters.end() ? in[i] : found->second;
                ++i;
            }
        }
        return Encode(out);
    }
};

Text Gbk(const char* utf8) {
    return Utf8ToGbk(utf8);
}

FakeConverter MakeConverter() {
    FakeConverter converter;
    converter.characters = {
        {U'国', U'國'}, {U'发', U'發'},
        {U'头', U'頭'}, {U'丁', U'\U0001F600'},  // no code page 936 code
        {U'戊', U'€'},                           // 0x80, outside GBK proper
        {U'己', U'z'},
    };
    converter.phrases = {
        {U"头发", U"頭髮"},
        {U"一二三", U"一二三四"},  // grows
        {U"甲乙", U"丙"},          // shrinks
    };
    return converter;
}

struct Row {
    const char* what;
    Text input;
    Text expected;
};

TEST(ChineseScriptTest, KeepsByteLengthAndAlignment) {
    const FakeConverter converter = MakeConverter();
    const Text fourByte = EncodeCodePoint(U'\U0001F600');
    ASSERT_EQ(fourByte.size(), 4u);
    const Row rows[] = {
        {"characters", Gbk("中国"), Gbk("中國")},
        {"phrase", Gbk("头发国"), Gbk("頭髮國")},
        {"growing phrase falls back to characters", Gbk("一二三国"), Gbk("一二三國")},
        {"shrinking phrase falls back to characters", Gbk("国甲乙发"), Gbk("國甲乙發")},
        {"fallback is per stretch", Gbk("一二三国\r\n头发"), Gbk("一二三國\r\n頭髮")},
        {"no code page 936 code", Gbk("a丁国"), Gbk("a丁國")},
        {"0x80 is no GBK other readers take", Gbk("戊国x"), Gbk("戊國x")},
        {"to ASCII", Gbk("己己国"), "zz" + Gbk("國") + "  "},
        {"ASCII and controls", Gbk("国\r\n\t国 A~"), Gbk("國\r\n\t國 A~")},
        {"trailing lone lead byte", Gbk("国") + "\xB9", Gbk("國") + "\xB9"},
        {"invalid pair", "\x81\x0A" + Gbk("国") + "\xFF\xFF", "\x81\x0A" + Gbk("國") + "\xFF\xFF"},
        {"0x80 pair",
         "\x80"
         "A" +
             Gbk("国"),
         "\x80"
         "A" +
             Gbk("國")},
        {"four-byte sequence", Gbk("国") + fourByte + Gbk("国"), Gbk("國") + fourByte + Gbk("國")},
        {"empty", "", ""},
    };
    for (const Row& row : rows) {
        const Text result = ConvertChineseScript(row.input, ChineseScript::Traditional, converter);
        EXPECT_EQ(result, row.expected) << row.what;
        EXPECT_EQ(result.size(), row.input.size()) << row.what;
    }
}

TEST(ChineseScriptTest, LargeTextGoesThroughInBatchesAndStaysAligned) {
    FakeConverter converter = MakeConverter();
    Text input;
    Text expected;
    for (int line = 0; line < 30000; ++line) {
        input += Gbk(line % 3 == 0 ? "一二三国头发" : "国中发") + "\r\n";
        expected += Gbk(line % 3 == 0 ? "一二三國頭發" : "國中發") + "\r\n";
    }
    const Text result = ConvertChineseScript(input, ChineseScript::Traditional, converter);
    EXPECT_EQ(result, expected);
    EXPECT_GT(converter.calls, 1);
    EXPECT_LT(converter.calls, 200) << "stretches are not converted one call each";
}

// Converters that break the joined batches: everything must still come out aligned.
class DroppingLineFeeds : public FakeConverter {
public:
    std::string ToTraditional(std::string_view utf8) const override {
        std::string out = FakeConverter::ToTraditional(utf8);
        std::erase(out, '\n');
        return out;
    }
};

class Garbling : public ChineseConverter {
public:
    std::string ToSimplified(std::string_view) const override { return "\xFF\xFE"; }
    std::string ToTraditional(std::string_view) const override { return "\xFF\xFE"; }
};

TEST(ChineseScriptTest, MisbehavingConvertersNeverMisplaceCharacters) {
    DroppingLineFeeds dropping;
    dropping.characters = {{U'国', U'國'}};
    const Text input = Gbk("国a中国\r\n国");
    EXPECT_EQ(ConvertChineseScript(input, ChineseScript::Traditional, dropping),
              Gbk("國a中國\r\n國"));
    EXPECT_EQ(ConvertChineseScript(input, ChineseScript::Simplified, Garbling()), input);
}

TEST(ChineseScriptTest, CommandsUseTheRunsConverterAndKeepTheDocumentWithoutOne) {
    const CommandRegistry registry = BuildCommandRegistry();
    const FakeConverter converter = MakeConverter();
    for (const char* name : {"到简体", "到繁体"}) {
        MemoryEditor editor(Gbk("国"));
        Services services;
        services.chinese = &converter;
        CommandContext context{editor, services};
        CommandRegistry::RunDirect(*registry.FindByName(name), context);
        EXPECT_EQ(editor.ReadText(), Gbk("國")) << name;
        EXPECT_EQ(editor.ChangeNotifications(), 1) << name;
        EXPECT_EQ(editor.NoticeSteps(), 1) << name;

        MemoryEditor unconverted(Gbk("国"));
        Services none;
        CommandContext bare{unconverted, none};
        CommandRegistry::RunDirect(*registry.FindByName(name), bare);
        EXPECT_EQ(unconverted.ReadText(), Gbk("国")) << name;
    }
}

}  // namespace
}  // namespace velmor
