// The step: delta time, collector, render state, queued load, input latch,
// resize event, previous positions and animation, layer scrolling, then the
// event passes, each followed by the deferred list changes, then particles,
// drawing and background scrolling. Also the deferred changes themselves,
// animation and movement.
#include "world/step/step.h"

#include <cmath>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/timing.h"
#include "core/timing_source.h"
#include "room/room.h"
#include "world/collision/collision_pass.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/lifecycle/instance_variables.h"
#include "world/objects/event.h"
#include "world/step/async_events.h"
#include "world/step/event_passes.h"
#include "world/step/step_services.h"

bool g_DoResizeEvent = false;
int64_t g_VTL_LastTime = 0;

namespace {

StepObserver g_StepObserver = nullptr;

inline void Note(EStepPass pass) {
    if (g_StepObserver != nullptr) g_StepObserver(pass);
}

inline bool RoomChangePending() {
    return New_Room != ROOM_NONE;
}

// Saves the previous positions and animates every active instance that
// existed when the walk began (an Animation End event may create more).
// Notes whether some instance runs a timeline or follows a path.
void AnimateAll(CRoom* room, bool* anyTimeline, bool* anyPath) {
    const int64_t limit = CInstance::ms_CurrentCreateCounter++;
    bool timeline = false, path = false;
    for (CInstance* i = room->m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (i->m_createCounter <= limit) {
            i->i_xprevious = i->i_x;
            i->i_yprevious = i->i_y;
            i->i_pathpositionprevious = i->i_pathposition;
            Instance_Animate(i);
            timeline = timeline || i->i_timelinerunning;
            path = path || i->i_pathindex >= 0;
        }
        i = next;
    }
    *anyTimeline = timeline;
    *anyPath = path;
}

// The event passes from networking to End Step. Each is followed by the
// deferred list changes; a pending room change ends the step before the
// next pass. False when the step ended early.
bool EventPasses(bool anyTimeline, bool anyPath) {
    if (RoomChangePending()) return false;
    Note(EStepPass::Networking);
    ProcessNetworking();
    Steam_Process();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::TimeLine);
    if (anyTimeline) HandleTimeLine();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Alarm);
    HandleAlarm();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Keyboard);
    HandleKeyboard();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Joystick);
    HandleJoystick();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Mouse);
    HandleMouse();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Step);
    HandleStep(STEP_NORMAL);
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Movement);
    const bool physics = HandleInstanceMovement(anyPath);
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Other);
    HandleOther();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::Async);
    HandleAsyncEvents();
    UpdateActiveLists();

    // The physics world raised the collision events itself.
    if (RoomChangePending()) return false;
    Note(EStepPass::Collision);
    if (!physics) HandleCollision();
    UpdateActiveLists();

    if (RoomChangePending()) return false;
    Note(EStepPass::EndStep);
    HandleStep(STEP_END);
    UpdateActiveLists();
    return !RoomChangePending();
}

} // namespace

void Step_SetObserver(StepObserver observer) {
    g_StepObserver = observer;
}

// Begin Step runs (and is followed by the list changes) even when the resize
// event or a queued load asked for a room change; from then on a pending
// change ends the step at once.
void DoAStep() {
    Note(EStepPass::DeltaTime);
    const int64_t now = Timing_Time();
    g_VTL_DeltaTime = now - g_VTL_LastTime;
    g_VTL_LastTime = now;

    Note(EStepPass::Collector);
    DoGenerationalGC();
    Note(EStepPass::RenderState);
    RenderState_Force();
    Note(EStepPass::LoadGame);
    Check_LoadGameState();
    Note(EStepPass::Input);
    IO_Start_Step();
    UpdateTarvoFunctions();

    // A loaded game may have replaced the room.
    CRoom* room = Run_Room;
    if (g_DoResizeEvent) {
        Note(EStepPass::Resize);
        g_DoResizeEvent = false;
        if (room != nullptr) room->RemoveMarked();
        Perform_Event_All(EVENT_DRAW, 65);
        if (room != nullptr) room->RemoveMarked();
    }

    bool anyTimeline = false, anyPath = false;
    Note(EStepPass::Animate);
    if (room != nullptr) AnimateAll(room, &anyTimeline, &anyPath);
    Note(EStepPass::LayerScroll);
    if (room != nullptr) room->UpdateLayers();

    Note(EStepPass::BeginStep);
    HandleStep(STEP_BEGIN);
    UpdateActiveLists();

    if (!EventPasses(anyTimeline, anyPath)) return;

    Note(EStepPass::Particles);
    ParticleSystem_UpdateAll();

    // Events may have replaced nothing but the lists; the room is the same.
    room = Run_Room;
    Note(EStepPass::RemoveMarked);
    if (room != nullptr) room->RemoveMarked();
    if (Draw_Automatic) {
        Note(EStepPass::Draw);
        Draw_Room();
        UpdateActiveLists();
    }

    Note(EStepPass::ScrollBackground);
    if (room != nullptr) room->ScrollBackground();
    UpdateActiveLists();
    ++Cursor_Subimage;
}

// ---------------------------------------------------------------------------
// Deferred list changes.

void UpdateActiveLists() {
    Note(EStepPass::ApplyChanges);
    if (g_InstanceActivateDeactive.m_count != 0) ProcessActivateDeactveLists();
    if (g_InstanceChangeArray.m_count != 0) ChangeInstanceTypes();
    if (g_InstanceChangeDepth.m_count != 0) ChangeInstanceDepths();
}

// The room keeps the requests as the instances' flags; the array only says
// that there are some.
void ProcessActivateDeactveLists() {
    if (Run_Room != nullptr) Run_Room->UpdateActive();
    g_InstanceActivateDeactive.Clear();
}

void ChangeInstanceTypes() {
    for (int32_t k = 0; k < g_InstanceChangeArray.m_count; ++k)
        g_InstanceChangeArray.m_pArray[k]->RelinkObjectTypes();
    g_InstanceChangeArray.Clear();
}

// Moving the instances one at a time in request order places them exactly
// as unlinking all first and inserting them in order would: the list stays
// sorted by filed depth, so an instance not yet moved that a search meets
// lies only between places the later removal closes up. Deactivated
// instances are not in the active list and stay where they are.
void ChangeInstanceDepths() {
    CRoom* room = Run_Room;
    if (room != nullptr) {
        for (int32_t k = 0; k < g_InstanceChangeDepth.m_count; ++k) {
            CInstance* instance = g_InstanceChangeDepth.m_pArray[k];
            if (!instance->i_deactivated) room->MoveToDepth(instance);
        }
    }
    g_InstanceChangeDepth.Clear();
}

void Run_ResizeEvent(int, int) {
    g_DoResizeEvent = true;
}

// ---------------------------------------------------------------------------
// Animation and movement.

// With new-generation data a sprite's playback speed scales the instance's
// image speed, per game step or per second of game time; a game clock at
// 0 frames per second adds nothing rather than dividing by zero. The index
// wraps once per step; a sprite-less instance has 0 frames, so a
// non-negative index raises Animation End every step.
void Instance_Animate(CInstance* instance) {
    float playback = 1.0f;
    int type = 1;
    if (g_isNimbar && Sprite_PlaybackSpeed(instance->i_spriteindex, &playback, &type) && type != 1) {
        const double fps = g_GameTimer.GetFPS();
        if (fps != 0.0) instance->i_imageindex += static_cast<float>(playback / fps) * instance->i_imagespeed;
    } else {
        instance->i_imageindex += playback * instance->i_imagespeed;
    }
    const float frames = static_cast<float>(instance->GetImageNumber());
    if (std::trunc(instance->i_imageindex) >= frames) {
        instance->i_imageindex -= frames;
        Perform_Event(instance, instance, EVENT_OTHER, OTHER_ANIMATION_END);
    } else if (instance->i_imageindex < 0.0f) {
        instance->i_imageindex += frames;
        Perform_Event(instance, instance, EVENT_OTHER, OTHER_ANIMATION_END);
    }
}

// Marked instances still move (they leave the list only between passes);
// instances created by a Path End event of this pass are left for the next
// step. An instance at rest keeps its position without being marked as
// moved, so its box is not recomputed for nothing.
bool HandleInstanceMovement(bool anyPaths) {
    CRoom* room = Run_Room;
    if (room == nullptr) return false;
    if (room->m_physicsWorld) {
        const int rate = g_isNimbar ? RealToInt32(g_GameTimer.GetFPS()) : room->m_speed;
        if (Physics_UpdateRoomWorld(room, rate, anyPaths)) return true;
    }
    const int64_t limit = CInstance::ms_CurrentCreateCounter++;
    for (CInstance* i = room->m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (i->m_createCounter <= limit) {
            i->Adapt_Speed();
            if (i->Adapt_Path()) Perform_Event(i, i, EVENT_OTHER, OTHER_PATH_END);
            if (i->i_hspeed != 0.0f || i->i_vspeed != 0.0f)
                i->SetPosition(i->i_x + i->i_hspeed, i->i_y + i->i_vspeed);
        }
        i = next;
    }
    return false;
}

void Step_Reset() {
    g_DoResizeEvent = false;
    g_VTL_LastTime = 0;
    g_StepObserver = nullptr;
}
