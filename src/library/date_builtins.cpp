// Date and game-speed built-ins. Dates are read through their calendar
// fields in local time or UTC (g_bLocalTime); the increments always work in
// UTC; spans, comparisons and the date/time parts work on the reals.
#include <clocale>
#include <cmath>
#include <cstring>
#include <ctime>

#include "core/arguments.h"
#include "core/error.h"
#include "core/real_to_int.h"
#include "core/zq_rvalue.h"
#include "core/date_time.h"
#include "library/library_builtins.h"
#include "core/timing_source.h"

namespace {

void SetReal(RValue& result, double v) {
    ZQSetResultReal(result, v);
}

double DateArg(const RValue* a, int index) {
    return ZQGetReal(a, index);
}

// ---- current time and creation

void F_DateCurrentDateTime(RValue& r, CInstance*, CInstance*, int, RValue*) {
    SetReal(r, Date_FromSeconds(static_cast<int64_t>(time(nullptr))));
}

// Years below 1900 count as 1900. A time the platform cannot convert raises
// the fatal error; when that returns, the result is the date of count -1.
void CreateDate(RValue& r, int year, int month, int day, int hour, int minute, int second) {
    struct tm fields {};
    fields.tm_sec = second;
    fields.tm_min = minute;
    fields.tm_hour = hour;
    fields.tm_mday = day;
    fields.tm_mon = month;
    fields.tm_year = year < 0 ? 0 : year;
    double date;
    if (!Date_FromTM(fields, g_bLocalTime, &date)) {
        ZQError("invalid date conversion - dates earlier than 1 Jan 1970 will be incorrect");
        date = Date_FromSeconds(-1);
    }
    SetReal(r, date);
}
void F_DateCreateDateTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int year = ZQGetInt32(a, 0), month = ZQGetInt32(a, 1), day = ZQGetInt32(a, 2);
    int hour = ZQGetInt32(a, 3), minute = ZQGetInt32(a, 4), second = ZQGetInt32(a, 5);
    CreateDate(r, year < 1900 ? 0 : year - 1900, month - 1, day, hour, minute, second);
}
void F_DateCreateDate(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int year = ZQGetInt32(a, 0), month = ZQGetInt32(a, 1), day = ZQGetInt32(a, 2);
    CreateDate(r, year < 1900 ? 0 : year - 1900, month - 1, day, 0, 0, 0);
}
// Day 0 of January 1900: 31 December 1899 at the given time.
void F_DateCreateTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int hour = ZQGetInt32(a, 0), minute = ZQGetInt32(a, 1), second = ZQGetInt32(a, 2);
    CreateDate(r, 0, 0, 0, hour, minute, second);
}

// ---- validation (negative values are invalid)

bool ValidTime(int32_t hour, int32_t minute, int32_t second) {
    return static_cast<uint32_t>(hour) <= 23 && static_cast<uint32_t>(minute) <= 59 &&
           static_cast<uint32_t>(second) <= 59;
}
bool ValidDate(int32_t year, int32_t month, int32_t day) {
    if (year < 1970 || static_cast<uint32_t>(month - 1) > 11u) return false;
    return day >= 1 && day <= Date_DaysInMonth(year, month - 1);
}
void F_DateValidDateTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int32_t year = ZQGetInt32(a, 0), month = ZQGetInt32(a, 1), day = ZQGetInt32(a, 2);
    int32_t hour = ZQGetInt32(a, 3), minute = ZQGetInt32(a, 4), second = ZQGetInt32(a, 5);
    SetReal(r, ValidDate(year, month, day) && ValidTime(hour, minute, second) ? 1.0 : 0.0);
}
void F_DateValidDate(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int32_t year = ZQGetInt32(a, 0), month = ZQGetInt32(a, 1), day = ZQGetInt32(a, 2);
    SetReal(r, ValidDate(year, month, day) ? 1.0 : 0.0);
}
void F_DateValidTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int32_t hour = ZQGetInt32(a, 0), minute = ZQGetInt32(a, 1), second = ZQGetInt32(a, 2);
    SetReal(r, ValidTime(hour, minute, second) ? 1.0 : 0.0);
}

// ---- increments: one UTC field moved, timegm normalising the rest

template <int tm::*kField, int kScale>
void F_DateInc(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double date = DateArg(a, 0);
    int64_t amount = static_cast<int64_t>(ZQGetInt32(a, 1)) * kScale;
    struct tm fields;
    double shifted;
    if (!Date_ToTM(date, false, &fields)) {
        SetReal(r, -1.0);
        return;
    }
    int64_t moved = static_cast<int64_t>(fields.*kField) + amount;
    if (moved < INT32_MIN || moved > INT32_MAX) {
        SetReal(r, -1.0);
        return;
    }
    fields.*kField = static_cast<int>(moved);
    SetReal(r, Date_FromTM(fields, false, &shifted) ? shifted : -1.0);
}

// ---- splitting (by the time-zone setting; -1 when the date has no fields)

int DayOfYear(const struct tm& t) {
    int64_t year = static_cast<int64_t>(t.tm_year) + 1900;
    int days = 0;
    for (int m = 0; m < t.tm_mon; ++m) days += Date_DaysInMonth(year, m);
    return days + t.tm_mday;
}
int64_t SecondOfYear(const struct tm& t) {
    return static_cast<int64_t>(DayOfYear(t) - 1) * 86400 + t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
}

template <class Field>
void Split(RValue& r, RValue* a, double preset, Field field) {
    struct tm t;
    SetReal(r, Date_ToTM(DateArg(a, 0), g_bLocalTime, &t) ? field(t) : preset);
}
void F_DateGetYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return t.tm_year + 1900.0; });
}
void F_DateGetMonth(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return t.tm_mon + 1.0; });
}
void F_DateGetWeek(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(DayOfYear(t) / 7); });
}
void F_DateGetDay(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(t.tm_mday); });
}
void F_DateGetHour(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(t.tm_hour); });
}
void F_DateGetMinute(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(t.tm_min); });
}
void F_DateGetSecond(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(t.tm_sec); });
}
void F_DateGetWeekday(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(t.tm_wday); });
}
void F_DateGetDayOfYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(DayOfYear(t)); });
}
void F_DateGetHourOfYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(SecondOfYear(t) / 3600); });
}
void F_DateGetMinuteOfYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(SecondOfYear(t) / 60); });
}
void F_DateGetSecondOfYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, -1, [](const tm& t) { return static_cast<double>(SecondOfYear(t)); });
}

// ---- spans, comparisons and parts (on the reals)

template <int kFactorIndex>
void F_DateSpan(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    static constexpr double kFactors[] = {
        0.0027378507871321013, 0.03285420944558522, 0.14285714285714285, 1.0, 24.0, 1440.0, 86400.0};
    double d1 = DateArg(a, 0);
    double d2 = DateArg(a, 1);
    SetReal(r, std::fabs(d1 - d2) * kFactors[kFactorIndex]);
}

double Compare(double x, double y) {
    if (x == y) return 0.0;
    return x > y ? 1.0 : -1.0;
}
double FractionOf(double d) {
    double whole;
    return std::modf(d, &whole);
}
void F_DateCompareDateTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double d1 = DateArg(a, 0);
    SetReal(r, Compare(d1, DateArg(a, 1)));
}
void F_DateCompareDate(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double d1 = DateArg(a, 0);
    SetReal(r, Compare(RealToInt32(d1), RealToInt32(DateArg(a, 1))));
}
void F_DateCompareTime(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    double d1 = DateArg(a, 0);
    SetReal(r, Compare(FractionOf(d1), FractionOf(DateArg(a, 1))));
}
void F_DateDateOf(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, RealToInt32(DateArg(a, 0)));
}
void F_DateTimeOf(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    SetReal(r, FractionOf(DateArg(a, 0)));
}

// strftime in the user's environment locale, switched for this thread only.
// `format` is one of the fixed locale formats of the callers ("%c", "%x",
// "%X"), whose year width the locale decides.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void FormatDate(RValue& r, RValue* a, const char* format) {
    struct tm t;
    if (!Date_ToTM(DateArg(a, 0), g_bLocalTime, &t)) {
        ZQCreateString(&r, "invalid time");
        return;
    }
    char text[1024] = {};
    locale_t userLocale = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    locale_t previous = userLocale != static_cast<locale_t>(nullptr) ? uselocale(userLocale) : nullptr;
    size_t length = strftime(text, sizeof text, format, &t);
    if (userLocale != static_cast<locale_t>(nullptr)) {
        uselocale(previous);
        freelocale(userLocale);
    }
    text[length < sizeof text ? length : sizeof text - 1] = 0;
    ZQCreateString(&r, text);
}
#pragma GCC diagnostic pop

void F_DateDateTimeString(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    FormatDate(r, a, "%c");
}
void F_DateDateString(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    FormatDate(r, a, "%x");
}
void F_DateTimeString(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    FormatDate(r, a, "%X");
}

void F_DateDaysInMonth(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, 0,
          [](const tm& t) { return static_cast<double>(Date_DaysInMonth(t.tm_year + 1900LL, t.tm_mon)); });
}
void F_DateDaysInYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, 365, [](const tm& t) { return Date_IsLeapYear(t.tm_year + 1900LL) ? 366.0 : 365.0; });
}
void F_DateLeapYear(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    Split(r, a, 0, [](const tm& t) { return Date_IsLeapYear(t.tm_year + 1900LL) ? 1.0 : 0.0; });
}
void F_DateIsToday(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    struct tm t;
    if (!Date_ToTM(DateArg(a, 0), g_bLocalTime, &t)) {
        SetReal(r, 0.0);
        return;
    }
    struct tm now = CurrentTimeToTM();
    SetReal(r, t.tm_year == now.tm_year && t.tm_mon == now.tm_mon && t.tm_yday == now.tm_yday ? 1.0 : 0.0);
}
void F_DateSetTimezone(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    g_bLocalTime = ZQGetInt32(a, 0) == 0;
    SetReal(r, 0.0);
}
void F_DateGetTimezone(RValue& r, CInstance*, CInstance*, int, RValue*) {
    SetReal(r, g_bLocalTime ? 0.0 : 1.0);
}

// ---- game speed (the frame clock)

void F_GameSetSpeed(RValue&, CInstance*, CInstance*, int, RValue* a) {
    double speed = ZQGetReal(a, 0);
    int type = ZQGetInt32(a, 1);
    if (speed < 0.0 || std::isnan(speed)) {
        Error_Show("game_set_speed() - game time can't run backwards", false);
        return;
    }
    if (speed == 0.0)
        g_GameTimer.SetFrameRate(0.0);
    else if (type == 0)
        g_GameTimer.SetFrameRate(speed);
    else if (type == 1)
        g_GameTimer.SetFrameRate(1000000.0 / speed);
}
void F_GameGetSpeed(RValue& r, CInstance*, CInstance*, int, RValue* a) {
    int type = ZQGetInt32(a, 0);
    if (!(g_GameTimer.GetFrameRate() > 0.0)) {
        SetReal(r, 0.0);
        return;
    }
    double fps = g_GameTimer.GetFPS();
    SetReal(r, type == 0 ? fps : 1000000.0 / fps);
}

const LibraryBuiltinRow kDates[] = {
    {"date_current_datetime", F_DateCurrentDateTime},
    {"date_current_date", F_DateCurrentDateTime},
    {"date_current_time", F_DateCurrentDateTime},
    {"date_create_datetime", F_DateCreateDateTime},
    {"date_create_date", F_DateCreateDate},
    {"date_create_time", F_DateCreateTime},
    {"date_valid_datetime", F_DateValidDateTime},
    {"date_valid_date", F_DateValidDate},
    {"date_valid_time", F_DateValidTime},
    {"date_inc_year", F_DateInc<&tm::tm_year, 1>},
    {"date_inc_month", F_DateInc<&tm::tm_mon, 1>},
    {"date_inc_week", F_DateInc<&tm::tm_mday, 7>},
    {"date_inc_day", F_DateInc<&tm::tm_mday, 1>},
    {"date_inc_hour", F_DateInc<&tm::tm_hour, 1>},
    {"date_inc_minute", F_DateInc<&tm::tm_min, 1>},
    {"date_inc_second", F_DateInc<&tm::tm_sec, 1>},
    {"date_get_year", F_DateGetYear},
    {"date_get_month", F_DateGetMonth},
    {"date_get_week", F_DateGetWeek},
    {"date_get_day", F_DateGetDay},
    {"date_get_hour", F_DateGetHour},
    {"date_get_minute", F_DateGetMinute},
    {"date_get_second", F_DateGetSecond},
    {"date_get_weekday", F_DateGetWeekday},
    {"date_get_day_of_year", F_DateGetDayOfYear},
    {"date_get_hour_of_year", F_DateGetHourOfYear},
    {"date_get_minute_of_year", F_DateGetMinuteOfYear},
    {"date_get_second_of_year", F_DateGetSecondOfYear},
    {"date_year_span", F_DateSpan<0>},
    {"date_month_span", F_DateSpan<1>},
    {"date_week_span", F_DateSpan<2>},
    {"date_day_span", F_DateSpan<3>},
    {"date_hour_span", F_DateSpan<4>},
    {"date_minute_span", F_DateSpan<5>},
    {"date_second_span", F_DateSpan<6>},
    {"date_compare_datetime", F_DateCompareDateTime},
    {"date_compare_date", F_DateCompareDate},
    {"date_compare_time", F_DateCompareTime},
    {"date_date_of", F_DateDateOf},
    {"date_time_of", F_DateTimeOf},
    {"date_datetime_string", F_DateDateTimeString},
    {"date_date_string", F_DateDateString},
    {"date_time_string", F_DateTimeString},
    {"date_days_in_month", F_DateDaysInMonth},
    {"date_days_in_year", F_DateDaysInYear},
    {"date_leap_year", F_DateLeapYear},
    {"date_is_today", F_DateIsToday},
    {"date_set_timezone", F_DateSetTimezone},
    {"date_get_timezone", F_DateGetTimezone},
    {"game_set_speed", F_GameSetSpeed},
    {"game_get_speed", F_GameGetSpeed},
};

} // namespace

std::span<const LibraryBuiltinRow> DateBuiltins() {
    return kDates;
}
