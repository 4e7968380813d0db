#include "platform/SystemClock.h"

#include <chrono>
#include <ctime>

namespace velmor {

DateTime SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

std::uint32_t SystemTickSource::Milliseconds() const {
    timespec uptime{};
    clock_gettime(CLOCK_MONOTONIC, &uptime);
    const auto ms = static_cast<std::uint64_t>(uptime.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(uptime.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

}  // namespace velmor
