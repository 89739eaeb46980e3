// The R-tree on its own: splitting with its tie rules, removal with
// re-insertion and root collapse, the whole-tree retry, inclusive overlap and
// the line crossing test.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "world/instances/rtree.h"

namespace {

using Tree = RTree<int*, int, float, 6, 2>;

int g_items[64];

void Insert(Tree& t, int item, int x0, int y0, int x1, int y1) {
    const int mn[2] = {x0, y0};
    const int mx[2] = {x1, y1};
    t.Insert(mn, mx, &g_items[item]);
}

bool Collect(int* data, void* context) {
    static_cast<std::vector<int>*>(context)->push_back(static_cast<int>(data - g_items));
    return true;
}

std::vector<int> Query(Tree& t, int x0, int y0, int x1, int y1) {
    Tree::Rect r{{x0, y0}, {x1, y1}};
    std::vector<int> out;
    int found = 0;
    Tree::Search(t.m_root, &r, &found, Collect, &out);
    EXPECT_EQ(found, static_cast<int>(out.size()));
    std::sort(out.begin(), out.end());
    return out;
}

int CountLeaves(const Tree::Node* node) {
    if (node->IsLeaf()) return node->m_count;
    int n = 0;
    for (int i = 0; i < node->m_count; ++i) n += CountLeaves(node->m_branch[i].m_child);
    return n;
}

// Every inner branch's box covers its child exactly, and non-root nodes hold
// at least the minimum fill.
void CheckInvariants(const Tree::Node* node, bool root) {
    if (!root) {
        EXPECT_GE(node->m_count, 2);
    }
    EXPECT_LE(node->m_count, 6);
    if (node->IsLeaf()) return;
    for (int i = 0; i < node->m_count; ++i) {
        const Tree::Node* child = node->m_branch[i].m_child;
        EXPECT_EQ(child->m_level, node->m_level - 1);
        const Tree::Rect cover = Tree::NodeCover(child);
        const Tree::Rect& r = node->m_branch[i].m_rect;
        EXPECT_TRUE(r.m_min[0] <= cover.m_min[0] && r.m_min[1] <= cover.m_min[1] &&
                    r.m_max[0] >= cover.m_max[0] && r.m_max[1] >= cover.m_max[1]);
        CheckInvariants(child, false);
    }
}

} // namespace

TEST(RTree, SeventhInsertSplitsTheRootLeaf) {
    Tree t(1024);
    EXPECT_EQ(t.m_root->m_level, 0);
    EXPECT_EQ(t.m_root->m_count, 0);
    for (int i = 0; i < 6; ++i) Insert(t, i, i * 10, 0, i * 10 + 5, 5);
    EXPECT_EQ(t.m_root->m_level, 0);
    EXPECT_EQ(t.m_root->m_count, 6);
    Insert(t, 6, 60, 0, 65, 5);
    ASSERT_EQ(t.m_root->m_level, 1);
    ASSERT_EQ(t.m_root->m_count, 2);
    EXPECT_GE(t.m_root->m_branch[0].m_child->m_count, 2);
    EXPECT_GE(t.m_root->m_branch[1].m_child->m_count, 2);
    EXPECT_EQ(CountLeaves(t.m_root), 7);
    CheckInvariants(t.m_root, true);
}

TEST(RTree, IdenticalBoxesSplitFiveAndTwo) {
    Tree t(1024);
    for (int i = 0; i < 7; ++i) Insert(t, i, 10, 10, 20, 20);
    ASSERT_EQ(t.m_root->m_level, 1);
    const Tree::Node* a = t.m_root->m_branch[0].m_child;
    const Tree::Node* b = t.m_root->m_branch[1].m_child;
    ASSERT_EQ(a->m_count, 5);
    ASSERT_EQ(b->m_count, 2);
    // Seeds 0 and 1; entries 2..4 join group 0 on ties, then 5 and 6 go to group 1.
    EXPECT_EQ(a->m_branch[0].m_data, &g_items[0]);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(a->m_branch[i].m_data, &g_items[i + 1]);
    EXPECT_EQ(b->m_branch[0].m_data, &g_items[1]);
    EXPECT_EQ(b->m_branch[1].m_data, &g_items[6]);
}

TEST(RTree, TouchingBoxesOverlap) {
    Tree t(1024);
    Insert(t, 0, 0, 0, 10, 10);
    EXPECT_EQ(Query(t, 10, 10, 20, 20), std::vector<int>{0}) << "corner";
    EXPECT_EQ(Query(t, 10, 0, 20, 5), std::vector<int>{0}) << "edge";
    EXPECT_TRUE(Query(t, 11, 0, 20, 5).empty());
}

TEST(RTree, RemovalCollapsesAndEmpties) {
    Tree t(1024);
    for (int i = 0; i < 7; ++i) Insert(t, i, i * 10, 0, i * 10 + 5, 5);
    ASSERT_EQ(t.m_root->m_level, 1);
    // Remove until one leaf would hold a single entry: it is eliminated, its
    // entry re-filed, and the root left with one child collapses.
    for (int i = 0; i < 6; ++i) {
        const int mn[2] = {i * 10, 0};
        const int mx[2] = {i * 10 + 5, 5};
        t.Remove(mn, mx, &g_items[i], false);
        EXPECT_EQ(CountLeaves(t.m_root), 6 - i);
        CheckInvariants(t.m_root, true);
    }
    EXPECT_EQ(t.m_root->m_level, 0);
    EXPECT_EQ(Query(t, -100, -100, 100, 100), std::vector<int>{6});
    const int mn[2] = {60, 0};
    const int mx[2] = {65, 5};
    t.Remove(mn, mx, &g_items[6], false);
    EXPECT_EQ(t.m_root->m_count, 0);
    EXPECT_EQ(t.m_root->m_level, 0);
}

TEST(RTree, StaleBoxNeedsTheWholeTreeRetry) {
    Tree t(1024);
    for (int i = 0; i < 20; ++i) Insert(t, i, i * 10, 0, i * 10 + 5, 5);
    const int mn[2] = {1000, 1000};
    const int mx[2] = {1001, 1001};
    t.Remove(mn, mx, &g_items[3], false);
    EXPECT_EQ(CountLeaves(t.m_root), 20) << "without search-all the entry stays";
    t.Remove(mn, mx, &g_items[3], true);
    EXPECT_EQ(CountLeaves(t.m_root), 19);
    EXPECT_TRUE(Query(t, 30, 0, 35, 5).empty());
    // Not in the tree: nothing changes.
    t.Remove(mn, mx, &g_items[3], true);
    EXPECT_EQ(CountLeaves(t.m_root), 19);
}

// A random mix of inserts and removals against a brute-force list, with small
// pool blocks so that blocks and the free list are exercised.
TEST(RTree, RandomScenesAnswerAsABruteForceList) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> pos(0, 500), size(0, 40);
    Tree t(3);
    struct Entry {
        int x0, y0, x1, y1;
        bool in;
    } e[64] = {};
    for (int round = 0; round < 3000; ++round) {
        const int i = static_cast<int>(rng() % 64);
        if (e[i].in) {
            const int mn[2] = {e[i].x0, e[i].y0};
            const int mx[2] = {e[i].x1, e[i].y1};
            t.Remove(mn, mx, &g_items[i], false);
            e[i].in = false;
        } else {
            e[i].x0 = pos(rng);
            e[i].y0 = pos(rng);
            e[i].x1 = e[i].x0 + size(rng);
            e[i].y1 = e[i].y0 + size(rng);
            Insert(t, i, e[i].x0, e[i].y0, e[i].x1, e[i].y1);
            e[i].in = true;
        }
        if (round % 50 == 0) CheckInvariants(t.m_root, true);
        const int qx = pos(rng), qy = pos(rng), qw = size(rng) * 2, qh = size(rng) * 2;
        std::vector<int> expect;
        for (int k = 0; k < 64; ++k)
            if (e[k].in && !(qx > e[k].x1 || e[k].x0 > qx + qw || qy > e[k].y1 || e[k].y0 > qy + qh))
                expect.push_back(k);
        ASSERT_EQ(Query(t, qx, qy, qx + qw, qy + qh), expect) << "round " << round;
    }
}

TEST(RTree, SearchStopsWhenTheCallbackSaysSo) {
    Tree t(1024);
    for (int i = 0; i < 30; ++i) Insert(t, i, 0, 0, 10, 10);
    Tree::Rect r{{0, 0}, {1, 1}};
    int found = 0;
    const bool whole = Tree::Search(
        t.m_root, &r, &found, [](int*, void*) { return false; }, nullptr);
    EXPECT_FALSE(whole);
    EXPECT_EQ(found, 1);
    found = 0;
    EXPECT_TRUE(Tree::Search(t.m_root, &r, &found, nullptr, nullptr));
    EXPECT_EQ(found, 30);
}

TEST(RTree, LineCrossing) {
    struct Case {
        Tree::Line line;
        Tree::Rect rect;
        bool crosses;
    } cases[] = {
        {{0, 0, 100, 100}, {{40, 40}, {60, 60}}, true},  // diagonal through the middle
        {{0, 0, 100, 100}, {{60, 0}, {80, 20}}, false},  // below the diagonal
        {{0, 50, 100, 0}, {{10, 50}, {20, 50}}, true},   // horizontal along a one-row box
        {{0, 50, 100, 0}, {{10, 52}, {20, 60}}, false},  // above it
        {{10, 40, 40, -30}, {{25, 20}, {30, 30}}, true}, // falling line
        {{10, 40, 40, -30}, {{45, 30}, {60, 40}}, false},
        {{5, 0, 0, 100}, {{5, 10}, {5, 10}}, true}, // vertical line through a one-pixel box
        {{0, 0, 4, 0}, {{5, 0}, {8, 0}}, false},    // ends before the box
    };
    for (const Case& c : cases)
        EXPECT_EQ(Tree::LineCrosses(&c.line, &c.rect), c.crosses)
            << c.line.x0 << "," << c.line.y0 << " +" << c.line.dx << "," << c.line.dy;
}
