// Named constants: the table of names and values, registration (built-in
// vocabulary, game options, extensions, platform) and the lookups.
//
// The table is append-only and a name may appear more than once; the latest
// registration wins. Exact lookups go through a hash index from a name to its
// latest entry (the keys are the entries' own name copies, which never move),
// so a lookup costs one hash instead of a walk over ~600 names. The
// case-blind lookup is rare (configuration texts) and walks from the end.
#include "core/code_constants.h"

#include <cstring>
#include <string>

#include "core/console.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/hash_map.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "core/utilities.h"

namespace {

struct SConstant {
    char* name; // memory-manager copy
    RValue value;
};

SConstant* g_constants = nullptr;
int32_t g_constantCount = 0;
int32_t g_constantCapacity = 0;
CHashMap<const char*, int, 7>* g_constantIndex = nullptr;

// Room for one more entry. Values move with RValue_MoveInto so that an array
// the table owns keeps its owner pointing at the entry's new address.
bool Reserve() {
    if (g_constantCount < g_constantCapacity) return true;
    const int32_t capacity = g_constantCapacity == 0 ? 1024 : g_constantCapacity * 2;
    SConstant* grown = ZQ_AllocArray<SConstant>(static_cast<size_t>(capacity));
    if (grown == nullptr) return false;
    for (int32_t i = 0; i < g_constantCount; ++i) {
        grown[i].name = g_constants[i].name;
        RValue_MoveInto(&grown[i].value, &g_constants[i].value);
    }
    ZQ_Free(g_constants);
    g_constants = grown;
    g_constantCapacity = capacity;
    return true;
}

bool IsIdentifier(const char* text) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (text == nullptr || !letter(text[0])) return false;
    for (const char* p = text + 1; *p != '\0'; ++p)
        if (!letter(*p) && !(*p >= '0' && *p <= '9')) return false;
    return true;
}

bool EqualIgnoreCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (ca == '\0') return true;
    }
}

void ShowInvalidName(const char* name) {
    // The name comes from the data file: shown printable.
    const std::string printable = GameData_Printable(name);
    const char* shown = printable.c_str();
    // The text's two blanks before "is" are the message as users know it.
    const size_t size = std::strlen(shown) + 40;
    char* text = static_cast<char*>(ZQ_Alloc(size));
    if (text == nullptr) return;
    std::snprintf(text, size, "Constant name %s  is not valid.", shown);
    if (g_ErrorHooks.showMessage != nullptr)
        g_ErrorHooks.showMessage(text);
    else
        rel_csol->Output("%s\n", text);
    ZQ_Free(text);
}

} // namespace

// ---------------------------------------------------------------------------
// Registration.

void AddConstant(const char* name, const RValue* value) {
    if (name == nullptr || value == nullptr || !Reserve()) return;
    char* copy = ZQStrDup(name);
    if (copy == nullptr) return;
    SConstant& entry = g_constants[g_constantCount];
    entry.name = copy;
    COPY_RValue(&entry.value, value);
    if (g_constantIndex == nullptr) g_constantIndex = new CHashMap<const char*, int, 7>();
    g_constantIndex->Insert(copy, g_constantCount);
    ++g_constantCount;
}

void AddRealConstant(const char* name, double number) {
    const RValue value = RValue_Real(number);
    AddConstant(name, &value);
}

void AddStringConstant(const char* name, const char* text) {
    RValue value = RValue_Undefined();
    ZQSetString(&value, text);
    AddConstant(name, &value);
    FREE_RValue(&value);
}

bool Code_Constant_Add(const char* name, const char* /*text*/) {
    char* trimmed = nullptr;
    Trim(trimmed, name != nullptr ? name : "");
    const bool valid = IsIdentifier(trimmed);
    if (valid)
        AddRealConstant(trimmed, 0.0);
    else
        ShowInvalidName(trimmed);
    ZQ_Free(trimmed);
    return valid;
}

// ---------------------------------------------------------------------------
// Lookup.

bool Code_Constant_Find(const char* name, RValue* value) {
    FREE_RValue(value);
    *value = RValue_Real(-1.0);
    if (name == nullptr) return false;
    const int index = Code_Constant_FindResource(name);
    if (index >= 0) {
        value->val = index;
        return true;
    }
    if (g_constantIndex == nullptr) return false;
    const int* found = g_constantIndex->Find(name);
    if (found == nullptr) return false;
    FREE_RValue(value);
    COPY_RValue(value, &g_constants[*found].value);
    return true;
}

const RValue* Code_Constant_Find_IgnoreCase(const char* name) {
    if (name == nullptr) return nullptr;
    for (int32_t i = g_constantCount - 1; i >= 0; --i)
        if (EqualIgnoreCase(g_constants[i].name, name)) return &g_constants[i].value;
    return nullptr;
}

int Code_Constant_Count() {
    return g_constantCount;
}

const char* Code_Constant_Name(int index) {
    return index >= 0 && index < g_constantCount ? g_constants[index].name : nullptr;
}

const RValue* Code_Constant_Value(int index) {
    return index >= 0 && index < g_constantCount ? &g_constants[index].value : nullptr;
}

// ---------------------------------------------------------------------------
// Lifecycle. INITIALIZE_Code_Constant lives with the vocabulary
// (code_constant_table.cpp).

void FINALIZE_Code_Constant() {
    delete g_constantIndex;
    g_constantIndex = nullptr;
    for (int32_t i = 0; i < g_constantCount; ++i) {
        ZQ_Free(g_constants[i].name);
        FREE_RValue(&g_constants[i].value);
    }
    ZQ_Free(g_constants);
    g_constants = nullptr;
    g_constantCount = 0;
    g_constantCapacity = 0;
}
