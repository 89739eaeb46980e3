// Answers for the modules the input latch calls that do not exist yet: each
// accepts its call and does nothing.
#include "world/input/input_services.h"

void GamepadUpdateM() {}
void GamepadQuitM() {}
void ProcessVirtualKeys() {}
void VirtualKeys_EnsureTable() {}
void VirtualKeys_FreeTable() {}
void InputEvents_Clear() {}
