// The collision pass with real sprites read from a writer-made "SPRT" chunk:
// instances whose boxes overlap collide only where their masks meet, in the
// fast and the classic pass alike, rotated and scaled.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/game_image.h"
#include "event_fixture.h"
#include "game_data_writer.h"
#include "instance_fixture.h"
#include "sprite_chunk.h"
#include "world/collision/collision_pass.h"
#include "world/datafile/options.h"
#include "world/instances/instance_tree.h"

namespace {

class PreciseCollisionPass : public InstanceScene {
protected:
    // Sprite 0: 8 × 8, the left half solid, origin (0, 0). Sprite 1: the
    // same without masks.
    void SetUp() override {
        InstanceScene::SetUp();
        New_Room = ROOM_NONE;
        wad::SpriteFields half;
        half.width = half.height = 8;
        half.right = half.bottom = 7;
        half.pageEntries = {""};
        std::vector<uint8_t> mask(64, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x) mask[y * 8 + x] = 1;
        half.masks = {mask};
        wad::SpriteFields solid = half;
        solid.masks.clear();
        wad::GameDataWriter writer;
        wad::WriteSprites(writer, {half, solid});
        m_image = writer.Build();
        size_t at = 8;
        while (std::memcmp(m_image.data() + at, "SPRT", 4) != 0) {
            uint32_t size;
            std::memcpy(&size, m_image.data() + at + 4, 4);
            at += 8 + size;
        }
        uint32_t size;
        std::memcpy(&size, m_image.data() + at + 4, 4);
        ImageReader chunk(m_image.data(), m_image.size(), at + 8, at + 8 + size, "SPRT");
        Sprite_Load(chunk);
        MakeObjects(2);
        SetDefaults(0, {.sprite = 0});
        SetDefaults(1, {.sprite = 1});
        SetHandler(0, EVENT_COLLISION, 0);
        SetHandler(0, EVENT_COLLISION, 1);
        EventLog().clear();
    }
    void TearDown() override {
        FINALIZE_InstanceTree();
        FINALIZE_Object_Lists();
        option_use_fast_collision = false;
        EventLog().clear();
        InstanceScene::TearDown();
    }
    // Whether the pass raised any collision event.
    bool Collides(bool fast) {
        option_use_fast_collision = fast;
        Create_Object_Lists();
        EventLog().clear();
        HandleCollision();
        return !EventLog().empty();
    }
    CInstance* Add(int object, float x, float y) { return m_room->AddInstance(x, y, object); }

    std::vector<uint8_t> m_image;
};

} // namespace

TEST_F(PreciseCollisionPass, BoxesOverlapButOnlyMeetingMasksCollide) {
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "classic");
        option_use_fast_collision = fast;
        CInstance* a = Add(0, 0, 0);
        CInstance* b = Add(0, 4, 0); // box overlap 4..7, where a is empty
        EXPECT_FALSE(Collides(fast));
        b->SetPosition(3, 0);
        EXPECT_TRUE(Collides(fast)) << "column 3 is solid in both";
        // Turned half a turn about its origin, a's solid half lies at
        // columns 5..8 (rows -7..0): b at 0 reaches column 3 only.
        a->SetPosition(8, 0);
        a->i_imageangle = 180.0f;
        b->SetPosition(0, -7);
        a->Compute_BoundingBox(true);
        EXPECT_FALSE(Collides(fast));
        b->SetPosition(2, -7);
        EXPECT_TRUE(Collides(fast));
        // Scaled by 2, a's solid half covers columns 0..7 from its origin.
        a->i_imageangle = 0.0f;
        a->i_imagescalex = 2.0f;
        a->SetPosition(0, 0);
        b->SetPosition(8, 0);
        a->Compute_BoundingBox(true);
        EXPECT_FALSE(Collides(fast));
        b->SetPosition(7, 0);
        EXPECT_TRUE(Collides(fast));
        m_room->DeleteInstance(a);
        m_room->DeleteInstance(b);
    }
}

TEST_F(PreciseCollisionPass, ASpriteWithoutMasksCollidesOverItsBox) {
    Add(1, 0, 0);
    Add(0, 4, 0);
    EXPECT_TRUE(Collides(false)) << "the instance of object 0 meets object 1's full frame at column 4";
}
