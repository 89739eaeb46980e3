// Dates: reals counting days since 30 December 1899 00:00 UTC (so 25569 is
// 1 January 1970), with the time of day as the fraction. Seconds since 1970
// are 64-bit here, so dates before 1901 and after 2038 convert like any
// other. Also the time-zone setting and the broken-down current time that
// the core's current-time variables read.
#pragma once

#include <cstdint>
#include <ctime>

// Dates are read and built in local time (the default) or, when clear, in UTC.
extern bool g_bLocalTime;

// The current second broken down by the time-zone setting: second, minute,
// hour, day of month, month 0-11, years since 1900, weekday 0-6.
struct tm CurrentTimeToTM();

// (t + 0.5) / 86400 + 25569: the half second lets a count survive the trip
// to a date and back.
double Date_FromSeconds(int64_t seconds);
// The whole seconds since 1970 of a date (rounded down, so dates before 1970
// come back to the count they were made from). False for NaN, infinities and
// dates beyond the 64-bit range.
bool Date_ToSeconds(double date, int64_t* seconds);
// A date's calendar fields in local time or UTC; false when it has none.
bool Date_ToTM(double date, bool local, struct tm* out);
// The date of calendar fields (normalised as mktime and timegm do, daylight
// saving left to the platform); false when the platform cannot convert them.
bool Date_FromTM(struct tm fields, bool local, double* date);

// Divisible by 4 and either by 400 or not by 100.
bool Date_IsLeapYear(int64_t year);
// Days in month 0-11 of the year.
int Date_DaysInMonth(int64_t year, int month);
