#pragma once

#include "core/DateTime.h"
#include "core/Random.h"

namespace velmor {

// A clock that always tells the same moment: for runs given a fixed time and for tests.
class FixedClock : public Clock {
public:
    explicit FixedClock(DateTime now) : m_now(now) {}
    DateTime Now() const override { return m_now; }
    void Set(DateTime now) { m_now = now; }

private:
    DateTime m_now;
};

// A tick source that always reads the same millisecond count.
class FixedTickSource : public TickSource {
public:
    explicit FixedTickSource(std::uint32_t tick) : m_tick(tick) {}
    std::uint32_t Milliseconds() const override { return m_tick; }
    void Set(std::uint32_t tick) { m_tick = tick; }

private:
    std::uint32_t m_tick;
};

}  // namespace velmor
