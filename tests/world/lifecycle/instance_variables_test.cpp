// The instance built-in variables: their ids, the setter conversions, the
// operations the setters go through, and the physics names without physics.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/header_globals.h"
#include "core/ref_string.h"
#include "core/variable_names.h"
#include "error_capture.h"
#include "instance_fixture.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/datafile/game_header.h"
#include "world/lifecycle/instance_variables.h"

namespace {

class InstanceBuiltIns : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        Variable_BuiltIn_Clear();
        InitLocalVariables();
        m_i = std::make_unique<CInstance>(100, 100, 100001, -1, false);
        m_i->SetSpriteIndex(0);
    }
    void TearDown() override {
        m_i.reset();
        g_InstanceChangeDepth.Clear();
        Variable_BuiltIn_Clear();
        InstanceScene::TearDown();
    }

    const RVariableRoutine& Entry(const char* name) {
        const int id = Variable_BuiltIn_Find(name);
        EXPECT_GE(id, 0) << name;
        return builtin_variables[id < 0 ? 0 : id];
    }
    bool Set(const char* name, RValue v, int index = 0) {
        const RVariableRoutine& e = Entry(name);
        const bool ok = e.f_setroutine != nullptr && e.f_setroutine(m_i.get(), index, &v);
        FREE_RValue(&v);
        return ok;
    }
    bool Set(const char* name, double d, int index = 0) { return Set(name, RValue_Real(d), index); }
    double Get(const char* name, int index = 0) {
        RValue out = RValue_Real(-12345);
        Entry(name).f_getroutine(m_i.get(), index, &out);
        const double d = out.Kind() == VALUE_REAL ? out.val : -99999;
        FREE_RValue(&out);
        return d;
    }

    std::unique_ptr<CInstance> m_i;
};

TEST_F(InstanceBuiltIns, RegisteredFirstWithFixedIds) {
    EXPECT_EQ(builtin_numb, INSTANCE_BUILTIN_COUNT);
    const struct {
        const char* name;
        int id;
    } ids[] = {{"x", 0},           {"alarm", 15},      {"bbox_left", 20},    {"sprite_index", 24},
               {"mask_index", 38}, {"async_load", 51}, {"phy_rotation", 53}, {"phy_col_normal_y", 80},
               {"display_aa", 81}, {"delta_time", 82}, {"layer", 84}};
    for (const auto& c : ids) EXPECT_EQ(Variable_BuiltIn_Find(c.name), c.id) << c.name;
    for (const char* readOnly : {"object_index", "id", "bbox_right", "image_number", "sprite_width",
                                 "path_index", "phy_mass", "async_load", "webgl_enabled"})
        EXPECT_EQ(Entry(readOnly).f_setroutine, nullptr) << readOnly;
}

TEST_F(InstanceBuiltIns, SetterConversions) {
    const struct {
        const char* name;
        double written;
        double read;
    } cases[] = {
        {"solid", -1, 1},
        {"solid", 0.5, 0},
        {"solid", 1.5, 1},
        {"visible", 2.5, 1},
        {"timeline_running", -1, 0},
        {"timeline_running", 0.5, 0},
        {"timeline_loop", 1.5, 1},
        {"alarm", 2.5, 2},
        {"alarm", 3.5, 4},
        {"image_blend", -1, 4294967295.0},
        {"path_endaction", 2.5, 2},
        {"timeline_index", 3.5, 4},
        {"mask_index", 0.5, 0},
        {"direction", 370, 10},
        {"direction", -90, 270},
        {"gravity_direction", 370, 370},
        {"image_alpha", 7, 7},
        {"path_position", 1.5, 1},
        {"path_positionprevious", -1, 0},
        {"x", 1e300, INFINITY},
        {"image_index", 0.1, 0.1f},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Set(c.name, c.written)) << c.name;
        EXPECT_EQ(Get(c.name), c.read) << c.name << " = " << c.written;
    }
    // A string converts as a number.
    RValue text;
    ZQSetString(&text, "42");
    EXPECT_TRUE(Set("speed", text));
    EXPECT_EQ(Get("speed"), 42);
}

TEST_F(InstanceBuiltIns, AlarmIndexOutsideTheRangeAddressesAlarmZero) {
    Set("alarm", 7, 3);
    EXPECT_EQ(Get("alarm", 3), 7);
    Set("alarm", 9, 12);
    EXPECT_EQ(m_i->i_timer[0], 9);
    EXPECT_EQ(Get("alarm", -1), 9);
}

TEST_F(InstanceBuiltIns, MotionAndBoxGoThroughTheInstance) {
    Set("hspeed", 3);
    Set("vspeed", -4);
    EXPECT_EQ(Get("speed"), 5);
    EXPECT_EQ(Get("bbox_left"), 84);
    Set("x", 200);
    EXPECT_EQ(Get("bbox_left"), 184) << "recomputed after the move";
    Set("image_xscale", 2);
    EXPECT_EQ(Get("bbox_right"), 231);
    EXPECT_EQ(Get("sprite_width"), 64);
    EXPECT_EQ(Get("sprite_xoffset"), 32);
    Set("sprite_index", 9);
    EXPECT_EQ(Get("sprite_width"), 0) << "no such sprite";
    EXPECT_EQ(Get("image_number"), 0);
}

TEST_F(InstanceBuiltIns, ImageSingle) {
    Set("image_single", 3);
    EXPECT_EQ(m_i->i_imageindex, 3.0f);
    EXPECT_EQ(m_i->i_imagespeed, 0.0f);
    EXPECT_EQ(Get("image_single"), 3);
    Set("image_single", -1);
    EXPECT_EQ(m_i->i_imagespeed, 1.0f);
    EXPECT_EQ(Get("image_single"), -1);
    Set("image_single", NAN);
    EXPECT_EQ(m_i->i_imagespeed, 1.0f);
}

TEST_F(InstanceBuiltIns, DepthJoinsTheResortListOnce) {
    Set("depth", 0);
    EXPECT_EQ(g_InstanceChangeDepth.m_count, 0) << "unchanged";
    Set("depth", 5);
    Set("depth", -5);
    EXPECT_EQ(g_InstanceChangeDepth.m_count, 1);
    EXPECT_EQ(Get("depth"), -5);
    Run_Room = nullptr;
    Set("depth", 8); // no room: no crash
    EXPECT_EQ(Get("depth"), 8);
}

// In the running room (new-generation data) `layer` moves the instance to
// the named layer with its depth, an unknown id leaves it on none, and
// `depth` moves it to the run-time layer of the new depth, which reads -1.
TEST_F(InstanceBuiltIns, LayerAndDepthWritesMoveTheInstanceBetweenLayers) {
    g_isNimbar = true;
    {
        CRoom room;
        Run_Room = &room;
        CLayer* a = CLayerManager::AddLayer(&room, 100, "A");
        CLayer* b = CLayerManager::AddLayer(&room, 200, "B");
        CLayerManager::AddInstanceToLayer(&room, a, m_i.get());
        EXPECT_EQ(Get("layer"), a->m_id);
        Set("layer", b->m_id);
        EXPECT_EQ(Get("layer"), b->m_id);
        EXPECT_EQ(m_i->i_depth, 200.0f);
        EXPECT_EQ(b->m_elements.m_Count, 1);
        EXPECT_EQ(a->m_elements.m_Count, 0);
        Set("depth", 50);
        EXPECT_TRUE(m_i->m_onLayer);
        EXPECT_EQ(Get("layer"), -1) << "a layer made for a depth";
        EXPECT_EQ(b->m_elements.m_Count, 0);
        Set("layer", 999);
        EXPECT_FALSE(m_i->m_onLayer);
        EXPECT_EQ(m_i->i_depth, 50.0f);
        EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 2) << "the emptied run-time layer is released";
        Run_Room = nullptr;
    }
    g_isNimbar = false;
}

TEST_F(InstanceBuiltIns, LayerAndRunWideValues) {
    Set("layer", 999);
    EXPECT_EQ(m_i->m_layerID, 999);
    EXPECT_EQ(Get("layer"), -1) << "no such layer: on none";
    EXPECT_EQ(Get("async_load"), -1);
    EXPECT_EQ(Get("event_data"), -1);
    EXPECT_EQ(Get("webgl_enabled"), 1);
    EXPECT_EQ(Get("object_index"), 0);
    EXPECT_EQ(Get("id"), 100001);
}

TEST_F(InstanceBuiltIns, PhysicsWithoutABody) {
    RValue out = RValue_Real(77);
    EXPECT_FALSE(Entry("phy_mass").f_getroutine(m_i.get(), 0, &out));
    EXPECT_EQ(out.Kind(), VALUE_UNDEFINED) << "a failing getter leaves no stale value";
    ErrorCapture errors;
    EXPECT_FALSE(Set("phy_rotation", 10));
    EXPECT_EQ(
        errors.LastMessage(),
        "Can not set the physics property for object \"<undefined>\", as physics have not been enabled for "
        "this object.");
    EXPECT_FALSE(Set("phy_position_x", 10));
    EXPECT_EQ(errors.LastMessage(),
              "Can not set any physics properties as physics has not been in this room.");
}

} // namespace
