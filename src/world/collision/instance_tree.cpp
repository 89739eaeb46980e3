// The instance tree's bookkeeping: the queue of instances whose boxes changed
// (an intrusive doubly linked list through the instances, newest first) and
// the filing, re-filing and removal of instances in `g_tree`.
#include "world/instances/instance_tree.h"

#include <algorithm>

#include "room/room.h"
#include "world/collision/collision_pass.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"

CInstanceTree* g_tree = nullptr;

namespace {

CInstance* s_dirtyFirst = nullptr;

void DirtyUnlink(CInstance* instance) {
    if (!instance->m_treeDirtyQueued) return;
    if (instance->m_pTreeDirtyPrev != nullptr)
        instance->m_pTreeDirtyPrev->m_pTreeDirtyNext = instance->m_pTreeDirtyNext;
    else
        s_dirtyFirst = instance->m_pTreeDirtyNext;
    if (instance->m_pTreeDirtyNext != nullptr)
        instance->m_pTreeDirtyNext->m_pTreeDirtyPrev = instance->m_pTreeDirtyPrev;
    instance->m_pTreeDirtyNext = instance->m_pTreeDirtyPrev = nullptr;
    instance->m_treeDirtyQueued = false;
}

// Queued instances go to the head, so the newest change is re-filed first.
void DirtyPushFront(CInstance* instance) {
    DirtyUnlink(instance);
    instance->m_pTreeDirtyNext = s_dirtyFirst;
    if (s_dirtyFirst != nullptr) s_dirtyFirst->m_pTreeDirtyPrev = instance;
    s_dirtyFirst = instance;
    instance->m_treeDirtyQueued = true;
}

CInstanceTree* Tree() {
    if (g_tree == nullptr) g_tree = new CInstanceTree(INSTANCE_TREE_BLOCK);
    return g_tree;
}

} // namespace

CInstanceTree::Rect InstanceTreeRect(const SBoundingBox& box) {
    CInstanceTree::Rect r;
    r.m_min[0] = std::min(box.left, box.right);
    r.m_max[0] = std::max(box.left, box.right);
    r.m_min[1] = std::min(box.top, box.bottom);
    r.m_max[1] = std::max(box.top, box.bottom);
    return r;
}

// A changed box also means the instance must be tested in the next
// collision pass.
void CInstance::CollisionMarkDirty() {
    m_bboxDirty = true;
    if (!option_use_fast_collision) return;
    DirtyPushFront(this);
    CollisionMarkTest(this);
}

void CollisionInsert(CInstance* instance) {
    if (!option_use_fast_collision) return;
    Tree();
    instance->Compute_BoundingBox(true);
    CollisionMarkTest(instance);
}

// An instance never filed skips the removal: a removal that misses searches
// the whole tree, which would make filing n new instances cost O(n^2).
void CollisionUpdate(CInstance* instance, const SBoundingBox& previous) {
    if (!option_use_fast_collision || instance->i_marked || instance->i_deactivated) return;
    CInstanceTree* tree = Tree();
    if (instance->m_inTree) {
        const CInstanceTree::Rect old = InstanceTreeRect(previous);
        tree->Remove(old.m_min, old.m_max, instance, true);
    }
    const CInstanceTree::Rect now = InstanceTreeRect(instance->i_bbox);
    tree->Insert(now.m_min, now.m_max, instance);
    instance->m_inTree = true;
}

void CollisionRemove(CInstance* instance) {
    if (g_tree != nullptr && instance->m_inTree) {
        const CInstanceTree::Rect r = InstanceTreeRect(instance->i_bbox);
        g_tree->Remove(r.m_min, r.m_max, instance, true);
    }
    instance->m_inTree = false;
    DirtyUnlink(instance);
    CollisionUnmarkTest(instance);
}

// After many removals a fresh tree filled from the room's active list beats
// removing entries one by one. The caller has deleted the old tree (so the
// removals of the deleted instances skipped it).
void RebuildTree() {
    delete g_tree;
    g_tree = new CInstanceTree(INSTANCE_TREE_BLOCK);
    if (Run_Room == nullptr) return;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        i->m_inTree = false;
        if (i->i_marked || i->i_deactivated) continue;
        if (i->m_bboxDirty) {
            i->Compute_BoundingBox(true);
            continue;
        }
        const CInstanceTree::Rect r = InstanceTreeRect(i->i_bbox);
        g_tree->Insert(r.m_min, r.m_max, i);
        i->m_inTree = true;
    }
}

void DiscardTree() {
    delete g_tree;
    g_tree = nullptr;
}

void UpdateTree() {
    if (!option_use_fast_collision) return;
    while (s_dirtyFirst != nullptr) {
        CInstance* instance = s_dirtyFirst;
        DirtyUnlink(instance);
        if (!instance->i_marked && !instance->i_deactivated) instance->Compute_BoundingBox(true);
    }
}

void FINALIZE_InstanceTree() {
    while (s_dirtyFirst != nullptr) DirtyUnlink(s_dirtyFirst);
    CollisionClearTestList();
    DiscardTree();
}
