// The run-wide state with its start values (INITIALIZE_Run_Global, in the
// room transitions, sets them again at every start).
#include "core/run_globals.h"

#include <initializer_list>

#include "core/memory_manager.h"

bool Run_Running = false;
bool Run_Paused = false;
int32_t Current_Room = 0;
int32_t Transition_Kind = 0;
int32_t Score = 0;
int32_t Lives = -1;
double Health = 100.0;
RefString* Score_Caption = nullptr;
RefString* Lives_Caption = nullptr;
RefString* Health_Caption = nullptr;
bool Score_ShowCaption = true;
bool Score_ShowCaptionSet = false;
bool Lives_ShowCaption = false;
bool Health_ShowCaption = false;
int32_t Current_View = 0;
bool Secure_Mode = false;
int32_t Cursor_Sprite = -1;
int32_t Cursor_Subimage = 0;
bool Draw_Automatic = true;
bool g_GameStarted = false;
char* Load_GameName = nullptr;

int32_t g_ApplicationSurface = APPLICATION_SURFACE_NONE;
bool g_Application_Surface_Autodraw = true;
bool g_NewApplicationSize = false;
int32_t g_NewApplicationWidth = -1;
int32_t g_NewApplicationHeight = -1;
int32_t g_CurrentViewSurfaceTexture = -1;
int32_t g_MouseTimer = -1;

void RunGlobals_Reset() {
    for (RefString** caption : {&Score_Caption, &Lives_Caption, &Health_Caption}) {
        if (*caption != nullptr) (*caption)->Dec();
        *caption = nullptr;
    }
    ZQ_Free(Load_GameName);
    Load_GameName = nullptr;
    Run_Running = false;
    Run_Paused = false;
    Current_Room = 0;
    Transition_Kind = 0;
    Score = 0;
    Lives = -1;
    Health = 100.0;
    Score_ShowCaption = true;
    Score_ShowCaptionSet = false;
    Lives_ShowCaption = false;
    Health_ShowCaption = false;
    Current_View = 0;
    Secure_Mode = false;
    Cursor_Sprite = -1;
    Cursor_Subimage = 0;
    Draw_Automatic = true;
    g_GameStarted = false;
    g_ApplicationSurface = APPLICATION_SURFACE_NONE;
    g_Application_Surface_Autodraw = true;
    g_NewApplicationSize = false;
    g_NewApplicationWidth = -1;
    g_NewApplicationHeight = -1;
    g_CurrentViewSurfaceTexture = -1;
    g_MouseTimer = -1;
}
