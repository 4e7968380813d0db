// The random window run of the differential test for as long as asked, seed after seed:
//   bench_WindowDifferentialBench [seconds] [first seed]
// Prints each failing seed with its steps and exits non-zero if there was one.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "WindowDifferential.h"

namespace velmor {
namespace {

class Session : public test::CommandsFixture {
public:
    Session() { OpenBound(); }
    test::MessageBoxAnswerer boxes;
};

}  // namespace
}  // namespace velmor

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    std::uint32_t seed = argc > 2 ? static_cast<std::uint32_t>(std::atol(argv[2])) : 1000;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::seconds(seconds);
    long steps = 0;
    int failures = 0;
    int seeds = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        // A fresh window now and then, so that one run's history does not hide another's.
        velmor::Session session;
        for (int run = 0; run < 20 && std::chrono::steady_clock::now() < deadline; ++run) {
            velmor::test::WindowDifferential differential(session, seed);
            if (const auto failure = differential.Run(500, deadline)) {
                std::printf("FAILED %s\n", failure->c_str());
                ++failures;
            }
            steps += differential.Steps();
            ++seed;
            ++seeds;
        }
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    std::printf("%ld steps, %d seeds, %lld s, %d failures\n", steps, seeds,
                static_cast<long long>(elapsed.count()), failures);
    return failures == 0 ? 0 : 1;
}
