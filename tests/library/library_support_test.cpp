// The general library's services that the core needs: the frame clock, the
// UTF-8 character routines, the "#" conversion of display texts and the
// broken-down current time.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/console.h"
#include "core/timing.h"
#include "library/date_time.h"
#include "library/timing_source.h"
#include "library/utf8.h"

namespace {

int64_t g_now = 0;

// Drives the core's clock by hand while it lives.
class FakeClock {
public:
    FakeClock() {
        g_now = 1000000;
        Timing_SetClock([] { return g_now; }, [](int64_t) {});
        Timing_Init();
    }
    ~FakeClock() { Timing_SetClock(nullptr, nullptr); }
};

std::string Replaced(const char* text, bool newGeneration, int* count) {
    bool saved = g_isNimbar;
    g_isNimbar = newGeneration;
    std::string copy = text;
    *count = String_Replace_Hash(copy.data());
    g_isNimbar = saved;
    return copy.c_str();
}

} // namespace

TEST(TimingSource, FixedRateAndRealTime) {
    FakeClock clock;
    CTimingSource timer;
    EXPECT_EQ(timer.GetFPS(), 30.0); // nothing measured yet
    timer.SetFrameRate(60);
    for (int i = 0; i < 10; ++i) {
        g_now += 123456; // the wall clock does not matter at a fixed rate
        timer.Update();
    }
    EXPECT_EQ(timer.m_total, 166660);
    EXPECT_EQ(timer.GetFPS(), 60.0);

    timer.SetFrameRate(0);
    EXPECT_EQ(timer.m_total, 0);
    g_now += 25000;
    timer.Update();
    g_now += 25000;
    timer.Update();
    EXPECT_EQ(timer.GetFPS(), 40.0);
    EXPECT_EQ(timer.m_total, 50000);
    timer.m_paused = true;
    g_now += 20000;
    timer.Update();
    EXPECT_EQ(timer.GetFPS(), 50.0);
    EXPECT_EQ(timer.m_total, 50000);
}

TEST(Utf8, DecodeEncodeAndCount) {
    const char* cursor = "\xC3\xA9";
    EXPECT_EQ(utf8_extract_char(&cursor), 0xE9);
    EXPECT_EQ(*cursor, '\0');
    EXPECT_EQ(utf8_get_char("\xE2\x82\xAC"), 0x20AC);
    char out[8] = {};
    char* write = out;
    utf8_add_char(&write, 0x20AC);
    utf8_add_char(&write, 0xE9);
    utf8_add_char(&write, 'a');
    utf8_add_char(&write, 0);
    EXPECT_STREQ(out, "\xE2\x82\xAC\xC3\xA9"
                      "a");
    EXPECT_EQ(write - out, 7);
    EXPECT_EQ(utf8_char_size(0x7F), 1);
    EXPECT_EQ(utf8_char_size(0x80), 2);
    EXPECT_EQ(utf8_char_size(0x7FF), 2);
    EXPECT_EQ(utf8_char_size(0x800), 3);
    EXPECT_EQ(utf8_strlen("\xF0\x9F\x98\x80"), 2); // a four-byte sequence reads as two
    EXPECT_EQ(utf8_strlen("ab\xE2"), 3);           // cut short by the terminator: still one
    cursor = "\xE2";
    utf8_extract_char(&cursor);
    EXPECT_EQ(*cursor, '\0'); // never past the terminator
}

TEST(Utf8, LastOfTwoCharacters) {
    const char* path = "a/b\\c\xC3\xA9/d.txt";
    EXPECT_EQ(utf8_strrchr(path, '/', '\\'), path + 7);
    EXPECT_EQ(utf8_strrchr(path, '\\', '\\'), path + 3);
    EXPECT_EQ(utf8_strrchr("name", '/', '\\'), nullptr);
    const char* text = "abc";
    EXPECT_EQ(utf8_strrchr(text, 0, 'x'), text + 3);
    EXPECT_EQ(utf8_strrchr("\xC3\xA9", static_cast<char>(0xC3), static_cast<char>(0xA9)), nullptr);
}

TEST(StringReplaceHash, LegacyAndNewGenerationTexts) {
    struct Case {
        const char* text;
        bool newGeneration;
        const char* expected;
        int count;
    } cases[] = {
        {"a#b", false, "a\nb", 3},
        {"a\\#b", false, "a#b", 3},
        {"#start", false, "\nstart", 6},
        {"\\##", false, "#\n", 2},
        {"\xC3\xA9#", false, "\xC3\xA9\n", 2},
        {"x\xEF", false, "x\xEF", 2}, // a cut-short character keeps its bytes
        {"a#b", true, "a#b", 3},
    };
    for (const Case& c : cases) {
        int count = -1;
        EXPECT_EQ(Replaced(c.text, c.newGeneration, &count), c.expected) << c.text;
        EXPECT_EQ(count, c.count) << c.text;
    }
    EXPECT_EQ(String_Replace_Hash(nullptr), 0);
}

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
