// Zip expansion over libzip. Entries are opened by index, not by name: a name
// lookup that ignores case would open the wrong one of two entries whose
// names differ only in case. Archives are untrusted: an entry name that would
// leave the destination folder is refused, and an entry's declared size is
// checked against the bytes actually read and bounded.
#include "core/unzip.h"

#include <sys/stat.h>
#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/support_output.h"

namespace {

// Bounds on what one archive may make us allocate and write: a small archive
// can declare (and inflate to) gigabytes.
constexpr zip_uint64_t kUnzipEntryLimit = zip_uint64_t{256} << 20;
constexpr zip_uint64_t kUnzipTotalLimit = zip_uint64_t{1} << 30;

// A name that stays inside the destination: relative, and with no ".."
// component (either separator counts, as archives made elsewhere use "\\").
bool SafeEntryName(const char* name) {
    if (name[0] == '\0' || name[0] == '/' || name[0] == '\\') return false;
    if (std::strchr(name, ':') != nullptr) return false; // drive letters, streams
    const char* part = name;
    for (const char* p = name;; ++p) {
        if (*p == '/' || *p == '\\' || *p == '\0') {
            if (p - part == 2 && part[0] == '.' && part[1] == '.') return false;
            if (*p == '\0') return true;
            part = p + 1;
        }
    }
}

// Reads the whole entry into a memory-manager block; null when it cannot, or
// when the entry holds more or fewer bytes than it declares.
char* ReadEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size) {
    if (size > kUnzipEntryLimit) return nullptr;
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
    char extra = 0;
    const bool longer = done == size && zip_fread(file, &extra, 1) > 0;
    zip_fclose(file);
    if (done < size || longer) {
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
    zip_uint64_t written = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* entryName = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
        if (entryName == nullptr) continue;
        if (!SafeEntryName(entryName)) {
            Support_DebugOutput("UNZIP: refused entry leaving the destination folder: %s\n", entryName);
            if (names != nullptr && nameSize > 0 && i < nameCount)
                names[static_cast<size_t>(i) * static_cast<size_t>(nameSize)] = '\0';
            continue;
        }
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
        if (info.size > kUnzipTotalLimit - written) {
            Support_DebugOutput("UNZIP: archive expands past %llu bytes; %s and later entries skipped\n",
                                static_cast<unsigned long long>(kUnzipTotalLimit), entryName);
            break;
        }
        char* bytes = ReadEntry(archive, index, info.size);
        const bool ok = bytes != nullptr && info.size <= static_cast<zip_uint64_t>(INT32_MAX) &&
                        LoadSave::WriteFile(target.c_str(), bytes, static_cast<int>(info.size));
        ZQ_Free(bytes);
        if (ok) written += info.size;
        if (!ok) {
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
