// The 3D registration by data generation and the GPU-state built-ins through
// the function table: set, get, push and pop round-trips.
#include <gtest/gtest.h>

#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "render/gpu_builtins.h"
#include "render/render_state.h"
#include "world/datafile/options.h"
#include "world/run/startup_services.h"

namespace {

ZQRValue Call(const char* name, std::vector<ZQRValue> args = {}) {
    ZQRValue result;
    int index = Function_Find(name);
    EXPECT_GE(index, 0) << name;
    if (index < 0) return result;
    int argc = static_cast<int>(args.size());
    ZQBuiltinCall call(&the_functions[index], args.data(), argc);
    the_functions[index].f_routine(result, nullptr, nullptr, argc, args.data());
    return result;
}

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

} // namespace
