#include <gtest/gtest.h>

#include "core/SupportNotice.h"

namespace velmor {
namespace {

TEST(SupportNoticeTest, ShowsOnItsDaysAndOnlyOnce) {
    struct Row {
        int days;
        bool shown;
    };
    const Row rows[] = {{0, false},  {1, false},  {5, true},   {7, false},  {10, true},
                        {99, false}, {100, true}, {101, true}, {103, true}, {-5, false}};
    for (const Row& row : rows) {
        SupportNotice notice(row.days);
        int windows = 0;
        EXPECT_FALSE(notice.NoticeShown());
        for (int step = 0; step < 3; ++step) {
            notice.Step([&] { ++windows; });
        }
        EXPECT_EQ(windows, row.shown ? 1 : 0) << "days " << row.days;
        EXPECT_TRUE(notice.NoticeShown()) << "days " << row.days;
    }
}

TEST(SupportNoticeTest, AStepFromInsideTheWindowDoesNotOpenItAgain) {
    SupportNotice notice(10);
    int windows = 0;
    notice.Step([&] {
        ++windows;
        notice.Step([&] { ++windows; });
    });
    EXPECT_EQ(windows, 1);
}

}  // namespace
}  // namespace velmor
