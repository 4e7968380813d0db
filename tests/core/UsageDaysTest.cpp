#include "core/UsageDays.h"

#include <gtest/gtest.h>

#include <map>

#include "core/FixedTime.h"

namespace velmor {
namespace {

class MapSettings : public SettingsStore {
public:
    Text ReadString(const std::string& key, const std::string& name) const override {
        auto found = values.find(key + "|" + name);
        return found == values.end() ? Text() : found->second;
    }
    void WriteString(const std::string& key, const std::string& name, const Text& value) override {
        values[key + "|" + name] = value;
        ++writes;
    }
    std::map<std::string, Text> values;
    int writes = 0;
};

const std::string kDefaultValue = std::string(kFirstUseKey) + "|";
// 2017年3月5日 in GBK.
const Text kMarch5 =
    "2017\xC4\xEA"
    "3\xD4\xC2"
    "5\xC8\xD5";

TEST(UsageDaysTest, FirstStartRecordsTodayAndCountsZero) {
    MapSettings settings;
    const FixedClock clock(MakeDateTime(2017, 3, 5, 18, 30, 0));
    EXPECT_EQ(RecordFirstUse(settings, clock), 0);
    EXPECT_EQ(settings.values.at(kDefaultValue), kMarch5);
}

TEST(UsageDaysTest, LaterStartsCountCalendarDays) {
    struct Case {
        DateTime now;
        int days;
    };
    const Case cases[] = {
        {MakeDateTime(2017, 3, 5, 23, 59, 59), 0},
        {MakeDateTime(2017, 3, 6, 0, 0, 1), 1},
        {MakeDateTime(2017, 4, 5, 12, 0, 0), 31},
        {MakeDateTime(2018, 3, 5, 0, 0, 0), 365},
        // A clock set back before the first start truncates toward zero.
        {MakeDateTime(2017, 3, 4, 12, 0, 0), 0},
        {MakeDateTime(2017, 3, 3, 12, 0, 0), -1},
    };
    for (const Case& c : cases) {
        MapSettings settings;
        settings.values[kDefaultValue] = kMarch5;
        EXPECT_EQ(RecordFirstUse(settings, FixedClock(c.now)), c.days);
        EXPECT_EQ(settings.writes, 0);
        EXPECT_EQ(settings.values.at(kDefaultValue), kMarch5);
    }
}

TEST(UsageDaysTest, UnreadableDateCountsFromTheYear100) {
    const DateTime now = MakeDateTime(2017, 3, 5);
    const int expected = static_cast<int>(DateDiff(now, MakeDateTime(100, 1, 1), DateUnit::Day));
    EXPECT_GT(expected, 700000);
    EXPECT_EQ(DaysSince("not a date", now), expected);
}

}  // namespace
}  // namespace velmor
