// The frame clock and its support routines.
#include "library/timing_source.h"

#include "core/console.h"
#include "core/real_to_int.h"
#include "core/timing.h"
#include "library/utf8.h"

CTimingSource g_GameTimer;

void CTimingSource::Reset() {
    m_total = 0;
    m_lastStamp = Timing_Time();
    m_lastDelta = 0;
    m_paused = false;
}

void CTimingSource::SetFrameRate(double fps) {
    m_frameRate = fps;
    Reset();
}

void CTimingSource::Update() {
    int64_t now;
    if (m_frameRate > 0.0) {
        // The virtual time advances by exactly one period however late the frame is.
        now = m_lastStamp + RealToInt64(1000000.0 / m_frameRate);
    } else {
        now = Timing_Time();
    }
    m_lastDelta = now - m_lastStamp;
    if (!m_paused) m_total += m_lastDelta;
    m_lastStamp = now;
}

double CTimingSource::GetFPS() const {
    if (m_frameRate > 0.0) return m_frameRate;
    if (m_lastDelta > 0) return 1000000.0 / static_cast<double>(m_lastDelta);
    return 30.0;
}

void Timing_Wait(int64_t us) {
    Timing_Sleep(us);
}

int String_Replace_Hash(char* text) {
    if (text == nullptr) return 0;
    if (g_isNimbar) return utf8_strlen(text);
    const char* read = text;
    char* write = text;
    char* lastBackslash = nullptr; // where the preceding character, a backslash, was written
    int count = 0;
    while (*read != '\0') {
        const char* start = read;
        uint16_t code = utf8_extract_char(&read);
        if (code == '#') {
            if (lastBackslash != nullptr) {
                *lastBackslash = '#';
            } else {
                *write++ = '\n';
                ++count;
            }
            lastBackslash = nullptr;
            continue;
        }
        char* at = write;
        if (utf8_char_size(code) <= read - start) {
            utf8_add_char(&write, code);
        } else {
            // A sequence cut short by the terminator decodes to a code longer
            // than its bytes: keep the bytes, so the text never grows.
            while (start < read) *write++ = *start++;
        }
        lastBackslash = code == '\\' ? at : nullptr;
        ++count;
    }
    *write = '\0';
    return count;
}
