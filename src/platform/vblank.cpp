// The derived vertical-blank counter and the wait before a buffer swap.
#include "platform/vblank.h"

#include <cmath>

#include "core/real_to_int.h"
#include "core/timing.h"
#include "platform/gl_view.h"
#include "world/run/main_loop.h"
#include "world/step/step_services.h"

std::atomic<int32_t> g_CurrVSync{0};
int32_t g_LastVSync = 0;

namespace {

constexpr int64_t kGiveUpMicros = 100000000; // 100 s

double g_refreshHz = 0.0;
int64_t g_baseTime = 0;        // Timing_Time() of blank 0
int64_t g_lastNow = INT64_MIN; // the clock at the last count
double g_periodMicros = 0.0;   // 0 while the rate is unknown

// The blank count at `now`. A clock that went back (Timing_Init runs again
// at start-up) restarts the count at the same value instead of losing it.
int32_t CountAt(int64_t now) {
    if (g_periodMicros <= 0.0) return g_CurrVSync.load(std::memory_order_relaxed);
    if (now < g_lastNow) {
        const int32_t kept = g_CurrVSync.load(std::memory_order_relaxed);
        g_baseTime = now - RealToInt64(kept * g_periodMicros);
    }
    g_lastNow = now;
    const int64_t n = RealToInt64(static_cast<double>(now - g_baseTime) / g_periodMicros);
    const int32_t count = n > INT32_MAX ? INT32_MAX : static_cast<int32_t>(n);
    g_CurrVSync.store(count, std::memory_order_relaxed);
    return count;
}

} // namespace

void VBlank_SetRefreshRate(double hz) {
    const int32_t count = VBlank_Count();
    g_refreshHz = hz > 0.0 ? hz : 0.0;
    g_periodMicros = g_refreshHz > 0.0 ? 1000000.0 / g_refreshHz : 0.0;
    // Keep the count running across a change of display.
    g_lastNow = Timing_Time();
    g_baseTime = g_lastNow - RealToInt64(count * g_periodMicros);
    g_DisplayRefresh = g_refreshHz;
}

double VBlank_RefreshRate() {
    return g_refreshHz;
}

int32_t VBlank_Count() {
    return CountAt(Timing_Time());
}

void WaitForVBlank(int count) {
    const int32_t target = g_LastVSync + (count > 0 ? count : 0);
    const int64_t t0 = Timing_Time();
    while (g_periodMicros > 0.0 && CountAt(Timing_Time()) < target) {
        const int64_t now = Timing_Time();
        if (now - t0 >= kGiveUpMicros) break;
        const int64_t due = g_baseTime + RealToInt64(std::ceil(target * g_periodMicros));
        Timing_Sleep(due - now > 0 ? due - now : 1);
    }
    g_LastVSync = VBlank_Count();
}

// The swap can wait n blanks wherever blanks are counted: the wait sleeps to
// them, whether or not the driver honours a swap interval.
bool Platform_CanWaitVBlanks(int blanks) {
    return blanks >= 1 && g_periodMicros > 0.0 && ZQGLView::Main() != nullptr &&
           ZQGLView::Main()->ContextCreated();
}
