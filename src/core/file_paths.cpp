// Path helpers and folder operations. Separators are found byte by byte from
// the end: "/", "\" and "." are ASCII and never occur inside a UTF-8 sequence,
// so this finds the same position as a character-by-character UTF-8 scan.
#include "core/file_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "core/memory_manager.h"
#include "core/ref_string.h"

char g_pBundlePath[kFilePathBufferSize];

namespace {

// Position of the last "/" or "\" in text, or -1.
long LastSeparator(const char* text, size_t length) {
    for (size_t i = length; i > 0; --i) {
        if (text[i - 1] == '/' || text[i - 1] == '\\') return static_cast<long>(i - 1);
    }
    return -1;
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

char* ExtractFilePath(const char* name) {
    if (name == nullptr) name = "";
    const long sep = LastSeparator(name, std::strlen(name));
    return ZQStrNDup(name, sep > 0 ? static_cast<size_t>(sep) : 0);
}

char* ExtractFileName(const char* name) {
    if (name == nullptr) name = "";
    const size_t length = std::strlen(name);
    const long sep = LastSeparator(name, length);
    const size_t start = static_cast<size_t>(sep + 1);
    return ZQStrNDup(name + start, length - start);
}

char* ExtractFileExt(const char* name) {
    if (name == nullptr) name = "";
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr) return ZQStrNDup("", 0);
    return ZQStrNDup(dot, std::strlen(dot));
}

char* ExtractFileDrive(const char* name) {
    if (name == nullptr) name = "";
    return ZQStrNDup(name, std::strlen(name));
}

bool DirectoryExists(const char* path) {
    struct stat info {};
    return path != nullptr && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool RegularFileExists(const char* path) {
    struct stat info {};
    return path != nullptr && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Walks up from the path to the nearest folder that exists, then makes the
// missing ones top down. Iterative, so a path of many components cannot
// exhaust the stack; the result is that of the last folder, the path itself.
bool ForceDirectories(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    std::string dir(path);
    if (dir.size() > kMaxFilePathLength * 2) return false; // beyond any path the system accepts
    std::vector<std::string> missing;
    for (;;) {
        if (dir.size() >= 2 && IsSeparator(dir.back())) dir.pop_back();
        if (dir.empty() || DirectoryExists(dir.c_str())) break;
        missing.push_back(dir);
        const long sep = LastSeparator(dir.c_str(), dir.size());
        if (sep <= 0) {
            // "/name" has the root as its parent, which exists; "name" has none.
            break;
        }
        dir.resize(static_cast<size_t>(sep));
    }
    if (missing.empty()) return true;
    bool made = false;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        made = mkdir(it->c_str(), 0775) == 0 || (errno == EEXIST && DirectoryExists(it->c_str()));
    }
    return made;
}

void EnsureDirectoryIsCreated(const char* path) {
    if (path == nullptr) return;
    const char* cut = std::strrchr(path, '\\');
    if (cut == nullptr) cut = std::strrchr(path, '/');
    if (cut == nullptr) return;
    const std::string folder(path, static_cast<size_t>(cut - path));
    if (!folder.empty()) ForceDirectories(folder.c_str());
}

void DestroyDir(const char* path) {
    if (path == nullptr || path[0] == '\0') return;
    const std::string standard = FilePath_Standardise(path);
    if (standard == "/") return;
    std::error_code error;
    std::filesystem::remove_all(standard, error);
}

char* GetCurrentDir() {
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr) return nullptr;
    char* copy = ZQStrNDup(cwd, std::strlen(cwd));
    std::free(cwd);
    return copy;
}

const char* GetExeName() {
    static std::once_flag once;
    std::call_once(once, [] {
        const ssize_t length = readlink("/proc/self/exe", g_pBundlePath, sizeof(g_pBundlePath));
        // A result that fills the buffer may have been cut short: not a usable path.
        const bool whole = length > 0 && static_cast<size_t>(length) < sizeof(g_pBundlePath);
        g_pBundlePath[whole ? static_cast<size_t>(length) : 0] = '\0';
    });
    return g_pBundlePath;
}

std::string FilePath_HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> scratch(16384);
    if (getpwuid_r(getuid(), &entry, scratch.data(), scratch.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

std::string FilePath_Standardise(const std::string& path) {
    std::string input = path;
    for (char& c : input) {
        if (c == '\\') c = '/';
    }
    if (!input.empty() && input[0] == '~' && (input.size() == 1 || input[1] == '/')) {
        input = FilePath_HomeFolder() + input.substr(1);
    }
    if (input.empty() || input[0] != '/') {
        char* cwd = getcwd(nullptr, 0);
        input = std::string(cwd != nullptr ? cwd : "/") + "/" + input;
        std::free(cwd);
    }
    // `out` holds the standardised components so far, each as "/name".
    std::string out;
    out.reserve(input.size());
    size_t i = 0;
    while (i < input.size()) {
        while (i < input.size() && input[i] == '/') ++i;
        size_t end = input.find('/', i);
        if (end == std::string::npos) end = input.size();
        const size_t length = end - i;
        if (length == 0 || (length == 1 && input[i] == '.')) {
            // nothing
        } else if (length == 2 && input[i] == '.' && input[i + 1] == '.') {
            const size_t cut = out.rfind('/');
            out.resize(cut == std::string::npos ? 0 : cut);
        } else {
            out += '/';
            out.append(input, i, length);
        }
        i = end;
    }
    return out.empty() ? std::string("/") : out;
}
