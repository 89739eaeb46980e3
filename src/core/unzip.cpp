// Zip expansion over libzip. Entries are opened by index, not by name: a name
// lookup that ignores case would open the wrong one of two entries whose
// names differ only in case.
#include "core/unzip.h"

#include <sys/stat.h>
#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/support_output.h"

namespace {

// Reads the whole entry into a memory-manager block; null when it cannot.
char* ReadEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size) {
    if (size > kMemoryMaxHeadedSize) return nullptr;
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (file == nullptr) return nullptr;
    auto* block = static_cast<char*>(ZQ_AllocNoClear(static_cast<size_t>(size)));
    if (block == nullptr) {
        zip_fclose(file);
        return nullptr;
    }
    zip_uint64_t done = 0;
    while (done < size) {
        const zip_int64_t got = zip_fread(file, block + done, size - done);
        if (got <= 0) break;
        if (static_cast<zip_uint64_t>(got) < size - done) std::fputs("read underflow detected", stdout);
        done += static_cast<zip_uint64_t>(got);
    }
    zip_fclose(file);
    if (done < size) {
        ZQ_Free(block);
        return nullptr;
    }
    return block;
}

} // namespace

int Command_Unzip(const char* zipPath, const char* destination, int nameCount, int nameSize, char* names) {
    int error = 0;
    zip_t* archive = zipPath != nullptr ? zip_open(zipPath, 0, &error) : nullptr;
    if (archive == nullptr) {
        Support_DebugOutput("Unable to open %s for decompression\n", zipPath != nullptr ? zipPath : "(null)");
        return 0;
    }
    const std::string folder = destination != nullptr ? destination : "";
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* entryName = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        if (entryName == nullptr) continue;
        const std::string target = folder + "/" + entryName;
        if (names != nullptr && nameSize > 0 && i < nameCount) {
            std::snprintf(names + static_cast<size_t>(i) * static_cast<size_t>(nameSize),
                          static_cast<size_t>(nameSize), "%s", target.c_str());
        }
        zip_stat_t info;
        zip_stat_init(&info);
        if (zip_stat_index(archive, index, 0, &info) != 0 || (info.valid & ZIP_STAT_SIZE) == 0 ||
            info.size == 0) {
            continue;
        }
        char* bytes = ReadEntry(archive, index, info.size);
        const bool written = bytes != nullptr && info.size <= static_cast<zip_uint64_t>(INT32_MAX) &&
                             LoadSave::WriteFile(target.c_str(), bytes, static_cast<int>(info.size));
        ZQ_Free(bytes);
        if (!written) {
            Support_DebugOutput("UNZIP: Failed to write compressed file entry :o\n");
            continue;
        }
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
            ((attributes >> 16) & 0x1FF) != 0) {
            char path[kFilePathBufferSize];
            if (LoadSave::_GetSaveFileName(path, sizeof(path), target.c_str())) {
                chmod(path, static_cast<mode_t>((attributes >> 16) & 0777));
            }
        }
    }
    zip_discard(archive); // opened for reading: nothing to write back
    return static_cast<int>(count);
}
