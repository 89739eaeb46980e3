// Shared scene for the instance tests: a fake sprite table (sprite 0: box
// 0..31 square, origin 16,16, 4 frames; sprite 1: the same box, origin 0,0,
// precise; sprite 2: no frames), object types whose defaults a test sets, and
// a running room.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/console.h"
#include "room/room.h"
#include "world/instance.h"
#include "world/object_defaults.h"
#include "world/object_type.h"
#include "world/sprite_services.h"

extern void (*g_pObjectDefaultsSeam)(const CObjectVT* type, SObjectDefaults* out);

class InstanceScene : public ::testing::Test {
protected:
    static inline SObjectDefaults s_defaults[8];

    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            m_sprites[i].m_width = m_sprites[i].m_height = 32;
            m_sprites[i].m_bbox = SBoundingBox{0, 0, 31, 31};
            m_sprites[i].m_numb = 4;
            m_table[i] = &m_sprites[i];
        }
        m_sprites[0].m_xorigin = m_sprites[0].m_yorigin = 16;
        m_sprites[1].m_precise = true;
        m_sprites[2].m_numb = 0;
        Sprite_SeamInstall(m_table, 3);
        for (SObjectDefaults& d : s_defaults) d = SObjectDefaults{};
        g_pObjectDefaultsSeam = [](const CObjectVT* type, SObjectDefaults* out) {
            if (type->m_index >= 0 && type->m_index < 8) *out = s_defaults[type->m_index];
        };
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
    }

    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_Instance_Class();
        Object_Init();
        g_pObjectDefaultsSeam = nullptr;
        Sprite_SeamInstall(nullptr, 0);
        room_maxid = 100000;
        g_isNimbar = false;
    }

    // Adds `count` object types (indexes from 0), each named obj_<index>.
    void MakeObjects(int count) {
        for (int i = 0; i < count; ++i) Object_Add();
    }

    CSprite m_sprites[3];
    CSprite* m_table[3] = {};
    std::unique_ptr<CRoom> m_room;
};
