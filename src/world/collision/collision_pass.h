// The collision pass of the step: collision events between instances whose
// objects have them, with solid instances moved back; and the list of
// instances the fast pass must test next.
#pragma once

#include <cstdint>

class CInstance;

void HandleCollision();

// Under fast collision: puts the instance at the head of the list of
// instances to test in the next pass (moving it there when already listed).
void CollisionMarkTest(CInstance* instance);
// Takes the instance off that list (destruction).
void CollisionUnmarkTest(CInstance* instance);
// Empties the list (end of a run, tests).
void CollisionClearTestList();

// One gathered pair: the instance under test and the instance the tree
// found overlapping it.
struct SCollision {
    CInstance* m_pTested;
    CInstance* m_pFound;
};

// Raises the events of one gathered pair: nothing unless the two still touch
// (precise test) and neither is deactivated; solid pairs are moved back.
void processCollision(SCollision* pair);

// The fast pass's number, advanced at the end of each fast pass.
int32_t CollisionPass_TestNumber();
// Pairs gathered by the last fast pass, and the array's capacity.
int32_t CollisionPass_GatheredCount();
int32_t CollisionPass_Capacity();
// The test list emptied, the gathered pairs' array freed and the test number
// at 0 (tests, and a fresh load). Runs while the listed instances still live.
void CollisionPass_Reset();
