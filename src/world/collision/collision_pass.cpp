// The collision pass: with fast collision, the instances whose boxes changed
// are searched in the instance tree and the pairs gathered first, then their
// events raised; classically, every enabled object pair of the pair table is
// walked instance against instance. Also the list of instances to test.
#include "world/collision/collision_pass.h"

#include <algorithm>

#include "core/memory_manager.h"
#include "room/room.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

// The instances to test in the next fast pass: an intrusive doubly linked
// list through the instances, insertion at the head.
CInstance* s_testFirst = nullptr;

// The gathered pairs; kept between passes and never shrunk, so a pass
// normally allocates nothing.
SCollision* s_collisions = nullptr;
int32_t s_usedCollisions = 0;
int32_t s_collisionsLen = 0;
int32_t s_collisionTestNumber = 0;

void TestUnlink(CInstance* instance) {
    if (!instance->m_collisionTestQueued) return;
    if (instance->m_pCollisionTestPrev != nullptr)
        instance->m_pCollisionTestPrev->m_pCollisionTestNext = instance->m_pCollisionTestNext;
    else
        s_testFirst = instance->m_pCollisionTestNext;
    if (instance->m_pCollisionTestNext != nullptr)
        instance->m_pCollisionTestNext->m_pCollisionTestPrev = instance->m_pCollisionTestPrev;
    instance->m_pCollisionTestNext = instance->m_pCollisionTestPrev = nullptr;
    instance->m_collisionTestQueued = false;
}

void TestPushFront(CInstance* instance) {
    TestUnlink(instance);
    instance->m_pCollisionTestNext = s_testFirst;
    if (s_testFirst != nullptr) s_testFirst->m_pCollisionTestPrev = instance;
    s_testFirst = instance;
    instance->m_collisionTestQueued = true;
}

// Appends a pair, growing the array to twice the larger of its capacity and
// 32 when full. A pair that cannot be stored is dropped (out of memory).
void push_back(SCollision pair) {
    if (s_usedCollisions == s_collisionsLen) {
        const int32_t grown = 2 * std::max<int32_t>(s_collisionsLen, 32);
        auto* array = ZQ_ReAllocArray<SCollision>(s_collisions, static_cast<size_t>(grown));
        if (array == nullptr) return;
        s_collisions = array;
        s_collisionsLen = grown;
    }
    s_collisions[s_usedCollisions++] = pair;
}

bool HasCollisionEvent(const CInstance* a, const CInstance* b) {
    return a->m_pObject != nullptr &&
           a->m_pObject->GetEventRecursive(EVENT_COLLISION, b->i_objindex) != nullptr;
}

// The tree search's callback for the instance under test: gathers the pair
// when either object has a collision event for the other and the found
// instance was not itself tested earlier in this pass (which gathered the
// pair then). Always goes on.
bool collisionResult(CInstance* found, void* context) {
    auto* tested = static_cast<CInstance*>(context);
    if (found == tested) return true;
    if (!HasCollisionEvent(tested, found) && !HasCollisionEvent(found, tested)) return true;
    if (found->m_collisionTestStamp == s_collisionTestNumber) return true;
    push_back({tested, found});
    return true;
}

void MoveBack(CInstance* instance) {
    instance->SetPosition(instance->i_xprevious, instance->i_yprevious);
    instance->SetPathPosition(instance->i_pathpositionprevious);
}

// The events of a touching pair, both ways. A solid pair is put back to its
// previous positions before the events; afterwards both move on by their
// speeds, and if that makes them touch again they go back once more.
void RaisePair(CInstance* a, CInstance* b) {
    if (a->i_solid || b->i_solid) {
        MoveBack(a);
        MoveBack(b);
    }
    Perform_Event(a, b, EVENT_COLLISION, b->i_objindex);
    Perform_Event(b, a, EVENT_COLLISION, a->i_objindex);
    if (a->i_solid || b->i_solid) {
        a->Adapt_Path();
        b->Adapt_Path();
        a->SetPosition(a->i_x + a->i_hspeed, a->i_y + a->i_vspeed);
        b->SetPosition(b->i_x + b->i_hspeed, b->i_y + b->i_vspeed);
        if (a->Collision_Instance(b, true)) {
            MoveBack(a);
            MoveBack(b);
        }
    }
}

// Instances whose collision sprite is precise and animated must be tested
// again next step: their mask changes without their box changing.
bool AnimatedPrecise(const CInstance* instance) {
    const CSprite* sprite = instance->CollisionSprite();
    return sprite != nullptr && instance->i_precise && sprite->m_numb >= 2;
}

void FastPass() {
    s_usedCollisions = 0;
    CInstance* keepFirst = nullptr; // singly linked through the test links
    // New instances are filed (and the tree made) by their first update, so
    // the update comes before asking whether a tree exists.
    UpdateTree();
    if (g_tree != nullptr) {
        for (CInstance* i = s_testFirst; i != nullptr;) {
            CInstance* next = i->m_pCollisionTestNext;
            if (i->i_marked || i->i_deactivated) {
                TestUnlink(i);
                i = next;
                continue;
            }
            const CInstanceTree::Rect rect = InstanceTreeRect(i->i_bbox);
            int found = 0;
            CInstanceTree::Search(g_tree->m_root, &rect, &found, collisionResult, i);
            TestUnlink(i);
            if (AnimatedPrecise(i)) {
                i->m_pCollisionTestNext = keepFirst;
                keepFirst = i;
            }
            i->m_collisionTestStamp = s_collisionTestNumber;
            i = next;
        }
    }
    ++s_collisionTestNumber;
    CollisionClearTestList();
    // The keep list is newest first; walking it from its first entry and
    // pushing each to the head leaves them in the order they were tested.
    while (keepFirst != nullptr) {
        CInstance* next = keepFirst->m_pCollisionTestNext;
        keepFirst->m_pCollisionTestNext = nullptr;
        TestPushFront(keepFirst);
        keepFirst = next;
    }
    const int32_t count = s_usedCollisions;
    for (int32_t k = 0; k < count; ++k) processCollision(&s_collisions[k]);
}

bool TakesPart(const CInstance* instance, int64_t limit) {
    return !instance->i_marked && !instance->i_deactivated && instance->m_createCounter <= limit;
}

// Each enabled pair of the table is one raising: instances created by its
// events wait for later entries.
void ClassicPass() {
    for (int32_t p = 0; p < obj_col_numb; ++p) {
        const SCollisionPair& entry = obj_col_pairs[p];
        if (!entry.m_active) continue;
        CObjectVT* first = Object_Data(entry.m_first);
        CObjectVT* second = Object_Data(entry.m_second);
        if (first == nullptr || second == nullptr || first->m_Instances.m_count == 0) continue;
        const int64_t limit = CInstance::ms_CurrentCreateCounter++;
        for (SInstanceNode* na = first->m_Instances.m_pFirst; na != nullptr; na = na->m_pNext) {
            CInstance* a = na->m_pInstance;
            if (a == nullptr || !TakesPart(a, limit)) continue;
            for (SInstanceNode* nb = second->m_Instances.m_pFirst; nb != nullptr; nb = nb->m_pNext) {
                CInstance* b = nb->m_pInstance;
                if (b == nullptr || !TakesPart(b, limit)) continue;
                if (a->Collision_Instance(b, true)) RaisePair(a, b);
            }
        }
    }
}

} // namespace

void CollisionMarkTest(CInstance* instance) {
    if (option_use_fast_collision && instance != nullptr) TestPushFront(instance);
}

void CollisionUnmarkTest(CInstance* instance) {
    TestUnlink(instance);
}

void CollisionClearTestList() {
    while (s_testFirst != nullptr) TestUnlink(s_testFirst);
}

void processCollision(SCollision* pair) {
    CInstance* a = pair->m_pTested;
    CInstance* b = pair->m_pFound;
    if (!a->Collision_Instance(b, true) || a->i_deactivated || b->i_deactivated) return;
    // The partner is tested from its side next step, so a pair that stays
    // overlapping keeps raising its events.
    CollisionMarkTest(b);
    RaisePair(a, b);
}

void HandleCollision() {
    if (option_use_fast_collision)
        FastPass();
    else
        ClassicPass();
}

int32_t CollisionPass_TestNumber() {
    return s_collisionTestNumber;
}

int32_t CollisionPass_GatheredCount() {
    return s_usedCollisions;
}

int32_t CollisionPass_Capacity() {
    return s_collisionsLen;
}

void CollisionPass_Reset() {
    CollisionClearTestList();
    ZQ_Free(s_collisions);
    s_collisions = nullptr;
    s_usedCollisions = s_collisionsLen = 0;
    s_collisionTestNumber = 0;
}
