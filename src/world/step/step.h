// One step of the game: the passes over the running room's instances in
// their fixed order, and the deferred changes to the room's instance list
// (activations, object changes, depth changes) applied between them.
#pragma once

#include <cstdint>

class CInstance;

// A resize event is pending (raised at the start of the next step).
extern bool g_DoResizeEvent;
// The time of the last step (µs); the time between the last two steps,
// g_VTL_DeltaTime, is with the built-in variables (world/lifecycle/instance_variables.h).
extern int64_t g_VTL_LastTime;

// One step: every pass in order; a pass that asks for a room change ends the
// step before the next pass, so such a frame draws nothing.
void DoAStep();

// Applies the pending changes: activations and deactivations, then object
// changes in request order, then depth changes.
void UpdateActiveLists();
void ChangeInstanceTypes();
// Re-files every pending instance that is active by its new depth, after
// all instances of lower or equal depth; instances moved together keep the
// order in which they were requested.
void ChangeInstanceDepths();
void ProcessActivateDeactveLists();

// Asks for the resize event at the start of the next step (the size is not used).
void Run_ResizeEvent(int width, int height);

// Advances one instance's image index and raises Animation End when it
// wraps past either end.
void Instance_Animate(CInstance* instance);

// Moves every active instance (speeds, paths, position), or steps the room's
// physics world; `anyPaths` says whether some instance follows a path.
// True when the physics world ran (it raises the collision events itself).
bool HandleInstanceMovement(bool anyPaths);

// The passes of the step, as an observer sees them.
enum class EStepPass : uint8_t {
    DeltaTime,
    Collector,
    RenderState,
    LoadGame,
    Input,
    Resize,
    Animate,
    LayerScroll,
    BeginStep,
    Networking,
    TimeLine,
    Alarm,
    Keyboard,
    Joystick,
    Mouse,
    Step,
    Movement,
    Other,
    Async,
    Collision,
    EndStep,
    Particles,
    RemoveMarked,
    Draw,
    ScrollBackground,
    ApplyChanges, // UpdateActiveLists
};

// An observer told of each pass as it begins (null: none). For tools and
// tests; the step itself never depends on it.
using StepObserver = void (*)(EStepPass pass);
void Step_SetObserver(StepObserver observer);
// No resize pending, no observer, the compiled code's clock at 0 (tests, and
// a fresh load).
void Step_Reset();
