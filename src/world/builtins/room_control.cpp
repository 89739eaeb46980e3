// Room and game control requested by scripts, and the other small game
// built-ins: saved-game requests, transition stubs and sleep. Every request
// only records the pending change (New_Room); the main loop acts on the last
// one after the step, so script code after the request still runs.
#include "world/builtins/room_control.h"

#include <cstdio>

#include "core/arguments.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "core/rvalue.h"
#include "core/timing.h"
#include "room/room_table.h"
#include "world/builtins/game_builtin_services.h"

namespace {

// A room that does not exist ends the game after the report.
void RequestRoom(int room) {
    New_Room = room;
    Transition_Kind = 0;
    if (Room_Exists(room)) return;
    char message[96];
    std::snprintf(message, sizeof(message), "Unexisting room number: %d", room);
    Error_Show_Action(message, true);
    New_Room = ROOM_ABORTGAME;
}

} // namespace

void Command_GotoRoom(int room, int) {
    RequestRoom(room);
}

void Command_PreviousRoom(int) {
    if (Current_Room == Room_First()) {
        Error_Show_Action("Moving to previous room before the first room.", true);
        New_Room = ROOM_ABORTGAME;
        return;
    }
    RequestRoom(Room_Previous(Current_Room));
}

void Command_NextRoom(int) {
    if (Current_Room == Room_Last()) {
        Error_Show_Action("Moving to next room after the last room.", true);
        New_Room = ROOM_ABORTGAME;
        return;
    }
    RequestRoom(Room_Next(Current_Room));
}

void Command_CurrentRoom(int) {
    RequestRoom(Current_Room);
}

void Command_EndGame() {
    New_Room = ROOM_ENDGAME;
}

void Command_RestartGame() {
    New_Room = ROOM_RESTARTGAME;
}

void Command_ScreenShot(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        Error_Show_Action("Trying to save screen to empty image file name.", false);
        return;
    }
    int width = GR_Window_Get_Region_Width();
    int height = GR_Window_Get_Region_Height();
    uint32_t* pixels = Graphics::GrabScreenRect(width, height, 0, 0, &width, &height);
    if (pixels == nullptr) return;
    WritePNG32(name, pixels, width, height);
    ZQ_Free(pixels);
}

void ZQVTL_room_goto_previous() {
    Command_PreviousRoom();
}
void ZQVTL_room_goto_next() {
    Command_NextRoom();
}
void ZQVTL_room_restart() {
    Command_CurrentRoom();
}
void ZQVTL_game_end() {
    Command_EndGame();
}
void ZQVTL_game_restart() {
    Command_RestartGame();
}

// ---------------------------------------------------------------------------
// Built-ins.

namespace {

void F_RoomGoto(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_GotoRoom(ZQGetInt32(args, 0));
}
void F_RoomGotoPrevious(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_PreviousRoom();
}
void F_RoomGotoNext(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_NextRoom();
}
void F_RoomRestart(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_CurrentRoom();
}

// Neighbours in the room order without any report; the order wraps round,
// so the first room's previous and the last room's next are asked for here.
void F_RoomPrevious(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const int room = ZQGetInt32(args, 0);
    ZQSetResultReal(result, Room_Exists(room) && room != Room_First() ? Room_Previous(room) : -1);
}
void F_RoomNext(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const int room = ZQGetInt32(args, 0);
    ZQSetResultReal(result, Room_Exists(room) && room != Room_Last() ? Room_Next(room) : -1);
}

void F_GameEnd(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_EndGame();
}
void F_GameRestart(RValue&, CInstance*, CInstance*, int, RValue*) {
    Command_RestartGame();
}
void F_GameLoad(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_LoadGame(ZQGetString(args, 0));
}
void F_GameSave(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_SaveGame(ZQGetString(args, 0));
}
void F_GameSaveBuffer(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_SaveGame(ZQGetInt32(args, 0));
}
void F_GameLoadBuffer(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Command_LoadGame(ZQGetInt32(args, 0));
}

void F_TransitionStub(RValue& result, CInstance*, CInstance*, int, RValue*) {
    ZQSetResultReal(result, -1.0);
}

// A negative time sleeps not at all.
void F_Sleep(RValue&, CInstance*, CInstance*, int, RValue* args) {
    const int64_t ms = ZQGetInt32(args, 0);
    if (ms > 0) Timing_Sleep(ms * 1000);
}

const GameBuiltinRow kRoomControlBuiltins[] = {
    {"room_goto", F_RoomGoto},
    {"room_goto_previous", F_RoomGotoPrevious},
    {"room_goto_next", F_RoomGotoNext},
    {"room_previous", F_RoomPrevious},
    {"room_next", F_RoomNext},
    {"room_restart", F_RoomRestart},
    {"game_end", F_GameEnd},
    {"game_restart", F_GameRestart},
    {"game_load", F_GameLoad},
    {"game_save", F_GameSave},
    {"game_save_buffer", F_GameSaveBuffer},
    {"game_load_buffer", F_GameLoadBuffer},
    {"transition_define", F_TransitionStub},
    {"transition_exists", F_TransitionStub},
    {"sleep", F_Sleep},
};

} // namespace

std::span<const GameBuiltinRow> RoomControl_Builtins() {
    return kRoomControlBuiltins;
}
