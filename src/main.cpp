// corvane: the game on the runtime. Until the start-up sequence exists it
// parses its command line, loads the data file named by "-game" (or the
// bundle's "game.ios") through both walks and reports what it found.
#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "world/command_line.h"
#include "world/game_file.h"
#include "world/game_header.h"

int main(int argc, char** argv) {
    std::printf("corvane - a 2D action game\n");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-help") == 0 || std::strcmp(argv[i], "--help") == 0) {
            CommandLine_PrintUsage(stdout);
            return 0;
        }
    }
    CommandLine_Build(argc, argv);
    ProcessCommandLine(g_pCommandLine);
    MemoryManager::Init();
    if (RunnerLoadGame() != 0) return 1;
    if (!GetResolution(g_pGameFileBuffer, static_cast<size_t>(g_GameFileLength))) return 1;
    if (!RunnerLoadWad()) {
        std::fprintf(stderr, "Failed to load the game\n");
        return 1;
    }
    std::printf("game data loaded: window %dx%d\n", g_InitialScreenSizeX, g_InitialScreenSizeY);
    return 0;
}
