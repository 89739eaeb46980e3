// Room transitions: the run-time room list, entering a room (a new copy of
// its definition, or the kept copy of a persistent room), carrying persistent
// instances across by id, the creation order, leaving a room, and starting
// and ending the game. Room indices are checked before any slot is touched.
#include "world/run/room_transitions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/code.h"
#include "core/collector.h"
#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/rvalue.h"
#include "core/variables.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/run/startup_services.h"

namespace {

// Other-event subtypes raised here.
constexpr int kOtherGameStart = 2;
constexpr int kOtherGameEnd = 3;
constexpr int kOtherRoomStart = 4;
constexpr int kOtherRoomEnd = 5;

std::vector<CRoom*> g_RunRoomList;
// Detached copies of the persistent instances of the room last left.
std::vector<CInstance*> g_Carried;

[[noreturn]] void DefaultHeadlessExit(int status) {
    Console_CloseFiles();
    std::fflush(nullptr);
    // Ends at once: the run is inside a room start, with instances and rooms
    // alive that static destructors must not meet.
    std::_Exit(status);
}

void (*g_HeadlessExit)(int) = DefaultHeadlessExit;

void DeleteRunRooms() {
    for (CRoom*& room : g_RunRoomList) {
        if (room == nullptr) continue;
        if (room == Run_Room) Run_Room = nullptr;
        delete room;
        room = nullptr;
    }
    g_RunRoomList.clear();
    g_RunRoomList.shrink_to_fit();
}

// An instance rejoins / leaves its object type's instance lists.
void ListInstance(CInstance* instance) {
    if (instance->m_listedIndex >= 0 || instance->m_pObject == nullptr) return;
    instance->m_pObject->AddInstance(instance);
    instance->m_listedIndex = instance->i_objindex;
}

void UnlistInstance(CInstance* instance) {
    if (instance->m_listedIndex < 0) return;
    if (CObjectVT* listed = Object_Data(instance->m_listedIndex)) listed->RemoveInstance(instance);
    instance->m_listedIndex = -1;
}

void EnterIdTable(CInstance* instance) {
    Hash<CInstance>& table = CInstance::ID2Instance();
    const auto id = static_cast<uint32_t>(instance->i_id);
    if (table.Find(id) == instance) return;
    if (table.Find(id) != nullptr) table.Delete(id, eDelete_Keep);
    table.Insert(id, instance);
}

void LeaveIdTable(CInstance* instance) {
    Hash<CInstance>& table = CInstance::ID2Instance();
    const auto id = static_cast<uint32_t>(instance->i_id);
    if (table.Find(id) == instance) table.Delete(id, eDelete_Keep);
}

CInstance* FindActive(CRoom* room, int id) {
    for (CInstance* i = room->m_pFirstActive; i != nullptr; i = i->m_pNext)
        if (i->i_id == id) return i;
    return nullptr;
}

void RunCode(CCode* code, CInstance* self) {
    RValue result = RValue_Undefined();
    Code_Execute_Special(self, self, code, &result);
    FREE_RValue(&result);
}

// A room index the game may enter: a slot of the room table with a room in it.
bool RefuseRoom(int room) {
    if (Room_Exists(room)) return false;
    char text[128];
    std::snprintf(text, sizeof text, "Unable to enter room %d: there is no room with that index", room);
    Error_Show(text, true);
    return true;
}

// The carried copies take over the state of the instance they name in the
// room entered, or become new instances of it. Either way they are marked
// as carried over, so the room's creation events pass them by.
void BringCarriedInstances() {
    CRoom* room = Run_Room;
    for (CInstance* carried : g_Carried) {
        CInstance* target = FindActive(room, carried->i_id);
        if (target == nullptr) {
            target = new CInstance(carried->i_x, carried->i_y, carried->i_id, carried->i_objindex, false);
            if (g_isNimbar) target->i_depth = carried->i_depth;
            target->Assign(carried, true);
            Instance_RebuildPhysicsBody(target, room);
            target->m_onLayer = false;
            target->m_layerID = -1;
            room->AddInstance(target); // by depth, id table, a layer
        } else {
            if (g_isNimbar) {
                target->i_depth = carried->i_depth;
                if (CLayerManager::GetInstanceLayerID(room, target->i_id) != -1)
                    CLayerManager::RemoveInstanceFromLayer(room, target);
            }
            target->Assign(carried, true);
            Instance_RebuildPhysicsBody(target, room);
            target->m_onLayer = false;
            target->m_layerID = -1;
            CLayerManager::AddInstance(room, target);
        }
        target->m_carriedOver = true;
        delete carried;
    }
    g_Carried.clear();
}

// Pre-Create, pre-creation code, Create, creation code for each instance the
// new room made, in creation order; instances destroyed meanwhile and
// carried-over instances get none.
void RunCreationEvents(std::vector<int32_t> ids) {
    for (int32_t id : ids) {
        CInstance* instance = CInstance::Find(id);
        if (instance == nullptr) continue;
        if (instance->m_carriedOver) {
            instance->m_carriedOver = false;
            continue;
        }
        if (instance->i_marked) continue;
        Perform_Event(instance, instance, EVENT_PRE_CREATE, 0);
        if (instance->m_pPreCreationCode != nullptr) RunCode(instance->m_pPreCreationCode, instance);
        Perform_Event(instance, instance, EVENT_CREATE, 0);
        if (instance->m_pCreationCode != nullptr) RunCode(instance->m_pCreationCode, instance);
        instance->m_created = true;
    }
}

// The room's creation code runs on the global object when the script-object
// collector is on, else on a blank instance made for it.
void RunRoomCreationCode(CCode* code) {
    if (g_fJSGarbageCollection && g_pGlobal != nullptr) {
        CInstance* global = reinterpret_cast<CInstance*>(g_pGlobal);
        RValue result = RValue_Undefined();
        Code_Execute_Special(global, global, code, &result);
        FREE_RValue(&result);
    } else {
        auto* blank = new CInstance(0.0f, 0.0f, 0, 0, false);
        RunCode(code, blank);
        delete blank;
    }
}

void ReplaceText(char*& slot, const char* text) {
    ZQ_Free(slot);
    slot = text != nullptr ? ZQStrDup(text) : nullptr;
}

// Captions are string records that scripts share: the run drops its
// reference and, for a text, holds a new record.
void ReplaceCaption(RefString*& slot, const char* text) {
    if (slot != nullptr) slot->Dec();
    slot = text != nullptr ? RefString::Create(text) : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------

void Run_Room_Set(CRoom* room) {
    Run_Room = room;
}

int Run_Room_Count() {
    return static_cast<int>(g_RunRoomList.size());
}

CRoom* Run_Room_At(int index) {
    if (index < 0 || index >= Run_Room_Count()) return nullptr;
    return g_RunRoomList[static_cast<size_t>(index)];
}

int Run_CarriedInstanceCount() {
    return static_cast<int>(g_Carried.size());
}

void Run_FreeCarriedInstances() {
    for (CInstance* carried : g_Carried) delete carried;
    g_Carried.clear();
    g_Carried.shrink_to_fit();
}

void Run_SetHeadlessExit(void (*exitProcess)(int)) {
    g_HeadlessExit = exitProcess != nullptr ? exitProcess : DefaultHeadlessExit;
}

// Resets the game-wide state and enters the first room of the room order; a
// room change requested while it starts is acted on at once.
void StartGame() {
    if (g_isNimbar) Draw_SetInitialColour();
    Create_Object_Lists();
    Score = 0;
    Lives = -1;
    Cursor_Sprite = -1;
    Cursor_Subimage = 0;
    Transition_Kind = 0;
    if (!Extension_Initialise()) return;
    Platform_SetCursor(option_showcursor ? 0 : -1);
    Texture_SetInterpolation(option_interpolate);

    DeleteRunRooms();
    g_RunRoomList.assign(static_cast<size_t>(Room_Number() > 0 ? Room_Number() : 0), nullptr);
    Run_FreeCarriedInstances();

    if (Debugger_WaitsForConnection()) return;
    const int first = Room_First();
    New_Room = first;
    StartRoom(first, true);
    if (New_Room >= 0) SwitchRoom(New_Room);
    MemoryManager::DumpMemory(nullptr);
}

void StartRoom(int room, bool gameStart) {
    if (RefuseRoom(room)) return;
    New_Room = ROOM_NONE;
    if (gameStart) IO_Clear();
    Effects_Clear();

    if (g_RunRoomList.size() <= static_cast<size_t>(room))
        g_RunRoomList.resize(static_cast<size_t>(room) + 1);
    Current_Room = room;
    CRoom*& slot = g_RunRoomList[static_cast<size_t>(room)];
    Run_Room_Set(slot);
    const bool isNew = slot == nullptr;
    if (isNew) {
        slot = new CRoom();
        slot->Assign(Room_Data(room), true);
        Run_Room_Set(slot);
    } else {
        // A persistent room entered again: its instances rejoin the lists.
        for (CInstance* i = slot->m_pFirstActive; i != nullptr; i = i->m_pNext) {
            ListInstance(i);
            EnterIdTable(i);
        }
    }
    CRoom* current = Run_Room;

    if (g_isNimbar) Camera_StartRoom(current);
    CLayerManager::BuildRoomLayerRuntimeData(current);
    Particle_AddAllToLayers();
    Room_SizeDrawing();

    BringCarriedInstances();

    if (isNew) {
        std::vector<int32_t> ids;
        ids.swap(current->m_newInstanceIds);
        RunCreationEvents(std::move(ids));
    }
    current->RemoveMarked();

    if (gameStart) {
        Perform_Event_All(EVENT_OTHER, kOtherGameStart);
        current->RemoveMarked();
    }

    if (isNew && current->m_pCreationCode != nullptr) {
        RunRoomCreationCode(current->m_pCreationCode);
        if (g_fHeadless) g_HeadlessExit(0);
    }

    Perform_Event_All(EVENT_OTHER, kOtherRoomStart);
    current->RemoveMarked();
    g_GameStarted = true;
}

void EndRoom(bool gameEnd) {
    if (g_isNimbar) Camera_EndRoom(Run_Room);
    CRoom* room = Run_Room;
    if (room == nullptr) return;

    room->RemoveMarked();
    const int32_t pending = New_Room;
    New_Room = ROOM_NONE;
    Perform_Event_All(EVENT_OTHER, kOtherRoomEnd);
    room->RemoveMarked();
    if (gameEnd) {
        room->CleanPersistent();
        Perform_Event_All(EVENT_OTHER, kOtherGameEnd);
        room->RemoveMarked();
    }
    New_Room = pending;

    Particle_RemoveAllFromLayers();
    DeleteAllVirtualKeys();

    // Persistent instances leave as detached copies; the originals are
    // marked, so the removal below takes them out of the room.
    Run_FreeCarriedInstances();
    g_Carried.reserve(10);
    for (CInstance* i = room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        if (!i->i_persistent || i->i_marked || i->i_deactivated) continue;
        auto* copy = new CInstance(i->i_x, i->i_y, i->i_id, i->i_objindex, false);
        copy->Assign(i, false);
        g_Carried.push_back(copy);
        i->i_marked = true;
    }
    room->RemoveMarked();

    if (room->m_persistent) {
        // The room keeps its instances for the next visit, out of every list
        // and table that the rest of the game walks.
        for (CInstance* i = room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
            if (i->i_marked || i->i_deactivated || i->i_persistent) continue;
            UnlistInstance(i);
            CLayerManager::RemoveInstanceFromLayer(room, i);
            LeaveIdTable(i);
        }
        CLayerManager::CleanRoomLayerRuntimeData(room);
    } else {
        CLayerManager::CleanRoomLayerRuntimeData(room);
        // Only a copy the run made is the run's to delete.
        for (CRoom*& slot : g_RunRoomList) {
            if (slot != room) continue;
            slot = nullptr;
            delete room;
            break;
        }
        Run_Room_Set(nullptr);
    }
    g_InstanceActivateDeactive.Clear();
}

void SwitchRoom(int room) {
    // Refused before the current room is left, so a bad index never leaves
    // the game without a room.
    if (RefuseRoom(room)) return;
    if (g_isNimbar && !g_DebugBuild) {
        char tag[512];
        std::snprintf(tag, sizeof tag, "Room switch from %s to %s", Room_Name(Current_Room), Room_Name(room));
        Debug_AddTag(tag);
    }
    memLogEvent("SwitchRoom to %s", Room_Name(room));
    EndRoom(false);
    StartRoom(room, false);
}

void Run_EndGame() {
    EndRoom(true);
    // Persistent instances carried out of the last room have nowhere to go.
    Run_FreeCarriedInstances();
    DeleteRunRooms();
    Run_Room_Set(nullptr);
    if (!Extension_Finalise()) return;
    Platform_SetCursor(0);
    Audio_StopAll();
    Text_ResetDefaults();
    RenderState_Reset();
    Collector_FullCollect();
}

void LoadGame() {
    New_Room = ROOM_NONE;
    IO_Clear();
    SaveGame_Load(Load_GameName);
}

void INITIALIZE_Run_Global() {
    Run_Running = false;
    Run_Paused = false;
    Transition_Kind = 0;
    Score = 0;
    Score_ShowCaption = true;
    Score_ShowCaptionSet = false;
    ReplaceCaption(Score_Caption, "");
    Lives = -1;
    Lives_ShowCaption = false;
    ReplaceCaption(Lives_Caption, "");
    Health = 100.0;
    Health_ShowCaption = false;
    ReplaceCaption(Health_Caption, "");
    Current_View = 0;
    Secure_Mode = false;
    Cursor_Sprite = -1;
    Cursor_Subimage = 0;
    Draw_Automatic = true;
    Game_Id = 0;
    g_ApplicationSurface = APPLICATION_SURFACE_NONE;
    g_ApplicationWidth = -1;
    g_ApplicationHeight = -1;
    g_Application_Surface_Autodraw = true;
    g_NewApplicationSize = false;
    g_NewApplicationWidth = -1;
    g_NewApplicationHeight = -1;
    g_CurrentViewSurfaceTexture = -1;
    g_MouseTimer = -1;
}

void FINALIZE_Run_Global() {
    ReplaceCaption(Score_Caption, nullptr);
    ReplaceCaption(Lives_Caption, nullptr);
    ReplaceCaption(Health_Caption, nullptr);
    ReplaceText(Load_GameName, nullptr);
    LoadSave_SetGameName(nullptr);
    LoadSave_SetWorkingDirectory(nullptr);
    Game_Id = 0;
    std::memset(Game_GUID, 0, sizeof Game_GUID);
    g_ApplicationSurface = APPLICATION_SURFACE_NONE;
    g_ApplicationWidth = -1;
    g_ApplicationHeight = -1;
    g_Application_Surface_Autodraw = true;
    g_NewApplicationSize = false;
    g_NewApplicationWidth = -1;
    g_NewApplicationHeight = -1;
    // The global object and the script objects waiting on the free list go
    // with the run; a new load makes its own global object.
    if (g_pGlobal != nullptr) {
        ZQObjectBase* global = g_pGlobal;
        g_pGlobal = nullptr;
        ZQObjectBase::Free(global);
    }
    ZQObjectBase::FreeAll();
}
