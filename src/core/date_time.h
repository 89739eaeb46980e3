// The calendar's time-zone setting and the broken-down current time that the
// core's current-time variables read.
#pragma once

#include <ctime>

// Dates are read and built in local time (the default) or, when clear, in UTC.
extern bool g_bLocalTime;

// The current second broken down by the time-zone setting: second, minute,
// hour, day of month, month 0-11, years since 1900, weekday 0-6.
struct tm CurrentTimeToTM();
