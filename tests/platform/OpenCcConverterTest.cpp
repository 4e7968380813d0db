#include "platform/OpenCcConverter.h"

#include <gtest/gtest.h>

#include "core/CodePage936.h"
#include "transform/ChineseScript.h"

namespace velmor {
namespace {

TEST(OpenCcConverterTest, ConvertsBothWaysByPhrase) {
    const OpenCcConverter converter;
    ASSERT_TRUE(converter.CanConvertToTraditional());
    ASSERT_TRUE(converter.CanConvertToSimplified());
    struct Row {
        const char* simplified;
        const char* traditional;
    };
    // 发 becomes 髮 in 头发 but 發 in 发展: only a phrase dictionary tells them apart.
    const Row rows[] = {
        {"头发", "頭髮"},
        {"发展", "發展"},
        {"简体中文", "簡體中文"},
        {"abc 123\r\n", "abc 123\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(converter.ToTraditional(row.simplified), row.traditional) << row.simplified;
        EXPECT_EQ(converter.ToSimplified(row.traditional), row.simplified) << row.traditional;
    }
    EXPECT_EQ(converter.ToTraditional(""), "");
}

TEST(OpenCcConverterTest, MissingDictionariesLeaveTextUnchanged) {
    const OpenCcConverter converter("/nonexistent/opencc");
    EXPECT_FALSE(converter.CanConvertToTraditional());
    EXPECT_EQ(converter.ToTraditional("头发"), "头发");
    EXPECT_EQ(converter.ToSimplified("頭髮"), "頭髮");
}

TEST(OpenCcConverterTest, GbkDocumentKeepsItsLengthThroughTheConverter) {
    const OpenCcConverter converter;
    const Text simplified = Utf8ToGbk("头发和发展\r\n简体中文 abc");
    const Text traditional =
        ConvertChineseScript(simplified, ChineseScript::Traditional, converter);
    EXPECT_EQ(traditional, Utf8ToGbk("頭髮和發展\r\n簡體中文 abc"));
    EXPECT_EQ(ConvertChineseScript(traditional, ChineseScript::Simplified, converter), simplified);
}

}  // namespace
}  // namespace velmor
