// The language table of the "LANG" chunk: languages, each with a region and one
// text per string identifier, and the active language. The texts lie in the
// loaded file image; the tables themselves come from the memory manager.
#pragma once

#include <cstdint>

class ImageReader;

struct SLanguage {
    const char* name;
    const char* region;
    const char** strings; // m_NumStrings texts, in the order of the identifiers
};

class CLangMan {
public:
    static int32_t m_NumLanguages;
    static int32_t m_NumStrings;
    // -1 with no languages, 0 after a load with languages.
    static int32_t m_nActiveLanguage;
    static const char** m_StringIDs;
    static SLanguage* m_pLanguages;

    // Reads the chunk. A chunk whose counts do not fit in it, or whose offsets
    // are 0 or lie outside the file, throws GameDataError and leaves the table
    // as it was. No languages or no strings give an empty table.
    static void Language_Load(ImageReader& chunk);
    // Empties the table (active index -1).
    static void Clear();
    // Chooses the language with this name and region; else the name match with
    // an empty region, else the first name match, else language 0. Nothing
    // happens for a null argument or an empty table.
    static void SetActiveLanguage(const char* name, const char* region);
    // New memory-manager copies of the active language's name and region, which
    // the caller frees; both null when no language is active. Nothing happens
    // when either out pointer is null.
    static void GetActiveLanguage(char** name, char** region);
};

// The loader's entries: the table emptied before a file's chunks are read (so
// that no text of an earlier file outlives it), and the "LANG" chunk.
void Language_Init();
void Language_Load(ImageReader& chunk);
