// The working directory: the folder of the game file, which the file
// service resolves relative names against.
#include <cstring>

#include "core/builtin_variables.h"
#include "core/console.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "world/datafile/game_file.h"

// The game file's folder, with its separator, made once: later calls (the
// loader calls this before and after locating the file) keep the first.
void SetWorkingDirectory() {
    if (g_pWorkingDirectory != nullptr) return;
    const char* path = g_pGameFileName != nullptr ? g_pGameFileName : "";
    const char* separator = std::strrchr(path, '/');
    if (separator == nullptr) separator = std::strrchr(path, '\\');
    if (separator == nullptr) {
        LoadSave_SetWorkingDirectory("");
        return;
    }
    const size_t length = static_cast<size_t>(separator - path) + 1;
    char* dir = static_cast<char*>(ZQ_Alloc(length + 1));
    if (dir == nullptr) return;
    std::memcpy(dir, path, length);
    dir[length] = '\0';
    LoadSave_SetWorkingDirectory(dir);
    ZQ_Free(dir);
    static const char kRule[] = "#########################################################################\n";
    init_csol->Output("%s", kRule);
    init_csol->Output("####!!!!$$$$$$ pwd - %s\n", g_pWorkingDirectory);
    init_csol->Output("%s", kRule);
}
