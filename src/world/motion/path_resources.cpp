// The path table: loading the "PATH" chunk, and the table operations. Paths
// and their names are copied out of the data file, so nothing refers to the
// file's image after loading.
#include "world/motion/path_resources.h"

#include <cstring>
#include <memory>

#include "core/console.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/resource_table.h"
#include "world/datafile/game_data_services.h"
#include "world/motion/path.h"

namespace {

// The paths by index; an empty index has neither path nor name.
CResourceTable<CPath> g_Paths;

constexpr const char* kNewPathName = "__newpath";

} // namespace

// ---------------------------------------------------------------------------
// Start-up, loading and shut-down

void INITIALIZE_Path() {
    Path_Init();
}

void Path_Init() {
    g_Paths.Clear();
}

void Path_Quit() {
    Path_Init();
}

// The table becomes the chunk's paths only when every record has been read.
void Path_Load(ImageReader& chunk) {
    // Names copied from the data file and the points of its path records add
    // up to at most the load budget: records are reached by offset, so a
    // small file could otherwise name one huge record from every index.
    const size_t budget = GameData_LoadBudget(chunk.ImageLength());
    size_t copied = 0;
    g_Paths.Load(chunk, "path count is too large", [&](int i, uint32_t offset) {
        ImageReader record = chunk.At(offset);
        // A record without a name offset gets the empty name.
        const char* name = chunk.String(record.U32());
        if (name == nullptr) name = "";
        auto path = std::make_unique<CPath>();
        path->LoadFromChunk(record);
        copied += std::strlen(name) + 1 + sizeof(PathPoint) * static_cast<size_t>(path->GetCount());
        if (copied > budget)
            GameData_Fail(chunk.Chunk(),
                          "path %d at offset %u: the paths' points and names add up to more than the %zu "
                          "bytes a file of this size may load",
                          i, offset, budget);
        return CResourceRecord<CPath>{std::move(path), name};
    });
}

bool Path_Load(CStream*) {
    dbg_csol->Output("Path_Load: paths in the older stream form are not supported\n");
    return false;
}

// ---------------------------------------------------------------------------
// Lookups

int Path_Number() {
    return g_Paths.Number();
}

bool Path_Exists(int index) {
    return g_Paths.Exists(index);
}

CPath* Path_Data(int index) {
    return g_Paths.Data(index);
}

const char* Path_Name(int index) {
    return g_Paths.Name(index);
}

int Path_Find(const char* name) {
    return g_Paths.Find(name);
}

// ---------------------------------------------------------------------------
// Changes

int Path_Add() {
    return g_Paths.Append(std::make_unique<CPath>(), kNewPathName);
}

bool Path_Delete(int index) {
    return g_Paths.Delete(index);
}

int Path_Duplicate(int index) {
    const CPath* source = g_Paths.Data(index);
    if (source == nullptr) return -1;
    auto copy = std::make_unique<CPath>();
    copy->Assign(source);
    return g_Paths.Append(std::move(copy), kNewPathName);
}

bool Path_Assign(int to, int from) {
    const CPath* source = g_Paths.Data(from);
    if (source == nullptr || to < 0 || to >= g_Paths.Number()) return false;
    if (to == from) {
        Error_Show_Action("ERROR: Can not assign a path to itself!", false);
        return false;
    }
    // An empty index gets a new path, named as one added there would be.
    if (!g_Paths.Exists(to)) g_Paths.Replace(to, std::make_unique<CPath>(), kNewPathName);
    g_Paths.Data(to)->Assign(source);
    return true;
}
