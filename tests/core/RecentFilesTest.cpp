#include "core/RecentFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace velmor {
namespace {

class MapSettings : public SettingsStore {
public:
    Text ReadString(const std::string& key, const std::string& name) const override {
        auto found = values.find({key, name});
        return found == values.end() ? Text() : found->second;
    }
    void WriteString(const std::string& key, const std::string& name, const Text& value) override {
        values[{key, name}] = value;
    }
    std::map<std::pair<std::string, std::string>, Text> values;
};

RecentFiles WithSlots(Text one, Text two, Text three) {
    RecentFiles recent;
    recent.SetSlot(1, std::move(one));
    recent.SetSlot(2, std::move(two));
    recent.SetSlot(3, std::move(three));
    return recent;
}

struct Visibility {
    bool separator, one, two, three;
};

void ExpectVisible(const RecentFiles& recent, Visibility expected) {
    EXPECT_EQ(recent.SeparatorVisible(), expected.separator);
    EXPECT_EQ(recent.ItemVisible(1), expected.one);
    EXPECT_EQ(recent.ItemVisible(2), expected.two);
    EXPECT_EQ(recent.ItemVisible(3), expected.three);
}

TEST(RecentFilesTest, ShowRuleAtStartUp) {
    struct Case {
        Text one, two, three;
        Visibility visible;
    };
    const Case cases[] = {
        {"", "", "", {false, false, false, false}},
        {"/a.txt", "", "", {true, true, false, false}},
        {"/a.txt", "/b.txt", "", {true, true, true, false}},
        {"/a.txt", "/b.txt", "/c.txt", {true, true, true, true}},
        // A gap left in the registry: only a filled slot 1 shows anything.
        {"", "/b.txt", "", {false, false, false, false}},
        {"", "/b.txt", "/c.txt", {false, false, false, false}},
        {"/a.txt", "", "/c.txt", {true, true, false, true}},
    };
    for (const Case& c : cases) {
        RecentFiles recent = WithSlots(c.one, c.two, c.three);
        recent.ShowItems();
        SCOPED_TRACE(c.one + "|" + c.two + "|" + c.three);
        ExpectVisible(recent, c.visible);
    }
}

TEST(RecentFilesTest, EqualPathIgnoringAsciiCaseChangesNothing) {
    RecentFiles recent = WithSlots("/a.txt", "", "");
    EXPECT_EQ(recent.Add("/A.TXT"), 0);
    EXPECT_EQ(recent.Slot(1), "/a.txt");
    EXPECT_EQ(recent.Slot(2), "");
    // Double-byte letters are not folded: full-width Ａ (A3 C1) and ａ (A3 E1) differ.
    recent = WithSlots("/\xA3\xC1", "", "");
    EXPECT_EQ(recent.Add("/\xA3\xE1"), 2);
}

TEST(RecentFilesTest, ExistingEntryIsNotMoved) {
    RecentFiles recent = WithSlots("/a.txt", "/b.txt", "/c.txt");
    EXPECT_EQ(recent.Add("/B.txt"), 0);
    EXPECT_EQ(recent.Slot(1), "/a.txt");
    EXPECT_EQ(recent.Slot(2), "/b.txt");
    EXPECT_EQ(recent.Slot(3), "/c.txt");
}

TEST(RecentFilesTest, FourthFileDropsTheOldest) {
    RecentFiles recent;
    EXPECT_EQ(recent.Add("/a.txt"), 1);
    EXPECT_EQ(recent.Add("/b.txt"), 2);
    EXPECT_EQ(recent.Add("/c.txt"), 3);
    EXPECT_EQ(recent.Add("/d.txt"), 3);
    EXPECT_EQ(recent.Slot(1), "/b.txt");
    EXPECT_EQ(recent.Slot(2), "/c.txt");
    EXPECT_EQ(recent.Slot(3), "/d.txt");
    ExpectVisible(recent, {true, true, true, true});
}

TEST(RecentFilesTest, TheWalkStopsAtTheFirstEmptySlot) {
    // Slot 3 equals the path but lies behind the gap, so the path goes into slot 2.
    RecentFiles recent = WithSlots("/a.txt", "", "/c.txt");
    EXPECT_EQ(recent.Add("/c.txt"), 2);
    EXPECT_EQ(recent.Slot(2), "/c.txt");
    EXPECT_EQ(recent.Slot(3), "/c.txt");
}

TEST(RecentFilesTest, GapInSlotOneIsFilledAndShowsTheItems) {
    RecentFiles recent = WithSlots("", "/b.txt", "");
    recent.ShowItems();
    ExpectVisible(recent, {false, false, false, false});
    EXPECT_EQ(recent.Add("/new.txt"), 1);
    ExpectVisible(recent, {true, true, true, false});
}

TEST(RecentFilesTest, ItemsAreNeverHiddenAgain) {
    RecentFiles recent = WithSlots("/a.txt", "/b.txt", "");
    recent.ShowItems();
    recent.SetSlot(1, "");
    recent.SetSlot(2, "");
    recent.ShowItems();
    ExpectVisible(recent, {true, true, true, false});
}

TEST(RecentFilesTest, CaptionsCarryTheAccessKeyAndUtf8Path) {
    RecentFiles recent = WithSlots("/\xD6\xD0.txt", "", "/c.txt");  // /中.txt
    EXPECT_EQ(recent.Caption(1), "&1. /中.txt");
    EXPECT_EQ(recent.Caption(2), "&2. ");
    EXPECT_EQ(recent.Caption(3), "&3. /c.txt");
}

TEST(RecentFilesTest, LoadsAndSavesTheThreeValues) {
    MapSettings settings;
    settings.values[{kRecentFilesKey, "1"}] = "/a.txt";
    settings.values[{kRecentFilesKey, "3"}] = "/c.txt";
    RecentFiles recent;
    recent.Load(settings);
    EXPECT_EQ(recent.Slot(1), "/a.txt");
    EXPECT_EQ(recent.Slot(2), "");
    EXPECT_EQ(recent.Slot(3), "/c.txt");

    MapSettings saved;
    recent.Save(saved);
    ASSERT_EQ(saved.values.size(), 3u);
    EXPECT_EQ(saved.values.at({kRecentFilesKey, "2"}), "");
    EXPECT_EQ(saved.values.at({kRecentFilesKey, "3"}), "/c.txt");
}

}  // namespace
}  // namespace velmor
