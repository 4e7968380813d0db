#include <gtest/gtest.h>

#include <QAction>
#include <QFile>

#include "MainWindowTestSupport.h"
#include "core/RecentFiles.h"
#include "core/UsageDays.h"

namespace velmor {
namespace {

using test::WindowFixture;

class MainWindowSettingsTest : public ::testing::Test, protected WindowFixture {
protected:
    void StoreSlots(const Text& one, const Text& two, const Text& three) {
        Settings().WriteString(kRecentFilesKey, "1", one);
        Settings().WriteString(kRecentFilesKey, "2", two);
        Settings().WriteString(kRecentFilesKey, "3", three);
    }

    QAction* Item(int slot) {
        return Window().findChild<QAction*>(QStringLiteral("recent file %1").arg(slot));
    }
    QAction* Separator() {
        return Window().findChild<QAction*>(QStringLiteral("recent files separator"));
    }

    // Visibility of the separator and items 1 to 3.
    std::vector<bool> Shown() {
        return {Separator()->isVisible(), Item(1)->isVisible(), Item(2)->isVisible(),
                Item(3)->isVisible()};
    }

    std::string FileContents() {
        QFile file(SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
};

TEST_F(MainWindowSettingsTest, FirstStartRecordsTodayAndCountsZeroDays) {
    EXPECT_EQ(Open().DaysInUse(), 0);
    EXPECT_EQ(Settings().ReadString(kFirstUseKey, ""),
              "2017\xC4\xEA"
              "3\xD4\xC2"
              "5\xC8\xD5");
    EXPECT_NE(FileContents().find("[HKEY_CURRENT_USER\\Software\\Zelbra 记事本\\time]\n"
                                  "@=\"2017年3月5日\"\n"),
              std::string::npos);
}

TEST_F(MainWindowSettingsTest, LaterStartCountsTheDaysSince) {
    Open();
    Close();
    TestClock().Set(MakeDateTime(2017, 3, 15, 8, 0, 0));
    EXPECT_EQ(Open().DaysInUse(), 10);
    // The first-use date is written once only.
    EXPECT_EQ(Settings().ReadString(kFirstUseKey, ""),
              "2017\xC4\xEA"
              "3\xD4\xC2"
              "5\xC8\xD5");
}

TEST_F(MainWindowSettingsTest, OneSlotShowsTheSeparatorAndItemOne) {
    StoreSlots("/a.txt", "", "");
    Open();
    EXPECT_EQ(Shown(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(Item(1)->text(), QStringLiteral("&1. /a.txt"));
    EXPECT_EQ(Item(2)->text(), QStringLiteral("&2. "));
    EXPECT_EQ(Item(3)->text(), QStringLiteral("&3. "));

    // Equal but for ASCII case: nothing changes.
    Window().RecentFiles().AddRecentFile("/A.TXT");
    EXPECT_EQ(Shown(), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(Window().RecentFiles().Model().Slot(2), "");
}

TEST_F(MainWindowSettingsTest, FourthFileDropsSlotOne) {
    StoreSlots("/a.txt", "/b.txt", "/c.txt");
    Open();
    EXPECT_EQ(Shown(), (std::vector<bool>{true, true, true, true}));
    Window().RecentFiles().AddRecentFile("/d.txt");
    EXPECT_EQ(Item(1)->text(), QStringLiteral("&1. /b.txt"));
    EXPECT_EQ(Item(2)->text(), QStringLiteral("&2. /c.txt"));
    EXPECT_EQ(Item(3)->text(), QStringLiteral("&3. /d.txt"));
}

TEST_F(MainWindowSettingsTest, OnlySlotTwoShowsNothingUntilAFileIsAdded) {
    StoreSlots("", "/b.txt", "");
    Open();
    EXPECT_EQ(Shown(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(Item(2)->text(), QStringLiteral("&2. /b.txt"));
    Window().RecentFiles().AddRecentFile("/new.txt");
    EXPECT_EQ(Shown(), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(Item(1)->text(), QStringLiteral("&1. /new.txt"));
}

TEST_F(MainWindowSettingsTest, ChinesePathsAndAmpersandsShowAsThemselves) {
    StoreSlots("/home/\xD3\xC3\xBB\xA7/a&b.txt", "", "");  // /home/用户/a&b.txt
    Open();
    EXPECT_EQ(Item(1)->text(), QStringLiteral("&1. /home/用户/a&&b.txt"));
}

TEST_F(MainWindowSettingsTest, ShutdownWritesAllThreeSlots) {
    Settings().WriteString(kRecentFilesKey, "2", "/stale.txt");
    Open();
    Window().RecentFiles().AddRecentFile("/x/\xD6\xD0.txt");
    Close();
    EXPECT_EQ(Settings().ReadString(kRecentFilesKey, "1"), "/x/\xD6\xD0.txt");
    EXPECT_EQ(Settings().ReadString(kRecentFilesKey, "2"), "/stale.txt");
    EXPECT_EQ(Settings().ReadString(kRecentFilesKey, "3"), "");
    EXPECT_NE(FileContents().find("\"3\"=\"\""), std::string::npos);
}

TEST_F(MainWindowSettingsTest, EveryRecentItemRunsTheOneHandlerWithItsSlot) {
    StoreSlots("/a.txt", "/b.txt", "/c.txt");
    Open();
    std::vector<int> clicked;
    Window().RecentFiles().SetOpenHandler([&](int slot) { clicked.push_back(slot); });
    Item(3)->trigger();
    Item(1)->trigger();
    Item(2)->trigger();
    EXPECT_EQ(clicked, (std::vector<int>{3, 1, 2}));
}

}  // namespace
}  // namespace velmor
