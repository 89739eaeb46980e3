// The path table: loading the "PATH" chunk, and the table operations. Paths
// and their names are copied out of the data file, so nothing refers to the
// file's image after loading.
#include "world/path_resources.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/console.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "world/game_data_services.h"
#include "world/game_image.h"
#include "world/path.h"

namespace {

// Parallel arrays of `number` entries (room for `capacity`): the path at
// each index (null: none) and its name (a memory-manager copy; null exactly
// where there is no path).
struct PathTable {
    CPath** items = nullptr;
    char** names = nullptr;
    int number = 0;
    int capacity = 0;
};

PathTable g_Paths;

// Names copied from the data file, and the points of its path records, may
// add up to at most this many times the file's size: records are reached by
// offset, so a small file could otherwise name one huge record from every
// index and ask for far more memory than it holds.
constexpr size_t kLoadCopyFactor = 16;

void FreeEntries(CPath** items, char** names, int number) {
    for (int i = 0; i < number; ++i) {
        delete items[i];
        ZQ_Free(names[i]);
    }
    ZQ_Free(items);
    ZQ_Free(names);
}

char* CopyName(const char* text) {
    char* copy = ZQStrDup(text);
    if (copy == nullptr) throw std::bad_alloc();
    return copy;
}

char* NewPathName(int index) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "__newpath%d", index);
    return CopyName(buffer);
}

bool HasPath(int index) {
    return index >= 0 && index < g_Paths.number && g_Paths.items[index] != nullptr;
}

// Appends an index holding `path` under its generated name; returns the index.
int AppendEntry(std::unique_ptr<CPath> path) {
    PathTable& t = g_Paths;
    if (t.number == INT_MAX) throw std::bad_alloc();
    const int index = t.number;
    char* name = NewPathName(index);
    if (index == t.capacity) {
        const int grown = t.capacity < 8 ? 8 : (t.capacity > INT_MAX / 2 ? INT_MAX : t.capacity * 2);
        CPath** items = ZQ_ReAllocArray<CPath*>(t.items, static_cast<size_t>(grown));
        if (items != nullptr) t.items = items;
        char** names =
            items != nullptr ? ZQ_ReAllocArray<char*>(t.names, static_cast<size_t>(grown)) : nullptr;
        if (names == nullptr) {
            ZQ_Free(name);
            throw std::bad_alloc();
        }
        t.names = names;
        t.capacity = grown;
    }
    t.items[index] = path.release();
    t.names[index] = name;
    t.number = index + 1;
    return index;
}

} // namespace

// ---------------------------------------------------------------------------
// Start-up, loading and shut-down

void INITIALIZE_Path() {
    Path_Init();
}

void Path_Init() {
    FreeEntries(g_Paths.items, g_Paths.names, g_Paths.number);
    g_Paths = PathTable{};
}

void Path_Quit() {
    Path_Init();
}

// Builds the new table beside the old one and replaces it only when every
// record has been read, so a damaged chunk changes nothing.
void Path_Load(ImageReader& chunk) {
    const uint32_t n = chunk.Count(4);
    if (n > INT_MAX) chunk.Fail("path count is too large");
    const int number = static_cast<int>(n);
    CPath** items = nullptr;
    char** names = nullptr;
    if (number > 0) {
        items = ZQ_AllocArray<CPath*>(n);
        names = ZQ_AllocArray<char*>(n);
        if (items == nullptr || names == nullptr) {
            ZQ_Free(items);
            ZQ_Free(names);
            throw std::bad_alloc();
        }
    }
    try {
        const size_t budget = chunk.ImageLength() * kLoadCopyFactor;
        size_t copied = 0;
        for (int i = 0; i < number; ++i) {
            const uint32_t offset = chunk.U32();
            if (offset == 0) continue;
            ImageReader record = chunk.At(offset);
            // A record without a name offset gets the empty name.
            const char* name = chunk.String(record.U32());
            if (name == nullptr) name = "";
            auto path = std::make_unique<CPath>();
            path->LoadFromChunk(record);
            copied += std::strlen(name) + 1 + sizeof(PathPoint) * static_cast<size_t>(path->GetCount());
            if (copied > budget)
                GameData_Fail(chunk.Chunk(),
                              "path %d at offset %u: the paths' points and names add up to more than %zu "
                              "times the file's size",
                              i, offset, kLoadCopyFactor);
            names[i] = CopyName(name);
            items[i] = path.release();
        }
    } catch (...) {
        FreeEntries(items, names, number);
        throw;
    }
    FreeEntries(g_Paths.items, g_Paths.names, g_Paths.number);
    g_Paths = PathTable{items, names, number, number};
}

bool Path_Load(CStream*) {
    dbg_csol->Output("Path_Load: paths in the older stream form are not supported\n");
    return false;
}

// ---------------------------------------------------------------------------
// Lookups

int Path_Number() {
    return g_Paths.number;
}

bool Path_Exists(int index) {
    return HasPath(index);
}

CPath* Path_Data(int index) {
    return HasPath(index) ? g_Paths.items[index] : nullptr;
}

const char* Path_Name(int index) {
    return HasPath(index) ? g_Paths.names[index] : "<undefined>";
}

int Path_Find(const char* name) {
    if (name == nullptr) return -1;
    for (int i = 0; i < g_Paths.number; ++i)
        if (g_Paths.items[i] != nullptr && std::strcmp(g_Paths.names[i], name) == 0) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// Changes

int Path_Add() {
    return AppendEntry(std::make_unique<CPath>());
}

bool Path_Delete(int index) {
    if (!HasPath(index)) return false;
    delete g_Paths.items[index];
    ZQ_Free(g_Paths.names[index]);
    g_Paths.items[index] = nullptr;
    g_Paths.names[index] = nullptr;
    return true;
}

int Path_Duplicate(int index) {
    if (!HasPath(index)) return -1;
    auto copy = std::make_unique<CPath>();
    copy->Assign(g_Paths.items[index]);
    return AppendEntry(std::move(copy));
}

bool Path_Assign(int to, int from) {
    if (!HasPath(from) || to < 0 || to >= g_Paths.number) return false;
    if (to == from) {
        Error_Show_Action("ERROR: Can not assign a path to itself!", false);
        return false;
    }
    if (g_Paths.items[to] == nullptr) {
        // An empty index has no name either; the new path gets the name a
        // path added there would have had.
        auto path = std::make_unique<CPath>();
        char* name = NewPathName(to);
        g_Paths.items[to] = path.release();
        g_Paths.names[to] = name;
    }
    g_Paths.items[to]->Assign(g_Paths.items[from]);
    return true;
}
