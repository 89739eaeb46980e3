// The broken-down current time that the date built-ins start from.
#include <gtest/gtest.h>

#include <ctime>

#include "core/date_time.h"

TEST(DateTime, CurrentTimeFollowsTheTimeZoneSetting) {
    bool saved = g_bLocalTime;
    g_bLocalTime = false;
    time_t before = time(nullptr);
    struct tm utc = CurrentTimeToTM();
    time_t after = time(nullptr);
    struct tm expectBefore {
    }, expectAfter{};
    gmtime_r(&before, &expectBefore);
    gmtime_r(&after, &expectAfter);
    EXPECT_TRUE(utc.tm_hour == expectBefore.tm_hour || utc.tm_hour == expectAfter.tm_hour);
    EXPECT_TRUE(utc.tm_yday == expectBefore.tm_yday || utc.tm_yday == expectAfter.tm_yday);
    EXPECT_GE(utc.tm_mon, 0);
    EXPECT_LE(utc.tm_mon, 11);
    g_bLocalTime = saved;
}
