// The command line: argument joining, tokens, and the option table.
//
// The option table is the one place that names an option: parsing walks it in
// order (first match wins) and the usage text is printed from it.
#include "world/run/command_line.h"

#include <cstring>
#include <string>

#include "core/console.h"
#include "core/error.h"
#include "core/graphics_perf.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "core/text_util.h"
#include "core/timing.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/input/input_recording.h"

namespace {
// The token buffer before its first growth, so that g_CmdBuffer is always a text.
char g_emptyToken[1] = {};
} // namespace

char* g_pCommandLine = nullptr;
char* g_CmdBuffer = g_emptyToken;
char** g_pArgV = nullptr;
int g_nArgC = 0;

namespace {

size_t g_cmdCapacity = 0; // 0 while g_CmdBuffer is g_emptyToken
size_t g_argCapacity = 0;

bool IsSeparator(char c) {
    return static_cast<signed char>(c) < 33;
}

// Room for `length` bytes and a terminator; keeps the contents.
bool ReserveToken(size_t length) {
    if (length < g_cmdCapacity) return true;
    size_t capacity = g_cmdCapacity == 0 ? 256 : g_cmdCapacity;
    while (capacity <= length) capacity *= 2;
    char* grown =
        static_cast<char*>(g_cmdCapacity == 0 ? ZQ_Alloc(capacity) : ZQ_ReAlloc(g_CmdBuffer, capacity));
    if (grown == nullptr) return false;
    g_CmdBuffer = grown;
    g_cmdCapacity = capacity;
    return true;
}

void AppendArgument(const char* token) {
    if (static_cast<size_t>(g_nArgC) == g_argCapacity) {
        size_t capacity = g_argCapacity == 0 ? 16 : g_argCapacity * 2;
        char** grown = ZQ_ReAllocArray(g_pArgV, capacity);
        if (grown == nullptr) return;
        g_pArgV = grown;
        g_argCapacity = capacity;
    }
    char* copy = ZQStrDup(token);
    if (copy != nullptr) g_pArgV[g_nArgC++] = copy;
}

void ClearArguments() {
    for (int i = 0; i < g_nArgC; ++i) ZQ_Free(g_pArgV[i]);
    g_nArgC = 0;
}

void ReplaceText(char*& slot, const char* text) {
    ZQ_Free(slot);
    slot = ZQStrDup(text);
}

// A parse in progress: the text and the position after the last token.
struct Parse {
    const char* text;
    size_t position;

    // The next token as an option's argument ("" at the end of the text).
    const char* Argument() {
        position = GetNextCmd(position, text);
        return g_CmdBuffer;
    }
};

struct Option {
    const char* name;
    bool prefix;           // the name need only begin the token
    const char* arguments; // for the usage text
    const char* help;
    void (*apply)(Parse& parse); // g_CmdBuffer holds the option's token
};

// "vtplayer:" matches as a prefix; its token is the launch argument: a
// trailing "/" removed, then without "vtplayer://" or else "vtplayer:".
constexpr const char* kPlayerPrefix = "vtplayer:";

void ApplyPlayerLaunch(const char* token) {
    std::string launch = token;
    if (launch.size() > std::strlen(kPlayerPrefix) && launch.back() == '/') launch.pop_back();
    size_t skip = launch.compare(0, 11, "vtplayer://") == 0 ? 11 : std::strlen(kPlayerPrefix);
    ReplaceText(g_pPlayerLaunchArg, launch.c_str() + skip);
}

const Option kOptions[] = {
    {"-debug", false, "", "debug mode, frame-time overlay and physics debug drawing (only before -game)",
     [](Parse&) {
         if (g_pGameName != nullptr) return;
         DebugMode = true;
         GraphicsPerf::ms_DisplayFlags = 2;
         g_PhysicsDebugMode = true;
     }},
    {"-trace", false, "", "trace the bytecode interpreter", [](Parse&) { g_fVMTrace = true; }},
    {"-vmtrace", false, "", "script objects record where they were made", [](Parse&) { g_fVMDebug = true; }},
    {"-ext", false, "", "skip calls of native extension functions", [](Parse&) { ExtDisabled = true; }},
    {"-noerrors", false, "", "never show the error window",
     [](Parse&) {
         option_displayerrors = false;
         g_fCommandLineNoErrors = true;
     }},
    {"-oldexec", false, "", "clear the interpreter-use flag", [](Parse&) { g_fVMUse = false; }},
    {"-noaudio", false, "", "no audio", [](Parse&) { g_fNoAudio = true; }},
    {"-inawindow", false, "", "run in a window whatever the game asks", [](Parse&) { g_fInAWindow = true; }},
    {"-game", false, "FILE", "the game data file to run (else game.ios in the bundle folder)",
     [](Parse& p) { LoadSave_SetGameName(p.Argument()); }},
    {"-exit", false, "FILE", "the game data file to run when this game ends",
     [](Parse& p) { ReplaceText(g_pExitGame_CMD, p.Argument()); }},
    {"-dir", false, "FOLDER", "stored; no effect",
     [](Parse& p) { ReplaceText(g_pExitDir_CMD, p.Argument()); }},
    {"-record", false, "FILE", "record the input of every step to FILE",
     [](Parse& p) {
         g_IO_Record = true;
         ReplaceText(g_pIO_RecordFileName, p.Argument());
     }},
    {"-steam", false, "", "no built-ins that define or call native library functions",
     [](Parse&) { g_SteamWorkshop = true; }},
    {"-software", false, "", "accepted; no effect", [](Parse&) {}},
    {"-intel", false, "", "clear by drawing a rectangle",
     [](Parse&) {
         g_bManualClear = true;
         g_IntelHWMode = true;
     }},
    {"-audiodebug", false, "", "audio debug overlay", [](Parse&) { GraphicsPerf::ms_DisplayFlags |= 0x10; }},
    {"-networkdebug", false, "", "network packet debug output", [](Parse&) { g_DebugNetworkOutput = true; }},
    {"-vanillaGFX", false, "", "accepted; no effect", [](Parse&) {}},
    {"-playback", false, "FILE", "play the input back from FILE in place of the keyboard and mouse",
     [](Parse& p) {
         g_IO_Playback = true;
         ReplaceText(g_pIO_RecordFileName, p.Argument());
     }},
    {"-output", false, "FILE", "also append every console line to FILE",
     [](Parse& p) {
         g_ConsoleOutput = true;
         ReplaceText(g_ConsoleOutputFileName, p.Argument());
     }},
    {"-debugoutput", false, "FILE", "print start-up progress; append every debug console line to FILE",
     [](Parse& p) {
         g_DebugConsoleOutput = true;
         ReplaceText(g_DebugConsoleOutputFileName, p.Argument());
         init_csol = dbg_csol;
     }},
    {"-headless", false, "",
     "no window, GL context, audio or error window; exit 0 after the first room's creation code",
     [](Parse&) { g_fHeadless = true; }},
    {"-profiledump", false, "FILE SECONDS", "write a profile report to FILE every SECONDS",
     [](Parse& p) {
         ReplaceText(g_ProfileDumpFileName, p.Argument());
         g_ProfileDumpInterval = TextToInt(p.Argument());
     }},
    {kPlayerPrefix, true, "...", "launch argument for the game (vtplayer://ARG/)",
     [](Parse&) { ApplyPlayerLaunch(g_CmdBuffer); }},
    {"-sleepmargin", false, "MS", "stop sleeping MS milliseconds before a frame is due (default 10)",
     [](Parse& p) { g_SleepMargin = TextToInt(p.Argument()); }},
    {"-multivb", false, "", "accepted; no effect", [](Parse&) {}},
    {"-novb", false, "", "accepted; no effect", [](Parse&) {}},
    {"-compresstextures", false, "", "accepted; no effect", [](Parse&) {}},
    {"-manualvsync", false, "", "accepted; no effect", [](Parse&) {}},
    {"-nodirectinput", false, "", "accepted; no effect", [](Parse&) {}},
};

void ApplyToken(Parse& parse) {
    const char* token = g_CmdBuffer;
    for (const Option& option : kOptions) {
        bool match = option.prefix ? std::strncmp(token, option.name, std::strlen(option.name)) == 0
                                   : std::strcmp(token, option.name) == 0;
        if (!match) continue;
        option.apply(parse);
        return;
    }
}

void AppendQuoted(std::string& line, const char* text) {
    line += '"';
    for (const char* p = text; *p != '\0'; ++p)
        if (*p != '"') line += *p;
    line += "\" ";
}

} // namespace

void CommandLine_Build(int argc, const char* const* argv) {
    if (g_bLaunchedFromPlayer || g_pCommandLine != nullptr) return;
    std::string line;
    for (int i = 1; i < argc; ++i) AppendQuoted(line, argv[i] != nullptr ? argv[i] : "");
    if (g_PackageBuild) {
        const char* game =
            g_pGameName != nullptr && g_pGameName[0] != '\0' ? g_pGameName : g_requestedExecutableFile;
        if (game != nullptr && game[0] != '\0') {
            line += "-game ";
            AppendQuoted(line, game);
        }
        if (g_DebugConsoleOutputFileName != nullptr && g_DebugConsoleOutputFileName[0] != '\0') {
            line += "-debugoutput ";
            AppendQuoted(line, g_DebugConsoleOutputFileName);
        }
        if (g_ConsoleOutputFileName != nullptr && g_ConsoleOutputFileName[0] != '\0') {
            line += "-output ";
            AppendQuoted(line, g_ConsoleOutputFileName);
        }
    }
    g_pCommandLine = ZQStrDup(line.c_str());
    dbg_csol->Output("CommandLine: %s\n", line.c_str());
}

// Skips separators, then copies up to the next separator outside quotes; the
// separator that ends the token is left for the next call.
size_t GetNextCmd(size_t position, const char* text) {
    if (!ReserveToken(0)) return position;
    g_CmdBuffer[0] = '\0';
    if (text == nullptr || text[position] == '\0') return position;
    while (text[position] != '\0' && IsSeparator(text[position])) ++position;
    if (text[position] == '\0') return position;

    size_t length = 0;
    bool quoted = false;
    for (char c; (c = text[position]) != '\0' && (quoted || !IsSeparator(c)); ++position) {
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!ReserveToken(length + 1)) break;
        g_CmdBuffer[length++] = c;
    }
    g_CmdBuffer[length] = '\0';
    AppendArgument(g_CmdBuffer);
    return position;
}

void ProcessCommandLine(const char* text) {
    DebugMode = false;
    ExtDisabled = false;
    g_IO_Record = false;
    g_IO_Playback = false;
    g_fVMUse = true;
    g_fNoAudio = false;
    g_fInAWindow = false;
    GraphicsPerf::ms_DisplayFlags = 0;
    g_fCommandLineNoErrors = false;
    if (text == nullptr || text[0] == '\0') return;

    ClearArguments();
    Parse parse{text, 0};
    while (text[parse.position] != '\0') {
        size_t before = parse.position;
        parse.position = GetNextCmd(parse.position, text);
        if (parse.position == before) break; // out of memory for the token
        ApplyToken(parse);
    }
}

void CommandLine_PrintUsage(FILE* out) {
    std::fprintf(out, "usage: corvane [option ...]\n");
    for (const Option& option : kOptions) {
        std::string head =
            std::string(option.name) + (option.arguments[0] != '\0' ? " " : "") + option.arguments;
        std::fprintf(out, "  %-26s %s\n", head.c_str(), option.help);
    }
}

void CommandLine_Quit() {
    ClearArguments();
    ZQ_Free(g_pArgV);
    g_pArgV = nullptr;
    g_argCapacity = 0;
    if (g_cmdCapacity != 0) ZQ_Free(g_CmdBuffer);
    g_CmdBuffer = g_emptyToken;
    g_cmdCapacity = 0;
    ZQ_Free(g_pCommandLine);
    g_pCommandLine = nullptr;
}
