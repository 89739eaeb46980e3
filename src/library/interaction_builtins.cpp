// The interaction built-ins. Key and button queries read the input state
// latched for the step; dialogs go through the platform and clear the input
// afterwards, so that the keys that closed a dialog are not seen by the game.
#include "library/interaction_builtins.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/arguments.h"
#include "core/builtin_services.h"
#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/rvalue.h"
#include "core/timing_source.h"
#include "library/interaction_services.h"
#include "world/input/input_state.h"
#include "world/run/game_prepare.h"
#include "world/run/startup.h"
#include "world/run/startup_services.h"

char* splash_opt_caption = nullptr;
bool splash_opt_fullscreen = false;
bool splash_opt_showborder = true;
int32_t splash_opt_width = 640;
int32_t splash_opt_height = 480;
bool splash_opt_adapt = true;
bool splash_opt_ontop = true;
uint32_t splash_opt_backcol = 0;
bool splash_opt_inmain = true;
double splash_opt_scale = -1.0;
bool splash_opt_showcursor = true;
bool splash_opt_modal = true;
bool splash_opt_stop_key = true;
bool splash_opt_stop_mouse = true;
bool g_fDoubleClickAsMbRight = true;

void Interaction_Reset() {
    ZQ_Free(g_pWindowCaption);
    g_pWindowCaption = nullptr;
    ZQ_Free(splash_opt_caption);
    splash_opt_caption = nullptr;
    splash_opt_fullscreen = false;
    splash_opt_showborder = true;
    splash_opt_width = 640;
    splash_opt_height = 480;
    splash_opt_adapt = splash_opt_ontop = splash_opt_inmain = true;
    splash_opt_backcol = 0;
    splash_opt_scale = -1.0;
    splash_opt_showcursor = splash_opt_modal = splash_opt_stop_key = splash_opt_stop_mouse = true;
    g_fDoubleClickAsMbRight = true;
}

namespace {

using Args = RValue*;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}

// A text argument, "" when the string has no text.
const char* Text(const RValue* a, int i) {
    const char* s = ZQGetString(a, i);
    return s != nullptr ? s : "";
}

// A dialog's text: the argument's text form in a memory-manager block where,
// with old-generation data, "#" is a line break and "\#" a plain "#". The
// text is only ever passed on as text, never as a format.
class DialogText {
public:
    explicit DialogText(const RValue* v) {
        m_capacity = 16;
        m_text = static_cast<char*>(ZQ_Alloc(static_cast<size_t>(m_capacity)));
        if (m_text == nullptr) return;
        m_text[0] = '\0';
        char* cursor = m_text;
        STRING_RValue(&cursor, &m_text, &m_capacity, v);
        String_Replace_Hash(m_text);
    }
    ~DialogText() { ZQ_Free(m_text); }
    DialogText(const DialogText&) = delete;
    DialogText& operator=(const DialogText&) = delete;
    const char* c_str() const { return m_text != nullptr ? m_text : ""; }

private:
    char* m_text = nullptr;
    int m_capacity = 0;
};

const char* Caption() {
    return g_pWindowCaption != nullptr ? g_pWindowCaption : "";
}

// ---- splash settings and shows

void ReplaceCaption(const char* text) {
    char* copy = ZQStrDup(text);
    ZQ_Free(splash_opt_caption);
    splash_opt_caption = copy;
}

void F_SplashSetCaption(RValue&, CInstance*, CInstance*, int, Args a) {
    ReplaceCaption(Text(a, 0));
}
#define ZQ_BOOL_SETTING(handler, setting)                                                                    \
    void handler(RValue&, CInstance*, CInstance*, int, Args a) {                                             \
        setting = ZQGetBool(a, 0);                                                                           \
    }
ZQ_BOOL_SETTING(F_SplashSetFullscreen, splash_opt_fullscreen)
ZQ_BOOL_SETTING(F_SplashSetBorder, splash_opt_showborder)
ZQ_BOOL_SETTING(F_SplashSetAdapt, splash_opt_adapt)
ZQ_BOOL_SETTING(F_SplashSetTop, splash_opt_ontop)
ZQ_BOOL_SETTING(F_SplashSetMain, splash_opt_inmain)
ZQ_BOOL_SETTING(F_SplashSetCursor, splash_opt_showcursor)
ZQ_BOOL_SETTING(F_SplashSetInterrupt, splash_opt_modal)
ZQ_BOOL_SETTING(F_SplashSetStopKey, splash_opt_stop_key)
ZQ_BOOL_SETTING(F_SplashSetStopMouse, splash_opt_stop_mouse)
ZQ_BOOL_SETTING(F_DeviceMouseDbclickEnable, g_fDoubleClickAsMbRight)
#undef ZQ_BOOL_SETTING

void F_SplashSetSize(RValue&, CInstance*, CInstance*, int, Args a) {
    splash_opt_width = ZQGetInt32(a, 0);
    splash_opt_height = ZQGetInt32(a, 1);
}
void F_SplashSetColor(RValue&, CInstance*, CInstance*, int, Args a) {
    splash_opt_backcol = static_cast<uint32_t>(ZQGetInt32(a, 0));
}
void F_SplashSetScale(RValue&, CInstance*, CInstance*, int, Args a) {
    splash_opt_scale = ZQGetReal(a, 0);
}

void ShowVideo(const char* name, bool loop) {
    if (!Splash_Show_Movie(name, loop)) Error_Show_Action("Video file not found (or name too long).", false);
    IO_Clear();
}
void ShowImage(const char* name, int delay) {
    if (!Splash_Show_Image(name, delay)) Error_Show_Action("Image file not found.", false);
    IO_Clear();
}
void ShowText(const char* name, int delay) {
    if (!Splash_Show_Text(name, delay)) Error_Show_Action("Text file not found.", false);
    IO_Clear();
}
void F_SplashShowVideo(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    ShowVideo(name, ZQGetBool(a, 1));
}
void F_SplashShowImage(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    ShowImage(name, ZQGetInt32(a, 1));
}
void F_SplashShowText(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    ShowText(name, ZQGetInt32(a, 1));
}
void SetFull(bool full) {
    splash_opt_fullscreen = full;
    splash_opt_inmain = !full;
}
void F_ShowImage(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    SetFull(ZQGetBool(a, 1));
    ShowImage(name, ZQGetInt32(a, 2));
}
void F_ShowVideo(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    SetFull(ZQGetBool(a, 1));
    ShowVideo(name, ZQGetBool(a, 2));
}
void F_ShowText(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    SetFull(ZQGetBool(a, 1));
    splash_opt_backcol = static_cast<uint32_t>(ZQGetInt32(a, 2));
    ShowText(name, ZQGetInt32(a, 3));
}

// ---- dialogs

// The debugger sees a modal dialog as a frame tag: the step stalls there.
void TagForDebugger(const char* tag) {
    if (g_isNimbar && !g_DebugBuild) Debug_AddTag(tag);
}

void F_ShowMessage(RValue&, CInstance*, CInstance*, int, Args a) {
    const DialogText text(&a[0]);
    TagForDebugger("Show modal dialog");
    ShowMessage(text.c_str());
    IO_Clear();
}
void F_ShowQuestion(RValue& r, CInstance*, CInstance*, int, Args a) {
    const DialogText text(&a[0]);
    TagForDebugger("Show modal dialog");
    const int yes = InputQuery_Question(Caption(), text.c_str());
    Real(r, yes != 0 ? 1.0 : 0.0);
    IO_Clear();
}
void F_ShowMessageAsync(RValue& r, CInstance*, CInstance*, int, Args a) {
    const DialogText text(&a[0]);
    Real(r, InputQuery_ShowMessageASync(Caption(), text.c_str()));
    IO_Clear();
}
void F_ShowQuestionAsync(RValue& r, CInstance*, CInstance*, int, Args a) {
    const DialogText text(&a[0]);
    Real(r, InputQuery_QuestionAsync(Caption(), text.c_str()));
    IO_Clear();
}
void F_GetString(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* prompt = Text(a, 0);
    const DialogText def(&a[1]);
    char* entered = nullptr;
    InputQuery_Input(Caption(), prompt, def.c_str(), &entered);
    ZQCreateString(&r, entered != nullptr ? entered : "");
    ZQ_Free(entered);
    IO_Clear();
}
void F_GetInteger(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* prompt = Text(a, 0);
    const DialogText def(&a[1]);
    char* entered = nullptr;
    InputQuery_Input(Caption(), prompt, def.c_str(), &entered);
    Real(r, entered != nullptr ? std::strtod(entered, nullptr) : 0.0);
    ZQ_Free(entered);
    IO_Clear();
}
void F_GetStringAsync(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* prompt = Text(a, 0);
    const DialogText def(&a[1]);
    Real(r, InputQuery_InputAsync(Caption(), prompt, def.c_str()));
}
void F_GetLoginAsync(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* user = Text(a, 0);
    Real(r, InputQuery_LoginASync(user, Text(a, 1)));
}
void F_ShowError(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* message = Text(a, 0);
    Error_Show_Action(message, ZQGetBool(a, 1));
    TagForDebugger("Show error");
}
void F_ShowMessageExt(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* text = Text(a, 0);
    const char* b1 = Text(a, 1);
    const char* b2 = Text(a, 2);
    Real(r, Message_ShowMessage(text, b1, b2, Text(a, 3)));
    IO_Clear();
}
void F_MessageBackground(RValue&, CInstance*, CInstance*, int, Args a) {
    Message_SetBackground(ZQGetInt32(a, 0));
}
void F_MessageButton(RValue&, CInstance*, CInstance*, int, Args a) {
    Message_SetButtonSprite(ZQGetInt32(a, 0));
}

// A chosen path may be written from then on.
void FileDialog(RValue& r, char* chosen, bool save) {
    if (chosen != nullptr && save) SaveWhitelist_Add(chosen, false);
    ZQCreateString(&r, chosen != nullptr ? chosen : "");
    ZQ_Free(chosen);
    IO_Clear();
}
void F_GetOpenFilename(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* filter = Text(a, 0);
    FileDialog(r, ZQGetOpenFileName(filter, Text(a, 1), nullptr, nullptr), false);
}
void F_GetSaveFilename(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* filter = Text(a, 0);
    FileDialog(r, ZQGetSaveFileName(filter, Text(a, 1), nullptr, nullptr), true);
}
void F_GetOpenFilenameExt(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* filter = Text(a, 0);
    const char* name = Text(a, 1);
    const char* folder = Text(a, 2);
    FileDialog(r, ZQGetOpenFileName(filter, name, folder, Text(a, 3)), false);
}
void F_GetSaveFilenameExt(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* filter = Text(a, 0);
    const char* name = Text(a, 1);
    const char* folder = Text(a, 2);
    FileDialog(r, ZQGetSaveFileName(filter, name, folder, Text(a, 3)), true);
}

// ---- not on this platform: a console line, and a fixed answer

enum class Answer { Undefined, Zero, Empty };
template <const char* kLine, Answer kAnswer, bool kClear>
void NotSupported(RValue& r, CInstance*, CInstance*, int, Args) {
    dbg_csol->Output("%s", kLine);
    if (kAnswer == Answer::Zero) Real(r, 0.0);
    if (kAnswer == Answer::Empty) ZQCreateString(&r, "");
    if (kClear) IO_Clear();
}
constexpr char kShowInfo[] = "show_info(str) not supported\n";
constexpr char kLoadInfo[] = "load_info(str) not supported\n";
constexpr char kMessageAlpha[] = "message_alpha(alpha) not impleneted\n";
constexpr char kMessageTextFont[] = "message_text_font(name,size,color,style) not impleneted\n";
constexpr char kMessageButtonFont[] = "message_button_font(name,size,color,style) not impleneted\n";
constexpr char kMessageInputFont[] = "message_input_font(name,size,color,style) not impleneted\n";
constexpr char kMessageMouseColor[] = "message_mouse_color(col) not impleneted\n";
constexpr char kMessageInputColor[] = "message_input_color(col) not impleneted\n";
constexpr char kMessagePosition[] = "message_position(x,y) not impleneted\n";
constexpr char kMessageSize[] = "message_size(w,h)not impleneted\n";
constexpr char kMessageCaption[] = "message_caption(show,str) not impleneted\n";
constexpr char kShowMenu[] = "show_menu(str,default) not implemented.\n";
constexpr char kShowMenuPos[] = "show_menu_pos(X,Y,str,default) not implemented.\n";
constexpr char kGetColor[] = "get_color(def) is not implemented\n";
constexpr char kGetDirectory[] = "get_directory(dname) not implemented.\n";
constexpr char kGetDirectoryAlt[] = "get_directory_alt(capt,root) not implemented.\n";

void F_Nothing(RValue&, CInstance*, CInstance*, int, Args) {}

// ---- highscores

void F_HighscoreShow(RValue&, CInstance*, CInstance*, int, Args a) {
    HighScore_Show(ZQGetInt32(a, 0));
    IO_Clear();
}
void F_HighscoreShowExt(RValue&, CInstance*, CInstance*, int, Args a) {
    const int score = ZQGetInt32(a, 0);
    HighScore_SetBackground(ZQGetInt32(a, 1));
    HighScore_SetBorder(ZQGetBool(a, 2));
    const int c1 = ZQGetInt32(a, 3);
    const int c2 = ZQGetInt32(a, 4);
    HighScore_SetColors(0, c1, c2);
    const char* font = Text(a, 5);
    HighScore_SetFont(font, ZQGetInt32(a, 6));
    HighScore_Show(score);
    IO_Clear();
}
void F_HighscoreSetBackground(RValue&, CInstance*, CInstance*, int, Args a) {
    HighScore_SetBackground(ZQGetInt32(a, 0));
}
void F_HighscoreSetBorder(RValue&, CInstance*, CInstance*, int, Args a) {
    HighScore_SetBorder(ZQGetBool(a, 0));
}
void F_HighscoreSetColors(RValue&, CInstance*, CInstance*, int, Args a) {
    const int back = ZQGetInt32(a, 0);
    const int c1 = ZQGetInt32(a, 1);
    HighScore_SetColors(back, c1, ZQGetInt32(a, 2));
}
void F_HighscoreSetFont(RValue&, CInstance*, CInstance*, int, Args a) {
    if ((a[0].kind & MASK_KIND_RVALUE) != VALUE_STRING) return;
    const char* name = Text(a, 0);
    HighScore_SetFont(name, ZQGetInt32(a, 1));
}
void F_HighscoreSetStrings(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* caption = Text(a, 0);
    const char* nobody = Text(a, 1);
    HighScore_SetStrings(caption, nobody, Text(a, 2));
}
void F_HighscoreClear(RValue&, CInstance*, CInstance*, int, Args) {
    HighScore_Clear();
}
void F_HighscoreAdd(RValue&, CInstance*, CInstance*, int, Args a) {
    const char* name = Text(a, 0);
    HighScore_Add(name, ZQGetInt32(a, 1));
}
void F_HighscoreAddCurrent(RValue&, CInstance*, CInstance*, int, Args) {
    HighScore_Add("DEFAULT", Score);
    IO_Clear();
}
// Entries are numbered 1 to 10; any other index answers 0 or "" rather than
// reading outside the table.
bool EntryInRange(int n) {
    return n >= 1 && n <= 10;
}
void F_HighscoreValue(RValue& r, CInstance*, CInstance*, int, Args a) {
    const int n = ZQGetInt32(a, 0);
    Real(r, EntryInRange(n) ? HighScore_Value(n) : 0.0);
}
void F_HighscoreName(RValue& r, CInstance*, CInstance*, int, Args a) {
    const int n = ZQGetInt32(a, 0);
    const char* name = EntryInRange(n) ? HighScore_Name(n) : nullptr;
    ZQCreateString(&r, name != nullptr ? name : "");
}
void F_DrawHighscore(RValue&, CInstance*, CInstance*, int, Args a) {
    const int x1 = ZQGetInt32(a, 0);
    const int y1 = ZQGetInt32(a, 1);
    const int x2 = ZQGetInt32(a, 2);
    const int y2 = ZQGetInt32(a, 3);
    const int step = (y2 - y1) / 10;
    int y = y1;
    for (int n = 1; n <= 10; ++n) {
        const char* name = HighScore_Name(n);
        GR_Text_Draw(static_cast<float>(x1), static_cast<float>(y), name != nullptr ? name : "", -1, -1);
        char score[256];
        std::snprintf(score, sizeof score, "%d", HighScore_Value(n));
        GR_Text_Draw(static_cast<float>(x2 - GR_Text_Width(score, -1, -1)), static_cast<float>(y), score, -1,
                     -1);
        y += step;
    }
}

// ---- keyboard

// Key 0: none of 0 to 255 set; 1: any set; 2 to 255: the flag; others 0.
int KeyRule(const uint8_t* flags, int key) {
    if (key == 0 || key == 1) {
        bool any = false;
        for (int k = 0; k < kIOKeyCount && !any; ++k) any = flags[k] != 0;
        return (key == 1) == any ? 1 : 0;
    }
    return key >= 2 && key < kIOKeyCount && flags[key] != 0 ? 1 : 0;
}

void F_KeyboardCheck(RValue& r, CInstance*, CInstance*, int, Args a) {
    Real(r, KeyRule(_IO_KeyDown, ZQGetInt32(a, 0)));
}
void F_KeyboardCheckPressed(RValue& r, CInstance*, CInstance*, int, Args a) {
    Real(r, KeyRule(_IO_KeyPressed, ZQGetInt32(a, 0)));
}
void F_KeyboardCheckReleased(RValue& r, CInstance*, CInstance*, int, Args a) {
    Real(r, KeyRule(_IO_KeyReleased, ZQGetInt32(a, 0)));
}
void F_KeyboardKeyPress(RValue&, CInstance*, CInstance*, int, Args a) {
    FakeKeyDown(ZQGetInt32(a, 0));
}
void F_KeyboardKeyRelease(RValue&, CInstance*, CInstance*, int, Args a) {
    FakeKeyUp(ZQGetInt32(a, 0));
}
void F_KeyboardSetMap(RValue&, CInstance*, CInstance*, int, Args a) {
    const int key = ZQGetInt32(a, 0);
    IO_Keymap_Set(key, ZQGetInt32(a, 1));
}
void F_KeyboardGetMap(RValue& r, CInstance*, CInstance*, int, Args a) {
    Real(r, IO_Keymap_Get(ZQGetInt32(a, 0)));
}
void F_KeyboardUnsetMap(RValue&, CInstance*, CInstance*, int, Args) {
    IO_Keymap_Clear();
}
void F_KeyboardClear(RValue&, CInstance*, CInstance*, int, Args a) {
    const int key = ZQGetInt32(a, 0);
    ProcessMessages();
    IO_Key_Clear(key);
}

// ---- mouse (device 0)

int ButtonRule(bool (*flag)(int, int), int button, int device) {
    if (button == 0 || button == -1) {
        bool any = false;
        for (int b = 1; b <= kIOMouseButtons && !any; ++b) any = flag(b, device);
        return (button == -1) == any ? 1 : 0;
    }
    return button >= 1 && button <= kIOMouseButtons && flag(button, device) ? 1 : 0;
}

void F_MouseCheckButton(RValue& r, CInstance* self, CInstance* other, int, Args a) {
    F_CheckMouseButton_Common(r, self, other, ZQGetInt32(a, 0), 0);
}
void F_MouseCheckButtonPressed(RValue& r, CInstance* self, CInstance* other, int, Args a) {
    F_CheckMouseButtonPressed_Common(r, self, other, ZQGetInt32(a, 0), 0);
}
void F_MouseCheckButtonReleased(RValue& r, CInstance* self, CInstance* other, int, Args a) {
    F_CheckMouseButtonReleased_Common(r, self, other, ZQGetInt32(a, 0), 0);
}
void F_MouseWheelUp(RValue& r, CInstance*, CInstance*, int, Args) {
    Real(r, IO_Wheel_Up(0) ? 1.0 : 0.0);
}
void F_MouseWheelDown(RValue& r, CInstance*, CInstance*, int, Args) {
    Real(r, IO_Wheel_Down(0) ? 1.0 : 0.0);
}
void F_MouseClear(RValue&, CInstance*, CInstance*, int, Args a) {
    const int button = ZQGetInt32(a, 0);
    ProcessMessages();
    if (button == -1) {
        for (int b = 1; b <= kIOMouseButtons; ++b) IO_Button_Clear(b, 0);
    } else {
        IO_Button_Clear(button, 0);
    }
}
void F_IoClear(RValue&, CInstance*, CInstance*, int, Args) {
    ProcessMessages();
    IO_Clear();
}
void F_IoHandle(RValue&, CInstance*, CInstance*, int, Args) {
    ProcessMessages();
}

struct Row {
    const char* name;
    TRoutine routine;
    int argc;
};

constexpr int kSplashRows = 19; // registered with the flag set

const Row kBefore[] = {
    {"splash_set_caption", F_SplashSetCaption, 1},
    {"splash_set_fullscreen", F_SplashSetFullscreen, 1},
    {"splash_set_border", F_SplashSetBorder, 1},
    {"splash_set_size", F_SplashSetSize, 2},
    {"splash_set_adapt", F_SplashSetAdapt, 1},
    {"splash_set_top", F_SplashSetTop, 1},
    {"splash_set_color", F_SplashSetColor, 1},
    {"splash_set_main", F_SplashSetMain, 1},
    {"splash_set_scale", F_SplashSetScale, 1},
    {"splash_set_cursor", F_SplashSetCursor, 1},
    {"splash_set_interrupt", F_SplashSetInterrupt, 1},
    {"splash_set_stop_key", F_SplashSetStopKey, 1},
    {"splash_set_stop_mouse", F_SplashSetStopMouse, 1},
    {"splash_show_video", F_SplashShowVideo, 2},
    {"splash_show_image", F_SplashShowImage, 2},
    {"splash_show_text", F_SplashShowText, 2},
    {"show_image", F_ShowImage, 3},
    {"show_video", F_ShowVideo, 3},
    {"show_text", F_ShowText, 4},
    {"show_message", F_ShowMessage, 1},
    {"show_question", F_ShowQuestion, 1},
    {"show_message_async", F_ShowMessageAsync, 1},
    {"show_question_async", F_ShowQuestionAsync, 1},
    {"show_error", F_ShowError, 2},
    {"show_info", NotSupported<kShowInfo, Answer::Undefined, true>, 0},
    {"load_info", NotSupported<kLoadInfo, Answer::Zero, false>, 1},
    {"highscore_show", F_HighscoreShow, 1},
    {"highscore_set_background", F_HighscoreSetBackground, 1},
    {"highscore_set_border", F_HighscoreSetBorder, 1},
    {"highscore_set_font", F_HighscoreSetFont, 3},
    {"highscore_set_strings", F_HighscoreSetStrings, 3},
    {"highscore_set_colors", F_HighscoreSetColors, 3},
    {"highscore_show_ext", F_HighscoreShowExt, 7},
    {"highscore_clear", F_HighscoreClear, 0},
    {"highscore_add", F_HighscoreAdd, 2},
    {"highscore_add_current", F_HighscoreAddCurrent, 0},
    {"highscore_value", F_HighscoreValue, 1},
    {"highscore_name", F_HighscoreName, 1},
    {"draw_highscore", F_DrawHighscore, 4},
    {"show_message_ext", F_ShowMessageExt, 4},
    {"message_background", F_MessageBackground, 1},
    {"message_button", F_MessageButton, 1},
    {"message_alpha", NotSupported<kMessageAlpha, Answer::Undefined, false>, 1},
    {"message_text_font", NotSupported<kMessageTextFont, Answer::Undefined, false>, 4},
    {"message_button_font", NotSupported<kMessageButtonFont, Answer::Undefined, false>, 4},
    {"message_input_font", NotSupported<kMessageInputFont, Answer::Undefined, false>, 4},
    {"message_mouse_color", NotSupported<kMessageMouseColor, Answer::Undefined, false>, 1},
    {"message_input_color", NotSupported<kMessageInputColor, Answer::Undefined, false>, 1},
    {"message_position", NotSupported<kMessagePosition, Answer::Undefined, false>, 2},
    {"message_size", NotSupported<kMessageSize, Answer::Undefined, false>, 2},
    {"message_caption", NotSupported<kMessageCaption, Answer::Undefined, false>, 2},
    {"show_menu", NotSupported<kShowMenu, Answer::Zero, true>, 2},
    {"show_menu_pos", NotSupported<kShowMenuPos, Answer::Zero, true>, 4},
    {"get_integer", F_GetInteger, 2},
    {"get_integer_async", F_GetStringAsync, 2},
    {"get_string", F_GetString, 2},
    {"get_string_async", F_GetStringAsync, 2},
    {"get_login_async", F_GetLoginAsync, 2},
    {"get_color", NotSupported<kGetColor, Answer::Zero, true>, 1},
    {"get_open_filename", F_GetOpenFilename, 2},
    {"get_save_filename", F_GetSaveFilename, 2},
    {"get_open_filename_ext", F_GetOpenFilenameExt, 4},
    {"get_save_filename_ext", F_GetSaveFilenameExt, 4},
    {"get_directory", NotSupported<kGetDirectory, Answer::Empty, true>, 1},
    {"get_directory_alt", NotSupported<kGetDirectoryAlt, Answer::Empty, true>, 2},
    {"keyboard_get_numlock", F_Nothing, 0},
    {"keyboard_set_numlock", F_Nothing, 1},
    {"keyboard_key_press", F_KeyboardKeyPress, 1},
    {"keyboard_key_release", F_KeyboardKeyRelease, 1},
    {"keyboard_set_map", F_KeyboardSetMap, 2},
    {"keyboard_get_map", F_KeyboardGetMap, 1},
    {"keyboard_unset_map", F_KeyboardUnsetMap, 0},
    {"keyboard_check", F_KeyboardCheck, 1},
    {"keyboard_check_pressed", F_KeyboardCheckPressed, 1},
    {"keyboard_check_released", F_KeyboardCheckReleased, 1},
    {"keyboard_check_direct", F_Nothing, 1},
    {"mouse_check_button", F_MouseCheckButton, 1},
    {"mouse_check_button_pressed", F_MouseCheckButtonPressed, 1},
    {"mouse_check_button_released", F_MouseCheckButtonReleased, 1},
    {"mouse_wheel_up", F_MouseWheelUp, 0},
    {"mouse_wheel_down", F_MouseWheelDown, 0},
};

// Gamepads are served by the platform's gamepad built-ins; these names stay
// for old data only and do nothing.
const Row kJoystick[] = {
    {"joystick_exists", F_Nothing, 1},       {"joystick_direction", F_Nothing, 1},
    {"joystick_name", F_Nothing, 1},         {"joystick_axes", F_Nothing, 1},
    {"joystick_buttons", F_Nothing, 1},      {"joystick_has_pov", F_Nothing, 1},
    {"joystick_check_button", F_Nothing, 2}, {"joystick_xpos", F_Nothing, 1},
    {"joystick_ypos", F_Nothing, 1},         {"joystick_zpos", F_Nothing, 1},
    {"joystick_rpos", F_Nothing, 1},         {"joystick_upos", F_Nothing, 1},
    {"joystick_vpos", F_Nothing, 1},         {"joystick_pov", F_Nothing, 1},
};

const Row kAfter[] = {
    {"keyboard_clear", F_KeyboardClear, 1},
    {"mouse_clear", F_MouseClear, 1},
    {"io_clear", F_IoClear, 0},
    {"io_handle", F_IoHandle, 0},
    {"device_mouse_dbclick_enable", F_DeviceMouseDbclickEnable, 1},
    {"keyboard_wait", F_Nothing, 0},
    {"mouse_wait", F_Nothing, 0},
    {"browser_input_capture", F_Nothing, 1},
    {"gpio_set", F_Nothing, 2},
    {"gpio_clear", F_Nothing, 1},
    {"gpio_get", F_Nothing, 1},
    {"gpio_set_mode", F_Nothing, 2},
    {"F_GPIO_Set_Function", F_Nothing, 2},
};

} // namespace

void F_CheckMouseButton_Common(RValue& r, CInstance*, CInstance*, int button, int device) {
    Real(r, ButtonRule(IO_Button_Down, button, device));
}
void F_CheckMouseButtonPressed_Common(RValue& r, CInstance*, CInstance*, int button, int device) {
    Real(r, ButtonRule(IO_Button_Pressed, button, device));
}
void F_CheckMouseButtonReleased_Common(RValue& r, CInstance*, CInstance*, int button, int device) {
    Real(r, ButtonRule(IO_Button_Released, button, device));
}

int ZQVTL_keyboard_check(int key) {
    return KeyRule(_IO_KeyDown, key);
}
int ZQVTL_keyboard_check_direct(int key) {
    return KeyRule(_IO_KeyDown, key);
}

void InitInteractionFunctions() {
    ZQ_Free(g_pWindowCaption);
    g_pWindowCaption =
        ZQStrDup(g_pGameDisplayName != nullptr ? g_pGameDisplayName : "Made with Vantor: Forlan");
    int index = 0;
    for (const Row& row : kBefore) Function_Add(row.name, row.routine, row.argc, index++ < kSplashRows);
    if (!g_isNimbar)
        for (const Row& row : kJoystick) Function_Add(row.name, row.routine, row.argc, false);
    for (const Row& row : kAfter) Function_Add(row.name, row.routine, row.argc, false);
    if (g_isNimbar) AddGestureFunctions();
}
