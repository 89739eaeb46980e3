// Collision queries: list walks and tree searches on the same random scenes
// give the same answers; targets, trial positions and the built-ins' forms.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/rvalue.h"
#include "instance_fixture.h"
#include "world/collision/collision_queries.h"
#include "world/datafile/options.h"
#include "world/instances/instance_tree.h"

namespace {

class CollisionQueries : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        // Same boxes in both modes: rounding, not fast collision's truncation.
        option_fast_collision_compatibility = true;
        option_use_fast_collision = true;
        MakeObjects(4);
        Object_Data(2)->m_parentIndex = 1; // 2 descends from 1
        Object_ResolveParents();
        for (int i = 0; i < 4; ++i) Object_Data(i)->m_spriteIndex = i % 2; // 1 and 3 precise
        Object_Data(1)->m_flags = OBJECT_FLAG_SOLID;
    }
    void TearDown() override {
        FINALIZE_InstanceTree();
        option_use_fast_collision = option_fast_collision_compatibility = false;
        InstanceScene::TearDown();
    }
};

CInstance* Valid(CInstance* found, int target) {
    if (found == nullptr) return nullptr;
    EXPECT_FALSE(found->i_marked);
    if (target >= 0 && target < 100000) {
        EXPECT_TRUE(found->i_objindex == target || found->m_pObject->IsDecendentOf(target));
    }
    return found;
}

} // namespace

// The strongest check of the tree path: many random scenes and queries, each
// asked of the lists and of the tree. Which instance is found may differ (tree
// order), so the answers compared are "found or not" and the boolean queries.
TEST_F(CollisionQueries, ListAndTreeAgreeOnRandomScenes) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> pos_(-50, 850), len_(0, 120);
    // Whole positions: the fast mode truncates the positions it hands the
    // precise test where the list walk rounds them, a difference this test
    // is not about.
    auto pos = [&](std::mt19937& r) { return std::floor(pos_(r)); };
    auto len = [&](std::mt19937& r) { return std::floor(len_(r)); };
    std::vector<CInstance*> all;
    for (int i = 0; i < 300; ++i)
        all.push_back(m_room->AddInstance(pos(rng), pos(rng), static_cast<int>(rng() % 4)));
    for (int i = 0; i < 20; ++i) all[rng() % all.size()]->i_marked = true;
    for (int i = 0; i < 10; ++i) all[rng() % all.size()]->i_deactivated = true;
    const int targets[] = {-3, 0, 1, 2, 3, 7, -1, all[5]->i_id, all[17]->i_id};
    for (int round = 0; round < 1500; ++round) {
        // Move a few instances between queries so the tree must re-file them.
        for (int k = 0; k < 3; ++k) all[rng() % all.size()]->SetPosition(pos(rng), pos(rng));
        const float x1 = pos(rng), y1 = pos(rng), x2 = x1 + len(rng) - 60, y2 = y1 + len(rng) - 60;
        const int target = targets[rng() % std::size(targets)];
        const bool precise = rng() % 2 != 0, notme = rng() % 2 != 0;
        CInstance* self = all[rng() % all.size()];
        struct Answers {
            bool rect, line, place, free, empty, meeting, position;
        } a[2];
        for (int mode = 0; mode < 2; ++mode) {
            option_use_fast_collision = mode == 1;
            a[mode].rect =
                Valid(Command_CollisionRectangle(self, x1, y1, x2, y2, target, precise, notme), target);
            a[mode].line = Valid(Command_CollisionLine(self, x1, y1, x2, y2, target, precise, notme), target);
            a[mode].place = Valid(Command_InstancePlace(self, x1, y1, target), target);
            a[mode].free = Command_IsFree(self, x1, y1);
            a[mode].empty = Command_IsEmpty(self, x1, y1);
            a[mode].meeting = Command_IsMeeting(self, target, x2, y2);
            a[mode].position = ZQVTL_position_meeting(self, nullptr, static_cast<float>(static_cast<int>(x1)),
                                                      static_cast<float>(static_cast<int>(y1)), target);
        }
        option_use_fast_collision = true;
        SCOPED_TRACE(testing::Message() << "round " << round << " target " << target);
        ASSERT_EQ(a[0].rect, a[1].rect);
        ASSERT_EQ(a[0].line, a[1].line);
        ASSERT_EQ(a[0].place, a[1].place);
        ASSERT_EQ(a[0].free, a[1].free);
        ASSERT_EQ(a[0].empty, a[1].empty);
        ASSERT_EQ(a[0].meeting, a[1].meeting);
        ASSERT_EQ(a[0].position, a[1].position);
    }
}

TEST_F(CollisionQueries, ListWalkTakesTheObjectsOldestFirstAndSkipsTheDestroyed) {
    for (bool fast : {false, true}) {
        option_use_fast_collision = fast;
        CInstance* a = m_room->AddInstance(100, 100, 0);
        CInstance* b = m_room->AddInstance(104, 100, 0);
        if (!fast) {
            EXPECT_EQ(Command_CollisionRectangle(nullptr, 90, 90, 110, 110, 0, false, false), a);
        }
        EXPECT_EQ(Command_CollisionRectangle(a, 90, 90, 110, 110, 0, false, true), b) << "notme";
        EXPECT_EQ(Command_CollisionRectangle(nullptr, 110.7f, 90, 90, 110.2f, b->i_id, false, false), b)
            << "corners in any order";
        b->i_marked = true;
        EXPECT_EQ(Command_CollisionRectangle(a, 90, 90, 110, 110, 0, false, true), nullptr);
        EXPECT_EQ(Command_CollisionLine(a, 50, 10, 150, 190, -3, false, true), nullptr);
        EXPECT_EQ(Command_CollisionLine(nullptr, 150, 190, 50, 10, -3, false, false), a);
        m_room->DeleteInstance(a);
        m_room->DeleteInstance(b);
    }
}

TEST_F(CollisionQueries, TrialPositionsAndSelf) {
    for (bool fast : {false, true}) {
        option_use_fast_collision = fast;
        CInstance* a = m_room->AddInstance(100, 100, 1); // solid
        CInstance* b = m_room->AddInstance(300, 100, 1);
        CInstance* c = m_room->AddInstance(500, 100, 0); // not solid
        EXPECT_TRUE(Command_IsFree(a, 100, 100)) << "ignores itself";
        EXPECT_FALSE(Command_IsFree(a, 290, 100));
        EXPECT_TRUE(Command_IsFree(a, 500, 100)) << "c is not solid";
        EXPECT_FALSE(Command_IsEmpty(a, 500, 100));
        EXPECT_EQ(a->i_x, 100.0f) << "position restored";
        EXPECT_EQ(Command_InstancePlace(a, 300, 100, 1), b);
        EXPECT_EQ(Command_InstancePlace(a, 100, 100, 1), nullptr) << "never itself";
        EXPECT_EQ(Command_InstancePlace(a, 300, 100, 2), nullptr) << "b is not of a descendant";
        EXPECT_TRUE(Command_IsMeeting(a, c->i_id, 505, 100));
        EXPECT_FALSE(Command_IsMeeting(a, 99, 505, 100)) << "no such object";
        for (CInstance* i : {a, b, c}) m_room->DeleteInstance(i);
    }
}

TEST_F(CollisionQueries, BuiltinsResolveSelfOtherAndAnswerInTheirKinds) {
    CInstance* a = m_room->AddInstance(100, 100, 0);
    CInstance* b = m_room->AddInstance(110, 100, 0);
    const auto rows = CollisionQuery_Builtins();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_STREQ(rows[0].name, "collision_point");
    EXPECT_STREQ(rows[11].name, "position_meeting");
    auto call = [&](const char* name, std::vector<double> argv) {
        std::vector<RValue> args(argv.size());
        for (size_t i = 0; i < argv.size(); ++i) {
            args[i].kind = VALUE_REAL;
            args[i].flags = 0;
            args[i].val = argv[i];
        }
        RValue result{};
        for (const CollisionBuiltinRow& row : rows)
            if (std::string(row.name) == name)
                row.routine(result, a, b, static_cast<int>(args.size()), args.data());
        return result;
    };
    for (bool fast : {false, true}) {
        option_use_fast_collision = fast;
        EXPECT_EQ(call("collision_point", {100, 100, -1, 0, 0}).val, -4) << "-1 is not resolved here";
        EXPECT_EQ(call("collision_point", {100, 100, 0, 0, 1}).val, b->i_id);
        EXPECT_EQ(call("collision_circle", {130, 100, 6, 0, 0, 0}).val, b->i_id);
        EXPECT_EQ(call("place_meeting", {100, 100, -2}).val, 1) << "-2 is the other instance";
        EXPECT_EQ(call("place_meeting", {100, 100, -1}).val, 0) << "never itself";
        EXPECT_EQ(call("place_meeting", {100, 100, -4}).val, 0);
        EXPECT_EQ(call("instance_place", {100, 100, -1}).val, -4);
        EXPECT_EQ(call("position_empty", {100, 100}).val, 0);
        EXPECT_EQ(call("position_empty", {700, 700}).val, 1);
        const RValue pm = call("position_meeting", {100, 100, -2});
        EXPECT_EQ(pm.Kind(), static_cast<uint32_t>(VALUE_BOOL));
        EXPECT_EQ(pm.val, 1);
    }
}
