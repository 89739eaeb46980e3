// Script errors: the report, showing it, the fatal error calls and code errors.
//
// Report layout, for a fatal error in an object event of compiled code:
//
//     ############...  (92)
//     FATAL ERROR in
//     action number 1
//     of <event name>
//     for object <object name>:
//     <two empty lines>
//     <message>
//     ############...  (92)
//     ------------...  (92)
//     called from - <function> (line <n>)     one line per compiled frame, innermost first
//
// All error state changes under one recursive lock, so a report raised on
// another thread cannot interleave with one of the main thread. Texts are
// formatted into per-call storage; user text is only ever an argument.
#include "core/error.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/memory_manager.h"
#include "core/mutex.h"
#include "core/run_state.h"
#include "core/stack_trace.h"

bool Code_Error_Occured = false;
RefString* Code_Error_String = nullptr;
bool g_fSuppressErrors = false;
RefString* Display_Error_Message = nullptr;
bool Display_Error_Occurred = false;
bool aborterror = false;

bool option_displayerrors = true;
bool option_aborterrors = false;
bool g_fNoErrorWindow = false;
bool g_bLaunchedFromPlayer = false;

ErrorForm g_ErrorForm = {nullptr, false};
ErrorHooks g_ErrorHooks = {};

namespace {

constexpr size_t kMessageBytes = 1024;
constexpr size_t kHeadlineBytes = 32768;
constexpr char kHashLine[] =
    "############################################################################################";
constexpr char kDashLine[] =
    "--------------------------------------------------------------------------------------------";
static_assert(sizeof kHashLine == 93 && sizeof kDashLine == 93);

Mutex& ErrorMutex() {
    static Mutex* mutex = new (std::malloc(sizeof(Mutex))) Mutex("ErrorMutex");
    return *mutex;
}

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

const char* EventName(int type, int number) {
    const char* name = g_ErrorHooks.eventName != nullptr ? g_ErrorHooks.eventName(type, number) : nullptr;
    return name != nullptr ? name : "<Unknown Event>";
}

const char* ObjectName(int object) {
    const char* name = g_ErrorHooks.objectName != nullptr ? g_ErrorHooks.objectName(object) : nullptr;
    return name != nullptr ? name : "<undefined>";
}

const char* TimelineName(int index) {
    const char* name = g_ErrorHooks.timelineName != nullptr ? g_ErrorHooks.timelineName(index) : nullptr;
    return name != nullptr ? name : "<undefined>";
}

void ExitFullScreen() {
    if (g_ErrorHooks.exitFullScreen != nullptr) g_ErrorHooks.exitFullScreen();
}

void ReplaceRecord(RefString** record, const char* text) {
    if (*record != nullptr) (*record)->Dec();
    *record = RefString::Create(text);
}

// The number that ends a compiled event's name ("vtl_Object_obj_Step_2" gives 2).
int TrailingNumber(const char* name) {
    const char* end = name + std::strlen(name);
    const char* digits = end;
    while (digits > name && std::isdigit(static_cast<unsigned char>(digits[-1]))) --digits;
    return digits == end ? 0 : std::atoi(digits);
}

// Ends the process (or, from the development tools, asks the game to end).
void EndAfterFatal(int status) {
    if (g_bLaunchedFromPlayer) {
        if (g_ErrorHooks.gameEnd != nullptr) g_ErrorHooks.gameEnd();
        return;
    }
    std::exit(status);
}

} // namespace

void Error_Reset() {
    Code_Error_Occured = false;
    if (Code_Error_String != nullptr) Code_Error_String->Dec();
    Code_Error_String = nullptr;
    g_fSuppressErrors = false;
    if (Display_Error_Message != nullptr) Display_Error_Message->Dec();
    Display_Error_Message = nullptr;
    Display_Error_Occurred = false;
    aborterror = false;
    option_displayerrors = true;
    option_aborterrors = false;
    g_fNoErrorWindow = false;
    g_bLaunchedFromPlayer = false;
    ZQ_Free(g_ErrorForm.m_text);
    g_ErrorForm = {nullptr, false};
    g_ErrorHooks = {};
}

void Error_Show_Action(const char* message, bool abort) {
    MutexLock lock(ErrorMutex());
    message = OrEmpty(message);
    const char* prefix = abort ? "FATAL " : "";

    int actionNumber = Current_Action_Index + 1;
    ErrorBytecodeLocation where = {};
    bool bytecode = g_ErrorHooks.bytecodeLocation != nullptr && g_ErrorHooks.bytecodeLocation(&where);
    if (bytecode && where.hasDebugLines && where.functionName != nullptr &&
        std::strncmp(where.functionName, "vtl_Object", 10) == 0)
        actionNumber = TrailingNumber(where.functionName);

    TErrStreamConsole callStack;
    callStack.Output("%s\n", kDashLine);
    for (const SZQStackTrace* frame = g_ppZQStackTrace != nullptr ? *g_ppZQStackTrace : nullptr;
         frame != nullptr; frame = frame->pPrev) {
        if (frame->line < 0)
            callStack.Output("called from - %s\n", OrEmpty(frame->pName));
        else
            callStack.Output("called from - %s (line %d)\n", OrEmpty(frame->pName), frame->line);
    }

    std::string headline(kHeadlineBytes, '\0');
    int length;
    if (Current_Event_Type == EVENT_TYPE_TIMELINE) {
        length =
            std::snprintf(headline.data(), kHeadlineBytes,
                          "%sERROR in\naction number %d\nat time step%d\nof time line %s:\n\n\n%s", prefix,
                          actionNumber, Current_Event_Number, TimelineName(Current_Object), message);
    } else if (Current_Event_Type == EVENT_TYPE_SHADER) {
        const char* kind = g_ShaderVorP ? "FATAL ERROR in Fragment Shader compilation\n\nShaderName: "
                                        : "FATAL ERROR in Vertex Shader compilation\n\nShaderName: ";
        length = std::snprintf(headline.data(), kHeadlineBytes, "%s%s\n\n\n%s\n", kind,
                               OrEmpty(g_ShaderErrorName), message);
    } else {
        length = std::snprintf(headline.data(), kHeadlineBytes,
                               "%sERROR in\naction number %d\nof %s\nfor object %s:\n\n\n%s", prefix,
                               actionNumber, EventName(Current_Event_Type, Current_Event_Number),
                               ObjectName(Current_Object), message);
    }
    headline.resize(length < 0 ? 0 : std::min(static_cast<size_t>(length), kHeadlineBytes - 1));

    TErrStreamConsole report;
    report.Output("%s\n", kHashLine);
    report.Output("%s\n", headline.c_str());
    if (bytecode) {
        if (where.hasDebugLines) {
            const char* name = where.functionName != nullptr ? where.functionName : OrEmpty(where.execName);
            report.Output(" at %s (line %d) - %s\n", name, where.line, OrEmpty(where.lineText));
        } else {
            report.Output("at %s\n", OrEmpty(where.execName));
        }
    }
    report.Output("%s\n", kHashLine);
    report.Output("%s", callStack.Text());

    if (!aborterror) Error_Show(report.Text(), abort);
}

void Error_Show(const char* text, bool abort) {
    MutexLock lock(ErrorMutex());
    if (aborterror) return;
    text = OrEmpty(text);
    if (option_aborterrors) abort = true;

    if (!g_fNoErrorWindow && !g_fHeadless) {
        ExitFullScreen();
        if (option_displayerrors) {
            if (abort)
                ShowForm(text, false);
            else
                abort = ShowForm(text, true);
        }
    }
    if (g_ErrorHooks.clearInput != nullptr) g_ErrorHooks.clearInput();
    ReplaceRecord(&Display_Error_Message, text);
    if (!g_fSuppressErrors) rel_csol->Output("ERROR!!! :: %s\n", text);
    Display_Error_Occurred = true;
    if (abort) {
        aborterror = true;
        New_Room = ROOM_ABORTGAME;
        if (g_ErrorHooks.terminate != nullptr) g_ErrorHooks.terminate();
    }
}

// The form text: a rule of underscores, then the message line by line with
// "\r\n" line ends (a CR or LF ends a line, and one directly following CR or
// LF is taken with it), tabs as seven blanks, the last line without an end.
bool ShowForm(const char* text, bool canContinue) {
    MutexLock lock(ErrorMutex());
    ExitFullScreen();
    std::string form = "\r\n___________________________________________\r\n";
    std::string line;
    for (const char* p = OrEmpty(text); *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') {
            form += line;
            form += "\r\n";
            line.clear();
            if (p[1] == '\r' || p[1] == '\n') ++p;
        } else if (*p == '\t') {
            line += "       ";
        } else {
            line += *p;
        }
    }
    form += line;

    ZQ_Free(g_ErrorForm.m_text);
    g_ErrorForm.m_text = ZQStrDup(form.c_str());
    g_ErrorForm.m_abort = !canContinue;

    if (g_ErrorHooks.debuggerConnected != nullptr && g_ErrorHooks.debuggerConnected()) {
        if (g_ErrorHooks.debuggerShowError != nullptr) g_ErrorHooks.debuggerShowError(form.c_str());
        return false;
    }
    return Code_Error::Show() == 1;
}

int Code_Error::Show() {
    if (g_ErrorHooks.showMessage != nullptr) g_ErrorHooks.showMessage(OrEmpty(g_ErrorForm.m_text));
    return 1;
}

void ZQError(const char* format, ...) {
    if (g_fSuppressErrors) {
        Code_Error_Occured = true;
        return;
    }
    char message[kMessageBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    Error_Show_Action(message, true);
    EndAfterFatal(1);
}

void VMError(VMExec* exec, const char* format, ...) {
    Code_Error_Occured = true;
    if (g_fSuppressErrors) {
        if (g_ErrorHooks.stopExecution != nullptr) g_ErrorHooks.stopExecution(exec);
        return;
    }
    char message[kMessageBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    Error_Show_Action(message, true);
    EndAfterFatal(255);
}

void Code_Report_Error(const char* codeText, bool isCodeEntry, int position, const char* message) {
    MutexLock lock(ErrorMutex());
    if (Code_Error_Occured) return;
    ExitFullScreen();
    Code_Error_Occured = true;

    const char* code = OrEmpty(codeText);
    int length = static_cast<int>(std::strlen(code));
    if (position < 0) position = 0;
    if (position > length) position = length;

    int line = 1;
    int lineStart = 0;
    for (int i = 0; i < position; ++i) {
        if (code[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    int column = 1;
    for (int i = lineStart; i < position; ++i)
        if (code[i] != '\r') ++column;
    int lineEnd = lineStart;
    while (code[lineEnd] != '\0' && code[lineEnd] != '\n' && code[lineEnd] != '\r') ++lineEnd;
    std::string lineText(code + lineStart, static_cast<size_t>(lineEnd - lineStart));

    message = OrEmpty(message);
    int n = isCodeEntry ? std::snprintf(nullptr, 0, "Error in code at line %d:\n   %s\n\nat position %d: %s",
                                        line, lineText.c_str(), column, message)
                        : std::snprintf(nullptr, 0, "Error in expression: %s\n position %d: %s", code, column,
                                        message);
    std::string text(static_cast<size_t>(n < 0 ? 0 : n) + 1, '\0');
    if (isCodeEntry)
        std::snprintf(text.data(), text.size(), "Error in code at line %d:\n   %s\n\nat position %d: %s",
                      line, lineText.c_str(), column, message);
    else
        std::snprintf(text.data(), text.size(), "Error in expression: %s\n position %d: %s", code, column,
                      message);
    ReplaceRecord(&Code_Error_String, text.c_str());
}
