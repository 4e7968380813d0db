#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "GeneratorTestSupport.h"
#include "core/CodePage936.h"
#include "core/Numbers.h"
#include "core/TextPrimitives.h"
#include "generate/GenerateDialogs.h"
#include "generate/VariableTemplate.h"
#include "generate/VariableText.h"

namespace velmor {
namespace {

using test::Action;
using test::Check;
using test::Click;
using test::DialogRun;
using test::Press;
using test::Select;
using test::Set;

const Action kAdd = Press("按钮_添加");
const Action kChange = Press("按钮_修改");
const Action kDelete = Press("按钮_删除");
const Action kClear = Press("按钮_清空");
const Action kGenerate = Press("按钮1");

std::string Lines(int first, int last) {
    std::string text;
    for (int k = first; k <= last; ++k) {
        text += "显示图片 (图片框" + std::to_string(k) + ".图片，" + std::to_string(k) + ")\r\n";
    }
    return text;
}

struct Row {
    const char* what;
    std::vector<Action> actions;
    std::string expected;  // the document in UTF-8
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

class VariableTextTable : public ::testing::TestWithParam<Row> {};

TEST_P(VariableTextTable, WritesTheCopies) {
    const Row& row = GetParam();
    DialogRun run(VariableTextDialog(), "old");
    ASSERT_TRUE(run.Do(row.actions));
    EXPECT_EQ(run.DocumentUtf8(), row.expected);
    EXPECT_TRUE(run.Editor().Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VariableTextTable,
    ::testing::Values(
        Row{"the defaults added once", {kAdd, kGenerate}, Lines(1, 10)},
        Row{"two variables count together",
            {Set("编辑框_文本", "{@%0}:{@%1}\r\n"), kAdd, Set("编辑框_起始", "100"), kAdd,
             Set("编辑框_起始", "1"), kGenerate},
            "1:100\r\n2:101\r\n3:102\r\n4:103\r\n5:104\r\n6:105\r\n7:106\r\n8:107\r\n9:108\r\n"
            "10:109\r\n"},
        Row{"padding to three digits, longer values kept",
            {Set("编辑框_文本", "<{@%0}>"), Check("选择框1", true), Set("编辑框_起始", "8"),
             Set("编辑框_到达", "1001"), kAdd, kGenerate},
            [] {
                std::string text;
                for (int k = 8; k <= 1001; ++k) {
                    std::string digits = std::to_string(k);
                    text += "<" + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') +
                            digits + ">";
                }
                return text;
            }()},
        Row{"zeros go in front of the minus sign",
            {Set("编辑框_文本", "{@%0},"), Check("选择框1", true), Set("编辑框_起始", "-5"),
             Set("编辑框_到达", "-4"), kAdd, kGenerate},
            "0-5,0-4,"},
        Row{"an empty list writes the template once",
            {kGenerate},
            "显示图片 (图片框{@%0}.图片，{@%0})\r\n"},
        Row{"an end below the start empties the document",
            {Set("编辑框_起始", "5"), Set("编辑框_到达", "4"), kAdd, kGenerate},
            ""},
        Row{"without a line break the copies share one line",
            {Set("编辑框_文本", "[{@%0}]"), Set("编辑框_到达", "3"), kAdd, kGenerate},
            "[1][2][3]"},
        Row{"a value is matched by a later name made of digits",
            {Set("编辑框_文本", "{@%0}{@%0}{@%0}|"), Set("编辑框_起始", "1"),
             Set("编辑框_到达", "2"), kAdd, Set("编辑框_名称", "111"), Set("编辑框_起始", "7"),
             kAdd, kGenerate},
            "7|222|"},
        Row{"a value completes a later name around it",
            {Set("编辑框_文本", "{@%{@%0}}|"), Set("编辑框_起始", "1"), Set("编辑框_到达", "2"),
             kAdd, Set("编辑框_起始", "7"), kAdd, kGenerate},
            "7|{@%2}|"},
        Row{"unbalanced braces and unknown names stay as they are",
            {Set("编辑框_文本", "{@%0 {@%9} @%0}{{@%0}}"), Set("编辑框_到达", "2"), kAdd,
             kGenerate},
            "{@%0 {@%9} @%0}{1}{@%0 {@%9} @%0}{2}"},
        Row{"the values sit at the 32-bit limit",
            {Set("编辑框_文本", "{@%0},"), Set("编辑框_起始", "2147483646"),
             Set("编辑框_到达", "2147483647"), kAdd, Set("编辑框_起始", "2147483647"), kAdd,
             Set("编辑框_文本", "{@%0}/{@%1},"), kGenerate},
            "2147483646/2147483647,2147483647/2147483647,"},
        Row{"a name emptied by a change is left out",
            {Set("编辑框_文本", "x{@%0}"), Set("编辑框_到达", "2"), kAdd, Select("超级列表框1", 0),
             Set("编辑框_名称", ""), kChange, kGenerate},
            "x{@%0}x{@%0}"}));

TEST(VariableTextDialog, AddingSuggestsTheNextNameAndLocksTheEnd) {
    DialogRun run(VariableTextDialog());
    ASSERT_TRUE(run.Do({kAdd}));
    const Control& list = run.Fields().At("超级列表框1");
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0], (TextList{"{@%0}", "1", "10", "0"}));
    EXPECT_EQ(run.FieldText("编辑框_名称"), "{@%1}");
    EXPECT_EQ(run.FieldText("编辑框_到达"), "10");
    EXPECT_FALSE(run.Fields().At("编辑框_到达").enabled);

    ASSERT_TRUE(run.Do({Set("编辑框_起始", "100")}));
    EXPECT_EQ(run.FieldText("编辑框_到达"), "109");  // the end a new variable would get
    ASSERT_TRUE(run.Do({Check("选择框1", true), Set("编辑框_补齐", "4"), kAdd}));
    EXPECT_EQ(list.rows[1], (TextList{"{@%1}", "100", "109", "4"}));
    EXPECT_EQ(run.FieldText("编辑框_名称"), "{@%2}");
    EXPECT_EQ(run.FieldText("编辑框_到达"), "10");
}

TEST(VariableTextDialog, RefusesShortAndRepeatedNames) {
    struct Case {
        const char* name;
        const char* message;
    };
    const Case cases[] = {
        {"ab", "变量名称太短！必须大于3个字节！"},
        {"", "变量名称太短！必须大于3个字节！"},
        {"中", "变量名称太短！必须大于3个字节！"},  // two bytes
        {"{@%0}", "变量名称重复！请使用不同的变量的名称！"},
    };
    for (const Case& c : cases) {
        DialogRun run(VariableTextDialog());
        ASSERT_TRUE(run.Do({kAdd, Set("编辑框_名称", c.name), kAdd}));
        EXPECT_EQ(run.Fields().At("超级列表框1").rows.size(), 1u) << c.name;
        ASSERT_EQ(run.Editor().Messages().size(), 1u) << c.name;
        EXPECT_EQ(run.Editor().Messages()[0].text, c.message);
        EXPECT_EQ(run.Editor().Messages()[0].title, "警告！");
        EXPECT_EQ(run.Editor().Messages()[0].kind, MessageKind::Error);
    }
    DialogRun exact(VariableTextDialog());
    ASSERT_TRUE(exact.Do({Set("编辑框_名称", "abc"), kAdd, Set("编辑框_名称", "ABC"), kAdd}));
    EXPECT_EQ(exact.Fields().At("超级列表框1").rows.size(), 2u);
    EXPECT_TRUE(exact.Editor().Messages().empty());
}

TEST(VariableTextDialog, GenerateRestoresTheStartsSoItCanRunAgain) {
    DialogRun run(VariableTextDialog());
    ASSERT_TRUE(run.Do({Set("编辑框_起始", "007"), Set("编辑框_到达", "9"), kAdd,
                        Set("编辑框_起始", "50"), kAdd, kGenerate}));
    const std::string first = run.DocumentUtf8();
    const Control& list = run.Fields().At("超级列表框1");
    EXPECT_EQ(list.rows[0][kVariableStart], "7");
    EXPECT_EQ(list.rows[1][kVariableStart], "50");
    ASSERT_TRUE(run.Do({kGenerate}));
    EXPECT_EQ(run.DocumentUtf8(), first);
    EXPECT_EQ(run.Editor().ChangeNotifications(), 2);
}

TEST(VariableTextDialog, SelectChangeDeleteAndClear) {
    DialogRun run(VariableTextDialog());
    ASSERT_TRUE(run.Do({Set("编辑框_起始", "1"), Set("编辑框_到达", "5"), kAdd,
                        Set("编辑框_起始", "20"), kAdd, Select("超级列表框1", 1)}));
    EXPECT_EQ(run.FieldText("编辑框_名称"), "{@%1}");
    EXPECT_EQ(run.FieldText("编辑框_起始"), "20");
    EXPECT_EQ(run.FieldText("编辑框_到达"), "24");
    EXPECT_EQ(run.FieldText("编辑框_补齐"), "0");

    // Changing the first row keeps its span and moves its end with its start.
    ASSERT_TRUE(run.Do(
        {Select("超级列表框1", 0), Set("编辑框_名称", "甲乙"), Set("编辑框_起始", "11"), kChange}));
    const Control& list = run.Fields().At("超级列表框1");
    EXPECT_EQ(list.rows[0], (TextList{Utf8ToGbk("甲乙"), "11", "15", "0"}));

    ASSERT_TRUE(run.Do({kDelete}));
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0][kVariableName], "{@%1}");
    EXPECT_EQ(list.currentIndex, -1);
    EXPECT_FALSE(run.Fields().At("编辑框_到达").enabled);
    EXPECT_EQ(run.FieldText("编辑框_到达"), "15");  // start field 11 + span 4

    // Without a selection neither change nor delete touches a row.
    ASSERT_TRUE(run.Do({Set("编辑框_名称", "zzz"), kChange, kDelete}));
    EXPECT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0][kVariableName], "{@%1}");

    ASSERT_TRUE(run.Do({Select("超级列表框1", 0), kDelete}));
    EXPECT_TRUE(list.rows.empty());
    EXPECT_TRUE(run.Fields().At("编辑框_到达").enabled);
    EXPECT_EQ(run.FieldText("编辑框_名称"), "{@%0}");
    EXPECT_EQ(run.FieldText("编辑框_到达"), "50");

    ASSERT_TRUE(run.Do({kAdd, kAdd, Set("编辑框_名称", "x"), Set("编辑框_起始", "9"), kClear}));
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(run.FieldText("编辑框_名称"), "{@%0}");
    EXPECT_EQ(run.FieldText("编辑框_起始"), "1");
    EXPECT_EQ(run.FieldText("编辑框_到达"), "50");
    EXPECT_EQ(run.FieldText("编辑框_补齐"), "3");
    EXPECT_TRUE(run.Fields().At("编辑框_到达").enabled);
}

TEST(VariableTextDialog, OversizedRunsAreRefusedAndChangeNothing) {
    const std::vector<std::vector<Action>> runs = {
        // 2^32 copies.
        {Set("编辑框_起始", "-2147483648"), Set("编辑框_到达", "2147483647"), kAdd, kGenerate},
        // One value padded to two thousand million zeros.
        {Check("选择框1", true), Set("编辑框_补齐", "2000000000"), Set("编辑框_到达", "1"), kAdd,
         kGenerate},
        // Each copy grows a hundredfold.
        {Set("编辑框_文本", std::string(2000, 'x') + "{@%0}"), Set("编辑框_到达", "600000"), kAdd,
         kGenerate},
    };
    for (const std::vector<Action>& actions : runs) {
        DialogRun run(VariableTextDialog(), "keep");
        ASSERT_TRUE(run.Do(actions));
        EXPECT_EQ(run.Editor().ReadText(), "keep");
        EXPECT_EQ(run.Editor().ChangeNotifications(), 0);
        ASSERT_EQ(run.Editor().Messages().size(), 1u);
        EXPECT_EQ(run.Editor().Messages()[0].text, "生成的文本过大（超过1GB），请减少数量。");
        EXPECT_NE(run.Fields().At("超级列表框1").rows[0][kVariableStart], "");
    }
}

TEST(VariableTextDialog, TenThousandRows) {
    DialogRun run(VariableTextDialog());
    for (int k = 0; k < 10000; ++k) {
        ASSERT_TRUE(run.Do({kAdd}));
    }
    ASSERT_TRUE(run.Do({Set("编辑框_文本", "{@%0}-{@%9999};"), kGenerate}));
    EXPECT_EQ(run.DocumentUtf8(), "1-1;2-2;3-3;4-4;5-5;6-6;7-7;8-8;9-9;10-10;");
    EXPECT_EQ(run.Fields().At("超级列表框1").rows.size(), 10000u);
}

TEST(GenerateVariableText, NamesMatchCaseSensitivelyAtCharacterStarts) {
    VariableList rows = {{"abc", "1", "1", "0"}};
    // 81 61 is one character whose trail byte is "a": the name does not start inside it.
    const std::optional<Text> text = GenerateVariableText(
        "ABC abc \x81"
        "abc",
        rows);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text,
              "ABC 1 \x81"
              "abc");
}

TEST(GenerateVariableText, RestoresStartsFromTheEnds) {
    VariableList rows = {{"aaa", "3", "5", "0"}, {"bbb", "x", "7", "0"}};
    const std::optional<Text> text = GenerateVariableText("aaa/bbb ", rows);
    ASSERT_TRUE(text);
    // "x" reads as 0, so the second row counts 0, 1, 2 and is restored to 7 - 3 + 1.
    EXPECT_EQ(*text, "3/0 4/1 5/2 ");
    EXPECT_EQ(rows[0][kVariableStart], "3");
    EXPECT_EQ(rows[1][kVariableStart], "5");
}

// The generation as the dialog's steps put it: every copy from the template, each row's name
// replaced in list order over the running text, then the row's start counted up.
Text OneAfterAnother(const Text& templateText, VariableList rows) {
    const int copies =
        rows.empty() ? 1 : ToInt(rows[0][kVariableEnd]) - ToInt(rows[0][kVariableStart]) + 1;
    Text out;
    for (int copy = 0; copy < copies; ++copy) {
        Text text = templateText;
        for (TextList& row : rows) {
            Text value = ToText(ToInt(row[kVariableStart]));
            if (row[kVariablePadding] != "0") {
                const int width = ToInt(row[kVariablePadding]);
                if (static_cast<int>(value.size()) < width) {
                    value.insert(0, static_cast<std::size_t>(width) - value.size(), '0');
                }
            }
            text = TextReplace(text, row[kVariableName], value, 1, -1, true);
            row[kVariableStart] = ToText(ToInt(row[kVariableStart]) + 1);
        }
        out += text;
    }
    return out;
}

TEST(VariableTemplate, PlansTheNamesUntilOneCouldTakeInAValue) {
    const Text line = Utf8ToGbk("显示图片 (图片框{@%0}.图片，{@%0})\r\n");
    const VariableTemplate dialogDefault(line, {"{@%0}", "{@%1}"});
    EXPECT_EQ(dialogDefault.PlannedCount(), 2u);
    EXPECT_EQ(dialogDefault.Places(0), 2u);
    EXPECT_EQ(dialogDefault.Places(1), 0u);
    EXPECT_EQ(dialogDefault.LiteralBytesAfter(0), line.size() - 10);
    for (const auto& [templateText, names] :
         {std::pair<Text, std::vector<Text>>{"{@%{@%0}}", {"{@%0}", "{@%1}"}},
          {"{@%0}{@%0}", {"{@%0}", "111"}},
          {"{@%0}}", {"{@%0}", "0}"}},
          {"{@%0}abc", {"{@%0}", "x"}}}) {
        EXPECT_EQ(VariableTemplate(templateText, names).PlannedCount(), 1u) << names[1];
    }
}

// Random lists and templates, made to meet: names share bytes with each other, with the
// values (digits, "-") and with double-byte characters, and a template holds names, their
// pieces and stray bytes; half the cases keep to names like the dialog's own.
TEST(GenerateVariableText, EqualsSubstitutingOneNameAfterAnother) {
    std::mt19937 random(62);
    const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
    const Text bytes[] = {"{", "@", "%",    "}",    "0",    "1",        "2",
                          "-", "a", "\xB0", "\xA1", "\x81", "\xD6\xD0", "\r\n"};
    for (int round = 0; round < 3000; ++round) {
        const bool dialogNames = round % 2 == 0;
        VariableList rows;
        const int rowCount = pick(7);
        const int start = pick(40) - 15;
        const int span = pick(5);
        for (int k = 0; k < rowCount; ++k) {
            Text name;
            if (dialogNames) {
                name = "{@%" + std::to_string(pick(4)) + "}";
            } else {
                for (int length = pick(6); length > 0; --length) {
                    name += bytes[pick(std::size(bytes))];
                }
            }
            const int first = k == 0 ? start : pick(200) - 100;
            const Text padding = pick(3) == 0 ? std::to_string(pick(5)) : "0";
            rows.push_back({name, ToText(first), ToText(first + span), padding});
        }
        Text templateText;
        for (int length = pick(12); length > 0; --length) {
            if (!rows.empty() && pick(3) == 0) {
                const Text& name = rows[static_cast<std::size_t>(pick(rowCount))][kVariableName];
                templateText +=
                    dialogNames || pick(2) == 0 ? name : name.substr(0, name.size() / 2);
            } else {
                templateText += dialogNames ? Text(pick(2) == 0 ? "\xD6\xD0" : ".")
                                            : bytes[pick(std::size(bytes))];
            }
        }
        VariableList generated = rows;
        const std::optional<Text> text = GenerateVariableText(templateText, generated);
        ASSERT_TRUE(text);
        ASSERT_EQ(*text, OneAfterAnother(templateText, rows))
            << ::testing::PrintToString(templateText) << " with " << ::testing::PrintToString(rows);
    }
}

}  // namespace
}  // namespace velmor
