// Arbitrary bytes as "options.ini": read from a file the way start-up reads
// it and handed to the platform settings, then parsed again from text. Every
// section the parse keeps is found again by its name, and so is every key of
// the section that answers for that name. The parsed document is then written
// and parsed back: the writer's text must give back the same document (each
// pass reverses list order, so two passes give the first text again), which a
// value that ended early or a name that split would break.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "core/console.h"
#include "core/ini_file.h"
#include "core/memory_manager.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_file.h"

namespace {

std::string g_path;

// The file every input is written to. Its name is the same in every run
// from one folder (the fuzzer learns from the names compared on the way, so a
// random name would make a run unrepeatable) and differs between folders.
bool SetUpOnce() {
    g_fHeadless = true;
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) std::abort();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%016zx.ini", std::hash<std::string>{}(folder));
    // Memory-backed where the machine has it: a file is written per input.
    g_path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/corvane_fuzz_ini_" + suffix;
    std::atexit([] { std::remove(g_path.c_str()); });
    return true;
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// The document has no walk of its own: the first names between brackets in
// the text are looked up, and each section found leads to the ones read
// before it.
void WalkDocument(const IniFile& ini, const std::string& text) {
    size_t total = 0;
    std::set<std::string> seen;
    for (size_t open = text.find('['); open != std::string::npos && seen.size() < 16;
         open = text.find('[', open + 1)) {
        const size_t close = text.find(']', open + 1);
        if (close == std::string::npos) break;
        const auto [name, fresh] = seen.insert(text.substr(open + 1, close - open - 1));
        if (!fresh) continue;
        for (const IniFile::Section* s = ini.GetSection(name->c_str()); s != nullptr; s = s->next) {
            const IniFile::Section* first = ini.GetSection(s->name);
            if (first == nullptr) std::abort();
            for (const IniFile::Key* k = first->keys; k != nullptr; k = k->next) {
                if (ini.GetKey(s->name, k->name) == nullptr) std::abort();
                total += std::strlen(ini.ReadString(s->name, k->name, ""));
                total += static_cast<size_t>(ini.ReadInt(s->name, k->name, 0));
            }
        }
    }
    volatile size_t sink = total;
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SetUpOnce();
    (void)ready;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // As start-up reads it: the file, zero bytes and all.
    if (WriteInput(data, size)) {
        GameIni_Load(g_path.c_str());
        if (g_pGameINI != nullptr) WalkDocument(*g_pGameINI, text);
        delete g_pGameINI;
        g_pGameINI = nullptr;
    }

    // As a text handed over (it ends at its first zero byte).
    IniFile ini;
    ini.SetText(text.c_str());
    WalkDocument(ini, text.substr(0, std::strlen(text.c_str())));

    char* first = ini.WriteIniFile();
    if (first == nullptr) std::abort();
    std::string once = first;
    ZQ_Free(first);
    for (int pass = 0; pass < 2; ++pass) {
        IniFile again;
        again.SetText(once.c_str());
        char* written = again.WriteIniFile();
        if (written == nullptr) std::abort();
        once = written;
        ZQ_Free(written);
    }
    char* check = ini.WriteIniFile();
    if (once != check) std::abort();
    ZQ_Free(check);
    return 0;
}
