#pragma once

// Pieces of the date and time conversions that the fast paths share with
// the general ones. Only the runtime's own sources include this.

#include "SysUtils.h"

namespace sysutils {

constexpr long long kMsPerDay = 86400000;

// A day at a whole millisecond. The date is the integral part (towards
// zero), the time the absolute fraction, so -1.25 is 29.12.1899 06:00.
struct DayAndMs {
    long long day = 0;
    long long ms = 0;
    bool valid = false;
};

DayAndMs splitDateTime(TDateTime dt);
// Day number to year, month and day.
void decodeDay(long long day, int& year, int& month, int& dayOfMonth);
// Milliseconds of the day to hour, minute, second and millisecond.
void decodeMs(long long ms, int& hour, int& min, int& sec, int& msec);
// Order of day, month and year in the short date format: index 0 = day,
// 1 = month, 2 = year, listed as they appear.
void dateOrder(int order[3]);

} // namespace sysutils
