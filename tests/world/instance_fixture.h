// Shared scene for the instance tests: a fake sprite table (sprite 0: box
// 0..31 square, origin 16,16, 4 frames; sprite 1: the same box, origin 0,0,
// precise; sprite 2: no frames), object types whose defaults a test sets, and
// a running room.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/header_globals.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/object_defaults.h"
#include "world/objects/object_type.h"

class InstanceScene : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            m_sprites[i].m_width = m_sprites[i].m_height = 32;
            m_sprites[i].m_bbox = SBoundingBox{0, 0, 31, 31};
            m_sprites[i].m_numb = 4;
            // Box collisions and one frame per step unless a test asks otherwise.
            m_sprites[i].m_precise = false;
            m_sprites[i].m_playbackSpeed = 1.0f;
            m_sprites[i].m_playbackSpeedType = 1;
            m_table[i] = &m_sprites[i];
        }
        m_sprites[0].m_xorigin = m_sprites[0].m_yorigin = 16;
        m_sprites[1].m_precise = true;
        m_sprites[2].m_numb = 0;
        Sprite_SeamInstall(m_table, 3);
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
    }

    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        Sprite_SeamInstall(nullptr, 0);
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

    CSprite m_sprites[3];
    CSprite* m_table[3] = {};
    std::unique_ptr<CRoom> m_room;
};
