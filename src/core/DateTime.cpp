#include "core/DateTime.h"

#include <algorithm>
#include <cmath>

#include "core/Numbers.h"
#include "core/TextPrimitives.h"

namespace velmor {

namespace {

// GBK bytes of the date and time unit characters.
constexpr const char* kYear = "\xC4\xEA";    // 年
constexpr const char* kMonth = "\xD4\xC2";   // 月
constexpr const char* kDay = "\xC8\xD5";     // 日
constexpr const char* kHour = "\xCA\xB1";    // 时
constexpr const char* kMinute = "\xB7\xD6";  // 分
constexpr const char* kSecond = "\xC3\xEB";  // 秒

constexpr long long kSecondsPerDay = 86400;
// Days from 1 January 1970 back to 30 December 1899.
constexpr long long kEpochShift = 25569;
// Keeps the seconds arithmetic far from overflow for absurd day counts.
constexpr double kDayLimit = 1e9;

long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1 January 1970 of a proleptic Gregorian date.
long long DaysFromCivil(long long year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = FloorDiv(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    long long year;
    int month;
    int day;
};

CivilDate CivilFromDays(long long days) {
    days += 719468;
    const long long era = FloorDiv(days, 146097);
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

bool IsLeapYear(long long year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(long long year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

struct Fields {
    long long year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

// Rounded to the nearest second first, so that 0.99999999 of a day is the next midnight and
// never 24时.
long long TotalSeconds(DateTime value) {
    double days = std::isnan(value.days) ? 0 : std::clamp(value.days, -kDayLimit, kDayLimit);
    return std::llround(days * kSecondsPerDay);
}

Fields Split(DateTime value) {
    const long long total = TotalSeconds(value);
    const long long day = FloorDiv(total, kSecondsPerDay);
    const long long secondOfDay = total - day * kSecondsPerDay;
    const CivilDate date = CivilFromDays(day - kEpochShift);
    return {date.year,
            date.month,
            date.day,
            static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60),
            static_cast<int>(secondOfDay % 60)};
}

Text DateText(const Fields& f) {
    return ToText(static_cast<int>(f.year)) + kYear + ToText(f.month) + kMonth + ToText(f.day) +
           kDay;
}

Text TimeText(const Fields& f, bool minute, bool second) {
    Text text = ToText(f.hour) + kHour;
    if (minute) {
        text += ToText(f.minute) + kMinute;
    }
    if (second) {
        text += ToText(f.second) + kSecond;
    }
    return text;
}

// Whole months from second to first, counting only completed months (toward zero).
long long CompletedMonths(DateTime first, DateTime second) {
    const bool backwards = first.days < second.days;
    const Fields later = Split(backwards ? second : first);
    const Fields earlier = Split(backwards ? first : second);
    long long months = (later.year - earlier.year) * 12 + (later.month - earlier.month);
    const long long laterRest =
        ((later.day * 24LL + later.hour) * 60 + later.minute) * 60 + later.second;
    const long long earlierRest =
        ((earlier.day * 24LL + earlier.hour) * 60 + earlier.minute) * 60 + earlier.second;
    if (months > 0 && laterRest < earlierRest) {
        --months;
    }
    return backwards ? -months : months;
}

class DateReader {
public:
    explicit DateReader(const Text& text) : m_text(text) {}

    bool AtEnd() const { return m_at >= m_text.size(); }

    void SkipBlanks() {
        while (!AtEnd() && (m_text[m_at] == ' ' || m_text[m_at] == '\t')) {
            ++m_at;
        }
    }

    bool Number(int& value) {
        std::size_t digits = 0;
        long long read = 0;
        while (!AtEnd() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            read = std::min(read * 10 + (m_text[m_at] - '0'), 1000000LL);
            ++m_at;
            ++digits;
        }
        value = static_cast<int>(read);
        return digits > 0;
    }

    bool Take(const char* token) {
        const Text expected(token);
        if (m_text.compare(m_at, expected.size(), expected) == 0) {
            m_at += expected.size();
            return true;
        }
        return false;
    }

    bool TakeOneOf(const char* choices, char& taken) {
        if (!AtEnd() && Text(choices).find(m_text[m_at]) != Text::npos) {
            taken = m_text[m_at++];
            return true;
        }
        return false;
    }

private:
    const Text& m_text;
    std::size_t m_at = 0;
};

bool ReadDate(DateReader& in, Fields& f) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (!in.Number(year)) {
        return false;
    }
    char separator = 0;
    if (in.Take(kYear)) {
        if (!in.Number(month) || !in.Take(kMonth) || !in.Number(day)) {
            return false;
        }
        in.Take(kDay);
    } else if (in.TakeOneOf("-/.", separator)) {
        const char same[] = {separator, 0};
        if (!in.Number(month) || !in.Take(same) || !in.Number(day)) {
            return false;
        }
    } else {
        return false;
    }
    f.year = year;
    f.month = month;
    f.day = day;
    return true;
}

bool ReadTime(DateReader& in, Fields& f) {
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!in.Number(hour)) {
        return false;
    }
    if (in.Take(kHour)) {
        if (in.Number(minute)) {
            in.Take(kMinute);
            if (in.Number(second)) {
                in.Take(kSecond);
            }
        }
    } else if (in.Take(":")) {
        if (!in.Number(minute)) {
            return false;
        }
        if (in.Take(":") && !in.Number(second)) {
            return false;
        }
    } else {
        return false;
    }
    f.hour = hour;
    f.minute = minute;
    f.second = second;
    return true;
}

bool IsPossible(const Fields& f) {
    return f.year >= 100 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= DaysInMonth(f.year, f.month) && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 &&
           f.minute <= 59 && f.second >= 0 && f.second <= 59;
}

}  // namespace

DateTime Now(const Clock& clock) {
    return clock.Now();
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    // Months and days beyond their range carry over, as a day count naturally does.
    // Widened before any arithmetic: the arguments may be anywhere in int's range.
    const long long monthIndex =
        static_cast<long long>(year) * 12 + (static_cast<long long>(month) - 1);
    const long long y = FloorDiv(monthIndex, 12);
    const int m = static_cast<int>(monthIndex - y * 12) + 1;
    const long long days = DaysFromCivil(y, m, 1) + (static_cast<long long>(day) - 1) + kEpochShift;
    const long long seconds = (static_cast<long long>(hour) * 60 + minute) * 60 + second;
    return DateTime{static_cast<double>(days) +
                    static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay)};
}

int DatePart(DateTime value, DateUnit part) {
    const Fields f = Split(value);
    switch (part) {
        case DateUnit::Year:
            return static_cast<int>(f.year);
        case DateUnit::Month:
            return f.month;
        case DateUnit::Day:
            return f.day;
        case DateUnit::Hour:
            return f.hour;
        case DateUnit::Minute:
            return f.minute;
        case DateUnit::Second:
            return f.second;
    }
    return 0;
}

double DateDiff(DateTime first, DateTime second, DateUnit unit) {
    switch (unit) {
        case DateUnit::Day:
            return first.days - second.days;
        case DateUnit::Year:
            return static_cast<double>(CompletedMonths(first, second) / 12);
        case DateUnit::Month:
            return static_cast<double>(CompletedMonths(first, second));
        case DateUnit::Hour:
            return static_cast<double>((TotalSeconds(first) - TotalSeconds(second)) / 3600);
        case DateUnit::Minute:
            return static_cast<double>((TotalSeconds(first) - TotalSeconds(second)) / 60);
        case DateUnit::Second:
            return static_cast<double>(TotalSeconds(first) - TotalSeconds(second));
    }
    return 0;
}

Text DateTimeToText(DateTime value, int mode) {
    const Fields f = Split(value);
    if (mode == 2) {
        return DateText(f);
    }
    if (mode >= 3) {
        return TimeText(f, true, true);
    }
    Text text = DateText(f);
    if (f.second != 0) {
        text += TimeText(f, true, true);
    } else if (f.minute != 0) {
        text += TimeText(f, true, false);
    } else if (f.hour != 0) {
        text += TimeText(f, false, false);
    }
    return text;
}

DateTime ToDateTime(const Text& text) {
    const Text half = TextHalfWidth(text);
    DateReader in(half);
    Fields f{0, 0, 0, 0, 0, 0};
    in.SkipBlanks();
    bool readable = ReadDate(in, f);
    in.SkipBlanks();
    if (readable && !in.AtEnd()) {
        readable = ReadTime(in, f);
        in.SkipBlanks();
    }
    if (!readable || !in.AtEnd() || !IsPossible(f)) {
        return MakeDateTime(100, 1, 1);
    }
    return MakeDateTime(static_cast<int>(f.year), f.month, f.day, f.hour, f.minute, f.second);
}

}  // namespace velmor
