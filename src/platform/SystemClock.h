#pragma once

#include "core/DateTime.h"
#include "core/Random.h"

namespace velmor {

// The local wall clock.
class SystemClock : public Clock {
public:
    DateTime Now() const override;
};

// Milliseconds since the system started, wrapping at 2^32 like the system's tick counter.
class SystemTickSource : public TickSource {
public:
    std::uint32_t Milliseconds() const override;
};

}  // namespace velmor
