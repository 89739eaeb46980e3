// Date conversions and the time-zone setting. The counts are 64-bit: a 32-bit
// count wraps in 2038 and cannot hold any moment before 13 December 1901.
#include "core/date_time.h"

#include <cmath>

#include "core/real_to_int.h"

bool g_bLocalTime = true;

namespace {

constexpr double kDaysPerSecond = 1.1574074074074073e-05;
constexpr double kUnixEpochDate = 25569.0;

} // namespace

struct tm CurrentTimeToTM() {
    time_t now = time(nullptr);
    struct tm broken {};
    if (g_bLocalTime)
        localtime_r(&now, &broken);
    else
        gmtime_r(&now, &broken);
    return broken;
}

double Date_FromSeconds(int64_t seconds) {
    return (static_cast<double>(seconds) + 0.5) * kDaysPerSecond + kUnixEpochDate;
}

bool Date_ToSeconds(double date, int64_t* seconds) {
    double count = std::floor((date - kUnixEpochDate) * 86400.0);
    if (!(count >= -9.2e18 && count <= 9.2e18)) return false;
    *seconds = RealToInt64(count);
    return true;
}

bool Date_ToTM(double date, bool local, struct tm* out) {
    int64_t seconds;
    if (!Date_ToSeconds(date, &seconds)) return false;
    time_t t = static_cast<time_t>(seconds);
    *out = {};
    return (local ? localtime_r(&t, out) : gmtime_r(&t, out)) != nullptr;
}

// mktime and timegm answer -1 both for failure and for 1969-12-31 23:59:59;
// the weekday they fill in on success tells the two apart.
bool Date_FromTM(struct tm fields, bool local, double* date) {
    fields.tm_wday = -1;
    if (local) fields.tm_isdst = -1;
    time_t t = local ? mktime(&fields) : timegm(&fields);
    if (t == static_cast<time_t>(-1) && fields.tm_wday == -1) return false;
    *date = Date_FromSeconds(static_cast<int64_t>(t));
    return true;
}

bool Date_IsLeapYear(int64_t year) {
    return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0);
}

int Date_DaysInMonth(int64_t year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 0 || month > 11) return 0;
    return month == 1 && Date_IsLeapYear(year) ? 29 : kDays[month];
}
