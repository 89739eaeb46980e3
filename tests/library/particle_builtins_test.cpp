// The particle built-ins through the function table: the 64 rows in their
// fixed order with their argument counts, the spellings that share one
// handler, and a table of calls with the results and effects they have.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console_capture.h"
#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/random.h"
#include "core/zq_rvalue.h"
#include "function_call.h"
#include "library/particle_builtins.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprites/effects.h"
#include "sprites/particle_system.h"

namespace {

const char* const kGolden =
    "part_type_create/0 part_type_destroy/1 part_type_exists/1 part_type_clear/1 part_type_shape/2 "
    "part_type_sprite/5 part_type_size/5 part_type_scale/3 part_type_life/3 part_type_step/3 "
    "part_type_death/3 part_type_speed/5 part_type_direction/5 part_type_orientation/6 part_type_gravity/3 "
    "part_type_color_mix/3 part_type_color_rgb/7 part_type_color_hsv/7 part_type_color1/2 part_type_color2/3 "
    "part_type_color3/4 part_type_color/4 part_type_colour_mix/3 part_type_colour_rgb/7 "
    "part_type_colour_hsv/7 part_type_colour1/2 part_type_colour2/3 part_type_colour3/4 part_type_colour/4 "
    "part_type_alpha1/2 part_type_alpha2/3 part_type_alpha3/4 part_type_alpha/4 part_type_blend/2 "
    "part_system_create/0 part_system_destroy/1 part_system_exists/1 part_system_clear/1 "
    "part_system_draw_order/2 part_system_depth/2 part_system_position/3 part_system_automatic_update/2 "
    "part_system_automatic_draw/2 part_system_update/1 part_system_drawit/1 part_system_create_layer/2 "
    "part_system_get_layer/1 part_system_layer/2 part_particles_create/5 part_particles_create_color/6 "
    "part_particles_create_colour/6 part_particles_clear/1 part_particles_count/1 part_emitter_create/1 "
    "part_emitter_destroy/2 part_emitter_destroy_all/1 part_emitter_exists/2 part_emitter_clear/2 "
    "part_emitter_region/8 part_emitter_burst/4 part_emitter_stream/4 effect_create_below/5 "
    "effect_create_above/5 effect_clear/0";

class ParticleBuiltins : public QuietTest {
protected:
    void SetUp() override {
        InitRandom(9);
        InitParticlesFunctions();
    }
    void TearDown() override {
        Particles_Reset();
        if (m_room) CLayerManager::CleanRoomLayers(m_room.get());
        Run_Room = nullptr;
        g_isNimbar = false;
        FINALIZE_Code_Function();
    }
    std::unique_ptr<CRoom> m_room;
};

TEST_F(ParticleBuiltins, RowsStandInTheFixedOrderWithTheirCounts) {
    std::istringstream golden(kGolden);
    std::string item;
    int i = 0;
    for (; golden >> item; ++i) {
        ASSERT_LT(i, the_numb);
        const size_t slash = item.find('/');
        EXPECT_EQ(the_functions[i].f_name, item.substr(0, slash));
        EXPECT_EQ(the_functions[i].f_argnumb, std::stoi(item.substr(slash + 1)));
        EXPECT_NE(the_functions[i].f_routine, nullptr);
    }
    EXPECT_EQ(i, 64);
    EXPECT_EQ(the_numb, 64);
    auto routine = [](const char* name) { return the_functions[Function_Find(name)].f_routine; };
    EXPECT_EQ(routine("part_type_colour2"), routine("part_type_color2"));
    EXPECT_EQ(routine("part_type_color"), routine("part_type_color3"));
    EXPECT_EQ(routine("part_type_colour"), routine("part_type_color3"));
    EXPECT_EQ(routine("part_type_alpha"), routine("part_type_alpha3"));
    EXPECT_EQ(routine("part_particles_create_colour"), routine("part_particles_create_color"));
}

TEST_F(ParticleBuiltins, CallsThroughTheTable) {
    struct Row {
        const char* name;
        std::vector<ZQRValue> args;
        double result; // -999: none expected (undefined)
    };
    const double none = -999;
    const Row rows[] = {
        {"part_type_create", {}, 0},
        {"part_type_create", {}, 1},
        {"part_type_exists", {1}, 1},
        {"part_type_exists", {7}, 0},
        {"part_type_life", {0, 50, 50}, none},
        {"part_type_colour2", {0, 0x0000FF, 0x00FF00}, none},
        {"part_type_alpha", {0, 1.0, 0.5, 0.25}, none},
        {"part_type_color_hsv", {1, 0, 0, 255, 255, 255, 255}, none},
        {"part_type_destroy", {1}, none},
        {"part_type_exists", {1}, 0},
        {"part_system_create", {}, 0},
        {"part_system_exists", {0}, 1},
        {"part_system_exists", {3}, 0},
        {"part_particles_create", {0, 10.0, 20.0, 0, 5}, none},
        {"part_particles_create_colour", {0, 10.0, 20.0, 0, 0xABCDEF, 2}, none},
        {"part_particles_count", {0}, 7},
        {"part_emitter_create", {0}, 0},
        {"part_emitter_exists", {0, 0}, 1},
        {"part_emitter_region", {0, 0, 0.0, 10.0, 0.0, 10.0, 0, 0}, none},
        {"part_emitter_burst", {0, 0, 0, 3}, none},
        {"part_particles_count", {0}, 10},
        {"part_emitter_stream", {0, 0, 0, 2}, none},
        {"part_system_update", {0}, none},
        {"part_particles_count", {0}, 12},
        {"part_emitter_destroy", {0, 0}, none},
        {"part_emitter_exists", {0, 0}, 0},
        {"part_emitter_create", {5}, -1},
        {"part_system_get_layer", {0}, -1},
        {"part_system_layer", {0, 3}, -1},
        {"part_system_create_layer", {"nowhere", 1}, -1},
        {"part_particles_clear", {0}, none},
        {"part_particles_count", {0}, 0},
        {"effect_create_above", {6, 50.0, 60.0, 1, 0xFF}, none},
        {"effect_create_below", {1, 50.0, 60.0, 2, 0xFF}, none},
        {"part_system_destroy", {0}, none},
        {"part_system_exists", {0}, 0},
    };
    for (const Row& row : rows) {
        ZQRValue got = Call(row.name, row.args);
        if (row.result == none) {
            EXPECT_EQ(got.Kind(), VALUE_UNDEFINED) << row.name;
        } else {
            ASSERT_EQ(got.Kind(), VALUE_REAL) << row.name;
            EXPECT_EQ(got.val, row.result) << row.name;
        }
    }
    const RParticleType* t = ParticleType_Get(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->colourMode, 1);
    EXPECT_EQ(t->colour[0], 0x0000FF);
    EXPECT_EQ(t->colour[1], 0x00FF00);
    EXPECT_EQ(t->alpha3, 0.25f);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_above), 1);
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_below), 1);
    Call("effect_clear");
    EXPECT_EQ(ParticleSystem_Particles_Count(ps_above), 0);
}

TEST_F(ParticleBuiltins, HueSaturationValueColoursComeFromTheLibrary) {
    int t = static_cast<int>(Call("part_type_create").val);
    int ps = static_cast<int>(Call("part_system_create").val);
    Call("part_type_color_hsv", {t, 0, 0, 255, 255, 255, 255});
    Call("part_particles_create", {ps, 0.0, 0.0, t, 1});
    EXPECT_EQ(ParticleSystem_Get(ps)->particles[0].colour, 0x0000FFu) << "pure red";
}

TEST_F(ParticleBuiltins, LayersByNameOrIdWithNewGenerationData) {
    g_isNimbar = true;
    m_room = std::make_unique<CRoom>();
    Run_Room = m_room.get();
    CLayer* layer = CLayerManager::AddLayer(Run_Room, 200, "Effects");
    const double byName = Call("part_system_create_layer", {"effects"}).val;
    ASSERT_GE(byName, 0);
    EXPECT_EQ(Call("part_system_get_layer", {byName}).val, layer->m_id);
    EXPECT_EQ(Call("part_system_create_layer", {"missing", 1}).val, -1);
    EXPECT_EQ(ParticleSystem_Count(), 1) << "nothing created for a missing layer";
    const double byId = Call("part_system_create", {}).val;
    EXPECT_EQ(Call("part_system_layer", {byId, layer->m_id}).val, -1) << "even when it moves the system";
    EXPECT_EQ(ParticleSystem_GetLayer(static_cast<int>(byId)), layer->m_id);
    ParticleSystem_RemoveAllFromLayers();
    EXPECT_FALSE(ParticleSystem_Exists(static_cast<int>(byName))) << "made without persistence";
    EXPECT_TRUE(ParticleSystem_Exists(static_cast<int>(byId)));
}

} // namespace
