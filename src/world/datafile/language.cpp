// The language table: reading the "LANG" chunk and choosing the active
// language. The chunk is checked whole before the old table is replaced.
#include "world/datafile/language.h"

#include <cstring>

#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"

int32_t CLangMan::m_NumLanguages = 0;
int32_t CLangMan::m_NumStrings = 0;
int32_t CLangMan::m_nActiveLanguage = -1;
const char** CLangMan::m_StringIDs = nullptr;
SLanguage* CLangMan::m_pLanguages = nullptr;

namespace {

// The text at the next offset of the chunk; offset 0 has no text to show and is
// refused like an offset outside the file.
const char* RequiredText(ImageReader& chunk, const char* what, int32_t index) {
    const char* text = chunk.StringAt();
    if (text == nullptr) GameData_Fail(chunk.Chunk(), "%s %d has no text", what, index);
    return text;
}

void FreeTable(SLanguage* languages, int32_t count, const char** ids) {
    if (languages != nullptr)
        for (int32_t i = 0; i < count; ++i) ZQ_Free(languages[i].strings);
    ZQ_Free(languages);
    ZQ_Free(ids);
}

// Owns a table under construction until it is handed over.
struct TableBuilder {
    int32_t languages = 0;
    const char** ids = nullptr;
    SLanguage* table = nullptr;
    ~TableBuilder() { FreeTable(table, languages, ids); }
};

} // namespace

// Layout: a word not read, N languages, M strings, M identifier offsets, then N
// records of M + 2 offsets {name, region, M strings}.
void CLangMan::Language_Load(ImageReader& chunk) {
    chunk.Skip(4);
    int32_t languages = chunk.S32();
    int32_t strings = chunk.S32();
    if (languages <= 0 || strings <= 0) {
        Clear();
        return;
    }
    // Everything must fit before anything is allocated for it.
    uint64_t words = static_cast<uint64_t>(strings) + static_cast<uint64_t>(languages) * (strings + 2ull);
    if (words > chunk.Remaining() / 4)
        GameData_Fail(chunk.Chunk(), "%d languages of %d strings do not fit in the remaining %zu bytes",
                      languages, strings, chunk.Remaining());

    TableBuilder b;
    b.ids = ZQ_AllocArray<const char*>(static_cast<size_t>(strings));
    b.table = ZQ_AllocArray<SLanguage>(static_cast<size_t>(languages));
    if (b.ids == nullptr || b.table == nullptr)
        GameData_Fail(chunk.Chunk(), "no memory for the language table");
    b.languages = languages;
    for (int32_t k = 0; k < strings; ++k) b.ids[k] = RequiredText(chunk, "string identifier", k);
    for (int32_t i = 0; i < languages; ++i) {
        SLanguage& language = b.table[i];
        language.name = RequiredText(chunk, "language name", i);
        language.region = RequiredText(chunk, "language region", i);
        language.strings = ZQ_AllocArray<const char*>(static_cast<size_t>(strings));
        if (language.strings == nullptr) GameData_Fail(chunk.Chunk(), "no memory for the language table");
        for (int32_t k = 0; k < strings; ++k) language.strings[k] = RequiredText(chunk, "language string", k);
    }

    Clear();
    m_NumLanguages = languages;
    m_NumStrings = strings;
    m_StringIDs = b.ids;
    m_pLanguages = b.table;
    m_nActiveLanguage = 0;
    b.ids = nullptr;
    b.table = nullptr;
}

void CLangMan::Clear() {
    FreeTable(m_pLanguages, m_NumLanguages, m_StringIDs);
    m_pLanguages = nullptr;
    m_StringIDs = nullptr;
    m_NumLanguages = m_NumStrings = 0;
    m_nActiveLanguage = -1;
}

// An exact match wins at once. Otherwise the fallback is the first name match,
// replaced by any later name match whose region is empty (the language's
// general form); without a name match, language 0.
void CLangMan::SetActiveLanguage(const char* name, const char* region) {
    if (name == nullptr || region == nullptr || m_NumLanguages <= 0) return;
    int32_t fallback = -1;
    for (int32_t i = 0; i < m_NumLanguages; ++i) {
        const SLanguage& language = m_pLanguages[i];
        if (std::strcmp(language.name, name) != 0) continue;
        if (std::strcmp(language.region, region) == 0) {
            m_nActiveLanguage = i;
            return;
        }
        if (fallback < 0 || language.region[0] == '\0') fallback = i;
    }
    m_nActiveLanguage = fallback >= 0 ? fallback : 0;
}

void CLangMan::GetActiveLanguage(char** name, char** region) {
    if (name == nullptr || region == nullptr) return;
    if (m_nActiveLanguage < 0 || m_nActiveLanguage >= m_NumLanguages) {
        *name = *region = nullptr;
        return;
    }
    *name = ZQStrDup(m_pLanguages[m_nActiveLanguage].name);
    *region = ZQStrDup(m_pLanguages[m_nActiveLanguage].region);
}

void Language_Init() {
    CLangMan::Clear();
}

void Language_Load(ImageReader& chunk) {
    CLangMan::Language_Load(chunk);
}
