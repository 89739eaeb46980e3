// Consoles: the printing console with its output files, the discarding
// console, the error-report text stream, and the three console pointers.
//
// Lines are formatted on the caller's stack, so consoles may be fed from any
// thread; the output files are shared and kept open under one lock.
#include "core/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/mutex.h"

constinit TConsole _dbg_csol(true);
constinit DummyConsole g_dummyConsole;
tagIConsole* init_csol = &g_dummyConsole;
tagIConsole* dbg_csol = &_dbg_csol;
tagIConsole* rel_csol = &_dbg_csol;

bool g_ConsoleOutput = false;
char* g_ConsoleOutputFileName = nullptr;
bool g_DebugConsoleOutput = false;
char* g_DebugConsoleOutputFileName = nullptr;
bool g_fHeadless = false;
bool g_isNimbar = false;
void (*g_pfnConsoleToDebugger)(const char* line) = nullptr;

namespace {

constexpr size_t kLineBytes = 4096;
constexpr int32_t kErrStreamInitialBytes = 102400;
constexpr size_t kErrStreamCallLimit = 16383;

// Made on first use and never destroyed: lines may still be printed while
// static objects are torn down.
Mutex& FileMutex() {
    static Mutex* mutex = new (std::malloc(sizeof(Mutex))) Mutex("ConsoleFileMutex");
    return *mutex;
}

// One appended-to file, reopened when its name changes. Holder of FileMutex only.
struct OutputFile {
    std::string name;
    FILE* file = nullptr;

    void Close() {
        if (file != nullptr) std::fclose(file);
        file = nullptr;
        name.clear();
    }

    void Append(const char* path, const char* text) {
        if (file == nullptr || name != path) {
            Close();
            file = std::fopen(path, "ab");
            if (file == nullptr) return;
            name = path;
        }
        std::fputs(text, file);
        std::fflush(file);
    }
};

OutputFile& DebugFile() {
    static OutputFile* file = new (std::malloc(sizeof(OutputFile))) OutputFile();
    return *file;
}
OutputFile& OrdinaryFile() {
    static OutputFile* file = new (std::malloc(sizeof(OutputFile))) OutputFile();
    return *file;
}

} // namespace

// Standard output gets the whole text; the debugger link and the files get
// it cut to 4095 bytes. The arguments are walked twice, so the second walk
// takes a copy of the list: a list is used up by one walk.
void TConsole::Output(const char* format, ...) {
    if (format == nullptr) return;
    char line[kLineBytes];
    va_list args;
    va_start(args, format);
    if (!g_fHeadless && !g_isNimbar) {
        va_list whole;
        va_copy(whole, args);
        std::vfprintf(stdout, format, whole);
        va_end(whole);
    }
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fflush(stdout);
    if (auto sink = g_pfnConsoleToDebugger) sink(line);

    bool toFile = m_debugConsole ? g_DebugConsoleOutput : g_ConsoleOutput;
    const char* path = m_debugConsole ? g_DebugConsoleOutputFileName : g_ConsoleOutputFileName;
    if (toFile && path != nullptr && path[0] != '\0') {
        MutexLock lock(FileMutex());
        (m_debugConsole ? DebugFile() : OrdinaryFile()).Append(path, line);
    }
}

void Console_CloseFiles() {
    MutexLock lock(FileMutex());
    DebugFile().Close();
    OrdinaryFile().Close();
}

void Console_Reset() {
    Console_CloseFiles();
    init_csol = &g_dummyConsole;
    dbg_csol = &_dbg_csol;
    rel_csol = &_dbg_csol;
    g_ConsoleOutput = false;
    g_DebugConsoleOutput = false;
    ZQ_Free(g_ConsoleOutputFileName);
    g_ConsoleOutputFileName = nullptr;
    ZQ_Free(g_DebugConsoleOutputFileName);
    g_DebugConsoleOutputFileName = nullptr;
    g_fHeadless = false;
    g_isNimbar = false;
    g_pfnConsoleToDebugger = nullptr;
}

TErrStreamConsole::TErrStreamConsole()
    : m_capacity(kErrStreamInitialBytes),
      m_text(static_cast<char*>(ZQ_Alloc(static_cast<size_t>(kErrStreamInitialBytes)))) {
    if (m_text == nullptr) m_capacity = 0;
}

TErrStreamConsole::~TErrStreamConsole() {
    ZQ_Free(m_text);
}

// Appends the formatted text; when the current length + the new length + 2
// reaches the capacity, the capacity grows by the new length + 1024.
void TErrStreamConsole::Output(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int n = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (n <= 0) {
        va_end(args);
        return;
    }
    size_t length =
        static_cast<size_t>(n) > kErrStreamCallLimit ? kErrStreamCallLimit : static_cast<size_t>(n);
    if (m_text == nullptr || m_length + length + 2 >= static_cast<size_t>(m_capacity)) {
        size_t grown = static_cast<size_t>(m_capacity) + length + 1024;
        auto* block = grown > INT32_MAX ? nullptr : static_cast<char*>(ZQ_ReAlloc(m_text, grown));
        if (block == nullptr) {
            va_end(args);
            return;
        }
        m_text = block;
        m_capacity = static_cast<int32_t>(grown);
    }
    std::vsnprintf(m_text + m_length, length + 1, format, args);
    va_end(args);
    m_length += length;
}

void ZQprintf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    dbg_csol->Output("%s", text);
}
