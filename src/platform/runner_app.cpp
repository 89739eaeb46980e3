// The application on SDL2 and its engine-state machine.
#include "platform/runner_app.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/console.h"
#include "core/error.h"
#include "core/file_paths.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/run_settings.h"
#include "core/timing.h"
#include "core/unzip.h"
#include "platform/builtin_splash.h"
#include "platform/gl_view.h"
#include "platform/input_capture.h"
#include "platform/resources.h"
#include "platform/sdl_audio_devices.h"
#include "platform/vblank.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "render/shell_services.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/run/command_line.h"
#include "world/run/startup.h"
#include "world/run/startup_services.h"

bool g_OSPauseEventRaised = false;
bool g_FirstRun = true;
int g_argc = 0;
const char* const* g_argv = nullptr;
Mac_RunnerAppDelegate* macRunnerDelegate = nullptr;

namespace {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 720;
constexpr const char* kDefaultName = "corvane";

TickObserver g_tickObserver = nullptr;
std::string g_displayedGameName = kDefaultName;
std::string g_displayedCopyright;
bool g_hasCopyright = false;

// The process arguments as one command line, each quoted so that paths with
// blanks survive.
std::string QuotedArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (!line.empty()) line += ' ';
        line += '"';
        line += argv[i] != nullptr ? argv[i] : "";
        line += "\" ";
    }
    return line;
}

bool EndsWithExactly(const std::string& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

void ReportFailure() {
    const char* text = Display_Error_Message != nullptr ? Display_Error_Message->Get() : nullptr;
    if (text == nullptr || text[0] == '\0') text = GameData_LastError();
    if (text != nullptr && text[0] != '\0') std::fprintf(stderr, "%s\n", text);
}

std::string Stripped(const char* text) {
    if (text == nullptr) return {};
    if (text[0] != '"') return text;
    std::string rest(text + 1);
    if (!rest.empty()) rest.pop_back();
    return rest;
}

} // namespace

void Platform_SetTickObserver(TickObserver observer) {
    g_tickObserver = observer;
}

void RemoveBeginingAndEndQuotes(const char* text, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return;
    const std::string s = Stripped(text);
    const size_t n = s.size() < outSize - 1 ? s.size() : outSize - 1;
    std::memcpy(out, s.data(), n);
    out[n] = '\0';
}

// Texts of any length are taken whole: the name and copyright are kept as
// strings, never in a fixed buffer.
const std::string& Platform_DisplayedGameName() {
    return g_displayedGameName;
}

void PropagateGameName(const char* name) {
    const std::string s = Stripped(name);
    if (macRunnerDelegate != nullptr)
        macRunnerDelegate->propagateGameName(s.c_str());
    else
        g_displayedGameName = s;
}

void PropagateCopyright(const char* text) {
    const std::string s = Stripped(text);
    if (macRunnerDelegate != nullptr)
        macRunnerDelegate->propagateCopyright(s.c_str());
    else
        g_displayedCopyright = s, g_hasCopyright = true;
}

// ---------------------------------------------------------------------------
// The delegate

void Mac_RunnerAppDelegate::enterState(int state) {
    m_engineState = state;
    m_dateStateEntered = Timing_Time();
}

bool Mac_RunnerAppDelegate::beenInStateForSecs(float seconds) const {
    return static_cast<double>(Timing_Time() - m_dateStateEntered) / 1e6 >= static_cast<double>(seconds);
}

void Mac_RunnerAppDelegate::propagateGameName(const char* name) {
    g_displayedGameName = name != nullptr                 ? name
                          : g_pGameDisplayName != nullptr ? g_pGameDisplayName
                                                          : kDefaultName;
    if (ZQGLView::Main() != nullptr) ZQGLView::Main()->SetTitle(g_displayedGameName.c_str());
}

void Mac_RunnerAppDelegate::propagateCopyright(const char* text) {
    g_hasCopyright = text != nullptr;
    g_displayedCopyright = text != nullptr ? text : "";
}

// Without the development download mode (not built), a missing file still
// enters the start pass, which reports it and ends the run.
void Mac_RunnerAppDelegate::startGame() {
    ZQ_Free(g_requestedExecutableFile);
    g_requestedExecutableFile = nullptr;
    const std::string candidate = g_pGameName != nullptr && g_pGameName[0] != '\0'
                                      ? std::string(g_pGameName)
                                      : Platform_ResourcePath("game.ios");
    if (RegularFileExists(candidate.c_str())) {
        dbg_csol->Output("requested file - %s\n", candidate.c_str());
        LoadSave_SetGameName(candidate.c_str());
        if (EndsWithExactly(candidate, ".zip")) {
            enterState(kStateExpandArchive);
            return;
        }
        g_requestedExecutableFile = ZQStrDup(candidate.c_str());
    }
    enterState(kStateFirstPass);
}

// The development download mode that would fetch the archive again is not
// built, so an archive that cannot be used ends the run with its reason
// instead of retrying for ever.
void Mac_RunnerAppDelegate::ExpandArchive() {
    const std::string gameDir = std::string(GetSavePrePend()) + "game";
    const std::string assetsDir = gameDir + "/assets";
    const std::string archive = g_pGameName != nullptr && g_pGameName[0] != '\0'
                                    ? std::string(g_pGameName)
                                    : gameDir + "/GameAssetsMac.zip";
    std::error_code ignored;
    std::filesystem::create_directories(assetsDir, ignored);
    dbg_csol->Output("game name - %s\n", archive.c_str());
    dbg_csol->Output("game dir name - %s\n", gameDir.c_str());
    dbg_csol->Output("assets dir name - %s\n", assetsDir.c_str());
    const auto stop = [this](const char* reason, const std::string& path) {
        std::fprintf(stderr, "%s %s\n", reason, path.c_str());
        failed = true;
        enterState(kStateQuit);
    };
    if (Command_Unzip(archive.c_str(), gameDir.c_str(), 0, 0, nullptr) < 1) {
        stop("Error on Expand:", archive);
        return;
    }
    const std::string game = assetsDir + "/game.ios";
    if (!RegularFileExists(game.c_str())) {
        stop("Not an iOS package:", archive);
        return;
    }
    g_requestedExecutableFile = ZQStrDup(game.c_str());
    LoadSave_SetGameName(game.c_str());
    const std::string splash = assetsDir + "/splash.png";
    if (RegularFileExists(splash.c_str()) && ZQGLView::Main() != nullptr)
        ZQGLView::Main()->setSplashFile(splash.c_str());
    enterState(kStateFirstPass);
}

void Mac_RunnerAppDelegate::timerFunc() {
    ZQGLView* view = ZQGLView::Main();
    if (view == nullptr || !view->Minimised()) performGameStep();
}

void Mac_RunnerAppDelegate::SplashFrame(bool drawSplash) {
    ZQGLView* view = ZQGLView::Main();
    if (view == nullptr) return;
    view->beginRender(drawSplash);
    view->endRender(false);
}

void Mac_RunnerAppDelegate::End() {
    Mac_End();
    needsEnd = false;
}

// After the first start pass: the built-in splash when the header asks for
// it, and full screen at start (whatever bit 6 says: it is the game's choice).
void Mac_RunnerAppDelegate::ApplyHeaderScreenFlags() {
    ZQGLView* view = ZQGLView::Main();
    if (view == nullptr) return;
    if ((g_InitialScreenFlags & kScreenBuiltInSplash) != 0) {
        int size = 0;
        const uint8_t* data = LoadHobbySplash(&size);
        view->setSplashData(data, static_cast<size_t>(size));
    }
    if ((g_InitialScreenFlags & kScreenStartFullScreen) != 0) {
        toggleFullScreen();
        wind_fullscreen = true;
    }
}

void Mac_RunnerAppDelegate::performGameStep() {
    if (m_engineState == kStateQuit) return;
    ZQGLView* view = ZQGLView::Main();
    if (m_engineState >= kStateIdle && view != nullptr) {
        g_fFlip = true;
        view->beginRender(false);
    }
    StateWork();
    if (m_engineState >= kStateIdle && view != nullptr && view->ContextCreated()) view->endRender(g_fFlip);
}

void Mac_RunnerAppDelegate::StateWork() {
    ZQGLView* view = ZQGLView::Main();
    switch (m_engineState) {
        case kStateExpandArchive: ExpandArchive(); break;
        case kStateFirstPass:
            needsEnd = true;
            if (!Mac_Startup(g_argc, g_argv)) {
                // A game that cannot start shows no splash: the reason is
                // reported and the application ends at once.
                failed = true;
                ReportFailure();
                End();
                enterState(kStateQuit);
                return;
            }
            if (view != nullptr && g_InitialScreenSizeX > 0 && g_InitialScreenSizeY > 0)
                CreateDesktopWindow(g_InitialScreenSizeX, g_InitialScreenSizeY);
            ApplyHeaderScreenFlags();
            enterState(kStateSplashWait);
            break;
        case kStateSplashWait:
            if (beenInStateForSecs(0.2f)) {
                SplashFrame(true);
                if (view != nullptr) view->SetHidden(false);
                enterState(kStateSplashShow);
            }
            break;
        case kStateSplashShow:
            SplashFrame(true);
            if (beenInStateForSecs(0.2f)) enterState(kStateSplashHold);
            break;
        case kStateSplashHold:
            if (beenInStateForSecs(3.0f)) {
                SplashFrame(false);
                enterState(kStateSecondPass);
            } else {
                SplashFrame(true);
            }
            break;
        case kStateSecondPass:
            g_ReStart = false;
            enterState(kStateRunning);
            if (view != nullptr) {
                view->beginRender(false);
                glClearColor(0, 0, 0, 1);
                glClearDepth(1.0);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                view->endRender(false);
            }
            needsEnd = true;
            if (!BeginToEnd() || !Run_Running) {
                failed = true;
                ReportFailure();
                End();
                enterState(kStateQuit);
            }
            break;
        case kStateRunning: {
            g_fFlip = false;
            const bool paused = Run_Paused;
            const bool stepping = singleStep;
            if (stepping) Run_Paused = false;
            Input_UpdateEvents();
            Mac_Process();
            if (aborterror) {
                // A fatal error ends the run; its report already went out.
                failed = true;
                Run_Running = false;
            }
            if (!Run_Running) {
                if (failed) ReportFailure();
                End();
                if (g_ReStart) {
                    enterState(kStateSecondPass);
                    g_FirstRun = false;
                } else {
                    enterState(kStateQuit);
                }
            }
            if (stepping) {
                singleStep = false;
                Run_Paused = paused;
            }
            break;
        }
        case kStateEnding:
            End();
            if (g_bLaunchedFromPlayer || g_ReStart) {
                enterState(kStateSecondPass);
                g_FirstRun = false;
            }
            break;
        default: break;
    }
}

// Quitting (or closing the main window) ends a running game with its end
// sequence, so nothing it would save on the way out is lost.
void Mac_RunnerAppDelegate::applicationShouldTerminate() {
    if (g_bLaunchedFromPlayer || g_ReStart) {
        Run_Running = false;
        m_engineState = kStateEnding;
        return;
    }
    if (Run_Running) {
        Run_Running = false;
        End();
    }
    m_engineState = kStateQuit;
}

void Mac_RunnerAppDelegate::windowShouldClose() {
    applicationShouldTerminate();
}

// ---------------------------------------------------------------------------
// The application

namespace {

void HandleEvent(Mac_RunnerAppDelegate& app, const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        app.applicationShouldTerminate();
        return;
    }
    if (Input_HandleEvent(e)) return;
    if (e.type != SDL_WINDOWEVENT) return;
    Window_HandleEvent(e);
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: app.windowShouldClose(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: app.windowDidResignKey(); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: app.windowDidBecomeKey(); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (ZQGLView::Main() != nullptr) ZQGLView::Main()->reshape();
            break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: {
            // The window moved to another display: follow its refresh rate.
            SDL_DisplayMode mode{};
            if (SDL_GetCurrentDisplayMode(static_cast<int>(e.window.data1), &mode) == 0)
                VBlank_SetRefreshRate(mode.refresh_rate);
            break;
        }
        default: break;
    }
}

} // namespace

int Platform_RunApplication(int argc, const char* const* argv) {
    g_argc = argc;
    g_argv = argv;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "corvane: cannot start the video system: %s\n", SDL_GetError());
        return 1;
    }
    dbg_csol->Output("Video driver = %s\n", SDL_GetCurrentVideoDriver());
    // The mixer's output and capture devices; nothing opens them until the
    // sound system does.
    Platform_InstallAudioDevices();

    // The command line is handed over once before the game file is chosen.
    const std::string line = QuotedArguments(argc, argv);
    dbg_csol->Output("Command Line = %s\n", line.c_str());
    ProcessCommandLine(line.c_str());

    ZQGLView view;
    const char* error = "";
    if (!view.Create(kDefaultWidth, kDefaultHeight, kDefaultName, &error)) {
        std::fprintf(stderr, "corvane: cannot open a window with OpenGL: %s\n", error);
        SDL_Quit();
        return 1;
    }
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(view.Window());
    VBlank_SetRefreshRate(display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate
                                                                                         : 0);

    g_pShellGraphicsReset = GraphicsResetM;
    Mac_RunnerAppDelegate app;
    macRunnerDelegate = &app;
    app.propagateGameName(nullptr);
    app.startGame();

    const int64_t interval = static_cast<int64_t>(kTimerInterval * 1e6);
    while (app.engineState() != kStateQuit) {
        const int64_t start = Timing_Time();
        SDL_Event e;
        while (SDL_PollEvent(&e)) HandleEvent(app, e);
        app.timerFunc();
        if (g_tickObserver != nullptr) g_tickObserver(app.engineState());
        const int64_t spent = Timing_Time() - start;
        if (app.engineState() != kStateQuit && spent >= 0 && spent < interval) Timing_Doze(interval - spent);
    }
    if (app.needsEnd) {
        Run_Running = false;
        Mac_End();
    }
    macRunnerDelegate = nullptr;
    g_pShellGraphicsReset = nullptr;
    view.Destroy();
    SDL_Quit();
    CommandLine_Quit();
    return app.failed ? 1 : 0;
}
