#pragma once

#include "core/DateTime.h"
#include "core/Services.h"

namespace velmor {

// The key whose default value holds `FirstUseDate`.
inline constexpr const char* kFirstUseKey = "Software\\Zelbra 记事本\\time";

// Start-up step 1: an empty `FirstUseDate` is recorded as today's date (DateTimeToText mode
// 2) and gives 0; otherwise the whole days from the stored date to now, truncated toward 0.
int RecordFirstUse(SettingsStore& settings, const Clock& clock);

// The whole days from the date text firstUse to now (an unreadable text counts from 100).
int DaysSince(const Text& firstUse, DateTime now);

}  // namespace velmor
