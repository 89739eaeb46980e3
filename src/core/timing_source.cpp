// Frame clock and its small companions.
#include "core/timing_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "core/timing.h"
#include "core/utf8.h"

CTimingSource g_GameTimer;

void CTimingSource::Reset() {
    m_totalTime = 0;
    m_lastStamp = Timing_Time();
    m_lastDelta = 0;
    m_paused = false;
}

// A positive rate is kept between one frame in 1000 s and a million frames a
// second: the period (1000000 / rate microseconds) then stays between 1 and
// 10^9, and the clock's 64-bit microseconds cannot overflow in any run. A rate
// that is not a number means real time.
void CTimingSource::SetFrameRate(double framesPerSecond) {
    constexpr double kSlowest = 0.001;
    constexpr double kFastest = 1000000.0;
    if (!(framesPerSecond > 0.0))
        m_frameRate = std::isnan(framesPerSecond) ? 0.0 : framesPerSecond;
    else
        m_frameRate = std::clamp(framesPerSecond, kSlowest, kFastest);
    Reset();
}

void CTimingSource::Update() {
    int64_t now;
    if (m_frameRate > 0.0) {
        // The period is truncated, so 60 fps advances by 16666 us a frame.
        now = m_lastStamp + RealToInt64(1000000.0 / m_frameRate);
    } else {
        now = Timing_Time();
    }
    m_lastDelta = now - m_lastStamp;
    if (!m_paused) m_totalTime += m_lastDelta;
    m_lastStamp = now;
}

double CTimingSource::GetFPS() const {
    if (m_frameRate > 0.0) return m_frameRate;
    if (m_lastDelta > 0) return 1000000.0 / static_cast<double>(m_lastDelta);
    return 30.0;
}

void Timing_Wait(int64_t microseconds) {
    Timing_Sleep(microseconds);
}

bool IsBigEndian() {
    return false;
}

// The header of a new-generation data file sets the game speed.
void Timing_SetGameSpeed(double stepsPerSecond) {
    g_GameTimer.SetFrameRate(stepsPerSecond);
}

int String_Replace_Hash(char* text) {
    if (text == nullptr) return 0;
    if (g_isNimbar) return utf8_strlen(text);
    const char* in = text;
    char* out = text;
    char* lastWritten = nullptr; // start of the character written last
    uint16_t previous = 0;       // the source character before the current one
    int count = 0;
    while (*in != '\0') {
        const char* start = in;
        uint16_t code = utf8_extract_char(&in);
        auto consumed = static_cast<size_t>(in - start);
        if (code == '#' && previous == '\\' && lastWritten != nullptr) {
            // "\#": the backslash already written becomes the "#".
            *lastWritten = '#';
            out = lastWritten + 1;
        } else {
            lastWritten = out;
            if (code == '#') {
                *out++ = '\n';
            } else if (static_cast<size_t>(utf8_char_size(code)) <= consumed) {
                utf8_add_char(&out, code);
            } else {
                // A sequence cut short by the terminator would grow when
                // re-encoded; its bytes are kept so the text never outgrows
                // its buffer.
                std::memmove(out, start, consumed);
                out += consumed;
            }
            ++count;
        }
        previous = code;
    }
    *out = '\0';
    return count;
}

void TimingSource_Reset() {
    g_GameTimer = CTimingSource();
}
