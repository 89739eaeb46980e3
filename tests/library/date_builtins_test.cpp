// Date and game-speed built-ins. Dates run under TZ=UTC unless a test sets
// another zone for itself; counts are 64-bit, so 1901, 1969, 1970 and 2040
// are ordinary years.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "error_capture.h"
#include "builtin_call.h"
#include "error_capture.h"
#include "core/date_time.h"
#include "core/timing_source.h"

namespace {

// Sets TZ for the test process and puts the previous zone back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        m_env.emplace("TZ", zone);
        tzset();
    }
    ~TimeZone() {
        m_env.reset();
        tzset();
    }

private:
    std::optional<ScopedEnv> m_env;
};

class DateBuiltins : public ::testing::Test {
protected:
    void SetUp() override { CallBuiltin("date_set_timezone", {1.0}); }
    void TearDown() override { g_bLocalTime = true; }

    static double Real(const char* name, std::vector<ZQRValue> args) {
        ZQRValue r = CallBuiltin(name, std::move(args));
        EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
        return r.val;
    }
    static double Create(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        return Real("date_create_datetime", {year, month, day, hour, minute, second});
    }

    TimeZone m_utc{"UTC"};
};

TEST_F(DateBuiltins, DatesCountDaysWithAHalfSecond) {
    EXPECT_DOUBLE_EQ(Create(1970, 1, 2), 25570.0 + 0.5 / 86400);
    EXPECT_DOUBLE_EQ(Real("date_create_date", {1970, 1, 2}), 25570.0 + 0.5 / 86400);
    EXPECT_EQ(Real("date_get_year", {Create(1970, 1, 2)}), 1970);
    EXPECT_EQ(Real("date_get_day_of_year", {Create(1970, 1, 2)}), 2);
    EXPECT_EQ(Real("date_get_timezone", {}), 1.0);
    EXPECT_EQ(Real("date_set_timezone", {5.0}), 0.0);
    EXPECT_EQ(Real("date_get_timezone", {}), 1.0) << "any zone but 0 is UTC";
}

// Each row: a date made from its fields reads back the same fields.
TEST_F(DateBuiltins, FieldsSurviveTheRoundTripInEveryEra) {
    struct Case {
        int year, month, day, hour, minute, second, weekday;
    };
    const Case cases[] = {
        {1970, 1, 1, 0, 0, 0, 4},      // the epoch itself (once read as 1901)
        {1969, 12, 31, 23, 59, 59, 3}, // count -1, which the platform also uses for failure
        {1960, 6, 15, 12, 30, 45, 3},  // before 1970
        {1901, 12, 13, 20, 45, 51, 5}, // one second before the old 32-bit floor
        {1900, 1, 1, 0, 0, 0, 1},      //
        {2038, 1, 19, 3, 14, 8, 2},    // one second past the old 32-bit ceiling
        {2040, 1, 1, 0, 0, 0, 0},      //
        {2100, 2, 28, 23, 0, 0, 0},    //
    };
    ErrorCapture errors;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
        double date = Create(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(Real("date_get_year", {date}), c.year);
        EXPECT_EQ(Real("date_get_month", {date}), c.month);
        EXPECT_EQ(Real("date_get_day", {date}), c.day);
        EXPECT_EQ(Real("date_get_hour", {date}), c.hour);
        EXPECT_EQ(Real("date_get_minute", {date}), c.minute);
        EXPECT_EQ(Real("date_get_second", {date}), c.second);
        EXPECT_EQ(Real("date_get_weekday", {date}), c.weekday);
    }
    EXPECT_EQ(errors.Count(), 0) << "no creation fails";
    EXPECT_EQ(Real("date_get_year", {25569.0}), 1970);
    EXPECT_EQ(Real("date_get_year", {25569.00001}), 1970);
    EXPECT_EQ(Real("date_get_year", {25569.5}), 1970);
    EXPECT_EQ(Real("date_get_year", {25568.99999}), 1969);
}

TEST_F(DateBuiltins, CreatingATimeGivesTheLastDayOf1899) {
    ErrorCapture errors;
    double time = Real("date_create_time", {12, 30, 0});
    EXPECT_EQ(errors.Count(), 0);
    EXPECT_NEAR(time, 1.0 + 12.5 / 24, 1e-5);
    EXPECT_EQ(Real("date_get_year", {time}), 1899);
    EXPECT_EQ(Real("date_get_day", {time}), 31);
    EXPECT_EQ(Real("date_get_hour", {time}), 12);
    EXPECT_EQ(Real("date_get_minute", {time}), 30);
}

TEST_F(DateBuiltins, PositionsWithinTheYear) {
    EXPECT_EQ(Real("date_get_week", {Create(2019, 1, 6)}), 0);
    EXPECT_EQ(Real("date_get_week", {Create(2019, 1, 7)}), 1);
    double early = Create(2019, 1, 1, 5, 30, 10);
    EXPECT_EQ(Real("date_get_hour_of_year", {early}), 5);
    EXPECT_EQ(Real("date_get_minute_of_year", {early}), 330);
    EXPECT_EQ(Real("date_get_second_of_year", {early}), 5 * 3600 + 30 * 60 + 10);
    EXPECT_EQ(Real("date_get_day_of_year", {Create(2020, 12, 31)}), 366);
    EXPECT_EQ(Real("date_days_in_month", {Create(2020, 2, 10)}), 29);
    EXPECT_EQ(Real("date_days_in_month", {Create(1900, 2, 10)}), 28);
    EXPECT_EQ(Real("date_days_in_year", {Create(2000, 5, 5)}), 366);
    EXPECT_EQ(Real("date_days_in_year", {Create(2100, 5, 5)}), 365);
    EXPECT_EQ(Real("date_leap_year", {Create(2024, 5, 5)}), 1);
    EXPECT_EQ(Real("date_leap_year", {Create(2023, 5, 5)}), 0);
    // A date with no calendar fields answers the presets.
    double nan = std::nan("");
    EXPECT_EQ(Real("date_get_year", {nan}), -1);
    EXPECT_EQ(Real("date_days_in_month", {nan}), 0);
    EXPECT_EQ(Real("date_days_in_year", {1e300}), 365);
    EXPECT_EQ(Text(CallBuiltin("date_date_string", {nan})), "invalid time");
}

TEST_F(DateBuiltins, IncrementsNormaliseInUtc) {
    struct Case {
        const char* name;
        int amount;
        int year, month, day, hour;
    };
    const Case cases[] = {
        {"date_inc_month", 1, 2019, 3, 3, 0},   {"date_inc_month", 1, 2019, 3, 3, 0},
        {"date_inc_year", 1, 2020, 1, 31, 0},   {"date_inc_week", 2, 2019, 2, 14, 0},
        {"date_inc_day", -31, 2018, 12, 31, 0}, {"date_inc_hour", 25, 2019, 2, 1, 1},
        {"date_inc_year", 20, 2039, 1, 31, 0},  {"date_inc_year", -60, 1959, 1, 31, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.amount);
        double shifted = Real(c.name, {Create(2019, 1, 31), c.amount});
        EXPECT_EQ(Real("date_get_year", {shifted}), c.year);
        EXPECT_EQ(Real("date_get_month", {shifted}), c.month);
        EXPECT_EQ(Real("date_get_day", {shifted}), c.day);
        EXPECT_EQ(Real("date_get_hour", {shifted}), c.hour);
    }
    EXPECT_EQ(Real("date_get_minute", {Real("date_inc_minute", {Create(2019, 1, 1), 61})}), 1);
    EXPECT_EQ(Real("date_get_second", {Real("date_inc_second", {Create(2019, 1, 1), -1})}), 59);
    EXPECT_EQ(Real("date_inc_day", {std::nan(""), 1}), -1.0);
}

TEST_F(DateBuiltins, ValidationComparisonsAndSpans) {
    struct Valid {
        int year, month, day;
        double expected;
    };
    for (const Valid& v :
         {Valid{2000, 2, 29, 1}, Valid{1900, 2, 29, 0}, Valid{2019, 13, 1, 0}, Valid{2019, 2, 29, 0},
          Valid{1969, 12, 31, 0}, Valid{2019, 0, 1, 0}, Valid{2019, 4, 31, 0}, Valid{-4, 1, 1, 0}})
        EXPECT_EQ(Real("date_valid_date", {v.year, v.month, v.day}), v.expected) << v.year << "-" << v.month;
    EXPECT_EQ(Real("date_valid_time", {23, 59, 59}), 1);
    EXPECT_EQ(Real("date_valid_time", {24, 0, 0}), 0);
    EXPECT_EQ(Real("date_valid_time", {-1, 0, 0}), 0);
    EXPECT_EQ(Real("date_valid_datetime", {2019, 1, 1, 12, 60, 0}), 0);
    EXPECT_EQ(Real("date_valid_datetime", {2019, 1, 1, 12, 0, 0}), 1);

    EXPECT_EQ(Real("date_compare_date", {25570.9, 25570.1}), 0);
    EXPECT_EQ(Real("date_compare_time", {25570.9, 25570.1}), 1);
    EXPECT_EQ(Real("date_compare_datetime", {25570.1, 25570.9}), -1);
    EXPECT_EQ(Real("date_compare_datetime", {25570.1, 25570.1}), 0);
    EXPECT_EQ(Real("date_date_of", {25570.75}), 25570);
    EXPECT_DOUBLE_EQ(Real("date_time_of", {25570.75}), 0.75);
    EXPECT_DOUBLE_EQ(Real("date_day_span", {10.0, 13.5}), 3.5);
    EXPECT_DOUBLE_EQ(Real("date_hour_span", {13.5, 10.0}), 84);
    EXPECT_DOUBLE_EQ(Real("date_minute_span", {0.0, 1.0}), 1440);
    EXPECT_DOUBLE_EQ(Real("date_second_span", {0.0, 1.0}), 86400);
    EXPECT_DOUBLE_EQ(Real("date_week_span", {0.0, 14.0}), 2);
    EXPECT_DOUBLE_EQ(Real("date_year_span", {0.0, 365.25}), 1);
    EXPECT_DOUBLE_EQ(Real("date_month_span", {0.0, 365.25}), 12);
}

TEST_F(DateBuiltins, CurrentTimeTextsAndToday) {
    double now = Real("date_current_datetime", {});
    EXPECT_NEAR(now, static_cast<double>(time(nullptr)) / 86400 + 25569, 2.0 / 86400);
    EXPECT_EQ(Real("date_current_date", {}), Real("date_current_time", {}));
    EXPECT_EQ(Real("date_is_today", {now}), 1);
    EXPECT_EQ(Real("date_is_today", {now - 1}), 0);
    // Formatting follows the environment's locale (here the C locale).
    ScopedEnv locale("LC_ALL", "C");
    double date = Create(1970, 1, 1, 13, 5, 9);
    EXPECT_EQ(Text(CallBuiltin("date_datetime_string", {date})), "Thu Jan  1 13:05:09 1970");
    EXPECT_EQ(Text(CallBuiltin("date_date_string", {date})), "01/01/70");
    EXPECT_EQ(Text(CallBuiltin("date_time_string", {date})), "13:05:09");
}

// Local time: a zone three hours east of UTC (a POSIX rule, so no zone
// database is needed) moves every field the local built-ins read and write.
TEST_F(DateBuiltins, LocalTimeFollowsTheTimeZone) {
    TimeZone east("XYZ-3");
    CallBuiltin("date_set_timezone", {0.0});
    double localMidnight = Create(2000, 1, 1);
    EXPECT_EQ(Real("date_get_hour", {localMidnight}), 0);
    EXPECT_EQ(Real("date_get_timezone", {}), 0.0);
    CallBuiltin("date_set_timezone", {1.0});
    EXPECT_EQ(Real("date_get_hour", {localMidnight}), 21);
    EXPECT_EQ(Real("date_get_day", {localMidnight}), 31);
    EXPECT_EQ(Real("date_get_year", {localMidnight}), 1999);
    // The increments work in UTC whatever the setting.
    CallBuiltin("date_set_timezone", {0.0});
    EXPECT_DOUBLE_EQ(Real("date_inc_hour", {localMidnight, 3}) - localMidnight, 3.0 / 24);
    // The current-time variables read the same setting.
    struct tm local = CurrentTimeToTM();
    g_bLocalTime = false;
    struct tm utc = CurrentTimeToTM();
    EXPECT_EQ((utc.tm_hour + 3) % 24, local.tm_hour);
}

TEST_F(DateBuiltins, GameSpeedSetsTheFrameClock) {
    double saved = g_GameTimer.GetFrameRate();
    CallBuiltin("game_set_speed", {60.0, 0.0});
    EXPECT_EQ(Real("game_get_speed", {0.0}), 60.0);
    EXPECT_NEAR(Real("game_get_speed", {1.0}), 16666.67, 0.01);
    CallBuiltin("game_set_speed", {30.0, 1.0});
    EXPECT_NEAR(g_GameTimer.GetFrameRate(), 33333.33, 0.01);
    CallBuiltin("game_set_speed", {50.0, 7.0});
    EXPECT_NEAR(g_GameTimer.GetFrameRate(), 33333.33, 0.01) << "an unknown type changes nothing";
    {
        ErrorCapture errors;
        CallBuiltin("game_set_speed", {-1.0, 0.0});
        EXPECT_TRUE(errors.ShownContains("game_set_speed() - game time can't run backwards"));
        EXPECT_NEAR(g_GameTimer.GetFrameRate(), 33333.33, 0.01);
    }
    CallBuiltin("game_set_speed", {0.0, 1.0});
    EXPECT_EQ(g_GameTimer.GetFrameRate(), 0.0);
    EXPECT_EQ(Real("game_get_speed", {0.0}), 0.0);
    g_GameTimer.SetFrameRate(saved);
}

} // namespace
