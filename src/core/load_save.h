// The file service: maps file names into the save area (per-user, writable)
// and the bundle (the game data file's folder, read-only), reads whole files,
// writes them atomically, tests for existence and removes saved files.
#pragma once

#include <atomic>
#include <string>

#include "core/file_paths.h"

class IniFile;

// ---------------------------------------------------------------------------
// Where the two places are.
//
// The bundle is the folder of the game data file `g_pGameName` ("-game"): a
// path without a folder means the current folder; with no game path at all it
// is "assets/" beside the executable. The save area is
// $XDG_DATA_HOME/corvane/ (~/.local/share/corvane/ when the variable is unset
// or not absolute), made with mode 0775 on first use.

// Path of the game data file as given or located at start-up (memory-manager
// text, or null). Set it through LoadSave_SetGameName so that the prefixes are
// recomputed.
extern char* g_pGameName;
// The game data file's folder with its trailing separator (memory-manager
// text, or null until start-up sets it); relative names are taken against it
// and names below it map into both places. An empty text means the current folder.
extern char* g_pWorkingDirectory;
// True while both prefixes are filled; clearing it makes the next use recompute
// them. Atomic because loader threads may map names while the main thread runs.
extern std::atomic<bool> g_InitFilePathBuffer;
// The bundle prefix and the save prefix, each a folder with one trailing "/"
// (empty when the folder's path cannot be formed within the path limit).
extern char g_FilePathBuffer[kFilePathBufferSize];
extern char g_SaveGamePathBuffer[kFilePathBufferSize];
// The temporary folder's text; nothing sets it on this platform.
extern const char* tempdir;

// The application's folder name inside the user's data folder.
inline constexpr const char* kSaveAreaFolderName = "corvane";

// Replaces g_pGameName with a copy of path (null clears it) and marks the
// prefixes for recomputation.
void LoadSave_SetGameName(const char* path);
// Replaces g_pWorkingDirectory with a copy of dir (null clears it).
void LoadSave_SetWorkingDirectory(const char* dir);

// The bundle prefix and the save prefix, filling both on first use.
const char* sysGetFilePrePend();
const char* sysGetSavePrePend();
const char* GetFilePrePend();
const char* GetSavePrePend();
// The save-area folder (no trailing "/"), made when missing; empty when no home
// folder is known.
std::string pathForDataFile();

// A name made absolute against the working directory (or, with none, the
// bundle prefix) and standardised; false (and an empty buffer) when it does not
// fit `size` bytes or the path limit.
bool GetFullPathName(const char* name, char* buffer, int size);

// ---------------------------------------------------------------------------
// The save whitelist: further places the game may write to. A file entry
// matches a path equal to its text ignoring ASCII case; a directory entry every
// path that begins with its text.
struct SaveWhitelistEntry {
    char* text;
    bool directory;
    SaveWhitelistEntry* next;
};
extern SaveWhitelistEntry* g_pSaveWhitelist;
bool IsFilenameInWhiteList(const SaveWhitelistEntry* list, const char* path);
void SaveWhitelist_Add(const char* text, bool directory);
void SaveWhitelist_Clear();

// ---------------------------------------------------------------------------
class LoadSave {
public:
    // Name mapping. Each writes the full path of `name` into dst (size bytes) and
    // returns true, or writes the empty text and returns false when the name has
    // no place there or its path does not fit (the latter is reported).
    //
    // Save area: a name below the working directory maps to the save prefix plus
    // the rest; a path already in the save area or whitelisted maps to itself.
    static bool _GetSaveFileName(char* dst, int size, const char* name);
    // Bundle: a name below the working directory or the bundle maps to the bundle
    // prefix plus the rest, lower-cased (ASCII) with blanks as "_", which is how
    // the bundle stores its included files; the bundle's own folder keeps its case.
    static bool _GetBundleFileName(char* dst, int size, const char* name);

    // Reads the regular file at path whole into a new memory-manager block (free
    // it with ZQ_Free) of length + 1 zero-filled bytes, so the contents are
    // always followed by a zero byte. Stores the length when `length` is not
    // null. Null, with the system's error printed, when the path cannot be
    // opened, is not a regular file or is too large.
    static char* _ReadFile(const char* path, int* length);
    static char* ReadSaveFile(const char* name, int* length);
    // `name` itself when it names an existing regular file (start-up reads the
    // "-game" file this way), otherwise the bundle path of name.
    static char* ReadBundleFile(const char* name, int* length);

    // Writes the bytes as the whole save-area file `name`, making its folders.
    static bool WriteFile(const char* name, const void* data, int length);
    // Writes the file at path atomically: the bytes go to a temporary file in
    // the same folder, which is flushed to disk and renamed over path, so a
    // crash or a full disk leaves either the old file or the new one whole.
    // False (with the system's error printed) when any step fails.
    static bool _WriteFile(const char* path, const void* data, int length);

    // True when the mapped path is an existing regular file.
    static bool SaveFileExists(const char* name);
    static bool BundleFileExists(const char* name);
    // Removes the save-area file; true when it was removed.
    static bool RemoveSaveFile(const char* name);

    // Expands the zip archive into `destination` (see Command_Unzip); returns its result.
    static int _ExpandCompressedFile(const char* destination, const char* archive, char* names, int entrySize,
                                     int maxNames);
    // Start-up hands over "options.ini"; nothing here reads it.
    static void SetUp(IniFile* ini);
};

// The save area first, then the bundle.
bool FileExists(const char* name);

// No temporary folder on this platform: null.
char* File_TempDir();
void INITIALIZE_Support_File();
void FINALIZE_Support_File();
// No game name, working directory or save whitelist; the prefixes are worked
// out again on their next use (tests, and a fresh load).
void LoadSave_Reset();
