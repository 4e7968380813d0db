#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "GeneratorTestSupport.h"
#include "generate/GenerateDialogs.h"
#include "generate/RandomCharacters.h"

namespace velmor {
namespace {

using test::Action;
using test::Click;
using test::DialogRun;
using test::ReferenceDraws;
using test::Set;

TEST(RandomCharacters, FollowsTheReferenceDrawsAndReseedsEveryCall) {
    const std::int64_t counts[] = {-3, 0, 1, 2, 17, 500};
    for (const std::uint32_t tick : {0u, 99u, 4294967295u}) {
        FixedTickSource ticks(tick);
        RandomGenerator random(ticks);
        ReferenceDraws reference(tick);
        for (const int kind : {1, 2, 3, 0, 4, -1}) {
            for (const std::int64_t count : counts) {
                ASSERT_EQ(RandomCharacters(random, count, kind), reference.Characters(count, kind))
                    << "tick " << tick << " kind " << kind << " count " << count;
            }
        }
    }
}

TEST(RandomCharacters, EachKindKeepsToItsSet) {
    FixedTickSource ticks(31);
    RandomGenerator random(ticks);
    const auto only = [](const Text& text, int (*test)(int)) {
        return std::all_of(text.begin(), text.end(),
                           [&](char c) { return test(static_cast<unsigned char>(c)) != 0; });
    };
    const Text digits = RandomCharacters(random, 3000, kDigitCharacters);
    const Text letters = RandomCharacters(random, 3000, kLetterCharacters);
    const Text mixed = RandomCharacters(random, 3000, kDigitAndLetterCharacters);
    EXPECT_TRUE(only(digits, std::isdigit));
    EXPECT_TRUE(only(letters, std::isalpha));
    EXPECT_TRUE(only(mixed, std::isalnum));
    EXPECT_TRUE(std::any_of(letters.begin(), letters.end(), ::isupper));
    EXPECT_TRUE(std::any_of(letters.begin(), letters.end(), ::islower));
    // A third of the mixed characters are digits.
    const auto mixedDigits = std::count_if(mixed.begin(), mixed.end(), ::isdigit);
    EXPECT_GT(mixedDigits, 800);
    EXPECT_LT(mixedDigits, 1200);
}

struct Row {
    const char* what;
    std::vector<Action> actions;
    std::int64_t count;
    int kind;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

class RandomTextTable : public ::testing::TestWithParam<Row> {};

TEST_P(RandomTextTable, ReplacesTheDocumentWithoutALineBreak) {
    const Row& row = GetParam();
    DialogRun run(RandomTextDialog(), "old\r\n", 2024);
    ASSERT_TRUE(run.Do(row.actions));
    ASSERT_TRUE(run.Do({test::Press("按钮1")}));
    ReferenceDraws reference(2024);
    EXPECT_EQ(run.Editor().ReadText(), reference.Characters(row.count, row.kind));
    EXPECT_EQ(run.Editor().ChangeNotifications(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RandomTextTable,
    ::testing::Values(Row{"defaults: ten digits", {}, 10, 1},
                      Row{"letters", {Click("单选框_字母"), Set("编辑框1", "5")}, 5, 2},
                      Row{"mixed", {Click("单选框_混合"), Set("编辑框1", "40")}, 40, 3},
                      Row{"length 0", {Set("编辑框1", "0")}, 0, 1},
                      Row{"negative length", {Set("编辑框1", "-8")}, 0, 1},
                      Row{"empty length", {Set("编辑框1", "")}, 0, 1},
                      Row{"full-width length", {Set("编辑框1", "１２")}, 12, 1}));

TEST(RandomTextDialog, TwoPressesInTheSameMillisecondDiffer) {
    DialogRun run(RandomTextDialog(), "", 500);
    ASSERT_TRUE(run.Do({test::Press("按钮1")}));
    const Text first = run.Editor().ReadText();
    ASSERT_TRUE(run.Do({test::Press("按钮1")}));
    EXPECT_NE(run.Editor().ReadText(), first);
}

TEST(RandomTextDialog, OversizedLengthIsRefused) {
    for (const char* length : {"2000000000", "1099511627776", "1073741825"}) {
        DialogRun run(RandomTextDialog(), "keep");
        ASSERT_TRUE(run.Do({Set("编辑框1", length), test::Press("按钮1")}));
        EXPECT_EQ(run.Editor().ReadText(), "keep") << length;
        ASSERT_EQ(run.Editor().Messages().size(), 1u);
        EXPECT_EQ(run.Editor().Messages()[0].text, "生成的文本过大（超过1GB），请减少数量。");
    }
}

}  // namespace
}  // namespace velmor
