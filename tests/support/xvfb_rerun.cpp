#include "xvfb_rerun.h"

#include <SDL2/SDL.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

bool InXvfbRun() {
    return std::getenv("ZQ_XVFB_INNER") != nullptr;
}

void ExpectPassesOnXvfb(const char* screen, const char* filter) {
    if (InXvfbRun()) GTEST_SKIP();
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb, listed in debian-packages.txt)";
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    // SDL picks X itself (no driver forced). The software driver's own
    // allocations live to the end of the process, so the leak check is off
    // for the inner run.
    const std::string command = std::string("env -u SDL_VIDEODRIVER -u EGL_PLATFORM ZQ_XVFB_INNER=1 "
                                            "ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 ") +
                                screen + "' '" + self + "' --gtest_filter='" + filter + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

bool WindowSizeBecomes(SDL_Window* window, int width, int height) {
    for (int i = 0; i < 200; ++i) {
        SDL_PumpEvents();
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w == width && h == height) return true;
        SDL_Delay(10);
    }
    return false;
}
