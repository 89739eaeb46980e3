// What the main loop, the step and its passes ask of modules that are built
// elsewhere: collector, renderer, sound, physics, particles, input passes,
// networking, saved games, cameras, sprites and the platform shell. Until a
// module exists, its stand-ins (src/<module>/stand_ins.cpp) answer for it,
// one definition per function; the module deletes each as it defines it.
#pragma once

#include <cstdint>

class CRoom;

// ---- the step's passes
// One increment of the generational collector.
void DoGenerationalGC();
// Re-applies the cached render state to the device.
void RenderState_Force();
// Applies a saved-game load queued by a script.
void Check_LoadGameState();
// Per-step servicing of the platform's functions.
void UpdateTarvoFunctions();
// Networking events (raised directly) and Steam callbacks.
void ProcessNetworking();
void Steam_Process();
// The keyboard, joystick and mouse event passes; the mouse pass begins with
// the touch-gesture pass.
void HandleKeyboard();
void HandleJoystick();
void HandleMouse();
void HandleGestures();
// One step of the room's physics world at `stepsPerSecond`; false when the
// room has no physics world (the instances then move themselves).
bool Physics_UpdateRoomWorld(CRoom* room, int stepsPerSecond, bool anyPaths);
// One update of every particle system.
void ParticleSystem_UpdateAll();
// Draws the running room through its views.
void Draw_Room();
// A sprite's playback speed and its type (1 frames per game step, otherwise
// frames per second); false when the sprite does not exist.
bool Sprite_PlaybackSpeed(int sprite, float* speed, int* type);
// The corners (x, y pairs, clockwise from the top left) of the area camera
// `camera` shows, in room coordinates; false when there is no such camera.
bool Camera_ViewQuad(int camera, float corners[8]);

// ---- the main loop
// Advances the sound system (once per frame, also while paused).
void Sound_Tick();
// The graphics resets the game asked for: a partial one, a full one.
void Graphics_PartialReset();
void Graphics_FullReset();
// The renderer's frame brackets; `present` asks for the buffer swap.
bool GR_D3D_Start_Frame();
bool GR_D3D_Finish_Frame(bool present);
// Draws the virtual keys after the step.
void IO_Render();
// Re-opens the gamepads (game restart).
void GamePadRestart();
// Services the debugger link once per frame.
void TickDebugger();
// Whether the buffer swap can wait `blanks` (1 or more) vertical blanks: false
// with no vertical blank at all (software rendering, no window, headless) and
// when the driver refuses that swap interval.
bool Platform_CanWaitVBlanks(int blanks);

// ---- the asynchronous pass
// Pending push notifications (none on this platform) and the platform's
// queued script callbacks.
void Push_DispatchEvents();
void ProcessVTLCallbacks();
