#include "module_state.h"

#include <gtest/gtest.h>

#include "audio/legacy_sound.h"
#include "audio/sound_system.h"
#include "core/buffer_table.h"
#include "core/builtin_variables.h"
#include "core/collector.h"
#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/graphics_perf.h"
#include "core/load_save.h"
#include "core/random.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/timing_source.h"
#include "core/variables.h"
#include "data/ds_tables.h"
#include "library/drawing_builtins.h"
#include "library/interaction_builtins.h"
#include "platform/input_capture.h"
#include "platform/window.h"
#include "render/draw_primitives.h"
#include "render/gui_view.h"
#include "render/image_decode.h"
#include "render/legacy_3d.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/window_settings.h"
#include "render/window_views.h"
#include "room/camera_manager.h"
#include "room/layer_manager.h"
#include "room/room_table.h"
#include "sprites/background_table.h"
#include "sprites/font_table.h"
#include "sprites/particle_system.h"
#include "sprites/room_draw.h"
#include "sprites/sprite_table.h"
#include "sprites/text.h"
#include "world/collision/collision_pass.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/language.h"
#include "world/datafile/options.h"
#include "world/input/input_recording.h"
#include "world/input/input_state.h"
#include "world/instances/instance_tree.h"
#include "world/lifecycle/instance_life.h"
#include "world/motion/path_resources.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"
#include "world/run/command_line.h"
#include "world/run/game_prepare.h"
#include "world/run/main_loop.h"
#include "world/step/async_events.h"
#include "world/step/input_passes.h"
#include "world/step/step.h"

void ResetModuleState() {
    Console_Reset();
    Error_Reset();
    RunState_Reset();
    Random_Reset();
    Header_Reset();
    Options_Reset();
    CommandLine_Quit();
    // Pending operations and the collision pass's list refer to instances;
    // they go before the rooms, and the rooms before the layer pools, the
    // code and the types their instances refer to.
    Async_Reset();
    Particles_Reset();
    Sound_Reset();
    BufferTable_Reset();
    SND_ResetLegacy();
    CollisionPass_Reset();
    Room_Free();
    CLayerManager::Reset();
    CameraManager_Reset();
    Code_UnbindGameData();
    FINALIZE_Object_Lists();
    Object_Init();
    TimeLine_Init();
    Path_Init();
    CLangMan::Clear();
    DebugInfo_Free();
    IO_Record_Close();
    g_IO_Record = g_IO_Playback = false;
    IO_Clear();
    IO_Keymap_Clear();
    Function_Reset();
    FINALIZE_Code_Constant();
    FINALIZE_Variable_Main();
    SaveWhitelist_Clear();
    DS_Reset();
    FINALIZE_InstanceTree();
    InstanceLife_Reset();
    Step_Reset();
    InputPasses_Reset();
    Interaction_Reset();
    DrawingState_Reset();
    MainLoop_Reset();
    RunGlobals_Reset();
    Collector_Reset();
    LoadSave_Reset();
    GraphicsPerf_Reset();
    TimingSource_Reset();
    RenderState_Reset();
    InputCapture_Reset();
    Window_Reset();
    Legacy3D_Reset();
    Draw_Reset();
    Surface_Reset();
    WindowViews_Reset();
    WindowSettings_Reset();
    GuiView_Reset();
    RoomDraw_Reset();
    // No reader may outlive the image a test loaded.
    GameData_ForgetImage();
    // Fonts own textures of the table: they go first.
    Text_Reset();
    Font_Reset();
    Background_Free();
    Sprite_Free();
    TextureTable_Reset();
    g_TextureScale = 1;
    TextureDraw_Reset();
}

namespace {

class ModuleStateListener final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ResetModuleState(); }
};

// Registers the listener before main runs the tests; the listener list owns it.
const bool g_registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ModuleStateListener);
    return true;
}();

} // namespace

// Named by the test programs' link line, so that this file is linked into
// each of them although nothing else refers to it.
extern "C" const bool corvane_module_state_listener = g_registered;
