// Path-name helpers and folder operations of the file service: splitting names,
// lexical standardisation, making and removing folders, the executable's path.
#pragma once

#include <string>

// Full paths fit 2047 bytes (the service's path buffers are 2048 bytes).
inline constexpr size_t kFilePathBufferSize = 2048;
inline constexpr size_t kMaxFilePathLength = kFilePathBufferSize - 1;

// Each result is a new memory-manager block that the caller frees (ZQ_Free);
// a null name is treated as the empty text. Separators are "/" and "\".
// The text before the last separator; empty when there is none or it is the first byte.
char* ExtractFilePath(const char* name);
// The text after the last separator, or the whole name.
char* ExtractFileName(const char* name);
// The text from the last "." on, dot included, or the empty text. The search
// does not stop at separators: "a.b/c" gives ".b/c".
char* ExtractFileExt(const char* name);
// A copy of the whole name (this platform has no drive names).
char* ExtractFileDrive(const char* name);

// Makes the folder and every missing folder above it (mode 0775); true when it
// exists afterwards. One trailing separator is ignored; the caller's text is
// not changed. A parent that cannot be made does not stop the attempt on the
// path itself.
bool ForceDirectories(const char* path);
// Makes the folders above the file at `path` (the text before its last "\",
// or with none its last "/"); nothing for a path without separator.
void EnsureDirectoryIsCreated(const char* path);
// Removes the folder and everything in it; failures are ignored. Refuses "" and "/".
void DestroyDir(const char* path);
// True when path exists and is a folder (symbolic links followed).
bool DirectoryExists(const char* path);
// True when path exists and is a regular file (symbolic links followed).
bool RegularFileExists(const char* path);

// The process's current folder as a new memory-manager block, or null.
char* GetCurrentDir();
// The running executable's full path (from /proc/self/exe, read once); empty
// when it cannot be read.
const char* GetExeName();
extern char g_pBundlePath[kFilePathBufferSize];

// Lexical standardisation of an absolute path: backslashes become "/",
// repeated separators and "." components go, ".." removes the component before
// it (never climbing above "/"), no trailing "/" except for the root. A path
// that begins with "~" has it replaced by the home folder first. A path that
// is still relative afterwards is made absolute against the current folder.
std::string FilePath_Standardise(const std::string& path);
// The home folder ($HOME, else the password database), or the empty text.
std::string FilePath_HomeFolder();
