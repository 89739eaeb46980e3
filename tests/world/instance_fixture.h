// Shared scene for the instance tests: a sprite table (sprite 0: box
// 0..31 square, origin 16,16, 4 frames; sprite 1: the same box, origin 0,0,
// precise; sprite 2: no frames), object types whose defaults a test sets, and
// a running room.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/header_globals.h"
#include "room/room.h"
#include "sprites/sprite_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/object_defaults.h"
#include "world/objects/object_type.h"

class InstanceScene : public ::testing::Test {
protected:
    void SetUp() override {
        Sprite_Init();
        for (int i = 0; i < 3; ++i) {
            auto sprite = std::make_unique<CSprite>();
            sprite->m_width = sprite->m_height = 32;
            sprite->m_bbox = SBoundingBox{0, 0, 31, 31};
            sprite->m_numb = 4;
            // Box collisions and one frame per step unless a test asks otherwise.
            sprite->m_precise = false;
            sprite->m_playbackSpeed = 1.0f;
            sprite->m_playbackSpeedType = 1;
            m_sprites[i] = sprite.get();
            Sprite_AddRecord(std::move(sprite));
        }
        m_sprites[0]->m_xorigin = m_sprites[0]->m_yorigin = 16;
        m_sprites[1]->m_precise = true;
        m_sprites[2]->m_numb = 0;
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
    }

    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        Sprite_Init();
        room_maxid = 100000;
        g_isNimbar = false;
    }

    // Adds `count` object types (indexes from 0), each named obj_<index>,
    // with no sprite, mask, depth or flags.
    void MakeObjects(int count) {
        for (int i = 0; i < count; ++i) {
            CObjectVT* type = Object_Data(Object_Add());
            type->m_flags = 0;
        }
    }

    // Gives object type `index` the defaults its instances take.
    static void SetDefaults(int index, const SObjectDefaults& d) {
        CObjectVT* type = Object_Data(index);
        ASSERT_NE(type, nullptr);
        type->m_spriteIndex = d.sprite;
        type->m_maskIndex = d.mask;
        type->m_depth = static_cast<int32_t>(d.depth);
        type->m_flags = d.flags;
        type->m_physicsObject = d.physics;
    }

    // The table's sprites 0 to 2 (the table owns them).
    CSprite* m_sprites[3] = {};
    std::unique_ptr<CRoom> m_room;
};
