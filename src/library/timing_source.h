// The frame clock (`CTimingSource`, the game clock `g_GameTimer`) and the
// small routines that live with it: the pause that forwards to the core's
// sleep and the legacy "#"-to-newline conversion of display texts.
#pragma once

#include <cstdint>

// A clock that runs at a fixed frame rate (advancing by a constant period per
// update, whatever the wall clock does) or, with a rate of 0 or less, in real
// time (measuring the time between updates with Timing_Time).
class CTimingSource {
public:
    CTimingSource() { Reset(); }

    // Total 0, last stamp = now, last delta 0, not paused; the rate stays.
    void Reset();
    // Stores the rate, then resets.
    void SetFrameRate(double fps);
    // Advances the clock by one frame.
    void Update();
    // The rate when above 0; in real time 1,000,000 / the last delta, or 30
    // while no frame has been measured.
    double GetFPS() const;

    int64_t m_total = 0;     // microseconds accumulated while not paused
    int64_t m_lastStamp = 0; // clock reading (or virtual time) of the last update
    bool m_paused = false;
    double m_frameRate = 0.0; // frames per second; 0 or less: real time
    int64_t m_lastDelta = 0;  // microseconds between the last two updates
};

// The game clock: paces the step with new-generation data.
extern CTimingSource g_GameTimer;

// Waits `us` microseconds through the core's frame sleep (at most 3 s;
// nothing for 0 or less).
void Timing_Wait(int64_t us);

// The legacy conversion of "#" in display texts, in place: with data that is
// not new-generation every "#" becomes a line feed and a backslash followed
// by "#" becomes "#"; new-generation data leaves the text alone. Returns the
// number of characters of the result (0 for null).
int String_Replace_Hash(char* text);
