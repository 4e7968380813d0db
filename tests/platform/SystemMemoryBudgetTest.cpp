#include <gtest/gtest.h>

#include "core/ResultSizeLimit.h"
#include "platform/SystemMemoryBudget.h"

namespace velmor {
namespace {

TEST(SystemMemoryBudget, ReadsMemAvailableFromMeminfo) {
    EXPECT_EQ(SystemMemoryBudget::AvailableFromMeminfo("MemTotal:       24684000 kB\n"
                                                       "MemFree:        22237464 kB\n"
                                                       "MemAvailable:   23911944 kB\n"),
              std::uint64_t{23911944} * 1024);
    // Only a line of its own counts; a figure that is missing or unreadable gives 0.
    EXPECT_EQ(SystemMemoryBudget::AvailableFromMeminfo("XMemAvailable: 5 kB\n"), 0u);
    EXPECT_EQ(SystemMemoryBudget::AvailableFromMeminfo("MemAvailable: kB\n"), 0u);
    EXPECT_EQ(SystemMemoryBudget::AvailableFromMeminfo(""), 0u);
    EXPECT_EQ(SystemMemoryBudget::AvailableFromMeminfo("MemAvailable: 99999999999999999999 kB"),
              0u);
}

TEST(SystemMemoryBudget, ThisMachineGivesSomethingAndKeepsToTheEditorsLargestText) {
    const SystemMemoryBudget budget(12345);
    EXPECT_GT(budget.AvailableBytes(), 0u);
    Services services;
    services.memory = &budget;
    EXPECT_LE(MaxResultBytes(services), 12345u);
}

}  // namespace
}  // namespace velmor
