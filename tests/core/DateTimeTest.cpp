#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <random>

#include "core/DateTime.h"
#include "core/FixedTime.h"

using namespace velmor;

namespace {

// GBK 年 月 日 时 分 秒.
#define NIAN "\xC4\xEA"
#define YUE "\xD4\xC2"
#define RI "\xC8\xD5"
#define SHI "\xCA\xB1"
#define FEN "\xB7\xD6"
#define MIAO "\xC3\xEB"

constexpr double kYear100 = -657434;

TEST(MakeDateTime, DayCountsFromTheEpoch) {
    EXPECT_EQ(MakeDateTime(1899, 12, 30).days, 0);
    EXPECT_EQ(MakeDateTime(1899, 12, 31).days, 1);
    EXPECT_EQ(MakeDateTime(1900, 1, 1).days, 2);
    EXPECT_EQ(MakeDateTime(1899, 12, 29).days, -1);
    EXPECT_EQ(MakeDateTime(100, 1, 1).days, kYear100);
    EXPECT_EQ(MakeDateTime(2017, 3, 5).days, 42799);
    EXPECT_EQ(MakeDateTime(2000, 2, 29, 12).days, 36585.5);
    EXPECT_EQ(MakeDateTime(2017, 13, 1).days, MakeDateTime(2018, 1, 1).days);
}

// Arguments at the ends of int's range carry over like any other, without wrapping round.
TEST(MakeDateTime, ExtremeArgumentsCarryOverWithoutOverflow) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const double base = MakeDateTime(2000, 1, 1).days;
    struct Row {
        int year, month, day, hour, minute, second;
        double expected;
    };
    const Row rows[] = {
        // 2000 * 12 + (INT_MIN - 1) months is year -178954971, month 4.
        {2000, kMin, 1, 0, 0, 0, MakeDateTime(-178954971, 4, 1).days},
        {2000, kMax, 1, 0, 0, 0, MakeDateTime(178958970, 7, 1).days},
        {2000, 1, kMin, 0, 0, 0, base + (static_cast<double>(kMin) - 1)},
        {2000, 1, kMax, 0, 0, 0, base + (static_cast<double>(kMax) - 1)},
        {2000, 1, 1, kMin, 0, 0, base + static_cast<double>(kMin) / 24},
        {2000, 1, 1, 0, kMax, 0, base + static_cast<double>(kMax) / 1440},
        {2000, 1, 1, 0, 0, kMin, base + static_cast<double>(kMin) / 86400},
    };
    for (const Row& row : rows) {
        const double days =
            MakeDateTime(row.year, row.month, row.day, row.hour, row.minute, row.second).days;
        EXPECT_NEAR(days, row.expected, 1e-6) << row.month << " " << row.day << " " << row.hour;
    }
    EXPECT_LT(MakeDateTime(kMin, kMin, kMin).days, MakeDateTime(kMin, 1, 1).days);
    EXPECT_GT(MakeDateTime(kMax, kMax, kMax).days, MakeDateTime(kMax, 1, 1).days);
}

TEST(MakeDateTime, AgreesWithTheCLibraryCalendar) {
    std::mt19937 rng(3);
    for (int round = 0; round < 5000; ++round) {
        std::tm tm{};
        tm.tm_year = static_cast<int>(rng() % 9900 + 100) - 1900;
        tm.tm_mon = static_cast<int>(rng() % 12);
        tm.tm_mday = static_cast<int>(rng() % 28 + 1);
        const long long days = static_cast<long long>(timegm(&tm)) / 86400 + 25569;
        const DateTime value = MakeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
        ASSERT_EQ(value.days, static_cast<double>(days)) << tm.tm_year + 1900;
        ASSERT_EQ(DatePart(value, DateUnit::Year), tm.tm_year + 1900);
        ASSERT_EQ(DatePart(value, DateUnit::Month), tm.tm_mon + 1);
        ASSERT_EQ(DatePart(value, DateUnit::Day), tm.tm_mday);
    }
}

TEST(DatePart, RoundsToTheNearestSecond) {
    const DateTime value = MakeDateTime(2017, 8, 5, 9, 3, 7);
    EXPECT_EQ(DatePart(value, DateUnit::Year), 2017);
    EXPECT_EQ(DatePart(value, DateUnit::Month), 8);
    EXPECT_EQ(DatePart(value, DateUnit::Day), 5);
    EXPECT_EQ(DatePart(value, DateUnit::Hour), 9);
    EXPECT_EQ(DatePart(value, DateUnit::Minute), 3);
    EXPECT_EQ(DatePart(value, DateUnit::Second), 7);

    const DateTime almostMidnight{MakeDateTime(2017, 3, 5).days + 0.99999999};
    EXPECT_EQ(DatePart(almostMidnight, DateUnit::Day), 6);
    EXPECT_EQ(DatePart(almostMidnight, DateUnit::Hour), 0);
    EXPECT_EQ(DateTimeToText(almostMidnight), "2017" NIAN "3" YUE "6" RI);

    // Before the epoch the count runs on linearly: -0.25 is 18:00 on 29 December 1899.
    const DateTime before{-0.25};
    EXPECT_EQ(DatePart(before, DateUnit::Day), 29);
    EXPECT_EQ(DatePart(before, DateUnit::Hour), 18);
}

struct TextCase {
    DateTime value;
    int mode;
    Text expected;
};

TEST(DateTimeToText, Modes) {
    const DateTime midnight = MakeDateTime(2017, 3, 5);
    const TextCase cases[] = {
        {midnight, 1, "2017" NIAN "3" YUE "5" RI},
        {midnight, 0, "2017" NIAN "3" YUE "5" RI},
        {midnight, 2, "2017" NIAN "3" YUE "5" RI},
        {midnight, 3, "0" SHI "0" FEN "0" MIAO},
        {MakeDateTime(2017, 3, 5, 9, 3, 7), 1, "2017" NIAN "3" YUE "5" RI "9" SHI "3" FEN "7" MIAO},
        {MakeDateTime(2017, 3, 5, 9, 3), 1, "2017" NIAN "3" YUE "5" RI "9" SHI "3" FEN},
        {MakeDateTime(2017, 3, 5, 9), 1, "2017" NIAN "3" YUE "5" RI "9" SHI},
        {MakeDateTime(2017, 3, 5, 0, 0, 7), 1, "2017" NIAN "3" YUE "5" RI "0" SHI "0" FEN "7" MIAO},
        {MakeDateTime(2017, 3, 5, 0, 10), -4, "2017" NIAN "3" YUE "5" RI "0" SHI "10" FEN},
        {MakeDateTime(2017, 3, 5, 23, 59, 59), 2, "2017" NIAN "3" YUE "5" RI},
        {MakeDateTime(2017, 3, 5, 23, 59, 59), 3, "23" SHI "59" FEN "59" MIAO},
        {MakeDateTime(2017, 3, 5, 23, 59, 59), 9, "23" SHI "59" FEN "59" MIAO},
        {DateTime{kYear100}, 1, "100" NIAN "1" YUE "1" RI},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(DateTimeToText(c.value, c.mode), c.expected) << c.value.days << " " << c.mode;
    }
}

struct ParseCase {
    Text text;
    DateTime expected;
};

TEST(ToDateTime, Table) {
    const DateTime march5 = MakeDateTime(2017, 3, 5);
    const DateTime fallback{kYear100};
    const ParseCase cases[] = {
        {"2017" NIAN "3" YUE "5" RI, march5},
        {"2017" NIAN "03" YUE "05" RI, march5},
        {"2017" NIAN "3" YUE "5", march5},
        {"2017-3-5", march5},
        {"2017/3/5", march5},
        {"2017.3.5", march5},
        {"  2017-03-05  ", march5},
        {"\xA3\xB2\xA3\xB0\xA3\xB1\xA3\xB7" NIAN "\xA3\xB3" YUE "\xA3\xB5" RI, march5},
        {"2017" NIAN "3" YUE "5" RI "9" SHI "3" FEN "7" MIAO, MakeDateTime(2017, 3, 5, 9, 3, 7)},
        {"2017" NIAN "3" YUE "5" RI "9" SHI "3" FEN, MakeDateTime(2017, 3, 5, 9, 3)},
        {"2017" NIAN "3" YUE "5" RI "9" SHI, MakeDateTime(2017, 3, 5, 9)},
        {"2017-3-5 9:03:07", MakeDateTime(2017, 3, 5, 9, 3, 7)},
        {"2017-3-5 09:03", MakeDateTime(2017, 3, 5, 9, 3)},
        {"2017/3/5 23" SHI "59" FEN "59" MIAO, MakeDateTime(2017, 3, 5, 23, 59, 59)},
        {"2000-2-29", MakeDateTime(2000, 2, 29)},
        {"100-1-1", fallback},
        {"9999-12-31", MakeDateTime(9999, 12, 31)},
        // Impossible or unreadable texts.
        {"2017-13-1", fallback},
        {"2017-2-31", fallback},
        {"1900-2-29", fallback},
        {"2017-0-5", fallback},
        {"2017-3-0", fallback},
        {"99-3-5", fallback},
        {"10000-1-1", fallback},
        {"2017-3/5", fallback},
        {"2017-3", fallback},
        {"2017", fallback},
        {"", fallback},
        {"abc", fallback},
        {"2017-3-5 24:00", fallback},
        {"2017-3-5 9:60", fallback},
        {"2017-3-5 9:", fallback},
        {"2017-3-5 x", fallback},
        {"2017" NIAN "3" YUE "5" RI "\xD0\xC7\xC6\xDA", fallback},  // followed by 星期
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ToDateTime(c.text).days, c.expected.days) << c.text;
    }
}

TEST(ToDateTime, ReadsBackWhatDateTimeToTextWrites) {
    std::mt19937 rng(11);
    for (int round = 0; round < 2000; ++round) {
        const DateTime value =
            MakeDateTime(static_cast<int>(rng() % 9000 + 1000), static_cast<int>(rng() % 12 + 1),
                         static_cast<int>(rng() % 28 + 1), static_cast<int>(rng() % 24),
                         static_cast<int>(rng() % 60), static_cast<int>(rng() % 60));
        ASSERT_NEAR(ToDateTime(DateTimeToText(value)).days, value.days, 1e-9)
            << DateTimeToText(value);
    }
}

struct DiffCase {
    DateTime first;
    DateTime second;
    DateUnit unit;
    double expected;
};

TEST(DateDiff, Table) {
    const DiffCase cases[] = {
        {MakeDateTime(2017, 3, 6, 12), MakeDateTime(2017, 3, 5), DateUnit::Day, 1.5},
        {MakeDateTime(2017, 3, 5), MakeDateTime(2017, 3, 6, 12), DateUnit::Day, -1.5},
        {MakeDateTime(2017, 3, 5), DateTime{kYear100}, DateUnit::Day, 42799 - kYear100},
        {MakeDateTime(2017, 3, 5, 10, 59), MakeDateTime(2017, 3, 5, 9), DateUnit::Hour, 1},
        {MakeDateTime(2017, 3, 5, 9), MakeDateTime(2017, 3, 5, 10, 59), DateUnit::Hour, -1},
        {MakeDateTime(2017, 3, 5, 9, 2, 59), MakeDateTime(2017, 3, 5, 9), DateUnit::Minute, 2},
        {MakeDateTime(2017, 3, 5, 9, 2, 59), MakeDateTime(2017, 3, 5, 9), DateUnit::Second, 179},
        {MakeDateTime(2017, 3, 31), MakeDateTime(2017, 1, 31), DateUnit::Month, 2},
        {MakeDateTime(2017, 3, 30), MakeDateTime(2017, 1, 31), DateUnit::Month, 1},
        {MakeDateTime(2017, 1, 31), MakeDateTime(2017, 3, 30), DateUnit::Month, -1},
        {MakeDateTime(2018, 3, 5), MakeDateTime(2017, 3, 5), DateUnit::Year, 1},
        {MakeDateTime(2018, 3, 4, 23), MakeDateTime(2017, 3, 5), DateUnit::Year, 0},
        {MakeDateTime(2017, 3, 4), MakeDateTime(2018, 3, 5), DateUnit::Year, -1},
    };
    for (const DiffCase& c : cases) {
        EXPECT_DOUBLE_EQ(DateDiff(c.first, c.second, c.unit), c.expected)
            << c.first.days << " " << c.second.days << " " << static_cast<int>(c.unit);
    }
}

TEST(Now, ComesFromTheClock) {
    EXPECT_EQ(Now(FixedClock(MakeDateTime(2017, 8, 5, 9, 3, 7))).days,
              MakeDateTime(2017, 8, 5, 9, 3, 7).days);
}

}  // namespace
