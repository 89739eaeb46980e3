// Arbitrary bytes as an input playback file: played back step by step until
// it ends, never reading past it; every record the playback applies packs
// back to exactly the bytes it came from.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/console.h"
#include "world/input/input_recording.h"

namespace {

bool SetUpOnce() {
    g_fHeadless = true;
    dbg_csol = &g_dummyConsole;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SetUpOnce();
    (void)ready;
    if (size == 0) return 0; // an empty memory file cannot be opened
    std::vector<uint8_t> file(data, data + size);
    FILE* stream = fmemopen(file.data(), file.size(), "rb");
    if (stream == nullptr) return 0;
    g_hIOFile = stream;
    g_IO_Playback = true;
    const size_t records = size / kIORecordSize;
    for (size_t step = 0; step <= records; ++step) {
        IO_Playback_Step();
        if (IO_Playback_Ended()) break;
        if (step >= records) std::abort(); // a step applied bytes the file does not have
        uint8_t packed[kIORecordSize];
        IO_Record_Pack(packed);
        if (std::memcmp(packed, file.data() + step * kIORecordSize, kIORecordSize) != 0) std::abort();
    }
    if (!IO_Playback_Ended()) std::abort(); // a file read to its end ends the playback
    IO_Record_Close();                      // closes the memory file
    g_IO_Playback = false;
    return 0;
}
