// The room's instance tree: the R-tree instantiation that files every live
// instance under its bounding box while fast collision is on, and the
// bookkeeping that keeps it current as instances move and go.
#pragma once

#include "world/instances/rtree.h"
#include "world/instances/sprite_services.h"

class CInstance;

using CInstanceTree = RTree<CInstance*, int, float, 6, 2>;

// Nodes per pool block of the instance tree.
inline constexpr int INSTANCE_TREE_BLOCK = 1024;

// The tree, made on the first filing under fast collision; null before.
extern CInstanceTree* g_tree;

// The tree box of an instance box: corners put in order.
CInstanceTree::Rect InstanceTreeRect(const SBoundingBox& box);

// Files the instance afresh (creating the tree when needed) and queues it.
void CollisionInsert(CInstance* instance);
// Moves the instance's entry from `previous` to its current box. Marked and
// deactivated instances are not filed again.
void CollisionUpdate(CInstance* instance, const SBoundingBox& previous);
// Takes the instance out of the tree and the re-filing queue.
void CollisionRemove(CInstance* instance);
// Always false: no instance waits for a deferred removal from the tree.
inline bool CollisionIsRemoved(CInstance* /*instance*/) {
    return false;
}
// Re-files every queued instance that is neither marked nor deactivated and
// empties the queue. Every tree query calls it first.
void UpdateTree();
// Files the running room's live active instances in a new tree; the caller
// has discarded the old one.
void RebuildTree();
// Deletes the tree (null afterwards); filed instances are not told.
void DiscardTree();
// Deletes the tree and empties the queues (end of a run, tests).
void FINALIZE_InstanceTree();
