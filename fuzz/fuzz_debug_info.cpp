// Arbitrary bytes as the debug-information file beside a data file: the load
// walks its chunks and keeps only the tables it could check, and every answer
// of the three lookups then stays inside the file.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/console.h"
#include "core/memory_manager.h"
#include "world/run/game_prepare.h"

namespace {

bool SetUpOnce() {
    g_fHeadless = true;
    return true;
}

size_t TouchAll() {
    size_t total = 0;
    const int most = g_DebugInfoCount > g_DebugInstNameCount ? g_DebugInfoCount : g_DebugInstNameCount;
    const int entries = (most > g_DebugScriptCount ? most : g_DebugScriptCount) + 2;
    for (int i = -1; i < entries && i < 4096; ++i) {
        int count = 0;
        if (const uint32_t* words = DebugInfo_Words(i, &count))
            for (int w = 0; w < count; ++w) total += words[w];
        if (const char* name = DebugInfo_InstanceName(i)) total += std::strlen(name);
        if (const char* text = DebugInfo_ScriptText(i)) total += std::strlen(text);
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SetUpOnce();
    (void)ready;
    // The load takes the block over, as it does the file read from disk.
    auto* block = static_cast<uint8_t*>(ZQ_AllocNoClear(size == 0 ? 1 : size));
    if (size != 0) std::memcpy(block, data, size);
    LoadDebugInfo(block, static_cast<unsigned>(size));
    volatile size_t sink = TouchAll();
    (void)sink;
    DebugInfo_Free();
    return 0;
}
