// Code entries: construction from the compiled-function table or from a
// bytecode record of the data file, the global list and the entry table,
// and running an entry.
#include "core/code.h"

#include "core/error.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/zq_rvalue.h"
#include "world/datafile/game_file.h"

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

// Builds the bytecode buffer of data-file code record `index`. The record:
// name offset, bytecode length, then either the bytecode (data without
// sub-functions) or local count (u16), argument word (u16), the bytecode's
// offset from this field (s32) and the offset within the parent code (u32).
// Anything that does not fit the image leaves the entry without bytecode.
void LoadBytecode(CCode& code, int index) {
    if (g_pWADBaseAddress == nullptr || g_pWADEndAddress <= g_pWADBaseAddress) return;
    const size_t length = static_cast<size_t>(g_pWADEndAddress - g_pWADBaseAddress);
    const size_t tableAt = static_cast<size_t>(g_ppZQCode - g_pWADBaseAddress);
    uint16_t locals = 0, arguments = 0;
    uint32_t parentOffset = 0;
    size_t start = 0;
    int32_t size = 0;
    const char* name = nullptr;
    try {
        ImageReader table(g_pWADBaseAddress, length, tableAt, tableAt + 4 * static_cast<size_t>(g_nZQCode),
                          "CODE");
        table.Skip(4 * static_cast<size_t>(index));
        const uint32_t at = table.U32();
        if (at == 0) return;
        ImageReader record = table.At(at);
        name = record.StringAt();
        size = record.S32();
        start = record.Position();
        if (g_subFunctionsOption) {
            locals = record.U16();
            arguments = record.U16();
            const size_t field = record.Position();
            const int32_t relative = record.S32();
            parentOffset = record.U32();
            const int64_t target = static_cast<int64_t>(field) + relative;
            if (target < 0 || static_cast<uint64_t>(target) > length) return;
            start = static_cast<size_t>(target);
        }
    } catch (const GameDataError&) {
        return; // a damaged record: the entry has no bytecode
    }
    if (size < 0 || static_cast<size_t>(size) > length - start) return;
    auto* buffer = new VMBuffer();
    buffer->m_size = size;
    buffer->m_numLocalsUsed = locals;
    buffer->m_numArguments = arguments;
    buffer->m_pBuffer = g_pWADBaseAddress + start;
    code.m_pVM = buffer;
    code.m_pName = name;
    code.m_localCount = locals;
    code.m_argumentCount = arguments & 0x1FFF;
    code.m_argumentFlags = arguments >> 13;
    code.m_offsetInParent = static_cast<int32_t>(parentOffset);
}

} // namespace

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
    } else if (index >= 0 && index < g_nZQCode && g_ppZQCode != nullptr) {
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
