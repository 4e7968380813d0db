#include <gtest/gtest.h>

#include "WindowDifferential.h"

namespace velmor {
namespace {

class WindowDifferentialTest : public ::testing::Test, protected test::CommandsFixture {
protected:
    void SetUp() override { OpenBound(); }

    test::MessageBoxAnswerer m_boxes;
};

// A bounded share of the random run; bench_WindowDifferentialBench runs it for longer.
TEST_F(WindowDifferentialTest, DocumentWidgetAndSavedBytesAgreeThroughRandomUse) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int steps = 0;
    for (std::uint32_t seed = 1; std::chrono::steady_clock::now() < deadline; ++seed) {
        test::WindowDifferential run(*this, seed);
        const std::optional<std::string> failure = run.Run(300, deadline);
        ASSERT_FALSE(failure) << *failure;
        steps += run.Steps();
    }
    RecordProperty("steps", steps);
}

}  // namespace
}  // namespace velmor
