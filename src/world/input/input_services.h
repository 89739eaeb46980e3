// What the input latch calls in modules around it: the gamepads of the
// platform services and the on-screen virtual keys. Until the platform module
// defines them, its stand-ins (src/platform/stand_ins.cpp) answer.
#pragma once

// Polls the gamepads (live latch, after the platform input is copied).
void GamepadUpdateM();
// Shuts the gamepads down (end of the game).
void GamepadQuitM();
// Merges the virtual keys hit by the pointer into the input state.
void ProcessVirtualKeys();
// Creates the virtual-key table when there is none yet; an existing table
// keeps its keys.
void VirtualKeys_EnsureTable();
// Frees the virtual-key table.
void VirtualKeys_FreeTable();
// Zeroes the pointer-event records that the virtual keys are hit-tested with.
void InputEvents_Clear();
