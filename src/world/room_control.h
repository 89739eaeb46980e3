// Room and game control requested by scripts: each request only records the
// pending room change; the main loop acts on it after the step.
#pragma once

void Command_GotoRoom(int room, int kind = 0);
void Command_PreviousRoom(int kind = 0);
void Command_NextRoom(int kind = 0);
void Command_CurrentRoom(int kind = 0);
void Command_EndGame();
void Command_RestartGame();
