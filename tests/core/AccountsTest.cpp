#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "GeneratorTestSupport.h"
#include "core/TextPrimitives.h"
#include "generate/Accounts.h"
#include "generate/GenerateDialogs.h"

namespace velmor {
namespace {

using test::Action;
using test::Check;
using test::Click;
using test::DialogRun;
using test::ReferenceDraws;
using test::Set;

const std::string kSeparator = "\xA1\xAA\xA1\xAA\xA1\xAA\xA1\xAA";

// The rule of one group as the reference draws it.
struct ReferenceRule {
    enum { Fixed, Range, Content } mode;
    int fixed, a, b;
    bool letter;
    std::string content;

    std::string Draw(ReferenceDraws& draws) const {
        if (mode == Content) {
            return content;
        }
        std::string text = letter ? draws.Characters(1, 2) : "";
        const long long length = mode == Fixed ? fixed : draws.Between(a, b);
        return text + draws.Characters(letter ? length - 1 : length, 3);
    }
};

std::string ReferenceAccounts(std::uint32_t tick, const ReferenceRule& accounts,
                              const ReferenceRule& passwords, int count) {
    ReferenceDraws draws(tick);
    draws.Seed();
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(accounts.Draw(draws));
    }
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += names[static_cast<std::size_t>(i)] + kSeparator + passwords.Draw(draws) + "\r\n";
    }
    return text;
}

struct Row {
    const char* what;
    std::vector<Action> actions;
    ReferenceRule accounts;
    ReferenceRule passwords;
    int count;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

class AccountsTable : public ::testing::TestWithParam<Row> {};

// With the tick fixed, the generator and its draw order are those of the reference.
TEST_P(AccountsTable, FollowsTheDrawOrder) {
    const Row& row = GetParam();
    for (const std::uint32_t tick : {0u, 1234u, 4294967000u}) {
        DialogRun run(AccountsDialog(), "old", tick);
        ASSERT_TRUE(run.Do(row.actions));
        ASSERT_TRUE(run.Do({test::Press("按钮1")}));
        EXPECT_EQ(run.Editor().ReadText(),
                  ReferenceAccounts(tick, row.accounts, row.passwords, row.count))
            << "tick " << tick;
        EXPECT_EQ(run.Editor().ChangeNotifications(), 1);
    }
}

const ReferenceRule kEmptyRange{ReferenceRule::Range, 0, 0, 0, false, ""};

INSTANTIATE_TEST_SUITE_P(
    Settings, AccountsTable,
    ::testing::Values(
        Row{"start-up settings", {}, kEmptyRange, kEmptyRange, 10},
        Row{"fixed accounts with a letter first, password range",
            {Click("单选框1"), Set("编辑框1", "8"), Check("选择框2", true), Set("编辑框5", "6"),
             Set("编辑框4", "10")},
            {ReferenceRule::Fixed, 8, 0, 0, true, ""},
            {ReferenceRule::Range, 0, 6, 10, false, ""},
            10},
        Row{"reversed range and a letter first in both",
            {Set("编辑框2", "10"), Set("编辑框3", "6"), Check("选择框2", true),
             Check("选择框1", true), Set("编辑框5", "12"), Set("编辑框4", "3"),
             Set("编辑框8", "25")},
            {ReferenceRule::Range, 0, 10, 6, true, ""},
            {ReferenceRule::Range, 0, 12, 3, true, ""},
            25},
        Row{"fixed password content",
            {Set("编辑框2", "4"), Set("编辑框3", "4"), Click("单选框5"), Set("编辑框7", "密码123")},
            {ReferenceRule::Range, 0, 4, 4, false, ""},
            {ReferenceRule::Content, 0, 0, 0, false, Utf8ToGbk("密码123")},
            10},
        Row{"empty fixed content",
            {Click("单选框5"), Set("编辑框8", "3")},
            kEmptyRange,
            {ReferenceRule::Content, 0, 0, 0, false, ""},
            3},
        Row{"lengths up to 1 with a letter first give one letter",
            {Click("单选框1"), Set("编辑框1", "-4"), Check("选择框2", true), Click("单选框4"),
             Set("编辑框6", "1"), Check("选择框1", true), Set("编辑框8", "4")},
            {ReferenceRule::Fixed, -4, 0, 0, true, ""},
            {ReferenceRule::Fixed, 1, 0, 0, true, ""},
            4},
        Row{"negative bounds count as 0",
            {Set("编辑框2", "-5"), Set("编辑框3", "3"), Set("编辑框5", "x"), Set("编辑框4", "-2")},
            {ReferenceRule::Range, 0, -5, 3, false, ""},
            {ReferenceRule::Range, 0, 0, -2, false, ""},
            10},
        Row{"wide range: only the lowest 32768 lengths occur",
            {Set("编辑框2", "0"), Set("编辑框3", "2147483647"), Set("编辑框8", "2")},
            {ReferenceRule::Range, 0, 0, 2147483647, false, ""},
            kEmptyRange,
            2},
        Row{"no lines", {Set("编辑框8", "0")}, kEmptyRange, kEmptyRange, 0},
        Row{"count full-width and signed", {Set("编辑框8", "+３")}, kEmptyRange, kEmptyRange, 3}));

TEST(AccountsDialog, StartUpSettingsWriteTheSeparatorAlone) {
    DialogRun run(AccountsDialog(), "old");
    ASSERT_TRUE(run.Do({test::Press("按钮1")}));
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        expected += "————\r\n";
    }
    EXPECT_EQ(run.DocumentUtf8(), expected);
}

TEST(AccountsDialog, UpdateAccountFieldsFollowsTheRadioButtons) {
    struct Case {
        std::vector<const char*> clicks;
        std::set<std::string> enabled;  // of 编辑框1..7
    };
    const Case cases[] = {
        {{}, {"编辑框2", "编辑框3", "编辑框4", "编辑框5"}},
        {{"单选框1"}, {"编辑框1", "编辑框4", "编辑框5"}},
        {{"单选框1", "单选框2"}, {"编辑框2", "编辑框3", "编辑框4", "编辑框5"}},
        {{"单选框4"}, {"编辑框2", "编辑框3", "编辑框6"}},
        {{"单选框5"}, {"编辑框2", "编辑框3", "编辑框7"}},
        {{"单选框5", "单选框3"}, {"编辑框2", "编辑框3", "编辑框4", "编辑框5"}},
        {{"单选框1", "单选框4", "单选框5"}, {"编辑框1", "编辑框7"}},
    };
    for (const Case& c : cases) {
        DialogRun run(AccountsDialog());
        ASSERT_TRUE(run.Do({Set("编辑框2", "5")}));
        for (const char* radio : c.clicks) {
            ASSERT_TRUE(run.Do({Click(radio)}));
        }
        for (const char* field :
             {"编辑框1", "编辑框2", "编辑框3", "编辑框4", "编辑框5", "编辑框6", "编辑框7"}) {
            EXPECT_EQ(run.Fields().At(field).enabled, c.enabled.count(field) == 1)
                << field << " after " << c.clicks.size() << " clicks";
        }
        EXPECT_EQ(run.FieldText("编辑框2"), "5");  // a disabled field keeps its text
    }
}

TEST(AccountsDialog, OversizedRunsAreRefusedBeforeAnyDraw) {
    const std::vector<std::vector<Action>> runs = {
        {Click("单选框1"), Set("编辑框1", "2147483647"), Set("编辑框8", "1")},
        {Click("单选框5"), Set("编辑框7", "x"), Set("编辑框8", "2000000000")},
        {Set("编辑框5", "30000"), Set("编辑框4", "40000"), Set("编辑框8", "100000")},
    };
    for (const std::vector<Action>& actions : runs) {
        DialogRun run(AccountsDialog(), "keep", 77);
        ASSERT_TRUE(run.Do(actions));
        ASSERT_TRUE(run.Do({test::Press("按钮1")}));
        EXPECT_EQ(run.Editor().ReadText(), "keep");
        ASSERT_EQ(run.Editor().Messages().size(), 1u);
        EXPECT_EQ(run.Editor().Messages()[0].text, "生成的文本过大（超过1GB），请减少数量。");
        // The generator was not seeded: its next seed is the tick itself.
        ReferenceDraws reference(77);
        reference.Seed();
        run.Random().SeedRandom();
        EXPECT_EQ(run.Random().RandomBetween(0, 32767), reference.Between(0, 32767));
    }
}

// Bytes from a fixed xorshift sequence, standing in for the system's source.
class FakeSecureSource : public SecureRandomSource {
public:
    void Fill(unsigned char* bytes, std::size_t count) const override {
        for (std::size_t i = 0; i < count; ++i) {
            m_state ^= m_state << 13;
            m_state ^= m_state >> 7;
            m_state ^= m_state << 17;
            bytes[i] = static_cast<unsigned char>(m_state >> 24);
        }
        m_filled += count;
    }
    std::size_t Filled() const { return m_filled; }

private:
    mutable std::uint64_t m_state = 88172645463325252ULL;
    mutable std::size_t m_filled = 0;
};

TEST(AccountsDialog, SecureSourceKeepsTheSetsAndLengthsAndLeavesTheGeneratorAlone) {
    FakeSecureSource source;
    DialogRun run(AccountsDialog(), "", 5);
    run.ServicesUsed().secureRandom = &source;
    ASSERT_TRUE(
        run.Do({Click("单选框1"), Set("编辑框1", "8"), Check("选择框2", true), Set("编辑框5", "10"),
                Set("编辑框4", "6"), Set("编辑框8", "2000"), test::Press("按钮1")}));
    const TextList lines = TextSplit(run.Editor().ReadText(), "\r\n");
    ASSERT_EQ(lines.size(), 2000u);
    std::set<int> passwordLengths;
    std::set<char> characters;
    for (const Text& line : lines) {
        const std::size_t separator = line.find(kSeparator);
        ASSERT_EQ(separator, 8u) << line;
        ASSERT_TRUE(std::isalpha(static_cast<unsigned char>(line[0]))) << line;
        const Text password = line.substr(separator + kSeparator.size());
        passwordLengths.insert(static_cast<int>(password.size()));
        for (const char c : line.substr(1, 7) + password) {
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << line;
            characters.insert(c);
        }
    }
    EXPECT_EQ(passwordLengths, (std::set<int>{6, 7, 8, 9, 10}));
    EXPECT_EQ(characters.size(), 62u);
    EXPECT_GT(source.Filled(), 0u);

    DialogRun untouched(AccountsDialog(), "", 5);
    EXPECT_EQ(run.Random().RandomBetween(0, 32767), untouched.Random().RandomBetween(0, 32767));
}

// Words 0, 1, 2, ... and, on request, the largest word, which a bound of 3 must skip.
class CountingSource : public SecureRandomSource {
public:
    void Fill(unsigned char* bytes, std::size_t count) const override {
        for (std::size_t i = 0; i + 4 <= count; i += 4) {
            const std::uint32_t word = m_skipNext ? 0xFFFFFFFFu : m_next++;
            m_skipNext = false;
            for (int b = 0; b < 4; ++b) {
                bytes[i + static_cast<std::size_t>(b)] =
                    static_cast<unsigned char>(word >> (8 * b));
            }
        }
    }
    mutable bool m_skipNext = false;

private:
    mutable std::uint32_t m_next = 0;
};

TEST(SecureDraw, EveryValueEquallyOftenAndTheBiasedTopRejected) {
    CountingSource source;
    SecureDraw draw(source);
    std::vector<int> counts(62);
    for (int i = 0; i < 62 * 64; ++i) {
        ++counts[draw.Below(62)];
    }
    EXPECT_EQ(counts, std::vector<int>(62, 64));

    CountingSource skipping;
    skipping.m_skipNext = true;
    SecureDraw rejecting(skipping);
    EXPECT_EQ(rejecting.Below(3), 0u);  // 0xFFFFFFFF is past the last full set of three
    EXPECT_EQ(rejecting.Between(5, 7), 6);
    EXPECT_EQ(rejecting.Between(4, 4), 4);
}

}  // namespace
}  // namespace velmor
