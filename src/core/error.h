// Script errors: the fatal error call, the framed error report, showing it
// (error window, debugger, release console), the error state, and code-error
// reports.
#pragma once

#include "core/console.h"
#include "core/ref_string.h"

struct VMExec;
class CCode;

// Error state.
extern bool Code_Error_Occured;          // an error was raised while suppressed, or a code error was reported
extern RefString* Code_Error_String;     // text of the last code error
extern bool g_fSuppressErrors;           // errors only set Code_Error_Occured (debugger expressions)
extern RefString* Display_Error_Message; // text of the last shown error
extern bool Display_Error_Occurred;
extern bool aborterror; // a fatal error was shown; later errors are ignored

// Options.
extern bool option_displayerrors;  // show the error window ("-noerrors" clears it)
extern bool option_aborterrors;    // every error is fatal
extern bool g_fNoErrorWindow;      // never show the window
extern bool g_bLaunchedFromPlayer; // run started by the development tools

// The error form handed to the platform's message window.
struct ErrorForm {
    char* m_text; // memory-manager block, or null
    bool m_abort;
};
extern ErrorForm g_ErrorForm;

// Where bytecode is running when an error is reported.
struct ErrorBytecodeLocation {
    const char* execName;     // the execution's name
    bool hasDebugLines;       // the code carries debug lines; the fields below are valid
    const char* functionName; // the function at the position (may be null)
    int line;
    const char* lineText;
};

// The services of other subsystems that the error path uses. Each may be
// null, meaning the service is absent: no names are known, there is no full
// screen to leave, no input to clear, no debugger, no window (showing counts
// as shown), and nothing to end the game with. Texts returned by the hooks
// need only live until the next call of the same hook.
struct ErrorHooks {
    const char* (*eventName)(int type, int number);
    const char* (*objectName)(int object);
    const char* (*timelineName)(int index);
    // False when no bytecode is running.
    bool (*bytecodeLocation)(ErrorBytecodeLocation* out);
    void (*exitFullScreen)();
    void (*clearInput)();
    bool (*debuggerConnected)();
    // Hands the error text to the debugger and serves it until it lets the game go on.
    void (*debuggerShowError)(const char* text);
    // The platform's modal error window (blocking; skipped by headless runs).
    void (*showMessage)(const char* text);
    // Asks the game to end (a run launched from the development tools).
    void (*gameEnd)();
    // The platform's terminate hook, called after a fatal error is shown.
    void (*terminate)();
    // Moves a bytecode execution to the end of its code so that it stops.
    void (*stopExecution)(VMExec* exec);
};
extern ErrorHooks g_ErrorHooks;

// Puts the module's state back as the program started: no error recorded or
// shown, the options at their defaults, no form, no hooks.
void Error_Reset();

// The fatal error call. With errors suppressed it only sets
// Code_Error_Occured. Otherwise it formats the message (cut at 1023
// characters), reports it as a fatal error and ends the process with status
// 1, or, when launched from the development tools, asks the game to end and
// returns.
ZQ_PRINTF_LIKE(1, 2) void ZQError(const char* format, ...);

// The interpreter's fatal error: as ZQError, ending the process with status
// 255; with errors suppressed it stops the execution instead.
ZQ_PRINTF_LIKE(2, 3) void VMError(VMExec* exec, const char* format, ...);

// Builds the error report around the message and shows it.
void Error_Show_Action(const char* message, bool abort);
// Shows a formatted text: error window or debugger, input cleared, the
// release console; an abort (or any error that reached the window) ends the
// game at the main loop's next check.
void Error_Show(const char* text, bool abort);
// Shows the text in the error window, or hands it to a connected debugger
// (then false). True when the window was shown.
bool ShowForm(const char* text, bool canContinue);

// The platform's message window for the error form.
class Code_Error {
public:
    static void Create() {}
    static int Show();
};

// Formats a code error at `position` of the code's text into
// Code_Error_String (only the first one until Code_Error_Occured is cleared).
// `isCodeEntry`: the text is a code entry (kind 1) rather than an expression.
void Code_Report_Error(const char* codeText, bool isCodeEntry, int position, const char* message);
// The same for a code entry: its text, as a code entry when its kind is 1.
// Defined with the code entries (core/code.cpp).
void Code_Report_Error(CCode* code, int position, const char* message);
