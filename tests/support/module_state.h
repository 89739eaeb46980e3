// Every test starts from the state a fresh program has: before each test the
// shared listener calls the reset function of each module whose global state
// tests change (consoles, errors, the run state, the random generator, the
// header, options, the
// command line, rooms, bound code, object types and their event lists,
// timelines, paths, languages, debug information, input state and playback,
// the function table, named constants, built-in and declared variables, the
// save whitelist, data structures, the instance tree and the instances'
// shared counters). Tests
// that run in one process in any order then cannot see what an earlier test
// left behind.
#pragma once

// The resets the listener calls, for a test that must start over midway.
void ResetModuleState();
