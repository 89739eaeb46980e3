// The resources folder: "assets/" beside the executable.
#include "platform/resources.h"

#include "core/file_paths.h"

std::string Platform_ResourcePath(const char* name) {
    const std::string exe = GetExeName();
    const size_t slash = exe.find_last_of('/');
    if (slash == std::string::npos) return name;
    return exe.substr(0, slash) + "/assets/" + name;
}
