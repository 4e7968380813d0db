#pragma once

#include "core/Text.h"

namespace velmor {

// A date-time is a day count from midnight of 30 December 1899, the time of day being the
// fraction.
struct DateTime {
    double days = 0;
};

enum class DateUnit { Year, Month, Day, Hour, Minute, Second };

// The current local date and time, from whatever the run was given.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
};

DateTime Now(const Clock& clock);
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Year, month (1-12), day (1-31), hour, minute or second.
int DatePart(DateTime value, DateUnit part);
// first - second in the unit; in days the exact difference including the fraction.
double DateDiff(DateTime first, DateTime second, DateUnit unit);
// Mode 1 (and below): date, then the time unless midnight; 2: the date; 3 (and above): time.
Text DateTimeToText(DateTime value, int mode = 1);
// Reads 2017年3月5日 / 2017-3-5 / 2017/3/5 / 2017.3.5 with an optional time; an unreadable
// text or an impossible date gives 1 January 100.
DateTime ToDateTime(const Text& text);

}  // namespace velmor
