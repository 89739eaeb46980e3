// The game itself, loaded in-process from the data file the build writes
// (assets/game.ios beside the corvane executable) with the game's real
// binding record, started headless (no drawing) and stepped one step at a
// time; keys are pressed and released through the platform copy of the
// input state, as the window would. Graphics are open on Mesa's software
// renderer (headless EGL): the pile samples its picture through a surface,
// which a game without graphics refuses with an error that ends the game.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/code.h"
#include "core/function_table.h"
#include "core/memory_manager.h"
#include "core/random.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/variables.h"
#include "game/game_code.h"
#include "headless_gl.h"
#include "platform/gl_view.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/render_state.h"
#include "render/surface.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/input/input_recording.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"
#include "world/run/game_prepare.h"
#include "world/run/main_loop.h"
#include "world/run/room_transitions.h"
#include "world/run/startup.h"

// The built data file.
inline std::string GameDataPath() {
    std::string exe = CORVANE_BINARY;
    return exe.substr(0, exe.rfind('/')) + "/assets/game.ios";
}

inline std::vector<uint8_t> ReadGameData() {
    std::ifstream in(GameDataPath(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// `randomize` rebound by FixRandomize: seeds the generator with this.
inline uint32_t g_GameTestSeed = 1;
inline void F_GameTest_FixedRandomize(RValue& result, CInstance*, CInstance*, int, RValue*) {
    InitRandom(g_GameTestSeed);
    result = RValue_Real(0);
}

class GameRun : public ::testing::Test {
protected:
    static constexpr int kWidth = 640, kHeight = 360;

    GameRun() = default;
    // A default framebuffer (the headless stand-in for the window's
    // drawable) of another size than the design area's.
    GameRun(int width, int height) : m_gl{width, height} {}

    void SetUp() override {
        ASSERT_TRUE(m_gl.Ok()) << m_gl.Error();
        // The device first: the pages become textures as they load. A test
        // that opened a window keeps the sizes its view recorded (the
        // drawable and the display's desktop mode), as the shell does: the
        // headless context's size stands in for them only without one.
        if (ZQGLView::Main() == nullptr) {
            g_DeviceWidth = g_DisplayWidth = m_gl.Width();
            g_DeviceHeight = g_DisplayHeight = m_gl.Height();
        }
        ASSERT_TRUE(GR_D3D_Init(nullptr, m_gl.Width(), m_gl.Height(), 0));
        g_States.Flush();
        Header_Reset();
        ASSERT_TRUE(Init());
        InitVTLFunctions();
        Code_LoadCompiledRecord(InitLLVM);
        m_image = ReadGameData();
        ASSERT_FALSE(m_image.empty()) << "no " << GameDataPath();
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size())) << GameData_LastError();
        ASSERT_TRUE(LoadGameData(m_image.data(), m_image.size())) << GameData_LastError();
        ASSERT_TRUE(PrepareGame());
        INITIALIZE_Run_Global();
        Run_SetHeadlessExit([](int) {});
        Draw_Automatic = false;
        m_loaded = true;
    }
    void TearDown() override {
        CloseInputFile();
        Draw_Automatic = true;
        ReleaseAllKeys();
        if (m_loaded) Run_EndGame();
        New_Room = ROOM_NONE;
        Room_Free();
        Code_UnbindGameData();
        Object_Init();
        FINALIZE_Instance_Class();
        FINALIZE_Variable_Main();
        FINALIZE_Code_Function();
        FINALIZE_Run_Global();
        Quit();
        Code_LoadCompiledRecord(nullptr);
        Run_SetHeadlessExit(nullptr);
        GR_Surface_FreeAll();
        TextureTable_Reset();
        while (Texture::ms_pFirst != nullptr) Graphics::FreeTexture(Texture::ms_pFirst);
        g_pBlankTexture = nullptr;
        GR_D3D_End();
        begin_end = 0;
        g_GraphicsInitialised = false;
        g_pGLLayer = nullptr;
        g_RenderTargetActive = 1;
        g_States.Reset();
        g_DeviceWidth = g_DeviceHeight = 0;
        g_DisplayWidth = g_DisplayHeight = 0;
    }

    // Makes `randomize` (the controller's, at the game room's start) seed
    // the generator with `seed`, so that a run repeats.
    static void FixRandomize(uint32_t seed) {
        g_GameTestSeed = seed;
        Function_Add("game_test_randomize", F_GameTest_FixedRandomize, 0, false);
        int id = -1;
        ASSERT_TRUE(Code_Function_Find("game_test_randomize", &id));
        g_GameFuncRecords[FN_randomize].id = id;
    }

    // Starts the game in `room` (0 the title, 2 the game room).
    void StartIn(int room) {
        StartGame();
        if (room != Current_Room) SwitchRoom(room);
        ASSERT_EQ(Current_Room, room);
    }
    // One step and the room change it asked for.
    void Step(int steps = 1) {
        for (int i = 0; i < steps; ++i) SingleStep();
    }

    // The input record file as the command line names it ("-playback" or
    // "-record"), opened as the input start-up opens it.
    static void OpenInputFile(const std::string& path, bool playback) {
        g_pIO_RecordFileName = static_cast<char*>(ZQ_Alloc(path.size() + 1));
        std::memcpy(g_pIO_RecordFileName, path.c_str(), path.size() + 1);
        (playback ? g_IO_Playback : g_IO_Record) = true;
        IO_Record_Open();
        ASSERT_NE(g_hIOFile, nullptr) << path;
    }
    static void CloseInputFile() {
        IO_Record_Close();
        g_IO_Record = g_IO_Playback = false;
        if (g_pIO_RecordFileName != nullptr) ZQ_Free(g_pIO_RecordFileName);
        g_pIO_RecordFileName = nullptr;
    }

    static void PressKey(int key) {
        g_mac_keysDown[key] = 1;
        g_mac_keysDownEdge[key] = 1;
        g_mac_curkey = g_mac_lastkey = key;
    }
    static void ReleaseKey(int key) {
        g_mac_keysDown[key] = 0;
        g_mac_keysUpEdge[key] = 1;
        g_mac_curkey = 0;
    }
    static void ReleaseAllKeys() {
        for (int key = 0; key < kIOKeyCount; ++key) g_mac_keysDown[key] = 0;
        g_mac_curkey = 0;
    }

    // The live instances of an object, in the room's order.
    static std::vector<CInstance*> InstancesOf(int object) {
        std::vector<CInstance*> found;
        if (Run_Room == nullptr) return found;
        for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext)
            if (!i->i_marked && i->m_pObject != nullptr && i->m_pObject->m_index == object)
                found.push_back(i);
        return found;
    }
    static CInstance* The(int object) {
        std::vector<CInstance*> found = InstancesOf(object);
        return found.empty() ? nullptr : found.front();
    }
    static double Slot(CInstance* instance, int slot) { return REAL_RValue(&Game_Slot(instance, slot)); }
    static int Alarm(CInstance* instance, int alarm) { return instance->GetTimer(alarm); }

    HeadlessGL m_gl{kWidth, kHeight};
    std::vector<uint8_t> m_image;
    bool m_loaded = false;
};
