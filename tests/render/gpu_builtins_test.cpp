// The 3D registration by data generation and the GPU-state built-ins through
// the function table: set, get, push and pop round-trips.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/zq_rvalue.h"
#include "data/ds_map.h"
#include "error_capture.h"
#include "function_call.h"
#include "recording_gl_layer.h"
#include "render/draw_primitives.h"
#include "render/gpu_builtins.h"
#include "render/render_state.h"
#include "render/vertex_batch.h"
#include "world/datafile/options.h"
#include "world/run/startup_services.h"

namespace {

class GpuBuiltins : public ::testing::Test {
protected:
    void TearDown() override {
        FINALIZE_Code_Function();
        g_isNimbar = false;
    }
};

TEST_F(GpuBuiltins, NamesDependOnTheDataGeneration) {
    g_isNimbar = false;
    Init3DFunctions();
    EXPECT_EQ(the_numb, 103);
    EXPECT_GE(Function_Find("d3d_start"), 0);
    EXPECT_LT(Function_Find("gpu_set_blendmode"), 0);
    EXPECT_EQ(the_functions[88].f_flag, 0u) << "draw_enable_alphablend";
    FINALIZE_Code_Function();

    g_isNimbar = true;
    Draw_Color = 0;
    Init3DFunctions();
    EXPECT_EQ(the_numb, 104);
    EXPECT_LT(Function_Find("d3d_start"), 0);
    EXPECT_EQ(Function_Find("matrix_get"), 0);
    EXPECT_EQ(Function_Find("draw_flush"), 13);
    EXPECT_EQ(Function_Find("matrix_stack_push"), 14);
    EXPECT_EQ(Function_Find("draw_get_lighting"), 103);
    EXPECT_EQ(Draw_Color, 0xFFFFFFFFu);
    EXPECT_EQ(the_functions[Function_Find("gpu_get_tex_max_aniso")].f_argnumb, 0);
    EXPECT_EQ(the_functions[Function_Find("gpu_get_tex_max_aniso_ext")].f_argnumb, 1);
    EXPECT_EQ(the_functions[Function_Find("gpu_set_texfilter")].f_routine,
              the_functions[Function_Find("gpu_set_tex_filter")].f_routine);
}

TEST_F(GpuBuiltins, SetGetPushPopRoundTrip) {
    g_isNimbar = true;
    Init3DFunctions();
    EXPECT_EQ(Call("gpu_set_zfunc", {4}).val, -1) << "setters answer -1";
    EXPECT_EQ(Call("gpu_get_zfunc").val, 4);
    Call("gpu_set_blendenable", {0});
    EXPECT_EQ(Call("gpu_get_blendenable").val, 0);
    Call("gpu_set_tex_mip_enable_ext", {2, 1});
    EXPECT_EQ(Call("gpu_get_tex_mip_enable_ext", {2}).val, 1);
    EXPECT_NE(g_States.GetSamplerState(1, 9), 1u) << "that stage only";
    Call("gpu_set_tex_mip_bias", {0.5});
    EXPECT_EQ(Call("gpu_get_tex_mip_bias_ext", {7}).val, 0.5);
    Call("gpu_set_texrepeat", {ZQRValue::FromBool(true)});
    EXPECT_EQ(Call("gpu_get_tex_repeat").val, 1);

    Call("gpu_push_state");
    Call("gpu_set_zfunc", {7});
    Call("gpu_set_tex_max_aniso", {8});
    EXPECT_EQ(Call("gpu_get_tex_max_aniso").val, 8);
    Call("gpu_pop_state");
    EXPECT_EQ(Call("gpu_get_zfunc").val, 4);
    EXPECT_NE(Call("gpu_get_tex_max_aniso").val, 8);

    ErrorCapture errors;
    Call("gpu_set_tex_max_aniso", {17});
    EXPECT_NE(Call("gpu_get_tex_max_aniso").val, 17) << "1 to 16 only";
    Call("gpu_set_tex_mip_enable_ext", {8, 0});
    EXPECT_EQ(Call("gpu_get_tex_mip_enable_ext", {8}).val, -1) << "a stage past 7 does nothing";
    Call("gpu_set_zfunc", {1, 2});
    EXPECT_TRUE(errors.ShownContains("gpu_set_zfunc() - should be passed a single parameter"));
    EXPECT_EQ(Call("gpu_get_zfunc").val, 4);
}

// A one-row array argument of reals.
ZQRValue Array(std::initializer_list<double> values) {
    ZQRValue v;
    for (int i = static_cast<int>(values.size()) - 1; i >= 0; --i) {
        RValue e = RValue_Real(values.begin()[i]);
        SET_RValue(&v, &e, i);
    }
    return v;
}

// The reals of an array result's first row.
std::vector<double> Reals(const RValue& v) {
    std::vector<double> out;
    EXPECT_EQ(v.kind & MASK_KIND_RVALUE, VALUE_ARRAY);
    if ((v.kind & MASK_KIND_RVALUE) != VALUE_ARRAY || v.pRefArray == nullptr) return out;
    const DynamicArrayOfRValue& row = v.pRefArray->m_Array[0];
    for (int i = 0; i < row.length; ++i) out.push_back(row.arr[i].val);
    return out;
}

uint32_t Bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

// New-generation registration, with the recording layer taking what reaches
// the device at each flush.
class GpuStateBuiltins : public GpuBuiltins {
protected:
    void SetUp() override {
        g_isNimbar = true;
        Init3DFunctions();
        g_States.Flush();
        layer.Take();
    }
    std::vector<std::string> Sent() {
        g_States.Flush();
        return layer.Take();
    }
    RecordingGLLayer layer;
};

TEST_F(GpuStateBuiltins, FogTakesFourValuesOrOneArrayAndDisablingKeepsTheRest) {
    using ::testing::ElementsAre;
    EXPECT_EQ(Call("gpu_set_fog", {1, 0x0000FF, 10.0, 20.0}).val, -1);
    const std::string start = "rs 17=" + std::to_string(Bits(10.0f));
    const std::string end = "rs 18=" + std::to_string(Bits(20.0f));
    EXPECT_THAT(Sent(), ElementsAre("rs 13=1", "rs 15=4278190335", start, end)) << "colour with 255 on top";
    EXPECT_EQ(Reals(Call("gpu_get_fog")), (std::vector<double>{1, 4278190335.0, 10, 20}));

    Call("gpu_set_fog", {0, 0x00FF00, 0.0, 100.0});
    EXPECT_THAT(Sent(), ElementsAre("rs 13=0")) << "only the switch changes";
    EXPECT_EQ(Reals(Call("gpu_get_fog")), (std::vector<double>{0, 4278190335.0, 10, 20}));

    Call("gpu_set_fog", {Array({1, 255, 10, 20})});
    EXPECT_THAT(Sent(), ElementsAre("rs 13=1"));

    ErrorCapture errors;
    Call("gpu_set_fog", {Array({0, 255, 10})});
    EXPECT_TRUE(errors.ShownContains("gpu_set_fog() - invalid array (must be 4 values)"));
    Call("gpu_set_fog", {0, 1});
    EXPECT_TRUE(errors.ShownContains("gpu_set_fog() - wrong number of parameters"));
    EXPECT_THAT(Sent(), ElementsAre()) << "refused calls change nothing";
}

TEST_F(GpuStateBuiltins, BlendPresetsSetBothFactorPairsAndReadBack) {
    struct Case {
        int mode, src, dest, reads;
    };
    for (Case c :
         {Case{1, 5, 2, 1}, Case{2, 5, 4, 2}, Case{3, 1, 4, 3}, Case{0, 5, 6, 0}, Case{7, 5, 6, 0}}) {
        SCOPED_TRACE(c.mode);
        Call("gpu_set_blendmode_ext_sepalpha", {9, 9, 9, 9});
        Call("gpu_set_blendmode", {c.mode});
        EXPECT_EQ(Reals(Call("gpu_get_blendmode_ext_sepalpha")),
                  (std::vector<double>{double(c.src), double(c.dest), double(c.src), double(c.dest)}));
        EXPECT_EQ(g_States.GetRenderState(eRS_SeparateAlphaBlend), 0u);
        EXPECT_EQ(Call("gpu_get_blendmode").val, c.reads);
    }
    // Reaching the device: the add preset from normal blending changes the two destinations.
    Call("gpu_set_blendmode", {0});
    Sent();
    Call("gpu_set_blendmode", {1});
    EXPECT_THAT(Sent(), ::testing::ElementsAre("rs 7=2", "rs 35=2"));

    Call("gpu_set_blendmode_ext_sepalpha", {5, 2, 5, 6});
    EXPECT_EQ(Call("gpu_get_blendmode").val, -1) << "the alpha factors differ";
    EXPECT_EQ(g_States.GetRenderState(eRS_SeparateAlphaBlend), 1u);
    Call("gpu_set_blendmode_ext", {Array({3, 4, 99})});
    EXPECT_EQ(Reals(Call("gpu_get_blendmode_ext")), (std::vector<double>{3, 4}));
    EXPECT_EQ(Call("gpu_get_blendmode_srcalpha").val, 3);
    EXPECT_EQ(g_States.GetRenderState(eRS_SeparateAlphaBlend), 0u);

    ErrorCapture errors;
    Call("gpu_set_blendmode_ext", {Array({3})});
    EXPECT_TRUE(errors.ShownContains("gpu_set_blendmode_ext() - invalid array (must be 2 values)"));
    Call("gpu_set_blendmode_ext_sepalpha", {Array({1, 2, 3, 4, 5})});
    EXPECT_TRUE(errors.ShownContains("gpu_set_blendmode_ext_sepalpha() - invalid array (must be 4 values)"));
    EXPECT_EQ(Call("gpu_get_blendmode", {1}).val, -1);
    EXPECT_TRUE(errors.ShownContains("gpu_get_blendmode() - shouldn't take any arguments"));
}

TEST_F(GpuStateBuiltins, ColourWriteMaskFromFourValuesOrAnArray) {
    Call("gpu_set_colourwriteenable", {1, 0, 5, 0});
    EXPECT_THAT(Sent(), ::testing::ElementsAre("rs 24=5"));
    EXPECT_EQ(Reals(Call("gpu_get_colorwriteenable")), (std::vector<double>{1, 0, 1, 0}));
    Call("gpu_set_colorwriteenable", {Array({0, 1, 0, 1})});
    EXPECT_EQ(Reals(Call("gpu_get_colourwriteenable")), (std::vector<double>{0, 1, 0, 1}));
    ErrorCapture errors;
    Call("gpu_set_colourwriteenable", {1, 1});
    EXPECT_TRUE(errors.ShownContains("gpu_set_colourwriteenable() - should be passed four parameters"));
    Call("gpu_set_colourwriteenable", {5});
    EXPECT_TRUE(errors.ShownContains("gpu_set_colourwriteenable() - invalid array (must be 4 values)"));
    EXPECT_EQ(g_States.GetRenderState(eRS_ColourWriteMask), 10u);
}

double MapNumber(int map, const char* key) {
    CDS_Map* m = GetDsMap(map);
    EXPECT_NE(m, nullptr);
    if (m == nullptr) return -12345;
    ZQRValue k(key);
    const DsMapEntry* e = m->Find(k);
    EXPECT_NE(e, nullptr) << key;
    return e != nullptr ? e->value.val : -12345;
}

TEST_F(GpuStateBuiltins, StateMapRoundTripsThroughSetState) {
    Call("gpu_set_zfunc", {4});
    Call("gpu_set_fog", {1, 0x102030, 2.5, 7.5});
    Call("gpu_set_tex_min_mip_ext", {3, 1.5});
    Call("gpu_set_tex_max_aniso_ext", {6, 12});
    const double aniso5 = Call("gpu_get_tex_max_aniso_ext", {5}).val;
    const int map = static_cast<int>(Call("gpu_get_state").val);
    ASSERT_NE(GetDsMap(map), nullptr);
    EXPECT_EQ(GetDsMap(map)->Size(), 98);
    EXPECT_EQ(MapNumber(map, "zfunc"), 4);
    EXPECT_EQ(MapNumber(map, "fogstart"), 2.5) << "float states read as floats";
    EXPECT_EQ(MapNumber(map, "mipmip3"), 1.5) << "the minimum mip level's key";
    EXPECT_EQ(MapNumber(map, "maxaniso6"), 12);

    Call("gpu_push_state");
    Call("gpu_set_zfunc", {7});
    Call("gpu_set_fog", {0, 0, 0.0, 0.0});
    Call("gpu_set_blendmode", {3});
    Call("gpu_set_tex_min_mip", {9.0});
    Call("gpu_set_tex_max_aniso", {2});
    EXPECT_EQ(Call("gpu_set_state", {map}).val, -1);
    EXPECT_EQ(Call("gpu_get_zfunc").val, 4);
    EXPECT_EQ(Reals(Call("gpu_get_fog")), (std::vector<double>{1, double(0xFF102030u), 2.5, 7.5}));
    EXPECT_EQ(Call("gpu_get_blendmode").val, 0);
    EXPECT_EQ(Call("gpu_get_tex_min_mip_ext", {3}).val, 1.5);
    EXPECT_EQ(Call("gpu_get_tex_min_mip_ext", {2}).val, 0);
    EXPECT_EQ(Call("gpu_get_tex_max_aniso_ext", {6}).val, 12);
    EXPECT_EQ(Call("gpu_get_tex_max_aniso_ext", {5}).val, aniso5);
    Call("gpu_pop_state");
    EXPECT_EQ(Call("gpu_get_zfunc").val, 4) << "the pushed state was the same";
    DestroyDsMap(map);
}

TEST_F(GpuStateBuiltins, SetStateAppliesKnownKeysAndSkipsTheRest) {
    const int map = dsMapCreate();
    dsMapAddDouble(map, "zfunc", 3);
    dsMapAddDouble(map, "maxaniso2", 8);
    dsMapAddDouble(map, "maxaniso", 4);
    dsMapAddDouble(map, "maxaniso9", 16);
    dsMapAddDouble(map, "maxaniso-1", 16);
    dsMapAddDouble(map, "fogend", 0.25);
    dsMapAddDouble(map, "nonsense", 1);
    AddToDsMap(map, "cullmode", "2"); // a numeric text converts as an argument would
    {
        RValue key = RValue_Real(12);
        RValue value = RValue_Real(1);
        GetDsMap(map)->Add(key, value); // not a string key: skipped
    }
    const std::vector<uint32_t> before = [] {
        std::vector<uint32_t> s;
        for (int stage = 0; stage < 8; ++stage) s.push_back(g_States.GetSamplerState(stage, eSS_MaxAniso));
        return s;
    }();
    Call("gpu_set_state", {map});
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthFunc), 3u);
    EXPECT_EQ(g_States.GetSamplerState(2, eSS_MaxAniso), 8u);
    EXPECT_EQ(g_States.GetSamplerState(0, eSS_MaxAniso), 4u) << "no number reads as stage 0";
    EXPECT_EQ(g_States.GetRenderState(eRS_FogEnd), Bits(0.25f));
    EXPECT_EQ(g_States.GetRenderState(eRS_CullMode), 2u);
    for (int stage : {1, 3, 4, 5, 6, 7})
        EXPECT_EQ(g_States.GetSamplerState(stage, eSS_MaxAniso), before[stage]);

    ErrorCapture errors;
    Call("gpu_set_state", {map + 100});
    EXPECT_TRUE(errors.ShownContains("gpu_set_state() - ds_map index is invalid"));
    Call("gpu_set_state");
    EXPECT_TRUE(errors.ShownContains("gpu_set_state() - wrong number of arguments - should take ds_map"));
    DestroyDsMap(map);
}

TEST_F(GpuStateBuiltins, TextureFlushDrawsWhatWasBatched) {
    GR_Draw_Line(0, 0, 4, 4);
    ASSERT_GT(g_CurrentVertexCount, 0);
    EXPECT_EQ(Call("draw_texture_flush").val, 0);
    EXPECT_EQ(g_CurrentVertexCount, 0);
    EXPECT_THAT(layer.Take(), ::testing::Contains("batch"));
}

} // namespace
