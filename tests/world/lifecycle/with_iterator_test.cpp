// "with" iteration: visiting order, targets, the deferred lists and the
// restoring of self and other.
#include <gtest/gtest.h>

#include <vector>

#include "instance_fixture.h"
#include "world/lifecycle/with_iterator.h"

namespace {

class WithIteration : public InstanceScene {
protected:
    // Objects 0 (parent) and 1 (its child), 2 alone; instances A (0), B (1),
    // C (0), D (2) in the room in that order.
    void SetUp() override {
        InstanceScene::SetUp();
        MakeObjects(3);
        Object_Data(1)->m_parentIndex = 0;
        Object_ResolveParents();
        A = m_room->AddInstance(0, 0, 0);
        B = m_room->AddInstance(0, 0, 1);
        C = m_room->AddInstance(0, 0, 0);
        D = m_room->AddInstance(0, 0, 2);
    }
    void TearDown() override {
        g_InstanceChangeArray.Clear();
        g_InstanceActivateDeactive.Clear();
        FINALIZE_With_Iterator();
        InstanceScene::TearDown();
    }

    // Runs a "with" over the target as compiled code does; returns the
    // instances visited as self (and checks other and the restoring).
    std::vector<CInstance*> Visit(int target, int* result = nullptr) {
        ZQObjectBase* self = &m_self;
        ZQObjectBase* other = &m_other;
        SWithIterator it;
        std::vector<CInstance*> seen;
        const int n = ZQVTL_NewWithIterator(&it, &self, &other, target);
        if (result != nullptr) *result = n;
        if (n > 0) {
            do {
                seen.push_back(static_cast<CInstance*>(self));
                if (target != -2) {
                    EXPECT_EQ(other, &m_self);
                }
            } while (ZQVTL_WithIteratorNext(&it, &self, &other));
        }
        ZQVTL_DeleteWithIterator(&it, &self, &other);
        EXPECT_EQ(self, &m_self);
        EXPECT_EQ(other, &m_other);
        return seen;
    }

    CInstance m_self{0, 0, 1, -1, false};
    CInstance m_other{0, 0, 2, -1, false};
    CInstance *A = nullptr, *B = nullptr, *C = nullptr, *D = nullptr;
};

using List = std::vector<CInstance*>;

TEST_F(WithIteration, AllVisitsTheLastInstanceFirst) {
    EXPECT_EQ(Visit(-3), (List{D, C, B, A}));
    B->i_marked = true;
    C->i_deactivated = true;
    int n = 0;
    EXPECT_EQ(Visit(-3, &n), (List{D, A}));
    EXPECT_EQ(n, 2);
}

TEST_F(WithIteration, ObjectTargetIncludesDescendants) {
    EXPECT_EQ(Visit(0), (List{C, B, A}));
    EXPECT_EQ(Visit(1), (List{B}));
    int n = -9;
    EXPECT_TRUE(Visit(9, &n).empty()) << "unknown object";
    EXPECT_EQ(n, 0);
}

TEST_F(WithIteration, ObjectTargetAddsTheDeferredListsOnce) {
    // D changes to object 0: still in object 2's lists, found through the
    // change list by its own index; A waits in both deferred lists too.
    D->ChangeObjectIndex(0);
    g_InstanceActivateDeactive.Append(A);
    EXPECT_EQ(Visit(0), (List{A, D, C, B})) << "A once, at its latest position";
    A->i_marked = true;
    EXPECT_EQ(Visit(0), (List{D, C, B}));
}

TEST_F(WithIteration, SelfOtherInstanceIdAndTargetsWithoutInstances) {
    ZQObjectBase* self = &m_self;
    ZQObjectBase* other = &m_other;
    SWithIterator it;
    EXPECT_EQ(ZQVTL_NewWithIterator(&it, &self, &other, -2), 1);
    EXPECT_EQ(self, &m_other);
    EXPECT_EQ(other, &m_self);
    EXPECT_FALSE(ZQVTL_WithIteratorNext(&it, &self, &other));
    ZQVTL_DeleteWithIterator(&it, &self, &other);
    EXPECT_EQ(self, &m_self);

    EXPECT_EQ(Visit(-1), (List{&m_self}));
    EXPECT_EQ(Visit(-6), (List{&m_self}));
    EXPECT_EQ(Visit(B->i_id), (List{B}));
    B->i_marked = true;
    EXPECT_TRUE(Visit(B->i_id).empty());
    EXPECT_TRUE(Visit(123456).empty());
    for (int target : {-4, -5, -7}) {
        int n = 0;
        EXPECT_TRUE(Visit(target, &n).empty());
        EXPECT_EQ(n, -1) << target;
    }
    int n = 5;
    Visit(-8, &n);
    EXPECT_EQ(n, 0);
}

TEST_F(WithIteration, DestroyedDuringTheLoopIsStillVisited) {
    ZQObjectBase* self = &m_self;
    ZQObjectBase* other = &m_other;
    SWithIterator it;
    std::vector<CInstance*> seen;
    ASSERT_EQ(ZQVTL_NewWithIterator(&it, &self, &other, -3), 4);
    do {
        seen.push_back(static_cast<CInstance*>(self));
        A->i_marked = true; // destruction only marks
    } while (ZQVTL_WithIteratorNext(&it, &self, &other));
    ZQVTL_DeleteWithIterator(&it, &self, &other);
    EXPECT_EQ(seen, (List{D, C, B, A}));
}

} // namespace
