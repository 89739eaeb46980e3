// The global built-in variables of the run: debug mode, the room change,
// score, lives and health (whose running out raises its event), the frame
// rate and the event being run.
#include "core/builtin_variable_access.h"
#include "core/run_globals.h"
#include "world/builtins/room_control.h"
#include "world/datafile/game_header.h"
#include "world/objects/event.h"
#include "world/run/main_loop.h"

using namespace builtin_vars;

namespace {

// The Other events raised when lives or health run out.
constexpr int kOtherNoMoreLives = 6;
constexpr int kOtherNoMoreHealth = 9;

} // namespace

bool GV_debug_mode(CInstance*, int, RValue* out) {
    const bool debug = !g_ZQHeader.Empty() && (g_ZQHeader.Peek<uint8_t>(g_ZQHeader.ChunkStart()) & 1) == 0;
    return Put(out, debug ? 1.0 : 0.0);
}

bool GV_room(CInstance*, int, RValue* out) {
    return Put(out, Current_Room);
}

bool SV_room(CInstance*, int, RValue* in) {
    Command_GotoRoom(Rint(in));
    return true;
}

bool GV_score(CInstance*, int, RValue* out) {
    return Put(out, Score);
}
bool SV_score(CInstance*, int, RValue* in) {
    Score = Rint(in);
    return true;
}

// Store first, then test: the events already see the new value, and they run
// once per crossing from above 0 to 0 or less.
bool GV_lives(CInstance*, int, RValue* out) {
    return Put(out, Lives);
}
bool SV_lives(CInstance*, int, RValue* in) {
    const int32_t old = Lives;
    Lives = Rint(in);
    if (old > 0 && Lives <= 0) Perform_Event_All(EVENT_OTHER, kOtherNoMoreLives);
    return true;
}
bool GV_health(CInstance*, int, RValue* out) {
    return Put(out, Health);
}
bool SV_health(CInstance*, int, RValue* in) {
    const double old = Health;
    Health = X(in);
    if (old > 0.0 && !(Health > 0.0)) Perform_Event_All(EVENT_OTHER, kOtherNoMoreHealth);
    return true;
}

bool GV_fps(CInstance*, int, RValue* out) {
    return Put(out, Fps);
}

bool GV_event_type(CInstance*, int, RValue* out) {
    return Put(out, Current_Event_Type);
}
bool GV_event_number(CInstance*, int, RValue* out) {
    return Put(out, Current_Event_Number);
}
bool GV_event_object(CInstance*, int, RValue* out) {
    return Put(out, Current_Object);
}
bool GV_event_action(CInstance*, int, RValue* out) {
    return Put(out, Current_Action_Index);
}
