// The room table and the room order: loading both from the data file, the
// lookups, run-time additions, and walking the order with its wrap rules.
#include "room/room_table.h"

#include <memory>
#include <vector>

#include "core/game_image.h"
#include "core/resource_table.h"
#include "room/room.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_header.h"

float g_DisplayScaleX = 1.0f, g_DisplayScaleY = 1.0f;
int g_DisplayOffsetX = 0, g_DisplayOffsetY = 0;
int g_GUI_Width = -1, g_GUI_Height = -1;
bool g_GUI_Maximise = false;
float g_GUI_Xoffset = 2147483648.0f, g_GUI_Yoffset = 2147483648.0f;
float g_GUI_X_Scale = 1.0f, g_GUI_Y_Scale = 1.0f;
bool g_InGUI_Zone = false;

namespace {

// The room templates by number; a number without a room has no name either.
CResourceTable<CRoom> g_RoomItems;
std::vector<int32_t> g_RoomList; // the room order

constexpr const char* kNewRoomName = "__newroom";

} // namespace

void Room_Init() {
    g_RoomItems.Clear();
    g_RoomList.clear();
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    g_DisplayOffsetX = g_DisplayOffsetY = 0;
    g_GUI_Width = g_GUI_Height = -1;
    g_GUI_Maximise = false;
    g_GUI_Xoffset = g_GUI_Yoffset = 2147483648.0f;
    g_GUI_X_Scale = g_GUI_Y_Scale = 1.0f;
    g_InGUI_Zone = false;
}

// The table becomes the chunk's rooms only when every record was read.
void Room_Load(ImageReader& chunk) {
    // Copies out of the data image are bounded by the load budget.
    size_t budget = GameData_LoadBudget(chunk.ImageLength());
    g_RoomItems.Load(chunk, "room count is too large", [&](int, uint32_t offset) {
        auto room = std::make_unique<CRoom>();
        room->LoadFromChunk(chunk.At(offset), &budget);
        const char* name = room->m_pName;
        return CResourceRecord<CRoom>{std::move(room), name};
    });
}

bool Room_Prepare() {
    return true;
}

void Room_Free() {
    Run_Room = nullptr;
    g_RoomItems.Clear();
    std::vector<int32_t>().swap(g_RoomList);
}

void FINALIZE_Room_Main() {
    Room_Free();
}

int Room_Number() {
    return g_RoomItems.Number();
}

bool Room_Exists(int index) {
    return g_RoomItems.Exists(index);
}

CRoom* Room_Data(int index) {
    return g_RoomItems.Data(index);
}

const char* Room_Name(int index) {
    return g_RoomItems.Name(index);
}

int Room_Find(const char* name) {
    return g_RoomItems.Find(name);
}

int Room_Add() {
    auto room = std::make_unique<CRoom>();
    room->CreateWADStorage();
    return g_RoomItems.Append(std::move(room), kNewRoomName);
}

int Room_Duplicate(int index) {
    const CRoom* source = g_RoomItems.Data(index);
    if (source == nullptr) return -1;
    auto room = std::make_unique<CRoom>();
    room->m_ownsStorage = true;
    room->Assign(source, false);
    return g_RoomItems.Append(std::move(room), kNewRoomName);
}

// The copy is made before the old room at `index` goes, so a room assigned
// to itself keeps its contents; the room keeps its name.
bool Room_Assign(int index, int source) {
    if (!Room_Exists(index) || !Room_Exists(source)) return false;
    auto room = std::make_unique<CRoom>();
    room->Assign(g_RoomItems.Data(source), true);
    g_RoomItems.Replace(index, std::move(room), kNewRoomName);
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
