// File service: the two prefixes, name mapping, whole-file reads, atomic
// writes and existence tests. Paths are built in std::string and only copied
// into caller buffers once their length is known to fit, so a long name is
// refused with a message rather than cut or overflowed.
#include "core/load_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/memory_manager.h"
#include "core/mutex.h"
#include "core/support_output.h"
#include "core/unzip.h"

char* g_pGameName = nullptr;
char* g_pWorkingDirectory = nullptr;
std::atomic<bool> g_InitFilePathBuffer{false};
char g_FilePathBuffer[kFilePathBufferSize];
char g_SaveGamePathBuffer[kFilePathBufferSize];
const char* tempdir = nullptr;
SaveWhitelistEntry* g_pSaveWhitelist = nullptr;

namespace {

Mutex& PrefixMutex() {
    static Mutex mutex("FilePrefixMutex");
    return mutex;
}

char* CopyText(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(ZQ_AllocNoClear(length + 1));
    if (copy != nullptr) std::memcpy(copy, text, length + 1);
    return copy;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// True when path fits `size` bytes with its terminator and the path limit;
// otherwise reports it.
bool FitsBuffer(const std::string& path, size_t size) {
    const size_t limit = size < kFilePathBufferSize ? size : kFilePathBufferSize;
    if (path.size() < limit) return true;
    Support_DebugOutput("File path of %zu bytes does not fit in %zu bytes: %.200s...\n", path.size(), limit,
                        path.c_str());
    return false;
}

bool WriteResult(char* dst, int size, const std::string& path) {
    if (!FitsBuffer(path, static_cast<size_t>(size))) {
        dst[0] = '\0';
        return false;
    }
    std::memcpy(dst, path.c_str(), path.size() + 1);
    return true;
}

// Stores a prefix when it fits its buffer; otherwise leaves the buffer empty,
// which makes every name of that place unmappable.
void StorePrefix(char* buffer, const std::string& prefix) {
    if (!FitsBuffer(prefix, kFilePathBufferSize)) {
        buffer[0] = '\0';
        return;
    }
    std::memcpy(buffer, prefix.c_str(), prefix.size() + 1);
}

// The bundle: the folder of the game data file, else assets/ beside the executable.
std::string ComputeFilePrefix() {
    if (g_pGameName != nullptr && g_pGameName[0] != '\0') {
        const char* sep = std::strrchr(g_pGameName, '/');
        if (sep == nullptr) sep = std::strrchr(g_pGameName, '\\');
        if (sep == nullptr) return WithTrailingSlash(FilePath_Standardise("")); // the current folder
        if (sep == g_pGameName) return "/";
        return WithTrailingSlash(
            FilePath_Standardise(std::string(g_pGameName, static_cast<size_t>(sep - g_pGameName))));
    }
    const char* exe = GetExeName();
    const char* sep = std::strrchr(exe, '/');
    const std::string folder = sep != nullptr ? std::string(exe, sep) : std::string();
    return WithTrailingSlash(FilePath_Standardise(folder + "/assets"));
}

void FillPrefixes() {
    if (g_InitFilePathBuffer) return;
    MutexLock lock(PrefixMutex());
    if (g_InitFilePathBuffer) return;
    StorePrefix(g_FilePathBuffer, ComputeFilePrefix());
    const std::string save = pathForDataFile();
    StorePrefix(g_SaveGamePathBuffer, save.empty() ? std::string() : WithTrailingSlash(save));
    g_InitFilePathBuffer = true;
}

// The working directory as an absolute folder with a trailing "/", or empty when unset.
std::string WorkingDirectory() {
    if (g_pWorkingDirectory == nullptr) return {};
    return WithTrailingSlash(FilePath_Standardise(g_pWorkingDirectory));
}

std::string FullPath(const char* name) {
    std::string path(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (path.empty() || path[0] != '/') {
        std::string base = WorkingDirectory();
        if (base.empty()) base = sysGetFilePrePend();
        path = WithTrailingSlash(base) + path;
    }
    return FilePath_Standardise(path);
}

// Included files are stored under lower-case names without blanks.
std::string BundleName(std::string rest) {
    for (char& c : rest) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == ' ')
            c = '_';
    }
    return rest;
}

bool MapSaveName(const char* name, std::string& out) {
    const std::string save = sysGetSavePrePend();
    if (save.empty()) return false;
    const std::string full = FullPath(name);
    const std::string work = WorkingDirectory();
    if (!work.empty() && StartsWith(full, work)) {
        out = save + full.substr(work.size());
    } else if (StartsWith(full, save) || IsFilenameInWhiteList(g_pSaveWhitelist, full.c_str())) {
        out = full;
    } else {
        return false;
    }
    return true;
}

bool MapBundleName(const char* name, std::string& out) {
    const std::string prefix = sysGetFilePrePend();
    if (prefix.empty()) return false;
    const std::string full = FullPath(name);
    const std::string work = WorkingDirectory();
    std::string rest;
    if (!work.empty() && StartsWith(full, work)) {
        rest = full.substr(work.size());
    } else if (StartsWith(full, prefix)) {
        rest = full.substr(prefix.size());
    } else {
        // Development runs: a name given absolutely below the folder the runtime
        // was started from is taken relative to it, when the bundle lies elsewhere.
        char* cwd = GetCurrentDir();
        const std::string current = cwd != nullptr ? WithTrailingSlash(cwd) : std::string("/");
        ZQ_Free(cwd);
        if (current == "/" || !StartsWith(full, current) || StartsWith(prefix, current)) return false;
        rest = full.substr(current.size());
    }
    out = prefix + BundleName(rest);
    return true;
}

// The mapped path, or empty (also when it exceeds the path limit, which is reported).
std::string SavePath(const char* name) {
    std::string path;
    if (name == nullptr || !MapSaveName(name, path) || !FitsBuffer(path, kFilePathBufferSize)) return {};
    return path;
}

std::string BundlePath(const char* name) {
    std::string path;
    if (name == nullptr || !MapBundleName(name, path) || !FitsBuffer(path, kFilePathBufferSize)) return {};
    return path;
}

void ReportReadError(const char* path) {
    char message[1024];
    std::snprintf(message, sizeof(message), "_ReadFile : %s ", path);
    std::perror(message);
    Support_DebugOutput("filename is %s\n", path);
}

std::atomic<unsigned> s_tempCounter{0};

} // namespace

// ---------------------------------------------------------------------------
// Prefixes and paths

void LoadSave_SetGameName(const char* path) {
    MutexLock lock(PrefixMutex());
    ZQ_Free(g_pGameName);
    g_pGameName = CopyText(path);
    g_InitFilePathBuffer = false;
}

void LoadSave_SetWorkingDirectory(const char* dir) {
    ZQ_Free(g_pWorkingDirectory);
    g_pWorkingDirectory = CopyText(dir);
}

const char* sysGetFilePrePend() {
    FillPrefixes();
    return g_FilePathBuffer;
}

const char* sysGetSavePrePend() {
    FillPrefixes();
    return g_SaveGamePathBuffer;
}

const char* GetFilePrePend() {
    return sysGetFilePrePend();
}

const char* GetSavePrePend() {
    return sysGetSavePrePend();
}

std::string pathForDataFile() {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative value.
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const std::string home = FilePath_HomeFolder();
        if (home.empty()) return {};
        base = home + "/.local/share";
    }
    const std::string folder = FilePath_Standardise(base + "/" + kSaveAreaFolderName);
    if (!DirectoryExists(folder.c_str())) ForceDirectories(folder.c_str());
    return folder;
}

bool GetFullPathName(const char* name, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return false;
    buffer[0] = '\0';
    if (name == nullptr) return false;
    return WriteResult(buffer, size, FullPath(name));
}

// ---------------------------------------------------------------------------
// Whitelist

bool IsFilenameInWhiteList(const SaveWhitelistEntry* list, const char* path) {
    if (path == nullptr) return false;
    for (const SaveWhitelistEntry* entry = list; entry != nullptr; entry = entry->next) {
        if (entry->text == nullptr) continue;
        if (entry->directory) {
            if (std::strncmp(path, entry->text, std::strlen(entry->text)) == 0) return true;
        } else if (strcasecmp(path, entry->text) == 0) {
            return true;
        }
    }
    return false;
}

void SaveWhitelist_Add(const char* text, bool directory) {
    if (text == nullptr) return;
    auto* entry = static_cast<SaveWhitelistEntry*>(ZQ_Alloc(sizeof(SaveWhitelistEntry)));
    if (entry == nullptr) return;
    entry->text = CopyText(text);
    entry->directory = directory;
    entry->next = g_pSaveWhitelist;
    g_pSaveWhitelist = entry;
}

void SaveWhitelist_Clear() {
    while (g_pSaveWhitelist != nullptr) {
        SaveWhitelistEntry* next = g_pSaveWhitelist->next;
        ZQ_Free(g_pSaveWhitelist->text);
        ZQ_Free(g_pSaveWhitelist);
        g_pSaveWhitelist = next;
    }
}

// ---------------------------------------------------------------------------
// LoadSave

bool LoadSave::_GetSaveFileName(char* dst, int size, const char* name) {
    if (dst == nullptr || size <= 0) return false;
    dst[0] = '\0';
    std::string path;
    if (name == nullptr || !MapSaveName(name, path)) return false;
    return WriteResult(dst, size, path);
}

bool LoadSave::_GetBundleFileName(char* dst, int size, const char* name) {
    if (dst == nullptr || size <= 0) return false;
    dst[0] = '\0';
    std::string path;
    if (name == nullptr || !MapBundleName(name, path)) return false;
    return WriteResult(dst, size, path);
}

// Opened non-blocking so that a FIFO cannot stall the caller before fstat
// tells it is not a regular file.
char* LoadSave::_ReadFile(const char* path, int* length) {
    if (path == nullptr) path = "";
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        ReportReadError(path);
        return nullptr;
    }
    struct stat info {};
    int error = 0;
    if (fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL; // devices and pipes have no whole contents
    else if (info.st_size >= INT_MAX)
        error = EFBIG; // lengths are reported as int
    if (error != 0) {
        close(fd);
        errno = error;
        ReportReadError(path);
        return nullptr;
    }
    const auto size = static_cast<size_t>(info.st_size);
    auto* block = static_cast<char*>(ZQ_Alloc(size + 1));
    if (block == nullptr) {
        close(fd);
        errno = ENOMEM;
        ReportReadError(path);
        return nullptr;
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, block + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (static_cast<size_t>(got) < size - done) {
            std::fputs("read underflow detected", stdout);
            std::fflush(stdout);
        }
        done += static_cast<size_t>(got);
    }
    close(fd);
    if (length != nullptr) *length = static_cast<int>(size);
    return block;
}

char* LoadSave::ReadSaveFile(const char* name, int* length) {
    const std::string path = SavePath(name);
    if (path.empty()) return nullptr;
    return _ReadFile(path.c_str(), length);
}

char* LoadSave::ReadBundleFile(const char* name, int* length) {
    if (name != nullptr && name[0] != '\0' && RegularFileExists(name)) return _ReadFile(name, length);
    const std::string path = BundlePath(name);
    if (path.empty()) return nullptr;
    return _ReadFile(path.c_str(), length);
}

bool LoadSave::WriteFile(const char* name, const void* data, int length) {
    const std::string path = SavePath(name);
    if (path.empty()) {
        Support_DebugOutput("Cannot write %s: it lies outside the save area\n",
                            name != nullptr ? name : "(null)");
        return false;
    }
    EnsureDirectoryIsCreated(path.c_str());
    return _WriteFile(path.c_str(), data, length);
}

bool LoadSave::_WriteFile(const char* path, const void* data, int length) {
    if (path == nullptr || path[0] == '\0' || length < 0 || (data == nullptr && length > 0)) {
        errno = EINVAL;
        std::perror("_WriteFile");
        return false;
    }
    // A short name in the same folder: rename is only atomic within one file
    // system, and a long base name plus a suffix could pass the name limit.
    const char* slash = std::strrchr(path, '/');
    const std::string folder = slash != nullptr ? std::string(path, slash + 1) : std::string();
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + ".zqtmp-" + std::to_string(getpid()) + "-" + std::to_string(s_tempCounter++);
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        std::perror("_WriteFile");
        return false;
    }
    // A replaced file keeps its permissions.
    struct stat old {};
    if (stat(path, &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);

    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t done = 0;
    const auto size = static_cast<size_t>(length);
    bool ok = true;
    while (done < size) {
        const ssize_t wrote = write(fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = ENOSPC;
            ok = false;
            break;
        }
        done += static_cast<size_t>(wrote);
    }
    if (ok && fsync(fd) != 0) ok = false;
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp.c_str(), path) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        errno = error;
        std::perror("_WriteFile");
    }
    return ok;
}

bool LoadSave::SaveFileExists(const char* name) {
    const std::string path = SavePath(name);
    return !path.empty() && RegularFileExists(path.c_str());
}

bool LoadSave::BundleFileExists(const char* name) {
    const std::string path = BundlePath(name);
    return !path.empty() && RegularFileExists(path.c_str());
}

bool LoadSave::RemoveSaveFile(const char* name) {
    const std::string path = SavePath(name);
    return !path.empty() && unlink(path.c_str()) == 0;
}

int LoadSave::_ExpandCompressedFile(const char* destination, const char* archive, char* names, int entrySize,
                                    int maxNames) {
    return Command_Unzip(archive, destination, maxNames, entrySize, names);
}

void LoadSave::SetUp(IniFile* /*ini*/) {}

bool FileExists(const char* name) {
    return LoadSave::SaveFileExists(name) || LoadSave::BundleFileExists(name);
}

char* File_TempDir() {
    return CopyText(tempdir);
}

void INITIALIZE_Support_File() {}

void FINALIZE_Support_File() {}

void LoadSave_Reset() {
    LoadSave_SetGameName(nullptr);
    LoadSave_SetWorkingDirectory(nullptr);
    SaveWhitelist_Clear();
}
