// Instances: the record's defaults, ids, object, sprite and mask changes, the
// deferred object change with re-linking, copying, and the saved piece.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/buffer.h"
#include "core/header_globals.h"
#include "instance_fixture.h"

namespace {

using InstanceRecord = InstanceScene;

TEST_F(InstanceRecord, DefaultsOfAnInstanceWithoutObject) {
    CInstance i(10, 20, 100005, -1, true);
    EXPECT_EQ(i.i_objindex, 0) << "object -1 reads as 0";
    EXPECT_EQ(i.m_pObject, nullptr) << "and names no type";
    EXPECT_FALSE(i.i_visible || i.i_solid || i.i_persistent);
    for (int a = 0; a < INSTANCE_ALARM_COUNT; ++a) EXPECT_EQ(i.i_timer[a], -1);
    EXPECT_EQ(i.i_imagespeed, 1.0f);
    EXPECT_EQ(i.i_imagescalex, 1.0f);
    EXPECT_EQ(i.i_imagealpha, 1.0f);
    EXPECT_EQ(i.i_imageblend, 0xFFFFFFu);
    EXPECT_EQ(i.i_gravitydir, 270.0f);
    EXPECT_EQ(i.i_spriteindex, -1);
    EXPECT_EQ(i.i_maskindex, -1);
    EXPECT_EQ(i.i_pathindex, -1);
    EXPECT_EQ(i.i_pathscale, 1.0f);
    EXPECT_EQ(i.i_timelineindex, -1);
    EXPECT_EQ(i.i_timelinespeed, 1.0f);
    EXPECT_EQ(i.m_layerID, -1);
    EXPECT_EQ(i.m_mouseState, 2);
    EXPECT_EQ(i.i_xstart, 10.0f);
    EXPECT_EQ(i.i_yprevious, 20.0f);
    EXPECT_EQ(i.m_kind, OBJECT_KIND_INSTANCE);
}

TEST_F(InstanceRecord, TakesTheObjectTypeDefaults) {
    MakeObjects(1);
    SetDefaults(0, SObjectDefaults{0, 1, 7.0f, OBJECT_FLAG_SOLID | OBJECT_FLAG_PERSISTENT, false});
    CInstance::ms_CurrentCreateCounter = 41;
    CInstance* i = m_room->AddInstance(5, 6, 0);
    EXPECT_EQ(i->i_spriteindex, 0);
    EXPECT_EQ(i->i_maskindex, 1);
    EXPECT_EQ(i->i_depth, 7.0f);
    EXPECT_TRUE(i->i_solid);
    EXPECT_FALSE(i->i_visible);
    EXPECT_TRUE(i->i_persistent);
    EXPECT_EQ(i->i_imageindex, 0.0f);
    EXPECT_EQ(i->m_createCounter, 41);
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, 1);
    CInstance::ms_CurrentCreateCounter = 0;
}

TEST_F(InstanceRecord, IdsComeFromTheCounterAndTheTableFollowsSetID) {
    CInstance* a = m_room->AddInstance(0, 0, -1);
    CInstance* b = m_room->AddInstance(0, 0, -1);
    EXPECT_EQ(a->i_id, 100001);
    EXPECT_EQ(b->i_id, 100002);
    EXPECT_EQ(CInstance::Find(100002), b);
    b->SetID(200000, true);
    EXPECT_EQ(CInstance::Find(100002), nullptr);
    EXPECT_EQ(CInstance::Find(200000), b);
    a->SetID(300000, false);
    EXPECT_EQ(CInstance::Find(100001), a) << "without update the table keeps the old id";
    a->SetID(100001, false); // the table entry must name the id again before it is destroyed
    EXPECT_EQ(CInstance::ID2Instance().BucketCount(), 512u);
}

TEST_F(InstanceRecord, SpriteChangeResetsAnImageIndexPastTheFrames) {
    CInstance i(0, 0, 1, -1, false);
    const struct {
        float before;
        int sprite;
        float after;
    } cases[] = {
        {5.5f, 0, 0.0f}, {3.9f, 0, 3.9f}, {4.0f, 0, 0.0f}, {2.0f, 7, 0.0f} /* no sprite: 0 frames */};
    for (const auto& c : cases) {
        i.i_imageindex = c.before;
        i.SetSpriteIndex(c.sprite);
        EXPECT_EQ(i.i_imageindex, c.after) << c.before;
    }
    EXPECT_EQ(i.GetImageNumber(), 0);
    i.SetSpriteIndex(0);
    EXPECT_EQ(i.GetImageNumber(), 4);
}

TEST_F(InstanceRecord, MaskAndAlarms) {
    CInstance i(0, 0, 1, -1, false);
    i.m_bboxDirty = false;
    i.Set_MaskIndex(-1);
    EXPECT_FALSE(i.m_bboxDirty) << "an unchanged mask leaves the box clean";
    i.Set_MaskIndex(1);
    EXPECT_TRUE(i.m_bboxDirty);
    EXPECT_EQ(i.GetTimer(12), -1);
    EXPECT_EQ(i.GetTimer(-1), -1);
    i.SetTimer(-1, 5);
    i.SetTimer(12, 5);
    i.SetTimer(11, 5);
    for (int a = 0; a < 11; ++a) EXPECT_EQ(i.GetTimer(a), -1);
    EXPECT_EQ(i.GetTimer(11), 5);
}

TEST_F(InstanceRecord, ObjectChangeWaitsForRelinkAndTakesDepthOnlyInOldData) {
    MakeObjects(2);
    SetDefaults(1, SObjectDefaults{1, -1, 5.0f, OBJECT_FLAG_VISIBLE, false});
    CInstance* a = m_room->AddInstance(0, 0, 0);
    CInstance* b = m_room->AddInstance(0, 0, 1); // depth 5
    CInstance* c = m_room->AddInstance(0, 0, 0);
    ASSERT_EQ(m_room->m_pLastActive, b);

    c->ChangeObjectIndex(1);
    EXPECT_EQ(c->i_objindex, 1);
    EXPECT_EQ(c->i_depth, 5.0f);
    EXPECT_TRUE(c->i_visible);
    EXPECT_EQ(c->i_spriteindex, 1);
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, 2) << "still in the old lists until relinked";
    EXPECT_EQ(g_InstanceChangeArray.m_count, 1);
    EXPECT_TRUE(g_InstanceChangeDepth.Contains(c));

    c->RelinkObjectTypes();
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, 1);
    EXPECT_EQ(Object_Data(1)->m_Instances.m_count, 2);
    EXPECT_EQ(m_room->m_pLastActive, c) << "after the instance of equal depth";
    EXPECT_EQ(c->m_pPrev, b);

    g_isNimbar = true;
    a->ChangeObjectIndex(1);
    EXPECT_EQ(a->i_depth, 0.0f) << "new-generation data keeps the depth";
    g_InstanceChangeArray.Clear();
    g_InstanceChangeDepth.Clear();
}

TEST_F(InstanceRecord, AssignCopiesStateButNotRoomLinks) {
    MakeObjects(1);
    CInstance* source = m_room->AddInstance(3, 4, 0);
    source->i_speed = 2;
    source->i_timer[3] = 9;
    source->i_pathindex = 2;
    source->i_pathxstart = 50;
    source->m_layerID = 7;
    CInstance copy(0, 0, 1, -1, false);
    copy.m_carriedOver = true;
    copy.Assign(source, true);
    EXPECT_EQ(copy.i_id, source->i_id);
    EXPECT_EQ(copy.i_x, 3.0f);
    EXPECT_EQ(copy.i_speed, 2.0f);
    EXPECT_EQ(copy.i_timer[3], 9);
    EXPECT_EQ(copy.i_pathindex, 2);
    EXPECT_EQ(copy.i_pathxstart, 0.0f) << "the path start point is not copied";
    EXPECT_EQ(copy.m_layerID, 7);
    EXPECT_FALSE(copy.m_carriedOver);
    EXPECT_EQ(copy.m_pNext, nullptr);
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, 2);
    copy.i_id = 1; // keep the table entry of the source
}

// ---------------------------------------------------------------------------
// Saved piece.

class InstancePiece : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        g_nInstanceVariables = 2;
    }
    void TearDown() override {
        InstanceScene::TearDown();
        g_nInstanceVariables = 0;
    }
    static std::vector<unsigned char> Save(CInstance& i) {
        Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
        i.Serialise(&buffer);
        return std::vector<unsigned char>(buffer.Data(), buffer.Data() + buffer.Tell());
    }
    static bool Load(CInstance& i, std::vector<unsigned char> bytes, int* end = nullptr) {
        Buffer_Standard buffer(bytes.data(), static_cast<int>(bytes.size()), eBuffer_Format_Fixed, 1, false);
        bool ok = i.DeSerialise(&buffer, true);
        if (end != nullptr) *end = buffer.Tell();
        return ok;
    }
    static int32_t Word(const std::vector<unsigned char>& bytes, int index) {
        int32_t w;
        std::memcpy(&w, bytes.data() + index * 4, 4);
        return w;
    }
    static void SetWord(std::vector<unsigned char>& bytes, int index, int32_t w) {
        std::memcpy(bytes.data() + index * 4, &w, 4);
    }
};

// Word positions of the piece.
constexpr int kWordObject = 2;
constexpr int kWordSprite = 3;
constexpr int kWordBoxLeft = 27;
constexpr int kWordCount = 64; // variable count follows the fixed fields

TEST_F(InstancePiece, RoundTripWithTheBoxRecomputedAndInOrder) {
    MakeObjects(1);
    CInstance source(100, 50, 100123, 0, false);
    source.SetSpriteIndex(0);
    source.i_timer[2] = 30;
    source.i_timelinerunning = true;
    source.m_layerID = 4;
    source.m_slots[0] = RValue_Real(2.5);
    source.CollisionMarkDirty();
    std::vector<unsigned char> bytes = Save(source);
    ASSERT_EQ(bytes.size(), 4u * 65 + 12 + 4) << "64 fixed words, the count, a real and an unset value";
    EXPECT_EQ(Word(bytes, 0), 100123);
    EXPECT_EQ(Word(bytes, kWordSprite), 0);
    EXPECT_EQ(Word(bytes, 5), 0x3F800000) << "image speed 1.0f";
    EXPECT_EQ(Word(bytes, 10), 0xFFFFFF) << "blend";
    EXPECT_EQ(Word(bytes, 11), -1) << "mask";
    EXPECT_EQ(Word(bytes, 14), 0x42C80000) << "x 100.0f";
    EXPECT_EQ(Word(bytes, 23), 0x43870000) << "gravity direction 270.0f";
    EXPECT_EQ(Word(bytes, 34 + 2), 30) << "alarm 2";
    EXPECT_EQ(Word(bytes, 60), 1) << "timeline running";
    EXPECT_EQ(Word(bytes, 63), 4) << "layer";
    EXPECT_EQ(Word(bytes, kWordCount), 2);
    EXPECT_EQ(Word(bytes, kWordBoxLeft), 84) << "left";
    EXPECT_EQ(Word(bytes, kWordBoxLeft + 1), 115) << "right before top";
    EXPECT_EQ(Word(bytes, kWordBoxLeft + 2), 34) << "top";
    EXPECT_EQ(Word(bytes, kWordBoxLeft + 3), 65) << "bottom";

    CInstance copy(0, 0, 1, -1, false);
    int end = 0;
    ASSERT_TRUE(Load(copy, bytes, &end));
    EXPECT_EQ(end, static_cast<int>(bytes.size()));
    EXPECT_EQ(copy.i_id, 100123);
    EXPECT_EQ(copy.i_objindex, 0);
    EXPECT_EQ(copy.i_x, 100.0f);
    EXPECT_EQ(copy.i_timer[2], 30);
    EXPECT_TRUE(copy.i_timelinerunning);
    EXPECT_EQ(copy.m_layerID, 4);
    EXPECT_EQ(copy.i_bbox.right, 115);
    EXPECT_EQ(copy.m_slots[0].val, 2.5);
    EXPECT_EQ(Save(copy), bytes);
}

TEST_F(InstancePiece, AnInstanceWithoutObjectStaysWithoutObject) {
    CInstance source(0, 0, 7, -1, false);
    std::vector<unsigned char> bytes = Save(source);
    EXPECT_EQ(Word(bytes, kWordObject), -1);
    CInstance copy(0, 0, 1, -1, false);
    ASSERT_TRUE(Load(copy, bytes));
    EXPECT_EQ(copy.m_pObject, nullptr);
}

TEST_F(InstancePiece, HostilePiecesAreRefusedWithoutChanges) {
    CInstance source(1, 2, 7, -1, false);
    source.SetSpriteIndex(0);
    const std::vector<unsigned char> good = Save(source);
    std::vector<std::vector<unsigned char>> bad;
    bad.emplace_back(good.begin(), good.begin() + 100); // truncated
    bad.push_back(good);
    SetWord(bad.back(), kWordObject, 12); // unknown object
    bad.push_back(good);
    SetWord(bad.back(), kWordSprite, 3); // unknown sprite
    bad.push_back(good);
    SetWord(bad.back(), kWordCount, 1 << 30); // more values than the piece holds
    bad.push_back(good);
    SetWord(bad.back(), kWordCount, -1);
    bad.push_back(good);
    bad.back().resize(good.size() - 2); // last value cut
    for (size_t n = 0; n < bad.size(); ++n) {
        CInstance target(40, 41, 99, -1, false);
        target.m_slots[0] = RValue_Real(8);
        EXPECT_FALSE(Load(target, bad[n])) << n;
        EXPECT_EQ(target.i_id, 99) << n;
        EXPECT_EQ(target.i_x, 40.0f) << n;
        EXPECT_EQ(target.m_slots[0].val, 8.0) << n;
    }
}

TEST_F(InstancePiece, MoreStoredValuesThanSlotsAreReadAndDropped) {
    CInstance source(0, 0, 7, -1, false);
    source.m_slots[0] = RValue_Real(1);
    source.m_slots[1] = RValue_Real(2);
    std::vector<unsigned char> bytes = Save(source);
    g_nInstanceVariables = 1;
    CInstance small(0, 0, 8, -1, false);
    ASSERT_EQ(small.m_slotCount, 1);
    int end = 0;
    ASSERT_TRUE(Load(small, bytes, &end)) << "a count mismatch warns and goes on";
    EXPECT_EQ(end, static_cast<int>(bytes.size()));
    EXPECT_EQ(small.m_slots[0].val, 1.0);
    g_nInstanceVariables = 2;
}

} // namespace

namespace {

// Instances with variable slots (the piece fixture declares two).
using InstanceSlots = InstancePiece;

TEST_F(InstanceSlots, AssignCopiesTheVariableSlots) {
    CInstance source(0, 0, 7, -1, false);
    source.m_slots[1] = RValue_Real(6);
    CInstance copy(0, 0, 8, -1, false);
    copy.Assign(&source, false);
    EXPECT_EQ(copy.m_slots[1].val, 6.0);
    copy.i_id = 8;
}

} // namespace
