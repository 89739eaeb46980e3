// The frame clock: at a fixed frame rate it advances by a constant period per
// update without reading the wall clock; at a rate of 0 or less it measures
// real time between updates. `g_GameTimer` paces new-generation games and
// answers "frames per second" to everything that scales by the frame rate.
#pragma once

#include <cstdint>

class CTimingSource {
public:
    CTimingSource() { Reset(); }

    // Total and delta back to 0, the stamp to now, not paused; the rate stays.
    void Reset();
    // A new rate (0 or less, or not a number: real time; a positive rate is
    // kept between 0.001 and 1000000 frames a second), then Reset.
    void SetFrameRate(double framesPerSecond);
    // Advances the clock by one frame.
    void Update();
    // The fixed rate; in real time 1000000 / last delta, or 30 before any frame.
    double GetFPS() const;

    double GetFrameRate() const { return m_frameRate; }
    int64_t GetTotalTime() const { return m_totalTime; }
    int64_t GetLastDelta() const { return m_lastDelta; }
    bool IsPaused() const { return m_paused; }

private:
    int64_t m_totalTime = 0;
    int64_t m_lastStamp = 0;
    bool m_paused = false;
    double m_frameRate = 0.0;
    int64_t m_lastDelta = 0;
};

extern CTimingSource g_GameTimer;

// The game clock as a fresh run finds it: real time (rate 0), at 0.
void TimingSource_Reset();

// The game clock's frame rate, as the header of a new-generation data file sets it.
void Timing_SetGameSpeed(double stepsPerSecond);
// Sleeps for the given microseconds through the core's frame sleep.
void Timing_Wait(int64_t microseconds);
// This platform is little-endian.
bool IsBigEndian();
// The legacy "#" convention of display texts, rewritten in place: "#" becomes
// a line feed and "\#" a literal "#". New-generation data keeps the text as it
// is. Returns the number of characters in the result (0 for null).
int String_Replace_Hash(char* text);
