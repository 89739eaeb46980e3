// The room table and the room order: loading both from the data file, the
// lookups, run-time additions, and walking the order with its wrap rules.
#include "room/room_table.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "room/room.h"
#include "world/game_data_services.h"
#include "world/game_header.h"
#include "world/game_image.h"

float g_DisplayScaleX = 1.0f, g_DisplayScaleY = 1.0f;
int g_DisplayOffsetX = 0, g_DisplayOffsetY = 0;
int g_GUI_Width = -1, g_GUI_Height = -1;
bool g_GUI_Maximise = false;
float g_GUI_Xoffset = 2147483648.0f, g_GUI_Yoffset = 2147483648.0f;
float g_GUI_X_Scale = 1.0f, g_GUI_Y_Scale = 1.0f;
bool g_InGUI_Zone = false;

namespace {

struct NameFree {
    void operator()(char* name) const { ZQ_Free(name); }
};
using Name = std::unique_ptr<char, NameFree>;

// One room number: the template (null: no room) and its name (null exactly
// where there is no room). Each entry owns both.
struct RoomEntry {
    std::unique_ptr<CRoom> room;
    Name name;
};

std::vector<RoomEntry> g_RoomItems;
std::vector<int32_t> g_RoomList; // the room order

// Copies out of the data image may add up to this many times its size.
constexpr size_t kLoadCopyFactor = 16;

Name CopyName(const char* text) {
    Name name(ZQStrDup(text != nullptr ? text : ""));
    if (!name) throw std::bad_alloc();
    return name;
}

Name NewRoomName(size_t number) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "__newroom%zu", number);
    return CopyName(buffer);
}

int Append(std::unique_ptr<CRoom> room) {
    if (g_RoomItems.size() >= INT_MAX) throw std::bad_alloc();
    const size_t number = g_RoomItems.size();
    Name name = NewRoomName(number);
    g_RoomItems.push_back(RoomEntry{std::move(room), std::move(name)});
    return static_cast<int>(number);
}

} // namespace

void Room_Init() {
    g_RoomItems.clear();
    g_RoomList.clear();
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    g_DisplayOffsetX = g_DisplayOffsetY = 0;
    g_GUI_Width = g_GUI_Height = -1;
    g_GUI_Maximise = false;
    g_GUI_Xoffset = g_GUI_Yoffset = 2147483648.0f;
    g_GUI_X_Scale = g_GUI_Y_Scale = 1.0f;
    g_InGUI_Zone = false;
}

// The new table is built beside the old one and replaces it only when every
// record was read.
void Room_Load(ImageReader& chunk) {
    const uint32_t n = chunk.Count(4);
    if (n > INT_MAX) chunk.Fail("room count is too large");
    std::vector<RoomEntry> items(n);
    size_t budget = chunk.ImageLength() * kLoadCopyFactor;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        auto room = std::make_unique<CRoom>();
        room->LoadFromChunk(chunk.At(offset), &budget);
        items[i].name = CopyName(room->m_pName);
        items[i].room = std::move(room);
    }
    g_RoomItems.swap(items);
}

bool Room_Prepare() {
    return true;
}

void Room_Free() {
    Run_Room = nullptr;
    std::vector<RoomEntry>().swap(g_RoomItems);
    std::vector<int32_t>().swap(g_RoomList);
}

void FINALIZE_Room_Main() {
    Room_Free();
}

int Room_Number() {
    return static_cast<int>(g_RoomItems.size());
}

bool Room_Exists(int index) {
    return index >= 0 && static_cast<size_t>(index) < g_RoomItems.size() &&
           g_RoomItems[index].room != nullptr;
}

CRoom* Room_Data(int index) {
    return Room_Exists(index) ? g_RoomItems[index].room.get() : nullptr;
}

const char* Room_Name(int index) {
    return Room_Exists(index) ? g_RoomItems[index].name.get() : "<undefined>";
}

int Room_Find(const char* name) {
    if (name == nullptr) return -1;
    for (size_t i = 0; i < g_RoomItems.size(); ++i)
        if (g_RoomItems[i].room && std::strcmp(g_RoomItems[i].name.get(), name) == 0)
            return static_cast<int>(i);
    return -1;
}

int Room_Add() {
    auto room = std::make_unique<CRoom>();
    room->CreateWADStorage();
    return Append(std::move(room));
}

int Room_Duplicate(int index) {
    if (!Room_Exists(index)) return -1;
    auto room = std::make_unique<CRoom>();
    room->m_ownsStorage = true;
    room->Assign(g_RoomItems[index].room.get(), false);
    return Append(std::move(room));
}

// The copy is made before the old room at `index` goes, so a room assigned
// to itself keeps its contents.
bool Room_Assign(int index, int source) {
    if (!Room_Exists(index) || !Room_Exists(source)) return false;
    auto room = std::make_unique<CRoom>();
    room->Assign(g_RoomItems[source].room.get(), true);
    g_RoomItems[index].room = std::move(room);
    return true;
}

// ---------------------------------------------------------------------------
// The room order

void Room_LoadOrder(ImageReader& header, int version) {
    ImageReader r = header;
    r.Seek(header.Position() + Header_RoomOrderOffset(version));
    const uint32_t n = r.Count(4);
    std::vector<int32_t> order(n);
    for (uint32_t i = 0; i < n; ++i) order[i] = r.S32();
    g_RoomList.swap(order);
}

int Room_OrderCount() {
    return static_cast<int>(g_RoomList.size());
}

int Room_OrderAt(int position) {
    return position >= 0 && static_cast<size_t>(position) < g_RoomList.size() ? g_RoomList[position] : -1;
}

int Room_First() {
    return g_RoomList.empty() ? -1 : g_RoomList.front();
}

int Room_Last() {
    return g_RoomList.empty() ? -1 : g_RoomList.back();
}

int Room_Previous(int room) {
    const size_t count = g_RoomList.size();
    if (count < 2) return -1;
    for (size_t i = 1; i < count; ++i)
        if (g_RoomList[i] == room) return g_RoomList[i - 1];
    return g_RoomList[count - 2];
}

int Room_Next(int room) {
    const size_t count = g_RoomList.size();
    if (count < 2) return -1;
    for (size_t i = count - 1; i >= 1; --i)
        if (g_RoomList[i - 1] == room) return g_RoomList[i];
    return g_RoomList[1];
}

int Room_Get_maxid() {
    return room_maxid;
}

int Room_Get_maxtileid() {
    return room_maxtileid;
}
