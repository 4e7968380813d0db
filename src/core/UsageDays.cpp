#include "core/UsageDays.h"

#include <cmath>
#include <limits>

namespace velmor {

int DaysSince(const Text& firstUse, DateTime now) {
    const double days = std::trunc(DateDiff(now, ToDateTime(firstUse), DateUnit::Day));
    // A hand-edited date far outside the calendar must not overflow the count.
    constexpr double kLimit = std::numeric_limits<int>::max();
    if (!(days < kLimit)) {
        return std::numeric_limits<int>::max();
    }
    if (!(days > -kLimit)) {
        return -std::numeric_limits<int>::max();
    }
    return static_cast<int>(days);
}

int RecordFirstUse(SettingsStore& settings, const Clock& clock) {
    const Text stored = settings.ReadString(kFirstUseKey, "");
    const DateTime now = Now(clock);
    if (stored.empty()) {
        settings.WriteString(kFirstUseKey, "", DateTimeToText(now, 2));
        return 0;
    }
    return DaysSince(stored, now);
}

}  // namespace velmor
