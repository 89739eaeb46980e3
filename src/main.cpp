// corvane: the game on the runtime. With no platform shell yet it runs the
// start-up sequence, the main loop and the shut-down in a plain loop, with
// no window and no GL; sound plays through the SDL output device.
#include <cstdio>
#include <cstring>

#include "platform/sdl_audio_devices.h"
#include "world/run/command_line.h"
#include "world/run/startup.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-help") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("corvane - a 2D action game\n");
            CommandLine_PrintUsage(stdout);
            return 0;
        }
    }
    // The mixer opens its device only when the sound system starts, which
    // "-noaudio" skips.
    Platform_InstallAudioDevices();
    return Startup_RunGame(argc, argv);
}
