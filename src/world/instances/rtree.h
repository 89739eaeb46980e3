// The instance spatial index: a two-dimensional R-tree over integer boxes with
// Guttman's quadratic split, nodes carved from pooled blocks, removal with
// re-insertion of eliminated nodes, and the rectangle and line searches.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/memory_manager.h"

// DATATYPE is stored in leaves, ELEMTYPE are the coordinates, ELEMTYPEREAL the
// type areas are computed in, TMAXNODES / TMINNODES the node capacity and the
// minimum fill of a split. Edges are inclusive: boxes touching along an edge
// or a corner overlap. The tree never becomes rootless; an empty tree is a
// leaf root with no branches.
template <class DATATYPE, class ELEMTYPE, class ELEMTYPEREAL, int TMAXNODES, int TMINNODES>
class RTree {
public:
    struct Node;

    struct Rect {
        ELEMTYPE m_min[2]; // x, y
        ELEMTYPE m_max[2];
    };

    struct Branch {
        Rect m_rect;
        Node* m_child;
        DATATYPE m_data;
    };

    struct Node {
        int32_t m_count;
        int32_t m_level; // 0 for a leaf
        Branch m_branch[TMAXNODES];
        bool IsLeaf() const { return m_level == 0; }
    };

    // One node waiting to have its branches filed again after a removal.
    struct ListNode {
        ListNode* m_next;
        Node* m_node;
    };

    // The scratch record of one split: the full node's branches plus the new
    // one, their group marks (-1 not yet taken) and each group's cover.
    struct PartitionVars {
        int m_partition[TMAXNODES + 1];
        int m_total;
        int m_minFill;
        int m_count[2];
        Rect m_cover[2];
        ELEMTYPEREAL m_area[2];
        Branch m_branchBuf[TMAXNODES + 1];
        int m_branchCount;
        Rect m_coverSplit;
        ELEMTYPEREAL m_coverSplitArea;
    };

    // Nodes come from zero-filled blocks of a fixed count; returned nodes are
    // threaded through their first word into a free list, reused last-in
    // first-out. Blocks live as long as the tree.
    struct NodePool {
        int m_nodesPerBlock;
        Node** m_blocks;
        int m_blockCount;
        int m_usedInLast;
        void* m_free;
    };

    explicit RTree(int nodesPerBlock) {
        m_pool = static_cast<NodePool*>(ZQ_Alloc(sizeof(NodePool)));
        m_pool->m_nodesPerBlock = nodesPerBlock > 0 ? nodesPerBlock : 1;
        m_pool->m_blocks = nullptr;
        m_pool->m_blockCount = 0;
        m_pool->m_usedInLast = 0;
        m_pool->m_free = nullptr;
        NewBlock();
        m_root = AllocNode();
        m_root->m_level = 0;
    }

    virtual ~RTree() {
        for (int i = 0; i < m_pool->m_blockCount; ++i) ZQ_Free(m_pool->m_blocks[i]);
        ZQ_Free(m_pool->m_blocks);
        ZQ_Free(m_pool);
    }

    RTree(const RTree&) = delete;
    RTree& operator=(const RTree&) = delete;

    // Files `data` under the box min..max (points x, y) at leaf level.
    void Insert(const ELEMTYPE* min, const ELEMTYPE* max, const DATATYPE& data) {
        Branch branch;
        branch.m_rect = Rect{{min[0], min[1]}, {max[0], max[1]}};
        branch.m_child = nullptr;
        branch.m_data = data;
        InsertRect(branch, &m_root, 0);
    }

    // Removes the leaf entry holding `data`. The box only steers the descent;
    // with `searchAll` a miss is retried over the whole tree, for an entry
    // filed under a box older than the caller's.
    void Remove(const ELEMTYPE* min, const ELEMTYPE* max, const DATATYPE& data, bool searchAll) {
        Rect rect{{min[0], min[1]}, {max[0], max[1]}};
        if (RemoveRect(&rect, data, &m_root) && searchAll) {
            Rect all = NodeCover(m_root);
            RemoveRect(&all, data, &m_root);
        }
    }

    // Inserts a branch into a node of `level`; true when the root split and
    // was replaced by a new root one level higher.
    bool InsertRect(const Branch& branch, Node** root, int level) {
        Node* newNode = nullptr;
        if (!InsertRectRec(branch, *root, &newNode, level)) return false;
        Node* newRoot = AllocNode();
        newRoot->m_level = (*root)->m_level + 1;
        Branch b;
        b.m_rect = NodeCover(*root);
        b.m_child = *root;
        b.m_data = DATATYPE();
        AddBranch(&b, newRoot, nullptr);
        b.m_rect = NodeCover(newNode);
        b.m_child = newNode;
        AddBranch(&b, newRoot, nullptr);
        *root = newRoot;
        return true;
    }

    bool InsertRectRec(const Branch& branch, Node* node, Node** newNode, int level) {
        if (node->m_level == level) return AddBranch(&branch, node, newNode);
        if (node->m_level < level) return false;
        const int index = PickBranch(&branch.m_rect, node);
        Node* otherNode = nullptr;
        if (!InsertRectRec(branch, node->m_branch[index].m_child, &otherNode, level)) {
            node->m_branch[index].m_rect = CombineRect(&branch.m_rect, &node->m_branch[index].m_rect);
            return false;
        }
        node->m_branch[index].m_rect = NodeCover(node->m_branch[index].m_child);
        Branch b;
        b.m_rect = NodeCover(otherNode);
        b.m_child = otherNode;
        b.m_data = DATATYPE();
        return AddBranch(&b, node, newNode);
    }

    // Adds a branch to a node; when the node is full splits it and returns
    // true with the second half in *newNode (null only where no split can
    // happen).
    bool AddBranch(const Branch* branch, Node* node, Node** newNode) {
        if (node->m_count < TMAXNODES) {
            node->m_branch[node->m_count++] = *branch;
            return false;
        }
        SplitNode(node, branch, newNode);
        return true;
    }

    Node* AllocNode() {
        Node* node;
        if (m_pool->m_free != nullptr) {
            node = static_cast<Node*>(m_pool->m_free);
            std::memcpy(&m_pool->m_free, static_cast<void*>(node), sizeof(void*));
        } else {
            if (m_pool->m_usedInLast == m_pool->m_nodesPerBlock) NewBlock();
            node = &m_pool->m_blocks[m_pool->m_blockCount - 1][m_pool->m_usedInLast++];
        }
        node->m_count = 0;
        node->m_level = -1;
        return node;
    }

    void FreeNode(Node* node) {
        std::memcpy(static_cast<void*>(node), &m_pool->m_free, sizeof(void*));
        m_pool->m_free = node;
    }

    // True when nothing was found (tree unchanged), false when removed.
    bool RemoveRect(Rect* rect, const DATATYPE& data, Node** root) {
        ListNode* reinsert = nullptr;
        if (RemoveRectRec(rect, data, *root, &reinsert)) return true;
        while (reinsert != nullptr) {
            Node* eliminated = reinsert->m_node;
            for (int i = 0; i < eliminated->m_count; ++i)
                InsertRect(eliminated->m_branch[i], root, eliminated->m_level);
            ListNode* next = reinsert->m_next;
            FreeNode(eliminated);
            delete reinsert;
            reinsert = next;
        }
        if ((*root)->m_count == 1 && !(*root)->IsLeaf()) {
            Node* child = (*root)->m_branch[0].m_child;
            FreeNode(*root);
            *root = child;
        }
        return false;
    }

    bool RemoveRectRec(Rect* rect, const DATATYPE& data, Node* node, ListNode** reinsertList) {
        if (node->IsLeaf()) {
            for (int i = 0; i < node->m_count; ++i) {
                if (node->m_branch[i].m_data == data) {
                    DisconnectBranch(node, i);
                    return false;
                }
            }
            return true;
        }
        for (int i = 0; i < node->m_count; ++i) {
            if (!Overlap(rect, &node->m_branch[i].m_rect)) continue;
            Node* child = node->m_branch[i].m_child;
            if (RemoveRectRec(rect, data, child, reinsertList)) continue;
            if (child->m_count >= TMINNODES) {
                node->m_branch[i].m_rect = NodeCover(child);
            } else {
                *reinsertList = new ListNode{*reinsertList, child};
                DisconnectBranch(node, i);
            }
            return false;
        }
        return true;
    }

    void ChoosePartition(PartitionVars* vars, int minFill) {
        InitParVars(vars, vars->m_branchCount, minFill);
        PickSeeds(vars);
        while (vars->m_count[0] + vars->m_count[1] < vars->m_total &&
               vars->m_count[0] < vars->m_total - vars->m_minFill &&
               vars->m_count[1] < vars->m_total - vars->m_minFill) {
            ELEMTYPEREAL biggest = -1;
            int chosen = 0;
            int betterGroup = 0;
            for (int i = 0; i < vars->m_total; ++i) {
                if (vars->m_partition[i] != -1) continue;
                const Rect* r = &vars->m_branchBuf[i].m_rect;
                Rect r0 = CombineRect(r, &vars->m_cover[0]);
                Rect r1 = CombineRect(r, &vars->m_cover[1]);
                ELEMTYPEREAL growth0 = CalcRectVolume(&r0) - vars->m_area[0];
                ELEMTYPEREAL growth1 = CalcRectVolume(&r1) - vars->m_area[1];
                ELEMTYPEREAL diff = growth1 - growth0;
                int group;
                if (diff >= 0) {
                    group = 0;
                } else {
                    group = 1;
                    diff = -diff;
                }
                if (diff > biggest) {
                    biggest = diff;
                    chosen = i;
                    betterGroup = group;
                } else if (diff == biggest && vars->m_count[group] < vars->m_count[betterGroup]) {
                    chosen = i;
                    betterGroup = group;
                }
            }
            Classify(chosen, betterGroup, vars);
        }
        if (vars->m_count[0] + vars->m_count[1] < vars->m_total) {
            const int group = vars->m_count[0] >= vars->m_total - vars->m_minFill ? 1 : 0;
            for (int i = 0; i < vars->m_total; ++i)
                if (vars->m_partition[i] == -1) Classify(i, group, vars);
        }
    }

    void PickSeeds(PartitionVars* vars) {
        ELEMTYPEREAL area[TMAXNODES + 1];
        for (int i = 0; i < vars->m_total; ++i) area[i] = CalcRectVolume(&vars->m_branchBuf[i].m_rect);
        ELEMTYPEREAL worst = -vars->m_coverSplitArea - 1;
        int seed0 = 0;
        int seed1 = 1;
        bool taken = false;
        for (int a = 0; a < vars->m_total - 1; ++a) {
            for (int b = a + 1; b < vars->m_total; ++b) {
                Rect one = CombineRect(&vars->m_branchBuf[a].m_rect, &vars->m_branchBuf[b].m_rect);
                ELEMTYPEREAL waste = CalcRectVolume(&one) - area[a] - area[b];
                if (waste > worst || (waste == worst && !taken)) {
                    worst = waste;
                    seed0 = a;
                    seed1 = b;
                    taken = true;
                }
            }
        }
        Classify(seed0, 0, vars);
        Classify(seed1, 1, vars);
    }

    // Calls callback(data, context) for every leaf entry whose box overlaps
    // `rect`, depth first in branch order, counting them in *found; false as
    // soon as a callback asks to stop.
    // A search callback: true to go on, false to stop the whole search.
    using Callback = bool (*)(DATATYPE data, void* context);

    static bool Search(Node* node, const Rect* rect, int* found, Callback callback, void* context) {
        if (!node->IsLeaf()) {
            for (int i = 0; i < node->m_count; ++i)
                if (Overlap(rect, &node->m_branch[i].m_rect) &&
                    !Search(node->m_branch[i].m_child, rect, found, callback, context))
                    return false;
            return true;
        }
        for (int i = 0; i < node->m_count; ++i) {
            if (!Overlap(rect, &node->m_branch[i].m_rect)) continue;
            ++*found;
            if (callback != nullptr && !callback(node->m_branch[i].m_data, context)) return false;
        }
        return true;
    }

    // A line for SearchLine: the end point with the smaller x and the extent
    // to the other end; dx is never negative.
    struct Line {
        float x0, y0, dx, dy;
    };

    // True when the line crosses the box: both coarse spans overlap, and the
    // segment clipped to the box's columns reaches the box's rows.
    static bool LineCrosses(const Line* line, const Rect* r) {
        const float minx = static_cast<float>(r->m_min[0]);
        const float miny = static_cast<float>(r->m_min[1]);
        const float maxx = static_cast<float>(r->m_max[0]);
        const float maxy = static_cast<float>(r->m_max[1]);
        const float x0 = line->x0, y0 = line->y0, dx = line->dx, dy = line->dy;
        const float x1 = x0 + dx;
        const float y1 = y0 + dy;
        if (!(x0 < maxx + 1 && minx <= x1)) return false;
        const float ylo = y0 < y1 ? y0 : y1;
        const float yhi = y0 < y1 ? y1 : y0;
        if (!(ylo < maxy + 1 && miny <= yhi)) return false;
        const float ya = x0 >= minx ? y0 : y0 + (minx - x0) * dy / dx;
        const float xa = x0 > minx ? x0 : minx;
        const float yb = maxx >= x1 ? y1 : y1 + (y1 - ya) * (maxx - x1) / (x1 - xa);
        return (miny <= ya || miny <= yb) && (ya < maxy + 1 || yb < maxy + 1);
    }

    static bool SearchLine(Node* node, const Line* line, int* found, Callback callback, void* context) {
        if (!node->IsLeaf()) {
            for (int i = 0; i < node->m_count; ++i)
                if (LineCrosses(line, &node->m_branch[i].m_rect) &&
                    !SearchLine(node->m_branch[i].m_child, line, found, callback, context))
                    return false;
            return true;
        }
        for (int i = 0; i < node->m_count; ++i) {
            if (!LineCrosses(line, &node->m_branch[i].m_rect)) continue;
            ++*found;
            if (callback != nullptr && !callback(node->m_branch[i].m_data, context)) return false;
        }
        return true;
    }

    static bool Overlap(const Rect* a, const Rect* b) {
        for (int i = 0; i < 2; ++i)
            if (a->m_min[i] > b->m_max[i] || b->m_min[i] > a->m_max[i]) return false;
        return true;
    }

    static ELEMTYPEREAL CalcRectVolume(const Rect* r) {
        return (static_cast<ELEMTYPEREAL>(r->m_max[1]) - static_cast<ELEMTYPEREAL>(r->m_min[1])) *
               (static_cast<ELEMTYPEREAL>(r->m_max[0]) - static_cast<ELEMTYPEREAL>(r->m_min[0]));
    }

    static Rect CombineRect(const Rect* a, const Rect* b) {
        Rect r;
        for (int i = 0; i < 2; ++i) {
            r.m_min[i] = a->m_min[i] < b->m_min[i] ? a->m_min[i] : b->m_min[i];
            r.m_max[i] = a->m_max[i] > b->m_max[i] ? a->m_max[i] : b->m_max[i];
        }
        return r;
    }

    // The combination of a node's in-use branch boxes, from branch 0.
    static Rect NodeCover(const Node* node) {
        Rect r = node->m_branch[0].m_rect;
        for (int i = 1; i < node->m_count; ++i) r = CombineRect(&r, &node->m_branch[i].m_rect);
        return r;
    }

    Node* m_root;
    NodePool* m_pool;

private:
    void NewBlock() {
        Node* block =
            static_cast<Node*>(ZQ_Alloc(sizeof(Node) * static_cast<size_t>(m_pool->m_nodesPerBlock)));
        m_pool->m_blocks = static_cast<Node**>(
            ZQ_ReAlloc(m_pool->m_blocks, sizeof(Node*) * static_cast<size_t>(m_pool->m_blockCount + 1)));
        m_pool->m_blocks[m_pool->m_blockCount++] = block;
        m_pool->m_usedInLast = 0;
    }

    // The branch whose box grows least to take `rect`; equal growth goes to
    // the smaller box, and full ties to the lowest index.
    static int PickBranch(const Rect* rect, const Node* node) {
        int best = 0;
        ELEMTYPEREAL bestIncrease = 0;
        ELEMTYPEREAL bestArea = 0;
        for (int i = 0; i < node->m_count; ++i) {
            const Rect* cur = &node->m_branch[i].m_rect;
            ELEMTYPEREAL area = CalcRectVolume(cur);
            Rect combined = CombineRect(rect, cur);
            ELEMTYPEREAL increase = CalcRectVolume(&combined) - area;
            if (i == 0 || increase < bestIncrease || (increase == bestIncrease && area < bestArea)) {
                best = i;
                bestIncrease = increase;
                bestArea = area;
            }
        }
        return best;
    }

    void SplitNode(Node* node, const Branch* branch, Node** newNode) {
        PartitionVars vars;
        for (int i = 0; i < TMAXNODES; ++i) vars.m_branchBuf[i] = node->m_branch[i];
        vars.m_branchBuf[TMAXNODES] = *branch;
        vars.m_branchCount = TMAXNODES + 1;
        vars.m_coverSplit = vars.m_branchBuf[0].m_rect;
        for (int i = 1; i < TMAXNODES + 1; ++i)
            vars.m_coverSplit = CombineRect(&vars.m_coverSplit, &vars.m_branchBuf[i].m_rect);
        vars.m_coverSplitArea = CalcRectVolume(&vars.m_coverSplit);
        ChoosePartition(&vars, TMINNODES);
        Node* second = AllocNode();
        second->m_level = node->m_level;
        node->m_count = 0;
        for (int i = 0; i < vars.m_total; ++i)
            AddBranch(&vars.m_branchBuf[i], vars.m_partition[i] == 0 ? node : second, nullptr);
        *newNode = second;
    }

    void InitParVars(PartitionVars* vars, int total, int minFill) {
        vars->m_total = total;
        vars->m_minFill = minFill;
        vars->m_count[0] = vars->m_count[1] = 0;
        vars->m_area[0] = vars->m_area[1] = 0;
        for (int i = 0; i < TMAXNODES + 1; ++i) vars->m_partition[i] = -1;
    }

    static void Classify(int index, int group, PartitionVars* vars) {
        vars->m_partition[index] = group;
        const Rect* r = &vars->m_branchBuf[index].m_rect;
        vars->m_cover[group] = vars->m_count[group] == 0 ? *r : CombineRect(r, &vars->m_cover[group]);
        vars->m_area[group] = CalcRectVolume(&vars->m_cover[group]);
        ++vars->m_count[group];
    }

    // The last in-use branch takes the removed one's slot.
    static void DisconnectBranch(Node* node, int index) {
        node->m_branch[index] = node->m_branch[node->m_count - 1];
        --node->m_count;
    }
};
