// Vertical blanks without a display link: the count is derived from the
// display mode's refresh rate and the runtime's monotonic clock, so a wait for
// n blanks is a sleep to a known time and never a spin on a blank that a
// software renderer or a window-less run would never deliver.
#pragma once

#include <atomic>
#include <cstdint>

// Blanks counted since the refresh rate was last set (derived from the clock
// when read, so it keeps counting while the window is minimised).
extern std::atomic<int32_t> g_CurrVSync;
// The count when the last WaitForVBlank returned.
extern int32_t g_LastVSync;

// Takes the display's refresh rate in Hz (0 or less: unknown, no blanks are
// counted and waits return at once) and restarts the count from now. Also
// sets the main loop's g_DisplayRefresh, which chooses vertical-blank pacing.
void VBlank_SetRefreshRate(double hz);
double VBlank_RefreshRate();
// Brings g_CurrVSync up to the clock and returns it.
int32_t VBlank_Count();
// Waits until `count` blanks have passed since the previous wait returned
// (count 0 returns at once), then records the current count. Sleeps to the
// blank's time; gives up after 100 s, as a wait for a blank always must.
void WaitForVBlank(int count);
