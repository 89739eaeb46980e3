// Registration of the 3D, matrix, GPU-state and light built-ins, and the
// GPU-state built-ins themselves: setters and getters of the fixed render
// and sampler state, and the state stack. Which names exist depends on the
// data generation, so the two generation sets are separate tables; a row's
// id is its index in the function table, so rows are only ever appended.
//
// [SECTION] registration order
// [SECTION] render-state setters and getters
// [SECTION] sampler setters and getters
// [SECTION] stack and flushes
// [SECTION] handler lookup and registration
#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>

#include "core/arguments.h"
#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "render/gl_layer.h"
#include "render/gpu_builtins.h"
#include "render/render_state.h"
#include "world/datafile/options.h"
#include "world/run/startup_services.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] registration order

constexpr GpuRow kLegacyOrder[] = {
    {"d3d_start", 0, true, "F_D3DStart"},
    {"d3d_end", 0, true, "F_D3DEnd"},
    {"d3d_set_perspective", 1, true, "F_D3DSetPerspective"},
    {"d3d_set_hidden", 1, true, "F_D3DSetHidden"},
    {"d3d_set_depth", 1, true, "F_D3DSetDepth"},
    {"d3d_set_shading", 1, true, "F_D3DSetShading"},
    {"d3d_set_fog", 4, true, "F_D3DSetFog"},
    {"d3d_set_culling", 1, true, "F_D3DSetCulling"},
    {"d3d_set_zwriteenable", 1, true, "F_D3DSetZWriteEnable"},
    {"d3d_primitive_begin", 1, true, "F_D3DPrimitiveBegin"},
    {"d3d_primitive_begin_texture", 2, true, "F_D3DPrimitiveBeginTexture"},
    {"d3d_primitive_end", 0, true, "F_D3DPrimitiveEnd"},
    {"d3d_vertex", 3, true, "F_D3DVertex"},
    {"d3d_vertex_color", 5, true, "F_D3DVertexColor"},
    {"d3d_vertex_colour", 5, true, "F_D3DVertexColor"},
    {"d3d_vertex_texture", 5, true, "F_D3DVertexTexture"},
    {"d3d_vertex_texture_color", 7, true, "F_D3DVertexTextureColor"},
    {"d3d_vertex_texture_colour", 7, true, "F_D3DVertexTextureColor"},
    {"d3d_vertex_normal", 6, true, "F_D3DVertexNormal"},
    {"d3d_vertex_normal_color", 8, true, "F_D3DVertexNormalColor"},
    {"d3d_vertex_normal_colour", 8, true, "F_D3DVertexNormalColor"},
    {"d3d_vertex_normal_texture", 8, true, "F_D3DVertexNormalTexture"},
    {"d3d_vertex_normal_texture_color", 10, true, "F_D3DVertexNormalTextureColor"},
    {"d3d_vertex_normal_texture_colour", 10, true, "F_D3DVertexNormalTextureColor"},
    {"d3d_draw_block", 9, true, "F_D3DDrawBlock"},
    {"d3d_draw_cylinder", 11, true, "F_D3DDrawCylinder"},
    {"d3d_draw_cone", 11, true, "F_D3DDrawCone"},
    {"d3d_draw_ellipsoid", 10, true, "F_D3DDrawEllipsoid"},
    {"d3d_draw_wall", 9, true, "F_D3DDrawWall"},
    {"d3d_draw_floor", 9, true, "F_D3DDrawFloor"},
    {"d3d_set_projection", 9, true, "F_D3DSetProjection"},
    {"d3d_set_projection_ext", 13, true, "F_D3DSetProjectionExt"},
    {"d3d_set_projection_ortho", 5, true, "F_D3DSetProjectionOrtho"},
    {"d3d_set_projection_perspective", 5, true, "F_D3DSetProjectionPerspective"},
    {"d3d_transform_set_identity", 0, true, "F_D3DTransformSetIdentity"},
    {"d3d_transform_set_translation", 3, true, "F_D3DTransformSetTranslation"},
    {"d3d_transform_set_scaling", 3, true, "F_D3DTransformSetScaling"},
    {"d3d_transform_set_rotation_x", 1, true, "F_D3DTransformSetRotationX"},
    {"d3d_transform_set_rotation_y", 1, true, "F_D3DTransformSetRotationY"},
    {"d3d_transform_set_rotation_z", 1, true, "F_D3DTransformSetRotationZ"},
    {"d3d_transform_set_rotation_axis", 4, true, "F_D3DTransformSetRotationAxis"},
    {"d3d_transform_add_translation", 3, true, "F_D3DTransformAddTranslation"},
    {"d3d_transform_add_scaling", 3, true, "F_D3DTransformAddScaling"},
    {"d3d_transform_add_rotation_x", 1, true, "F_D3DTransformAddRotationX"},
    {"d3d_transform_add_rotation_y", 1, true, "F_D3DTransformAddRotationY"},
    {"d3d_transform_add_rotation_z", 1, true, "F_D3DTransformAddRotationZ"},
    {"d3d_transform_add_rotation_axis", 4, true, "F_D3DTransformAddRotationAxis"},
    {"d3d_transform_stack_clear", 0, true, "F_D3DTransformStackClear"},
    {"d3d_transform_stack_empty", 0, true, "F_D3DTransformStackEmpty"},
    {"d3d_transform_stack_push", 0, true, "F_D3DTransformStackPush"},
    {"d3d_transform_stack_pop", 0, true, "F_D3DTransformStackPop"},
    {"d3d_transform_stack_top", 0, true, "F_D3DTransformStackTop"},
    {"d3d_transform_stack_discard", 0, true, "F_D3DTransformStackDiscard"},
    {"d3d_transform_vertex", 3, true, "F_D3DTransformVertex"},
    {"d3d_model_create", 0, true, "F_D3DModelCreate"},
    {"d3d_model_destroy", 1, true, "F_D3DModelDestroy"},
    {"d3d_model_clear", 1, true, "F_D3DModelClear"},
    {"d3d_model_load", 2, true, "F_D3DModelLoad"},
    {"d3d_model_save", 2, true, "F_D3DModelSave"},
    {"d3d_model_load_buffer", 2, true, "F_D3DModelLoadBuffer"},
    {"d3d_model_save_buffer", 2, true, "F_D3DModelSaveBuffer"},
    {"d3d_model_draw", 5, true, "F_D3DModelDraw"},
    {"d3d_model_primitive_begin", 2, true, "F_D3DModelPrimitiveBegin"},
    {"d3d_model_primitive_end", 1, true, "F_D3DModelPrimitiveEnd"},
    {"d3d_model_vertex", 4, true, "F_D3DModelVertex"},
    {"d3d_model_vertex_color", 6, true, "F_D3DModelVertexColor"},
    {"d3d_model_vertex_colour", 6, true, "F_D3DModelVertexColor"},
    {"d3d_model_vertex_texture", 6, true, "F_D3DModelVertexTexture"},
    {"d3d_model_vertex_texture_color", 8, true, "F_D3DModelVertexTextureColor"},
    {"d3d_model_vertex_texture_colour", 8, true, "F_D3DModelVertexTextureColor"},
    {"d3d_model_vertex_normal", 7, true, "F_D3DModelVertexNormal"},
    {"d3d_model_vertex_normal_color", 9, true, "F_D3DModelVertexNormalColor"},
    {"d3d_model_vertex_normal_colour", 9, true, "F_D3DModelVertexNormalColor"},
    {"d3d_model_vertex_normal_texture", 9, true, "F_D3DModelVertexNormalTexture"},
    {"d3d_model_vertex_normal_texture_color", 11, true, "F_D3DModelVertexNormalTextureColor"},
    {"d3d_model_vertex_normal_texture_colour", 11, true, "F_D3DModelVertexNormalTextureColor"},
    {"d3d_model_block", 9, true, "F_D3DModelBlock"},
    {"d3d_model_cylinder", 11, true, "F_D3DModelCylinder"},
    {"d3d_model_cone", 11, true, "F_D3DModelCone"},
    {"d3d_model_ellipsoid", 10, true, "F_D3DModelEllipsoid"},
    {"d3d_model_wall", 9, true, "F_D3DModelWall"},
    {"d3d_model_floor", 9, true, "F_D3DModelFloor"},
    {"d3d_light_define_ambient", 1, true, "F_D3DLightDefineAmbient"},
    {"d3d_light_define_direction", 5, true, "F_D3DLightDefineDirection"},
    {"d3d_light_define_point", 6, true, "F_D3DLightDefinePoint"},
    {"d3d_light_enable", 2, true, "F_D3DLightEnable"},
    {"d3d_set_lighting", 1, true, "F_D3DSetLighting"},
    {"Tarvo_EnableAlphaBlend", 1, false, "F_Tarvo_EnableAlphaBlend"},
    {"draw_enable_alphablend", 1, false, "F_Tarvo_EnableAlphaBlend"},
};

constexpr GpuRow kAlwaysOrder[] = {
    {"matrix_get", 1, true, "F_MatrixGet"},
    {"matrix_set", 2, true, "F_MatrixSet"},
    {"matrix_build_identity", 0, true, "F_MatrixBuildIdentity"},
    {"matrix_build", 9, true, "F_MatrixBuild"},
    {"matrix_build_lookat", 9, true, "F_MatrixBuildLookAt"},
    {"matrix_build_projection_ortho", 4, true, "F_MatrixBuildProjectionOrtho"},
    {"matrix_build_projection_perspective", 4, true, "F_MatrixBuildProjectionPerspective"},
    {"matrix_build_projection_perspective_fov", 4, true, "F_MatrixBuildProjectionPerspectiveFov"},
    {"matrix_multiply", 2, true, "F_MatrixMultiply"},
    {"matrix_transform_vertex", 4, true, "F_MatrixTransformVertex"},
    {"frustum_build", 0, true, "F_FrustumBuild"},
    {"frustum_test_sphere", 4, true, "F_FrustumTestSphere"},
    {"draw_texture_flush", 0, false, "F_Tarvo_DrawTextureFlush"},
    {"draw_flush", 0, false, "F_Tarvo_DrawFlush"},
};

constexpr GpuRow kNewGenOrder[] = {
    {"matrix_stack_push", 0, true, "F_MatrixStackPush"},
    {"matrix_stack_pop", 0, true, "F_MatrixStackPop"},
    {"matrix_stack_set", 1, true, "F_MatrixStackSet"},
    {"matrix_stack_clear", 0, true, "F_MatrixStackClear"},
    {"matrix_stack_top", 0, true, "F_MatrixStackTop"},
    {"matrix_stack_is_empty", 0, true, "F_MatrixStackIsEmpty"},
    {"gpu_set_blendenable", 1, true, "F_GPUSetBlendEnable"},
    {"gpu_set_ztestenable", 1, true, "F_GPUSetZTestEnable"},
    {"gpu_set_zfunc", 1, true, "F_GPUSetZFunc"},
    {"gpu_set_zwriteenable", 1, true, "F_GPUSetZWriteEnable"},
    {"gpu_set_fog", -1, true, "F_GPUSetFog"},
    {"gpu_set_cullmode", 1, true, "F_GPUSetCullmode"},
    {"gpu_set_blendmode", 1, true, "F_GPUSetBlendMode"},
    {"gpu_set_blendmode_ext", -1, true, "F_GPUSetBlendModeExt"},
    {"gpu_set_blendmode_ext_sepalpha", -1, true, "F_GPUSetBlendModeExtSepAlpha"},
    {"gpu_set_colorwriteenable", -1, true, "F_GPUSetColourWriteEnable"},
    {"gpu_set_colourwriteenable", -1, true, "F_GPUSetColourWriteEnable"},
    {"gpu_set_alphatestenable", 1, true, "F_GPUSetAlphaTestEnable"},
    {"gpu_set_alphatestref", 1, true, "F_GPUSetAlphaTestRef"},
    {"gpu_set_alphatestfunc", 1, true, "F_GPUSetAlphaTestFunc"},
    {"gpu_set_texfilter", 1, true, "F_GPUSetTexFilter"},
    {"gpu_set_texfilter_ext", 2, true, "F_GPUSetTexFilterExt"},
    {"gpu_set_texrepeat", 1, true, "F_GPUSetTexRepeat"},
    {"gpu_set_texrepeat_ext", 2, true, "F_GPUSetTexRepeatExt"},
    {"gpu_set_tex_filter", 1, true, "F_GPUSetTexFilter"},
    {"gpu_set_tex_filter_ext", 2, true, "F_GPUSetTexFilterExt"},
    {"gpu_set_tex_repeat", 1, true, "F_GPUSetTexRepeat"},
    {"gpu_set_tex_repeat_ext", 2, true, "F_GPUSetTexRepeatExt"},
    {"gpu_set_tex_mip_filter", 1, true, "F_GPUSetTexMipFilter"},
    {"gpu_set_tex_mip_filter_ext", 2, true, "F_GPUSetTexMipFilterExt"},
    {"gpu_set_tex_mip_bias", 1, true, "F_GPUSetTexMipBias"},
    {"gpu_set_tex_mip_bias_ext", 2, true, "F_GPUSetTexMipBiasExt"},
    {"gpu_set_tex_min_mip", 1, true, "F_GPUSetTexMinMip"},
    {"gpu_set_tex_min_mip_ext", 2, true, "F_GPUSetTexMinMipExt"},
    {"gpu_set_tex_max_mip", 1, true, "F_GPUSetTexMaxMip"},
    {"gpu_set_tex_max_mip_ext", 2, true, "F_GPUSetTexMaxMipExt"},
    {"gpu_set_tex_max_aniso", 1, true, "F_GPUSetTexMaxAniso"},
    {"gpu_set_tex_max_aniso_ext", 2, true, "F_GPUSetTexMaxAnisoExt"},
    {"gpu_set_tex_mip_enable", 1, true, "F_GPUSetTexMipEnable"},
    {"gpu_set_tex_mip_enable_ext", 2, true, "F_GPUSetTexMipEnableExt"},
    {"gpu_get_blendenable", 0, true, "F_GPUGetBlendEnable"},
    {"gpu_get_ztestenable", 0, true, "F_GPUGetZTestEnable"},
    {"gpu_get_zfunc", 0, true, "F_GPUGetZFunc"},
    {"gpu_get_zwriteenable", 0, true, "F_GPUGetZWriteEnable"},
    {"gpu_get_fog", 0, true, "F_GPUGetFog"},
    {"gpu_get_cullmode", 0, true, "F_GPUGetCullmode"},
    {"gpu_get_blendmode", 0, true, "F_GPUGetBlendMode"},
    {"gpu_get_blendmode_ext", 0, true, "F_GPUGetBlendModeExt"},
    {"gpu_get_blendmode_ext_sepalpha", 0, true, "F_GPUGetBlendModeExtSepAlpha"},
    {"gpu_get_blendmode_src", 0, true, "F_GPUGetBlendModeSrc"},
    {"gpu_get_blendmode_dest", 0, true, "F_GPUGetBlendModeDest"},
    {"gpu_get_blendmode_srcalpha", 0, true, "F_GPUGetBlendModeSrcAlpha"},
    {"gpu_get_blendmode_destalpha", 0, true, "F_GPUGetBlendModeDestAlpha"},
    {"gpu_get_colorwriteenable", 0, true, "F_GPUGetColourWriteEnable"},
    {"gpu_get_colourwriteenable", 0, true, "F_GPUGetColourWriteEnable"},
    {"gpu_get_alphatestenable", 0, true, "F_GPUGetAlphaTestEnable"},
    {"gpu_get_alphatestref", 0, true, "F_GPUGetAlphaTestRef"},
    {"gpu_get_alphatestfunc", 0, true, "F_GPUGetAlphaTestFunc"},
    {"gpu_get_texfilter", 0, true, "F_GPUGetTexFilter"},
    {"gpu_get_texfilter_ext", 1, true, "F_GPUGetTexFilterExt"},
    {"gpu_get_texrepeat", 0, true, "F_GPUGetTexRepeat"},
    {"gpu_get_texrepeat_ext", 1, true, "F_GPUGetTexRepeatExt"},
    {"gpu_get_tex_filter", 0, true, "F_GPUGetTexFilter"},
    {"gpu_get_tex_filter_ext", 1, true, "F_GPUGetTexFilterExt"},
    {"gpu_get_tex_repeat", 0, true, "F_GPUGetTexRepeat"},
    {"gpu_get_tex_repeat_ext", 1, true, "F_GPUGetTexRepeatExt"},
    {"gpu_get_tex_mip_filter", 0, true, "F_GPUGetTexMipFilter"},
    {"gpu_get_tex_mip_filter_ext", 1, true, "F_GPUGetTexMipFilterExt"},
    {"gpu_get_tex_mip_bias", 0, true, "F_GPUGetTexMipBias"},
    {"gpu_get_tex_mip_bias_ext", 1, true, "F_GPUGetTexMipBiasExt"},
    {"gpu_get_tex_min_mip", 0, true, "F_GPUGetTexMinMip"},
    {"gpu_get_tex_min_mip_ext", 1, true, "F_GPUGetTexMinMipExt"},
    {"gpu_get_tex_max_mip", 0, true, "F_GPUGetTexMaxMip"},
    {"gpu_get_tex_max_mip_ext", 1, true, "F_GPUGetTexMaxMipExt"},
    {"gpu_get_tex_max_aniso", 0, true, "F_GPUGetTexMaxAniso"},
    {"gpu_get_tex_max_aniso_ext", 1, true, "F_GPUGetTexMaxAnisoExt"},
    {"gpu_get_tex_mip_enable", 0, true, "F_GPUGetTexMipEnable"},
    {"gpu_get_tex_mip_enable_ext", 1, true, "F_GPUGetTexMipEnableExt"},
    {"gpu_push_state", 0, true, "F_GPUPushState"},
    {"gpu_pop_state", 0, true, "F_GPUPopState"},
    {"gpu_get_state", 0, true, "F_GPUGetState"},
    {"gpu_set_state", 1, true, "F_GPUSetState"},
    {"draw_light_define_ambient", 1, true, "F_DrawLightDefineAmbient"},
    {"draw_light_define_direction", 5, true, "F_DrawLightDefineDirection"},
    {"draw_light_define_point", 6, true, "F_DrawLightDefinePoint"},
    {"draw_light_enable", 2, true, "F_DrawLightEnable"},
    {"draw_set_lighting", 1, true, "F_DrawSetLighting"},
    {"draw_light_get_ambient", 0, true, "F_DrawLightGetAmbient"},
    {"draw_light_get", 1, true, "F_DrawLightGet"},
    {"draw_get_lighting", 0, true, "F_DrawGetLighting"},
};

static_assert(std::size(kLegacyOrder) == 89 && std::size(kAlwaysOrder) == 14 && std::size(kNewGenOrder) == 90,
              "89 legacy, 14 shared and 90 new-generation names");

using Args = RValue*;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}

constexpr int kStages = 8;

// ---------------------------------------------------------------------------
// [SECTION] render-state setters and getters

// A setter of one render state from one argument, read as int32 or as a bool.
struct RenderSetter {
    int state;
    bool asBool;
    const char* wrongCount;
};
constexpr RenderSetter kRenderSetters[] = {
    {eRS_BlendEnable, false,
     "gpu_set_blendenable() - wrong number of parameters (takes a single true\ffalse parameter)"},
    {eRS_DepthTest, false,
     "gpu_set_ztestenable() - wrong number of parameters (takes a single true\ffalse parameter)"},
    {eRS_DepthFunc, false, "gpu_set_zfunc() - should be passed a single parameter"},
    {eRS_DepthWrite, true,
     "gpu_set_zwriteenable() - wrong number of parameters (takes a single true\ffalse parameter)"},
    {eRS_CullMode, false, "gpu_set_cullmode() - should be passed a single parameter"},
    {eRS_AlphaTest, true,
     "gpu_set_alphatestenable() - wrong number of parameters (takes a single true\ffalse parameter)"},
    {eRS_AlphaRef, false, "gpu_set_alphatestref() - wrong number of parameters (takes a single parameter)"},
    {eRS_AlphaFunc, false, "gpu_set_alphatestfunc() - should be passed a single parameter"},
};

template <int N>
void F_RenderSet(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    const RenderSetter& s = kRenderSetters[N];
    Real(r, -1);
    if (argc != 1) return Error_Show_Action(s.wrongCount, false);
    uint32_t value = s.asBool ? (ZQGetBool(a, 0) ? 1u : 0u) : static_cast<uint32_t>(ZQGetInt32(a, 0));
    g_States.SetRenderState(s.state, value);
}

// A getter of one render state: the value, or 1/0 for the switches.
struct RenderGetter {
    int state;
    bool asSwitch;
    const char* wrongCount;
};
constexpr RenderGetter kRenderGetters[] = {
    {eRS_BlendEnable, true, "gpu_get_blendenable() - shouldn't take any arguments"},
    {eRS_DepthTest, true, "gpu_get_ztestenable() - shouldn't take any arguments"},
    {eRS_DepthFunc, false, "gpu_get_zfunc() - shouldn't take any arguments"},
    {eRS_DepthWrite, true, "gpu_get_zwriteenable() - shouldn't take any arguments"},
    {eRS_CullMode, false, "gpu_get_cullmode() - shouldn't take any arguments"},
    {eRS_SrcBlend, false, "gpu_get_blendmode_src() - shouldn't take any arguments"},
    {eRS_DestBlend, false, "gpu_get_blendmode_dest() - shouldn't take any arguments"},
    {eRS_AlphaSrcBlend, false, "gpu_get_blendmode_srcalpha() - shouldn't take any arguments"},
    {eRS_AlphaDestBlend, false, "gpu_get_blendmode_destalpha() - shouldn't take any arguments"},
    {eRS_AlphaTest, true, "gpu_get_alphatestenable() - shouldn't take any arguments"},
    {eRS_AlphaRef, false, "gpu_get_alphatestref() - shouldn't take any arguments"},
    {eRS_AlphaFunc, false, "gpu_get_alphatestfunc() - shouldn't take any arguments"},
};

template <int N>
void F_RenderGet(RValue& r, CInstance*, CInstance*, int argc, Args) {
    const RenderGetter& g = kRenderGetters[N];
    Real(r, 0);
    if (argc != 0) return Error_Show_Action(g.wrongCount, false);
    uint32_t value = g_States.GetRenderState(g.state);
    Real(r, g.asSwitch ? (value != 0 ? 1 : 0) : value);
}

// ---------------------------------------------------------------------------
// [SECTION] sampler setters and getters

enum class SamplerValue { kFilter, kRepeat, kInt, kFloat, kAniso };

// One sampler setting: the states it writes (the second -1 when one), how the
// argument becomes the value, and the wrong-count texts of both forms.
struct SamplerSetting {
    int state, state2;
    SamplerValue kind;
    const char* setPlain;
    const char* setExt;
    const char* getPlain;
    const char* getExt;
    int getInitial;
};
constexpr SamplerSetting kSamplers[] = {
    {0, 1, SamplerValue::kFilter, "gpu_set_texfilter() - should be passed a single parameter",
     "gpu_set_texfilter_ext() - incorrect number of parameters, should be (stage,linear)",
     "gpu_get_texfilter() - shouldn't take any arguments",
     "gpu_get_texfilter_ext() - wrong number of arguments - should take stage index", 0},
    {2, 3, SamplerValue::kRepeat, "gpu_set_texrepeat() - should be passed a single parameter",
     "gpu_set_texrepeat_ext() - incorrect number of parameters, should be (stage,repeat)",
     "gpu_get_texrepeat() - shouldn't take any arguments",
     "gpu_get_texrepeat_ext() - wrong number of arguments - should take stage index", 0},
    {4, -1, SamplerValue::kInt, "gpu_set_texmipfilter() - should be passed a single parameter",
     "gpu_set_texmipfilter_ext() - incorrect number of parameters, should be (stage,filter)",
     "gpu_get_texmipfilter() - shouldn't take any arguments",
     "gpu_get_texmipfilter_ext() - incorrect number of parameters, should take stage index", -1},
    {7, -1, SamplerValue::kFloat, "gpu_set_texmipbias() - should be passed a single parameter",
     "gpu_set_texmipbias_ext() - incorrect number of parameters, should be (stage,bias)",
     "gpu_get_texmipbias() - shouldn't take any parameters",
     "gpu_get_texmipbias_ext() - incorrect number of parameters, should take stage index", -1},
    {5, -1, SamplerValue::kFloat, "gpu_set_texminmip() - should be passed a single parameter",
     "gpu_set_texminmip_ext() - incorrect number of parameters, should be (stage,minmip)",
     "gpu_get_texminmip() - shouldn't take any parameters",
     "gpu_get_texminmip_ext() - incorrect number of parameters, should take stage index", -1},
    {6, -1, SamplerValue::kFloat, "gpu_set_texmaxmip() - should be passed a single parameter",
     "gpu_set_texmaxmip_ext() - incorrect number of parameters, should be (stage,maxmip)",
     "gpu_get_texmaxmip() - shouldn't take any parameters",
     "gpu_get_texmaxmip_ext() - should take stage index", -1},
    {8, -1, SamplerValue::kAniso, "gpu_set_texmaxaniso() - should be passed a single parameter",
     "gpu_set_texmaxaniso_ext() - incorrect number of parameters, should be (stage,maxaniso)",
     "gpu_get_texmaxaniso() - shouldn't take any parameters",
     "gpu_get_texmaxaniso_ext() - should take stage index", -1},
    {9, -1, SamplerValue::kInt, "gpu_set_texmipenable() - should be passed a single parameter",
     "gpu_set_texmipenable_ext() - incorrect number of parameters, should be (stage,mipenable)",
     "gpu_get_texmipenable() - shouldn't take any parameters",
     "gpu_get_texmipenable_ext() - should take stage index", -1},
};

// The value a setting's argument gives; false when nothing may be set.
bool SamplerArgument(const SamplerSetting& s, Args a, int index, uint32_t* value) {
    switch (s.kind) {
        case SamplerValue::kFilter: *value = ZQGetBool(a, index) ? 1u : 0u; return true;
        case SamplerValue::kRepeat: *value = ZQGetBool(a, index) ? 0u : 1u; return true;
        case SamplerValue::kInt: *value = static_cast<uint32_t>(ZQGetInt32(a, index)); return true;
        case SamplerValue::kFloat: *value = RenderStateBits(ZQGetFloat(a, index)); return true;
        case SamplerValue::kAniso: {
            int32_t n = ZQGetInt32(a, index);
            if (static_cast<uint32_t>(n - 1) >= 16u) {
                dbg_csol->Output("gpu_set_tex_max_aniso() - value must be between 1 and 16\n");
                return false;
            }
            *value = static_cast<uint32_t>(n);
            return true;
        }
    }
    return false;
}

void SetSampler(const SamplerSetting& s, int stage, uint32_t value) {
    g_States.SetSamplerState(stage, s.state, value);
    if (s.state2 >= 0) g_States.SetSamplerState(stage, s.state2, value);
}

template <int N>
void F_SamplerSet(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    const SamplerSetting& s = kSamplers[N];
    Real(r, -1);
    if (argc != 1) return Error_Show_Action(s.setPlain, false);
    uint32_t value = 0;
    if (!SamplerArgument(s, a, 0, &value)) return;
    for (int stage = 0; stage < kStages; ++stage) SetSampler(s, stage, value);
}

template <int N>
void F_SamplerSetExt(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    const SamplerSetting& s = kSamplers[N];
    Real(r, -1);
    if (argc != 2) return Error_Show_Action(s.setExt, false);
    uint32_t value = 0;
    if (!SamplerArgument(s, a, 1, &value)) return; // the value is checked before the stage
    const int32_t stage = ZQGetInt32(a, 0);
    if (static_cast<uint32_t>(stage) >= static_cast<uint32_t>(kStages)) return;
    SetSampler(s, stage, value);
}

void SamplerResult(RValue& r, const SamplerSetting& s, int stage) {
    const uint32_t value = g_States.GetSamplerState(stage, s.state);
    switch (s.kind) {
        case SamplerValue::kFilter: Real(r, value == 1 ? 1 : 0); break;
        case SamplerValue::kRepeat: Real(r, value == 0 ? 1 : 0); break;
        case SamplerValue::kFloat: Real(r, RenderStateFloat(value)); break;
        case SamplerValue::kInt:
        case SamplerValue::kAniso: Real(r, value); break;
    }
}

template <int N>
void F_SamplerGet(RValue& r, CInstance*, CInstance*, int argc, Args) {
    const SamplerSetting& s = kSamplers[N];
    Real(r, s.getInitial);
    if (argc != 0) return Error_Show_Action(s.getPlain, false);
    SamplerResult(r, s, 0);
}

template <int N>
void F_SamplerGetExt(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    const SamplerSetting& s = kSamplers[N];
    Real(r, s.getInitial);
    if (argc != 1) return Error_Show_Action(s.getExt, false);
    const int32_t stage = ZQGetInt32(a, 0);
    if (static_cast<uint32_t>(stage) >= static_cast<uint32_t>(kStages)) return;
    SamplerResult(r, s, stage);
}

// ---------------------------------------------------------------------------
// [SECTION] stack and flushes

void F_GPUPushState(RValue&, CInstance*, CInstance*, int, Args) {
    g_States.SaveStates();
}

void F_GPUPopState(RValue&, CInstance*, CInstance*, int, Args) {
    g_States.RestoreStates();
}

void F_Tarvo_EnableAlphaBlend(RValue&, CInstance*, CInstance*, int, Args a) {
    g_States.SetRenderState(eRS_BlendEnable, static_cast<uint32_t>(ZQGetInt32(a, 0)));
}

void F_Tarvo_DrawFlush(RValue& r, CInstance*, CInstance*, int, Args) {
    Graphics::Flush();
    Real(r, 0);
}

// The families whose handlers are not built yet (the legacy 3D, matrix and
// light built-ins): the call is accepted and the result stays undefined.
void F_GPUNotBuilt(RValue&, CInstance*, CInstance*, int, Args) {}

// ---------------------------------------------------------------------------
// [SECTION] handler lookup and registration

const GpuHandlerRow kHandlers[] = {
    {"F_GPUSetBlendEnable", F_RenderSet<0>},
    {"F_GPUSetZTestEnable", F_RenderSet<1>},
    {"F_GPUSetZFunc", F_RenderSet<2>},
    {"F_GPUSetZWriteEnable", F_RenderSet<3>},
    {"F_GPUSetCullmode", F_RenderSet<4>},
    {"F_GPUSetAlphaTestEnable", F_RenderSet<5>},
    {"F_GPUSetAlphaTestRef", F_RenderSet<6>},
    {"F_GPUSetAlphaTestFunc", F_RenderSet<7>},
    {"F_GPUGetBlendEnable", F_RenderGet<0>},
    {"F_GPUGetZTestEnable", F_RenderGet<1>},
    {"F_GPUGetZFunc", F_RenderGet<2>},
    {"F_GPUGetZWriteEnable", F_RenderGet<3>},
    {"F_GPUGetCullmode", F_RenderGet<4>},
    {"F_GPUGetBlendModeSrc", F_RenderGet<5>},
    {"F_GPUGetBlendModeDest", F_RenderGet<6>},
    {"F_GPUGetBlendModeSrcAlpha", F_RenderGet<7>},
    {"F_GPUGetBlendModeDestAlpha", F_RenderGet<8>},
    {"F_GPUGetAlphaTestEnable", F_RenderGet<9>},
    {"F_GPUGetAlphaTestRef", F_RenderGet<10>},
    {"F_GPUGetAlphaTestFunc", F_RenderGet<11>},
    {"F_GPUSetTexFilter", F_SamplerSet<0>},
    {"F_GPUSetTexFilterExt", F_SamplerSetExt<0>},
    {"F_GPUSetTexRepeat", F_SamplerSet<1>},
    {"F_GPUSetTexRepeatExt", F_SamplerSetExt<1>},
    {"F_GPUSetTexMipFilter", F_SamplerSet<2>},
    {"F_GPUSetTexMipFilterExt", F_SamplerSetExt<2>},
    {"F_GPUSetTexMipBias", F_SamplerSet<3>},
    {"F_GPUSetTexMipBiasExt", F_SamplerSetExt<3>},
    {"F_GPUSetTexMinMip", F_SamplerSet<4>},
    {"F_GPUSetTexMinMipExt", F_SamplerSetExt<4>},
    {"F_GPUSetTexMaxMip", F_SamplerSet<5>},
    {"F_GPUSetTexMaxMipExt", F_SamplerSetExt<5>},
    {"F_GPUSetTexMaxAniso", F_SamplerSet<6>},
    {"F_GPUSetTexMaxAnisoExt", F_SamplerSetExt<6>},
    {"F_GPUSetTexMipEnable", F_SamplerSet<7>},
    {"F_GPUSetTexMipEnableExt", F_SamplerSetExt<7>},
    {"F_GPUGetTexFilter", F_SamplerGet<0>},
    {"F_GPUGetTexFilterExt", F_SamplerGetExt<0>},
    {"F_GPUGetTexRepeat", F_SamplerGet<1>},
    {"F_GPUGetTexRepeatExt", F_SamplerGetExt<1>},
    {"F_GPUGetTexMipFilter", F_SamplerGet<2>},
    {"F_GPUGetTexMipFilterExt", F_SamplerGetExt<2>},
    {"F_GPUGetTexMipBias", F_SamplerGet<3>},
    {"F_GPUGetTexMipBiasExt", F_SamplerGetExt<3>},
    {"F_GPUGetTexMinMip", F_SamplerGet<4>},
    {"F_GPUGetTexMinMipExt", F_SamplerGetExt<4>},
    {"F_GPUGetTexMaxMip", F_SamplerGet<5>},
    {"F_GPUGetTexMaxMipExt", F_SamplerGetExt<5>},
    {"F_GPUGetTexMaxAniso", F_SamplerGet<6>},
    {"F_GPUGetTexMaxAnisoExt", F_SamplerGetExt<6>},
    {"F_GPUGetTexMipEnable", F_SamplerGet<7>},
    {"F_GPUGetTexMipEnableExt", F_SamplerGetExt<7>},
    {"F_GPUPushState", F_GPUPushState},
    {"F_GPUPopState", F_GPUPopState},
    {"F_Tarvo_EnableAlphaBlend", F_Tarvo_EnableAlphaBlend},
    {"F_Tarvo_DrawFlush", F_Tarvo_DrawFlush},
};

TRoutine Find(const char* handler) {
    for (const GpuHandlerRow& row : kHandlers)
        if (std::strcmp(row.handler, handler) == 0) return row.routine;
    for (const GpuHandlerRow& row : GpuStateBuiltins())
        if (std::strcmp(row.handler, handler) == 0) return row.routine;
    return F_GPUNotBuilt;
}

void Register(std::span<const GpuRow> rows) {
    for (const GpuRow& row : rows) Function_Add(row.name, Find(row.handler), row.argc, row.flag);
}

} // namespace

std::span<const GpuRow> Graphics3D_LegacyOrder() {
    return kLegacyOrder;
}
std::span<const GpuRow> Graphics3D_AlwaysOrder() {
    return kAlwaysOrder;
}
std::span<const GpuRow> Graphics3D_NewGenOrder() {
    return kNewGenOrder;
}

bool GpuBuiltin_Built(const char* handler) {
    return Find(handler) != F_GPUNotBuilt;
}

void Init3DFunctions() {
    if (!g_isNimbar) Register(kLegacyOrder);
    Register(kAlwaysOrder);
    if (g_isNimbar) {
        Draw_Color = 0xFFFFFFFFu; // white, opaque; the separate draw alpha stays
        Register(kNewGenOrder);
    }
}
