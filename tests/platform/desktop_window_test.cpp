// The program on a real X display (Xvfb): it opens its window through SDL's
// X11 driver with a GL context on the software renderer, runs (past the splash)
// and ends with status 0 when asked to quit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game_data_writer.h"
#include "header_chunk.h"
#include "room_chunk.h"

TEST(DesktopWindow, OpensOnAnXDisplayAndQuitsCleanly) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb, listed in debian-packages.txt)";
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::WriteRooms(w, {wad::RoomFields{}});
    const std::string game = testing::TempDir() + "desktop.ios";
    ASSERT_TRUE(w.WriteFile(game));

    // Six seconds take the run past the 3.4 s splash; SIGTERM reaches SDL as
    // a quit request. The software driver's own allocations live to the end
    // of the process, so the leak check is off for this run.
    const std::string inner = std::string("ASAN_OPTIONS=detect_leaks=0 ") + CORVANE_BINARY +
                              " -noaudio -game '" + game +
                              "' & pid=\\$!; sleep 6; kill -TERM \\$pid; wait \\$pid; echo status=\\$?";
    const std::string command =
        "env -u SDL_VIDEODRIVER -u EGL_PLATFORM xvfb-run -a -s '-screen 0 1280x1024x24' "
        "sh -c \"" +
        inner + "\" 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
    EXPECT_NE(output.find("Video driver = x11"), std::string::npos) << output;
    EXPECT_NE(output.find("rendersize=("), std::string::npos) << output;
    EXPECT_NE(output.find("status=0"), std::string::npos) << output;
}
