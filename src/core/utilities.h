// Small platform utilities: environment lookup, trimming, and the finaliser
// that the module shut-down calls last.
#pragma once

// A new memory-manager copy of the variable's value (the caller frees it with
// ZQ_Free), or null when the variable is not set.
char* EnvironmentGetVariable(const char* name);

// Replaces `result` (freed through the memory manager) with a new copy of
// `text` without leading and trailing blanks and control bytes (0x00 to 0x20);
// an empty copy when nothing remains, null when text is null. Bytes of 0x80 and
// above are kept: they belong to UTF-8 characters. `text` may be `result` itself.
void Trim(char*& result, const char* text);

// Module finaliser with nothing to release.
void FINALIZE_All();
