// The start-up sequence and the end of the run. Initialisers, registrars and
// finalisers stand in tables in their fixed order, so the order is stated
// once and a test seam can watch it run.
#include "world/run/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "core/builtin_variables.h"
#include "core/console.h"
#include "core/crc32.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/run_settings.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/timing.h"
#include "core/utilities.h"
#include "core/variable_names.h"
#include "core/variables.h"
#include "data/ds_tables.h"
#include "room/room_table.h"
#include "world/builtins/game_builtins.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/motion/path_resources.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"
#include "world/run/command_line.h"
#include "world/run/game_prepare.h"
#include "world/run/main_loop.h"
#include "world/run/room_transitions.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

bool g_bGetResolution = true;
int64_t g_StartTime = 0;
bool g_fDoFirstShow = false;

namespace {

constexpr int kRunnerMajor = 1;
constexpr int kRunnerMinor = 0;
constexpr int kRunnerBuild = 189;
constexpr int kRunnerRevision = 32908;
constexpr unsigned kRandomSeed = 2101988;

void (*g_TraceHook)(const char*) = nullptr;

struct Step {
    const char* name;
    void (*run)();
};

void RunSteps(const Step* steps, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (g_TraceHook != nullptr) g_TraceHook(steps[i].name);
        steps[i].run();
    }
}

template <size_t N>
void RunSteps(const Step (&steps)[N]) {
    RunSteps(steps, N);
}

const Step kInitialisers[] = {
    {"RomDisk::Init", RomDisk_Init},
    {"Timing_Init", Timing_Init},
    {"InitFastCRC", InitFastCRC},
    {"INITIALIZE_PlatformSpecific", INITIALIZE_PlatformSpecific},
    {"INITIALIZE_Support_File", INITIALIZE_Support_File},
    {"INITIALIZE_Graphics_Draw", INITIALIZE_Graphics_Draw},
    {"INITIALIZE_Code_Constant", INITIALIZE_Code_Constant},
    {"INITIALIZE_Graphics_Window", INITIALIZE_Graphics_Window},
    {"INITIALIZE_Particle_Main", INITIALIZE_Particle_Main},
    {"INITIALIZE_Run_Global", INITIALIZE_Run_Global},
    {"INITIALIZE_Sound_DirectX", INITIALIZE_Sound_DirectX},
    {"INITIALIZE_Variable_BuiltIn", INITIALIZE_Variable_BuiltIn},
    {"INITIALIZE_Path", INITIALIZE_Path},
    {"INITIALIZE_Score", INITIALIZE_Score},
    {"INITIALIZE_Main", INITIALIZE_Main},
    {"CCameraManager::SetupVTLFunctions", CameraManager_SetupVTLFunctions},
};

struct Registrar {
    const char* message; // on the start-up console before it, or null
    Step step;
};

const Registrar kRegistrars[] = {
    {"HighScore..", {"HighScore_InitLoad", HighScore_InitLoad}},
    {"Game..", {"InitGameFunctions", InitGameFunctions}},
    {"Math..", {"InitMathFunctions", InitMathFunctions}},
    {"Graphic..", {"InitGraphicFunctions", InitGraphicFunctions}},
    {"Action..", {"InitActionFunctions", InitActionFunctions}},
    {"File..", {"InitFileFunctions", InitFileFunctions}},
    {"Resource..", {"InitResourceFunctions", InitResourceFunctions}},
    {"Interaction..", {"InitInteractionFunctions", InitInteractionFunctions}},
    {"3D..", {"Init3DFunctions", Init3DFunctions}},
    {"Particle..", {"InitParticlesFunctions", InitParticlesFunctions}},
    {"Misc..", {"InitMiscFunctions", InitMiscFunctions}},
    {"DS..", {"InitDataStructuresFunctions", InitDataStructuresFunctions}},
    {"Sound..", {"InitSoundFunctions", InitSoundFunctions}},
    {"Physics..", {"InitPhysicsFunctions", InitPhysicsFunctions}},
    {"Gamepad..", {"InitGamepadFunctions", InitGamepadFunctions}},
    {"Buffers..", {"InitBufferFunctions", InitBufferFunctions}},
    {nullptr, {"InitBufferVertexFunctions", InitBufferVertexFunctions}},
    {"Networking..", {"InitNetworkingFunctions", InitNetworkingFunctions}},
    {"Shaders..", {"InitShaderFunctions", InitShaderFunctions}},
    {nullptr, {"InitVertexFormats", InitVertexFormats}},
    {nullptr, {"InitSteamFunctions", InitSteamFunctions}},
    {nullptr, {"InitPushFunctions", InitPushFunctions}},
    {"Tarvo..", {"InitTarvoFunctions", InitTarvoFunctions}},
    {nullptr, {"InitMetroFunctions", InitMetroFunctions}},
    {nullptr, {"CLayerManager::InitLayerFunctions", LayerManager_InitLayerFunctions}},
};

const Step kFinalisers[] = {
    {"QuitTarvoFunctions", QuitTarvoFunctions},
    {"QuitNetworkingFunctions", QuitNetworkingFunctions},
    {"Steam_Shutdown", Steam_Shutdown},
    {"FINALIZE_Score", FINALIZE_Score},
    {"FINALIZE_Code_Constant", FINALIZE_Code_Constant},
    {"FINALIZE_Code_Function", FINALIZE_Code_Function},
    {"FINALIZE_Code_Main", FINALIZE_Code_Main},
    {"FINALIZE_Code_Variable", FINALIZE_Code_Variable},
    {"FINALIZE_Motion_Grid", FINALIZE_Motion_Grid},
    {"FINALIZE_Room_Main", FINALIZE_Room_Main},
    {"FINALIZE_Instance_Class", FINALIZE_Instance_Class},
    {"FINALIZE_Run_Main", FINALIZE_Run_Main},
    {"FINALIZE_Object_Lists", FINALIZE_Object_Lists},
    {"FINALIZE_Object_Main", FINALIZE_Object_Main},
    {"FINALIZE_Object_Class", FINALIZE_Object_Class},
    {"FINALIZE_Particle_Main", FINALIZE_Particle_Main},
    {"FINALIZE_Sprite_Class", FINALIZE_Sprite_Class},
    {"FINALIZE_Sprite_Main", FINALIZE_Sprite_Main},
    {"FINALIZE_Support_File", FINALIZE_Support_File},
    {"FINALIZE_VertexFormats", FINALIZE_VertexFormats},
    {"FINALIZE_Graphics_Display", FINALIZE_Graphics_Display},
    {"FINALIZE_Background", FINALIZE_Background},
    {"FINALIZE_Graphics_Texture", FINALIZE_Graphics_Texture},
    {"FINALIZE_Script_Main", FINALIZE_Script_Main},
    {"FINALIZE_Variable_Main", FINALIZE_Variable_Main},
    {"FINALIZE_Font_Main", FINALIZE_Font_Main},
    {"FINALIZE_Graphics_Text", FINALIZE_Graphics_Text},
    {"FINALIZE_Event_Action", FINALIZE_Event_Action},
    {"FINALIZE_Function_File", FINALIZE_Function_File},
    {"FINALIZE_Timeline_Main", FINALIZE_Timeline_Main},
    {"FINALIZE_Runner_Form", FINALIZE_Runner_Form},
    {"FINALIZE_Sound", FINALIZE_Sound},
    {"FINALIZE_All", FINALIZE_All},
};

// The registrations of the last InitVTLFunctions: entries [start, end) of
// the function table.
int32_t g_vtlStart = -1;
int32_t g_vtlEnd = -1;

void Banner(tagIConsole* console, const char* title) {
    console->Output("***************************************\n");
    console->Output("%s\n", title);
    console->Output("***************************************\n");
}

bool FirstPass() {
    init_csol->Output("Create Error Form\n");
    Code_Error::Create();
    MemoryManager::Init(); // lets the small-block pools serve from here on
    char title[96];
    std::snprintf(title, sizeof title, "*  corvane runner v%d.%d(%d)[r%d]", kRunnerMajor, kRunnerMinor,
                  kRunnerBuild, kRunnerRevision);
    Banner(init_csol, title);

    if (RunnerLoadGame() != 0) return false;
    g_StartTime = static_cast<int64_t>(std::time(nullptr));

    init_csol->Output("Get Resolution\n");
    if (!GetResolution(g_pGameFileBuffer, static_cast<size_t>(g_GameFileLength))) return false;

    // No window on this platform yet: the shell creates it later.
    init_csol->Output("Create Window\n");
    g_bGetResolution = false;
    return true;
}

bool SecondPass() {
    init_csol->Output("Init Graphics\n");
    if (!InitGraphics()) return false;
    init_csol->Output("IO Init\n");
    IO_Init();
    init_csol->Output("Process Messages\n");
    ProcessMessages();
    init_csol->Output("Splash!\n");
    DrawSplash();
    init_csol->Output("Start Frame\n");
    GR_D3D_Start_Frame();
    init_csol->Output("Part Create Textures\n");
    Part_CreateTextures();
    init_csol->Output("Debug Init Remote Interface\n");
    Debug_InitRemoteInterface();
    init_csol->Output("VM Init\n");
    VM_Init();
    init_csol->Output("Create Score Form\n");
    init_csol->Output("Create Load Form\n");
    init_csol->Output("Do The Work\n");
    return DoTheWork();
}

// Writes a text as one double-quoted command-line argument.
void AppendQuoted(std::string& line, const char* text) {
    line += '"';
    line += text != nullptr ? text : "";
    line += "\" ";
}

void ReplaceCommandLine(const std::string& line) {
    ZQ_Free(g_pCommandLine);
    g_pCommandLine = ZQStrDup(line.c_str());
}

void FreeText(char*& text) {
    ZQ_Free(text);
    text = nullptr;
}

// The headless flag decides whether anything goes to standard output, so it
// is taken from the arguments before the first line is printed.
void PreScanHeadless(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] != nullptr && std::strcmp(argv[i], "-headless") == 0) g_fHeadless = true;
}

} // namespace

void Startup_SetTraceHook(void (*hook)(const char*)) {
    g_TraceHook = hook;
}

bool Mac_Startup(int argc, const char* const* argv) {
    PreScanHeadless(argc, argv);
    CommandLine_Build(argc, argv);
    MemoryManager::Init();
    ProcessCommandLine(g_pCommandLine);
    Banner(dbg_csol, "*  corvane runner for Linux, version 0.1");
    dbg_csol->Output("MemoryManager allocated: %d\n", static_cast<int>(MemoryManager::m_Total));
    dbg_csol->Output("Processing command line %s\n", g_pCommandLine != nullptr ? g_pCommandLine : "");
    if (!Init()) return false;
    return BeginToEnd();
}

bool Init() {
    RunSteps(kInitialisers);
    ProcessMessages();
    return true;
}

bool BeginToEnd() {
    if (g_bGetResolution) return FirstPass();
    return SecondPass();
}

bool DoTheWork() {
    std::srand(kRandomSeed);
    if (!RunnerLoadWad()) {
        dbg_csol->Output("Failed to load the game\n");
        return false;
    }
    Variable_Global_Init();
    init_csol->Output("PrepareGame()\n");
    if (!PrepareGame()) return false;
    init_csol->Output("Run_Start\n");
    Run_Start();
    return true;
}

bool ShouldDisplaySplash() {
    return false;
}

void DrawLogo(int) {}
void ProcessMessages() {}
void INITIALIZE_PlatformSpecific() {}
void FINALIZE_PlatformSpecific() {}
void Run_Terminate() {}

void DrawSplash() {
    if (g_fHeadless || !ShouldDisplaySplash()) return;
    for (int frame = 0; frame < 5; ++frame) {
        GR_D3D_Start_Frame();
        DrawLogo(frame);
        ProcessMessages();
    }
    DrawLogo(-1);
}

void InitVTLFunctions() {
    if (g_vtlStart >= 0 && the_numb == g_vtlEnd && g_vtlStart <= the_numb) the_numb = g_vtlStart;
    g_vtlStart = the_numb;
    for (const Registrar& r : kRegistrars) {
        if (r.message != nullptr) init_csol->Output("%s", r.message);
        if (g_TraceHook != nullptr) g_TraceHook(r.step.name);
        r.step.run();
    }
    init_csol->Output("Fini\n");
    g_vtlEnd = the_numb;
}

int64_t Mac_Process() {
    return MainLoop_Process();
}

void EndOfGame() {
    IO_Quit();
    SND_End();
    Profiler_ProfileDump();
}

void Quit() {
    RunSteps(kFinalisers);
    Profiler_Clean();
    GR_D3D_End();
    g_fDoFirstShow = true; // no window exists yet; the shell shows the next one
    FINALIZE_PlatformSpecific();
    VM_Quit();
    g_vtlStart = g_vtlEnd = -1;
}

void RunGame() {
    if (g_pExecuteGame != nullptr) {
        std::string line = "-game ";
        AppendQuoted(line, g_pExecuteGame);
        if (g_pExitGame != nullptr) {
            line += "-exit ";
            AppendQuoted(line, g_pExitGame);
            if (!g_fHeadless) std::printf("%s\n", line.c_str());
            g_bLaunchedFromPlayer = true;
        }
        ReplaceCommandLine(line);
        g_ReStart = true;
        FreeText(g_pExecuteGame);
        FreeText(g_pExitGame);
    } else if (g_pExitGame_CMD != nullptr) {
        aborterror = false;
        std::string line = "-game ";
        AppendQuoted(line, g_pExitGame_CMD);
        ReplaceCommandLine(line);
        g_bLaunchedFromPlayer = false;
        g_ReStart = true;
        FreeText(g_pExitGame_CMD);
    }
}

void Mac_End() {
    if (!Run_Running) Run_EndGame();
    EndOfGame();
    Quit();
    RunGame();
    FINALIZE_Run_Global();
    g_InitFilePathBuffer = false;
}

void SetDebugMode(bool debug) {
    g_DebugMode = debug;
    Setup_SetupDataStructureFunctions(debug);
}

void SetLaunchedFromPlayer(const char*, bool launched) {
    g_bLaunchedFromPlayer = launched;
}

int Startup_RunGame(int argc, const char* const* argv) {
    int status = 0;
    for (;;) {
        g_bGetResolution = true;
        const bool started = Mac_Startup(argc, argv) && BeginToEnd() && Run_Running;
        // A fatal error during the start ends the run before the first frame.
        while (Run_Running && !aborterror) Mac_Process();
        // A game that ended itself ends well; one that never started, or
        // stopped on a fatal error, does not.
        status = !started || aborterror ? 1 : 0;
        // Until a window can show it, the report also goes to standard error.
        if (status != 0) {
            const char* text = Display_Error_Message != nullptr ? Display_Error_Message->Get() : nullptr;
            if (text == nullptr || text[0] == '\0') text = GameData_LastError();
            if (text != nullptr && text[0] != '\0') std::fprintf(stderr, "%s\n", text);
        }
        Run_Running = false;
        Mac_End();
        if (!g_ReStart) break;
        g_ReStart = false;
    }
    CommandLine_Quit();
    return status;
}
