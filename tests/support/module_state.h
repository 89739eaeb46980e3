// Every test starts from the state a fresh program has: before each test the
// shared listener calls the reset function of each module whose global state
// tests change (the header, consoles, errors, the run state, the function
// table, the bound game code with its global object, the instances' shared
// counters and lists). Tests that run in one process in any order then cannot see what an
// earlier test left behind.
#pragma once

// The resets the listener calls, for a test that must start over midway.
void ResetModuleState();
