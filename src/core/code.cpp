// Code entries: construction from the compiled-function table or from a
// bytecode record of the data file, the global list and the entry table,
// and running an entry.
#include "core/code.h"

#include <algorithm>
#include <climits>

#include "core/error.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"

SLLVMVars g_LLVMVars = {};
CCode* g_pFirstCode = nullptr;
int32_t g_TotalCodeBlocks = 0;
CCode** g_ppCodeEntries = nullptr;
int32_t g_nCodeEntries = 0;
int32_t g_nCodeCurrEntry = 0;
CodeHooks g_CodeHooks = {};

namespace {

bool Argument_Relative = false;

constexpr int32_t kInitialEntryCapacity = 16;

// Builds the bytecode buffer of data-file code entry `index`. The start-up
// checked every entry (Code_CheckEntries), so a record that does not read
// here cannot occur; should one, the entry is left without bytecode.
void LoadBytecode(CCode& code, int index) {
    SCodeEntryRecord entry;
    try {
        entry = Code_ReadEntry(g_CodeChunk, index, g_subFunctionsOption);
    } catch (const GameDataError&) {
        return;
    }
    if (!entry.present || entry.length < 0) return;
    auto* buffer = new VMBuffer();
    buffer->m_size = entry.length;
    buffer->m_numLocalsUsed = entry.locals;
    buffer->m_numArguments = entry.arguments;
    buffer->m_pBuffer = g_CodeChunk.Span(entry.start, static_cast<size_t>(entry.length));
    code.m_pVM = buffer;
    code.m_pName = entry.name;
    code.m_localCount = entry.locals;
    code.m_argumentCount = entry.arguments & 0x1FFF;
    code.m_argumentFlags = entry.arguments >> 13;
    code.m_offsetInParent = static_cast<int32_t>(entry.offsetInParent);
}

} // namespace

// The record: name offset, bytecode length, then either the bytecode (data
// without sub-functions) or local count (u16), argument word (u16), the
// bytecode's offset from this field (s32) and the offset within the parent
// code (u32). Record and bytecode must lie inside the code chunk.
SCodeEntryRecord Code_ReadEntry(const ImageReader& code, int index, bool newerLayout) {
    SCodeEntryRecord entry;
    const uint32_t at = GameData_TableWord(code, index);
    if (at == 0) return entry;
    ImageReader record = code.At(at);
    entry.present = true;
    entry.name = record.StringAt();
    entry.length = record.S32();
    entry.start = record.Position();
    if (newerLayout) {
        entry.locals = record.U16();
        entry.arguments = record.U16();
        const size_t field = record.Position();
        const int32_t relative = record.S32();
        entry.offsetInParent = record.U32();
        const int64_t target = static_cast<int64_t>(field) + relative;
        if (target < static_cast<int64_t>(code.ChunkStart()) ||
            target > static_cast<int64_t>(code.ChunkEnd()))
            GameData_Fail(code.Chunk(),
                          "code entry %d at offset %u: its bytecode at offset %lld lies outside the chunk",
                          index, at, static_cast<long long>(target));
        entry.start = static_cast<size_t>(target);
    }
    if (entry.length > 0 && static_cast<size_t>(entry.length) > code.ChunkEnd() - entry.start)
        GameData_Fail(code.Chunk(),
                      "code entry %d at offset %u: its %d bytes of bytecode run past the chunk's end", index,
                      at, entry.length);
    return entry;
}

int Code_IndexLimit() {
    // Compiled functions, when the game has them, are what an index names.
    if (g_fZQC && g_LLVMVars.pCodeFunctions != nullptr)
        return static_cast<int>(std::clamp<intptr_t>(g_LLVMVars.nCodeEntries, 0, INT32_MAX));
    if (g_fCompiledToVM) return g_nZQCode;
    return -1;
}

void Code_CheckIndex(const ImageReader& chunk, int32_t index, size_t at, const char* what) {
    if (index == -1) return;
    const int limit = Code_IndexLimit();
    if (index < -1 || (limit >= 0 && index >= limit))
        GameData_Fail(chunk.Chunk(), "%s at offset %zu names code entry %d, but the game has %d", what, at,
                      index, limit < 0 ? 0 : limit);
}

const SCompiledFunction* Code_CompiledFunction(int codeIndex) {
    if (g_LLVMVars.pCodeFunctions == nullptr || codeIndex < 0 || codeIndex >= g_LLVMVars.nCodeEntries)
        return nullptr;
    return &g_LLVMVars.pCodeFunctions[codeIndex];
}

VMBuffer::~VMBuffer() {
    ZQ_Free(m_pConvertedBuffer);
    ZQ_Free(m_pJumpBuffer);
}

CCode::CCode(int index, bool flag) : m_kind(flag ? CODE_KIND_RUN_ACTION : CODE_KIND_RUN), m_codeIndex(index) {
    m_value = RValue_Real(0.0);
    if (g_fZQC) {
        m_pFunc = Code_CompiledFunction(index);
        if (m_pFunc != nullptr) m_pName = m_pFunc->pName;
        m_pText = "";
    } else if (index >= 0 && index < g_nZQCode && !g_CodeChunk.Empty()) {
        LoadBytecode(*this, index);
    }
    if (index >= 0) {
        m_pNext = g_pFirstCode;
        g_pFirstCode = this;
        ++g_TotalCodeBlocks;
    } else {
        m_unlisted = true;
    }
}

CCode::~CCode() {
    if (!m_unlisted) {
        for (CCode** link = &g_pFirstCode; *link != nullptr; link = &(*link)->m_pNext) {
            if (*link == this) {
                *link = m_pNext;
                --g_TotalCodeBlocks;
                break;
            }
        }
    }
    delete m_pVM;
    delete m_pVMDebugInfo;
    FREE_RValue(&m_value);
}

// ---------------------------------------------------------------------------
// The entry table.

int Code_CreateEntry(int index, bool flag) {
    if (g_nCodeCurrEntry >= g_nCodeEntries) {
        // A game without a code chunk (g_nZQCode 0) still gets room to start with.
        int32_t capacity = g_nCodeEntries != 0 ? (3 * g_nCodeEntries + 1) / 2
                           : g_nZQCode > 0     ? g_nZQCode
                                               : kInitialEntryCapacity;
        CCode** grown = ZQ_ReAllocArray<CCode*>(g_ppCodeEntries, static_cast<size_t>(capacity));
        if (grown == nullptr) return -1;
        g_ppCodeEntries = grown;
        g_nCodeEntries = capacity;
    }
    CCode* code = index != -1 && (g_fZQC || g_fCompiledToVM) ? new CCode(index, flag) : nullptr;
    g_ppCodeEntries[g_nCodeCurrEntry] = code;
    return g_nCodeCurrEntry++;
}

CCode* Code_GetEntry(int n) {
    return n >= 0 && n < g_nCodeCurrEntry ? g_ppCodeEntries[n] : nullptr;
}

void Code_FreeEntries() {
    for (int32_t i = 0; i < g_nCodeCurrEntry; ++i) delete g_ppCodeEntries[i];
    ZQ_Free(g_ppCodeEntries);
    g_ppCodeEntries = nullptr;
    g_nCodeEntries = g_nCodeCurrEntry = 0;
}

// ---------------------------------------------------------------------------
// Running.

bool Code_Execute(CInstance* self, CInstance* other, CCode* code, RValue* result, int arg) {
    Code_Error_Occured = false;
    if (code == nullptr) return true;
    switch (code->m_kind) {
        case CODE_KIND_RUN:
        case CODE_KIND_RUN_ACTION:
            if (const SCompiledFunction* function = code->m_pFunc) {
                if (function->pEvent != nullptr) {
                    function->pEvent(self, other);
                } else if (function->pScript != nullptr) {
                    ZQRValue discarded;
                    ZQRValue& into = result != nullptr ? ZQRValue::From(*result) : discarded;
                    function->pScript(self, other, into, 0, nullptr);
                }
            } else if (code->m_pVM != nullptr && code->m_pVM->m_size > 0 && g_CodeHooks.vmExec != nullptr) {
                g_CodeHooks.vmExec(code, self, other, result, arg);
            }
            break;
        case CODE_KIND_CONSTANT:
            if (result != nullptr) {
                FREE_RValue(result);
                COPY_RValue(result, &code->m_value);
            }
            break;
        default: break;
    }
    return true;
}

bool Code_Execute_Special(CInstance* self, CInstance* other, CCode* code, RValue* result) {
    return Code_Execute(self, other, code, result, self != nullptr ? 1 : 0);
}

bool Code_Main_GET_Argument_Relative() {
    return Argument_Relative;
}

void Code_Main_SET_Argument_Relative(int value) {
    Argument_Relative = value == 1;
}

void Code_Report_Error(CCode* code, int position, const char* message) {
    Code_Report_Error(code != nullptr ? code->GetText() : nullptr,
                      code != nullptr && code->m_kind == CODE_KIND_RUN, position, message);
}
