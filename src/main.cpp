// corvane: the game on the runtime. "-headless" runs the start-up sequence,
// the main loop and the shut-down in a plain loop with no window and no
// output; otherwise the platform shell opens the window and drives the
// engine states from its tick.
#include <cstdio>
#include <cstring>

#include "platform/runner_app.h"
#include "platform/sdl_audio_devices.h"
#include "world/run/command_line.h"
#include "world/run/startup.h"

int main(int argc, char** argv) {
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-help") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("corvane - a 2D action game\n");
            CommandLine_PrintUsage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "-headless") == 0) headless = true;
    }
    if (headless) {
        // The mixer opens its device only when the sound system starts, which
        // "-noaudio" skips.
        Platform_InstallAudioDevices();
        return Startup_RunGame(argc, argv);
    }
    return Platform_RunApplication(argc, argv);
}
