// Scripts: the table, loading it from the data file, preparing and
// performing scripts.
#include "core/script.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "core/collector.h"
#include "core/console.h"
#include "core/error.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/variables.h"
#include "core/zq_rvalue.h"

SSubFunction* g_pSubFunctions = nullptr;
int32_t g_numSubFunctions = 0;
int32_t Script_Main_number = 0;
CScript** Script_Main_items = nullptr;
char** Script_Main_names = nullptr;
RValue* Argument = nullptr;
int g_ArgumentCount = 0;

namespace {

// Most scripts take a handful of arguments: their pointer vectors live on the stack.
constexpr int kStackArguments = 16;

void SetCodeErrorString(const char* text) {
    if (Code_Error_String != nullptr) Code_Error_String->Dec();
    Code_Error_String = RefString::Create(text);
}

void FreeTable(CScript** items, char** names, int32_t number) {
    for (int32_t i = 0; i < number; ++i) {
        if (items != nullptr) delete items[i];
        if (names != nullptr) ZQ_Free(names[i]);
    }
    ZQ_Free(items);
    ZQ_Free(names);
}

TZQScript ScriptFunctionOf(int index) {
    CScript* script = Script_Data(index);
    return script != nullptr ? script->GetFunction() : nullptr;
}

// The function table resolves script names and calls compiled scripts through these.
void InstallHooks() {
    g_FunctionTableHooks.scriptFind = Script_Find;
    g_FunctionTableHooks.scriptFunction = ScriptFunctionOf;
}

// Compiled code and bytecode take self as an instance; the global object is
// handed over in that place, as the code it runs expects, and never
// dereferenced as an instance here.
CInstance* GlobalAsSelf() {
    return reinterpret_cast<CInstance*>(g_pGlobal);
}

} // namespace

// ---------------------------------------------------------------------------
// CScript.

CScript::~CScript() {
    Clear();
}

void CScript::Clear() {
    delete m_pCode;
    m_pCode = nullptr;
    m_pFunc = nullptr;
    ZQ_Free(m_pSource);
    m_pSource = nullptr;
}

bool CScript::Compile() {
    if (g_fZQC) {
        m_pFunc = Code_CompiledFunction(m_codeIndex);
        if (m_pFunc == nullptr || m_pFunc->pScript == nullptr) {
            char text[128];
            std::snprintf(text, sizeof text, "no compiled script for code index %d", m_codeIndex);
            SetCodeErrorString(text);
            m_pFunc = nullptr;
            return false;
        }
        return true;
    }
    if (g_CodeChunk.Empty()) return false;
    delete m_pCode;
    m_pCode = new CCode(m_codeIndex, false);
    return true;
}

TZQScript CScript::GetFunction() const {
    if (m_pFunc != nullptr) return m_pFunc->pScript;
    if (m_pCode != nullptr && m_pCode->m_pFunc != nullptr) return m_pCode->m_pFunc->pScript;
    return nullptr;
}

// ---------------------------------------------------------------------------
// The table.

void Script_Free() {
    FreeTable(Script_Main_items, Script_Main_names, Script_Main_number);
    Script_Main_items = nullptr;
    Script_Main_names = nullptr;
    Script_Main_number = 0;
}

void Script_Init() {
    Script_Free();
    InstallHooks();
}

void FINALIZE_Script_Main() {
    Script_Free();
}

void FINALIZE_Code_Main() {}

// Builds the new table beside the old one and replaces it only when every
// record has been read.
void Script_Load(ImageReader& chunk) {
    const uint32_t count = chunk.Count(4);
    const int32_t subFunctions = g_pSubFunctions != nullptr && g_numSubFunctions > 0 ? g_numSubFunctions : 0;
    if (count > static_cast<uint32_t>(INT_MAX - subFunctions)) chunk.Fail("script count is too large");
    const int32_t number = static_cast<int32_t>(count) + subFunctions;
    struct Building {
        CScript** items = nullptr;
        char** names = nullptr;
        int32_t number = 0;
        ~Building() { FreeTable(items, names, number); }
    } table;
    if (number > 0) {
        table.items = ZQ_AllocArray<CScript*>(static_cast<size_t>(number));
        table.names = ZQ_AllocArray<char*>(static_cast<size_t>(number));
        if (table.items == nullptr || table.names == nullptr)
            chunk.Fail("out of memory for the script table");
        table.number = number;
    }
    const bool keepsCodeIndex = g_fZQC || g_fCompiledToVM;
    for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
        const uint32_t at = chunk.U32();
        if (at == 0) continue;
        ImageReader record = chunk.At(at);
        const char* name = record.StringAt();
        const uint32_t word = record.U32();
        auto* script = new CScript(name);
        table.items[i] = script;
        table.names[i] = ZQStrDup(name);
        if (keepsCodeIndex) {
            script->m_codeIndex = static_cast<int32_t>(word);
        } else if (const char* source = chunk.String(word)) {
            script->m_pSource = ZQStrDup(source);
        }
    }
    for (int32_t j = 0; j < subFunctions; ++j) {
        const SSubFunction& sub = g_pSubFunctions[j];
        const int32_t index = static_cast<int32_t>(count) + j;
        table.names[index] = ZQStrDup(sub.pName);
        auto* script = new CScript(table.names[index]);
        script->m_codeIndex = sub.codeIndex;
        script->m_subFunctionWord = sub.word;
        table.items[index] = script;
    }

    Script_Free();
    Script_Main_items = table.items;
    Script_Main_names = table.names;
    Script_Main_number = table.number;
    table.items = nullptr;
    table.names = nullptr;
    table.number = 0;
    InstallHooks();
}

bool Script_Load(CStream*) {
    dbg_csol->Output("Script_Load: scripts in the older stream form are not supported\n");
    return false;
}

int Script_Number() {
    return Script_Main_number;
}

CScript* Script_Data(int index) {
    return index >= 0 && index < Script_Main_number ? Script_Main_items[index] : nullptr;
}

bool Script_Exists(int index) {
    return Script_Data(index) != nullptr;
}

const char* Script_Name(int index) {
    const CScript* script = Script_Data(index);
    return script != nullptr && script->m_pName != nullptr ? script->m_pName : "<undefined>";
}

int Script_Find(const char* name) {
    if (name == nullptr) return -1;
    for (int32_t i = Script_Main_number - 1; i >= 0; --i) {
        const CScript* script = Script_Main_items[i];
        if (script != nullptr && script->m_pName != nullptr && std::strcmp(script->m_pName, name) == 0)
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// Preparing and performing.

bool Script_Prepare() {
    for (int32_t i = 0; i < Script_Main_number; ++i) {
        CScript* script = Script_Main_items[i];
        if (script == nullptr || script->Compile()) continue;
        const char* reason = Code_Error_String != nullptr && Code_Error_String->Get() != nullptr
                                 ? Code_Error_String->Get()
                                 : "";
        char text[1024];
        std::snprintf(text, sizeof text, "COMPILATION ERROR in Script: %s\n%s", Script_Name(i), reason);
        Error_Show(text, true);
        return false;
    }

    for (int i = 0; i < g_numGlobalScripts && !g_GlobalScripts.Empty(); ++i) {
        CCode code(GameData_GlobalScript(i), false);
        RValue result = RValue_Undefined();
        Code_Execute(GlobalAsSelf(), GlobalAsSelf(), &code, &result, 0);
        FREE_RValue(&result);
    }

    if (g_fJSGarbageCollection) {
        for (int32_t i = 0; i < Script_Main_number; ++i) {
            CScript* script = Script_Main_items[i];
            if (script == nullptr || script->m_pCode == nullptr || script->m_pCode->m_offsetInParent != 0)
                continue;
            RValue result;
            result.v64 = 0;
            result.flags = 0;
            result.kind = VALUE_UNSET;
            Script_Perform(i, GlobalAsSelf(), GlobalAsSelf(), 0, &result, nullptr);
            FREE_RValue(&result);
        }
    }
    return true;
}

bool Script_Perform(int index, CInstance* self, CInstance* other, int argc, RValue* result,
                    DynamicArrayOfRValue* args) {
    CScript* script = Script_Data(index);
    if (script == nullptr) return false;

    RValue* values = args != nullptr ? args->arr : nullptr;
    const int available = args != nullptr && values != nullptr ? args->length : 0;
    if (argc < 0 || argc > available) argc = available;

    RValue* savedArgument = Argument;
    const int savedCount = g_ArgumentCount;
    Argument = values;
    g_ArgumentCount = argc;

    ZQRValue discarded;
    RValue* into = result != nullptr ? result : &discarded;
    if (TZQScript function = script->GetFunction()) {
        // A compiled script takes its arguments as an array of pointers.
        ZQRValue* stack[kStackArguments];
        ZQRValue** pointers =
            argc <= kStackArguments ? stack : ZQ_AllocArray<ZQRValue*>(static_cast<size_t>(argc));
        int passed = pointers != nullptr ? argc : 0;
        for (int i = 0; i < passed; ++i) pointers[i] = &ZQRValue::From(values[i]);
        function(self, other, ZQRValue::From(*into), passed, passed > 0 ? pointers : nullptr);
        if (pointers != stack) ZQ_Free(pointers);
    } else if (script->m_pCode != nullptr) {
        Code_Execute_Special(self, other, script->m_pCode, into);
    }

    for (int i = 0; i < available; ++i) FREE_RValue(&values[i]);
    Argument = savedArgument;
    g_ArgumentCount = savedCount;
    return true;
}
