#include "xvfb_rerun.h"

#include <SDL2/SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

bool InXvfbRun() {
    return std::getenv("ZQ_XVFB_INNER") != nullptr;
}

bool XvfbInstalled() {
    return std::system("command -v xvfb-run >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") == 0;
}

int RunOnXvfb(const char* screen, const char* filter, const std::string& environment, std::string* output) {
    char self[PATH_MAX] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return -1;
    // SDL picks X itself (no driver forced). The software driver's own
    // allocations live to the end of the process, so the leak check is off
    // for the inner run.
    const std::string command = "env -u SDL_VIDEODRIVER -u EGL_PLATFORM ZQ_XVFB_INNER=1 " + environment +
                                " ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 " + screen + "' '" +
                                self + "' --gtest_filter='" + filter + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    output->clear();
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, got);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ExpectPassesOnXvfb(const char* screen, const char* filter) {
    if (InXvfbRun()) GTEST_SKIP();
    if (!XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb, listed in debian-packages.txt)";
    std::string output;
    EXPECT_EQ(RunOnXvfb(screen, filter, "", &output), 0) << output;
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
