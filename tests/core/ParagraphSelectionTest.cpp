#include "paragraph/ParagraphSelection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/DialogFields.h"
#include "core/Numbers.h"
#include "core/TextPrimitives.h"

namespace velmor {
namespace {

struct ListCase {
    const char* name;
    Text text;
    std::vector<std::string_view> paragraphs;
};

TEST(ParagraphList, CutsAtCrLfOnly) {
    const ListCase cases[] = {
        {"empty text", "", {}},
        {"lone line break", "\r\n", {""}},
        {"blank line counts", "a\r\n\r\nb", {"a", "", "b"}},
        {"final break drops one piece", "a\r\nb\r\n", {"a", "b"}},
        {"two final breaks", "a\r\n\r\n", {"a", ""}},
        {"leading break", "\r\na", {"", "a"}},
        {"lone LF and CR stay", "a\nb\rc", {"a\nb\rc"}},
        {"CR as a trail byte does not cut", "\xB0\r\nb\r\nc", {"\xB0\r\nb", "c"}},
        {"Chinese before the break", "\xD6\xD0\r\n\xCE\xC4", {"\xD6\xD0", "\xCE\xC4"}},
    };
    for (const ListCase& c : cases) {
        EXPECT_EQ(ParagraphList(c.text), c.paragraphs) << c.name;
        // The same cut as the text primitive every other command splits with.
        const TextList split = TextSplit(c.text, "\r\n");
        EXPECT_EQ(std::vector<std::string_view>(split.begin(), split.end()), c.paragraphs)
            << c.name;
    }
}

struct NumbersCase {
    Text field;
    Text shownAfter;
    TextList entries;
};

TEST(ReadParagraphNumbers, RewritesTheFieldAndSplitsIt) {
    const NumbersCase cases[] = {
        {" 1\xA3\xAC 3 ,5", "1,3,5", {"1", "3", "5"}},
        {"1,,3", "1,,3", {"1", "", "3"}},
        {",2", ",2", {"", "2"}},
        {"2,", "2,", {"2"}},
        {"", "", {}},
        {",,,", ",,,", {"", "", ""}},
        {"\xA1\xA1"
         "1-5",
         "1-5",
         {"1-5"}},
        {"\xA3\xB2", "\xA3\xB2", {"\xA3\xB2"}},
        // A comma as the trail byte of a character is no separator.
        {"1\xB0,2", "1\xB0,2", {"1\xB0,2"}},
        {"3\xB0", "3", {"3"}},  // a lone lead byte at the end goes with the spaces
    };
    for (const NumbersCase& c : cases) {
        DialogFields fields;
        fields.Add("编辑框1", ControlKind::EditBox).text = c.field;
        EXPECT_EQ(ReadParagraphNumbers(fields), c.entries) << c.field;
        EXPECT_EQ(fields.TextOf("编辑框1"), c.shownAfter) << c.field;
    }
}

std::vector<std::size_t> Selected(SelectionMode mode, const TextList& entries, std::size_t count) {
    const ParagraphSelector selector(mode, entries, count);
    std::vector<std::size_t> numbers;
    for (std::size_t i = 1; i <= count; ++i) {
        if (selector.IsParagraphSelected(i)) {
            numbers.push_back(i);
        }
    }
    return numbers;
}

struct SelectCase {
    SelectionMode mode;
    TextList entries;
    std::size_t count;
    std::vector<std::size_t> selected;
};

TEST(IsParagraphSelected, ModesAndEntries) {
    using M = SelectionMode;
    const SelectCase cases[] = {
        {M::Listed, {"1", "3", "5"}, 6, {1, 3, 5}},
        {M::Listed, {"5", "5", "9"}, 6, {5}},
        {M::Listed, {"1-3"}, 6, {1}},
        {M::Listed, {"\xA3\xB2"}, 6, {2}},
        {M::Listed, {"0", "-2", "a3", "", "3a"}, 6, {3}},
        {M::Listed, {"99999999999"}, 6, {}},
        {M::Listed, {}, 6, {}},
        {M::Multiples, {"2"}, 7, {2, 4, 6}},
        {M::Multiples, {"2", "3"}, 7, {2, 3, 4, 6}},
        {M::Multiples, {"-3"}, 7, {3, 6}},
        {M::Multiples, {"0", "", "x", "3"}, 7, {3, 6}},  // 0 is skipped, the rest applies
        {M::Multiples, {"0"}, 4, {}},
        {M::Multiples, {"1"}, 3, {1, 2, 3}},
        {M::Multiples, {"8"}, 7, {}},
        {M::Multiples, {"-2147483648", "-99999999999"}, 7, {}},
        {M::Multiples, {}, 3, {}},
        {M::Odd, {"2"}, 5, {1, 3, 5}},
        {M::Every, {"2"}, 3, {1, 2, 3}},
        {M::Every, {}, 0, {}},
    };
    for (const SelectCase& c : cases) {
        EXPECT_EQ(Selected(c.mode, c.entries, c.count), c.selected)
            << static_cast<int>(c.mode) << " " << ::testing::PrintToString(c.entries);
    }
}

// The selection rule read literally: every entry tested for every paragraph, with the
// floating-point remainder, entries of 0 skipped under 倍数.
bool SelectedByDefinition(SelectionMode mode, const TextList& entries, std::size_t number) {
    const double i = static_cast<double>(number);
    switch (mode) {
        case SelectionMode::Odd:
            return number % 2 == 1;
        case SelectionMode::Every:
            return true;
        case SelectionMode::Listed:
            for (const Text& entry : entries) {
                if (ToInt(entry) == i) {
                    return true;
                }
            }
            return false;
        case SelectionMode::Multiples:
            for (const Text& entry : entries) {
                const int n = ToInt(entry);
                if (n != 0 && Remainder(i, n) == 0) {
                    return true;
                }
            }
            return false;
    }
    return false;
}

TEST(IsParagraphSelected, AgreesWithTheRuleReadLiterally) {
    std::mt19937 random(8);
    const Text pieces[] = {"0",        "1",          "2",           "3",  "-4",
                           "6",        "7",          "12",          "",   "x",
                           "\xA3\xB5", "2147483647", "-2147483648", "40", "99999999999999",
                           " 9"};
    for (int round = 0; round < 400; ++round) {
        TextList entries(random() % 6);
        for (Text& entry : entries) {
            entry = pieces[random() % std::size(pieces)];
        }
        const std::size_t count = random() % 60;
        for (SelectionMode mode : {SelectionMode::Listed, SelectionMode::Multiples,
                                   SelectionMode::Odd, SelectionMode::Every}) {
            const ParagraphSelector selector(mode, entries, count);
            for (std::size_t i = 1; i <= count; ++i) {
                ASSERT_EQ(selector.IsParagraphSelected(i), SelectedByDefinition(mode, entries, i))
                    << "mode " << static_cast<int>(mode) << " paragraph " << i << " of "
                    << ::testing::PrintToString(entries);
            }
        }
    }
}

}  // namespace
}  // namespace velmor
