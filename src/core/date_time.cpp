// The time-zone setting and the current broken-down time.
#include "core/date_time.h"

bool g_bLocalTime = true;

struct tm CurrentTimeToTM() {
    time_t now = time(nullptr);
    struct tm broken {};
    if (g_bLocalTime)
        localtime_r(&now, &broken);
    else
        gmtime_r(&now, &broken);
    return broken;
}
