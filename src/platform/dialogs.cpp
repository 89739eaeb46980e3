// Dialogs through SDL's message boxes: messages, yes/no questions and the
// in-game message window's buttons. SDL has no text-input or file panels:
// those answer as a cancelled dialog does (the default text, no path). With
// no video (headless runs, tests) no box is shown: messages go to the log and
// questions answer no. Texts are always passed on as texts, never formats.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/console.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "data/ds_map.h"
#include "library/interaction_builtins.h"
#include "library/interaction_services.h"
#include "world/step/async_events.h"

namespace {

constexpr int kAsyncDialog = 63;

bool CanShow() {
    return !g_fHeadless && SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

const char* CaptionOr(const char* caption) {
    if (caption != nullptr) return caption;
    return g_pWindowCaption != nullptr ? g_pWindowCaption : "";
}

// The pressed button's id, or -1 when no box could be shown or it was closed.
int Ask(const char* caption, const char* text, const SDL_MessageBoxButtonData* buttons, int count) {
    if (!CanShow()) return -1;
    const SDL_MessageBoxData data = {
        SDL_MESSAGEBOX_INFORMATION, nullptr, CaptionOr(caption), text, count, buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return -1;
    return pressed;
}

int AskYesNo(const char* caption, const char* text) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    return Ask(caption, text, buttons, 2) == 1 ? 1 : 0;
}

// A dialog's answer, delivered by the asynchronous pass as a map:
// message {id, status}; question and input {id, status, result, value};
// login {id, status, username, password}. Status 1 is OK or yes, 0 is no or
// cancelled.
enum class DialogKind { Message, Question, Input, Login };

struct DialogAnswer : HTTP_REQ_CONTEXT {
    DialogKind kind = DialogKind::Message;
    bool status = false;
    std::string result, user, password;
};

int DialogMap(HTTP_REQ_CONTEXT* entry, void*, int* mapId) {
    const auto* a = static_cast<DialogAnswer*>(entry);
    const auto none = static_cast<const char*>(nullptr);
    const double id = entry->m_id, status = a->status ? 1.0 : 0.0;
    int map = -1;
    switch (a->kind) {
        case DialogKind::Message: map = CreateDsMap(2, "id", id, none, "status", status, none); break;
        case DialogKind::Question:
        case DialogKind::Input:
            map = CreateDsMap(4, "id", id, none, "status", status, none, "result", 0.0, a->result.c_str(),
                              "value", std::strtod(a->result.c_str(), nullptr), none);
            break;
        case DialogKind::Login:
            map = CreateDsMap(4, "id", id, none, "status", status, none, "username", 0.0, a->user.c_str(),
                              "password", 0.0, a->password.c_str());
            break;
    }
    if (mapId != nullptr) *mapId = map;
    return kAsyncDialog;
}

int Queue(std::unique_ptr<DialogAnswer> answer) {
    answer->m_state = ASYNC_STATE_COMPLETE;
    answer->m_pResult = DialogMap;
    return Async_QueueRequest(std::move(answer));
}

} // namespace

void ShowMessage(const char* text) {
    if (text == nullptr) text = "";
    std::fprintf(stderr, "%s\n", text);
    if (CanShow()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, CaptionOr(nullptr), text, nullptr);
}

int InputQuery_Question(const char* caption, const char* text) {
    return AskYesNo(caption, text != nullptr ? text : "");
}

bool InputQuery_Input(const char*, const char*, const char* defaultText, char** out) {
    *out = ZQStrDup(defaultText != nullptr ? defaultText : "");
    return false;
}

int InputQuery_ShowMessageASync(const char* caption, const char* text) {
    auto answer = std::make_unique<DialogAnswer>();
    const char* shown = text != nullptr ? text : "";
    std::fprintf(stderr, "%s\n", shown);
    if (CanShow()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, CaptionOr(caption), shown, nullptr);
    answer->status = true;
    return Queue(std::move(answer));
}

int InputQuery_QuestionAsync(const char* caption, const char* text) {
    auto answer = std::make_unique<DialogAnswer>();
    answer->kind = DialogKind::Question;
    answer->status = AskYesNo(caption, text != nullptr ? text : "") == 1;
    answer->result.push_back(answer->status ? '1' : '0');
    return Queue(std::move(answer));
}

int InputQuery_InputAsync(const char*, const char*, const char* defaultText) {
    auto answer = std::make_unique<DialogAnswer>();
    answer->kind = DialogKind::Input;
    answer->result = defaultText != nullptr ? defaultText : "";
    return Queue(std::move(answer));
}

int InputQuery_LoginASync(const char* userName, const char* password) {
    auto answer = std::make_unique<DialogAnswer>();
    answer->kind = DialogKind::Login;
    answer->user = userName != nullptr ? userName : "";
    answer->password = password != nullptr ? password : "";
    return Queue(std::move(answer));
}

// Buttons with an empty label are left out; the answer is the pressed
// button's number (1 to 3), 0 when nothing could be shown.
int Message_ShowMessage(const char* text, const char* button1, const char* button2, const char* button3) {
    SDL_MessageBoxButtonData buttons[3];
    int count = 0;
    const char* labels[] = {button1, button2, button3};
    for (int b = 0; b < 3; ++b) {
        if (labels[b] == nullptr || labels[b][0] == '\0') continue;
        buttons[count++] = {0, b + 1, labels[b]};
    }
    if (count == 0) buttons[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"};
    const int pressed = Ask(nullptr, text != nullptr ? text : "", buttons, count);
    return pressed < 0 ? 0 : pressed;
}

// Nothing draws the in-game message window's background or buttons here.
void Message_SetBackground(int) {}

void Message_SetButtonSprite(int) {}

char* ZQGetOpenFileName(const char*, const char*, const char*, const char*) {
    return nullptr;
}

char* ZQGetSaveFileName(const char*, const char*, const char*, const char*) {
    return nullptr;
}
