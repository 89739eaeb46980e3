// Consoles: where diagnostics of every subsystem go. Three global console
// pointers (start-up progress, debug output, release output and errors) over
// a printing console, a discarding one, and a growing text stream that the
// error report is built in.
#pragma once

#include <cstddef>
#include <cstdint>

#define ZQ_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))

// A console: created once, then fed printf-style lines.
class tagIConsole {
public:
    virtual ~tagIConsole() = default;
    virtual bool Create(const wchar_t* title, bool flag) = 0;
    ZQ_PRINTF_LIKE(2, 3) virtual void Output(const char* format, ...) = 0;
};

// The printing console. Each line (formatted into 4096 bytes, longer text is
// cut) goes to standard output unless the run is headless or the game data is
// of the new generation, to the debugger link when it asks for output, and to
// a file: with the flag set (the debug console) the "-debugoutput" file,
// otherwise the "-output" file, when that option was given.
class TConsole final : public tagIConsole {
public:
    explicit constexpr TConsole(bool debugConsole) : m_debugConsole(debugConsole) {}
    bool Create(const wchar_t*, bool) override { return true; }
    ZQ_PRINTF_LIKE(2, 3) void Output(const char* format, ...) override;

private:
    bool m_debugConsole;
};

// Discards everything.
class DummyConsole final : public tagIConsole {
public:
    constexpr DummyConsole() = default;
    bool Create(const wchar_t*, bool) override { return true; }
    ZQ_PRINTF_LIKE(2, 3) void Output(const char*, ...) override {}
};

// Collects text in a growing memory-manager block (102400 bytes to start).
// Each call's text is cut at 16383 characters. Out of memory, text is dropped.
class TErrStreamConsole final : public tagIConsole {
public:
    TErrStreamConsole();
    ~TErrStreamConsole() override;
    TErrStreamConsole(const TErrStreamConsole&) = delete;
    TErrStreamConsole& operator=(const TErrStreamConsole&) = delete;

    bool Create(const wchar_t*, bool) override { return true; }
    ZQ_PRINTF_LIKE(2, 3) void Output(const char* format, ...) override;

    const char* Text() const { return m_text != nullptr ? m_text : ""; }
    size_t Length() const { return m_length; }

private:
    int32_t m_capacity;
    char* m_text;
    size_t m_length = 0;
};

extern TConsole _dbg_csol;
extern DummyConsole g_dummyConsole;
// Start-up progress: discarded until "-debugoutput" points it at the debug console.
extern tagIConsole* init_csol;
// Debug output and release output (errors): both the printing console.
extern tagIConsole* dbg_csol;
extern tagIConsole* rel_csol;

// Output settings the command line fills ("-output", "-debugoutput",
// "-headless"); the game data's generation flag, g_isNimbar, is with the
// header's settings (core/header_globals.h).
extern bool g_ConsoleOutput;
extern char* g_ConsoleOutputFileName;
extern bool g_DebugConsoleOutput;
extern char* g_DebugConsoleOutputFileName;
extern bool g_fHeadless;

// Set by the debugger link while it wants console lines; null otherwise.
extern void (*g_pfnConsoleToDebugger)(const char* line);

// Formats into 1024 bytes and writes the text to the debug console.
ZQ_PRINTF_LIKE(1, 2) void ZQprintf(const char* format, ...);

// Closes the output files (they are reopened on the next line).
void Console_CloseFiles();
// Puts the module's state back as the program started: the three console
// pointers, the output settings (names freed, files closed) and the debugger
// hook.
void Console_Reset();
