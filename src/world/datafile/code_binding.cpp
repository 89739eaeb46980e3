// Code, function and variable binding.
//
// Reference chains: each reference is a bytecode instruction whose operand
// word (4 bytes after the instruction) holds, before binding, the distance in
// bytes to the next reference of the same chain; binding overwrites it with
// the id. The data file drives these writes, so every chain is walked twice:
// first without writing, checking that each reference (instruction and
// operand) lies inside one code entry's bytecode, never in the entry table
// or an entry's header, and against a map of operand words already patched
// (which also catches loops and chains that cross), then writing. A chain
// that fails the first walk writes nothing.
//
// Compiled code: the record's variable records name the slots (record i is
// slot i), and after the chunks are read every record gets its final id. A
// name that cannot be bound stops the load with a message naming it, so
// compiled code never runs with an id of -1.
#include "world/datafile/code_binding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/code.h"
#include "core/collector.h"
#include "core/console.h"
#include "core/function_table.h"
#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/object_base.h"
#include "core/ref_string.h"
#include "core/script.h"
#include "core/stack_trace.h"
#include "core/variables.h"
#include "core/vm_types.h"
#include "core/zq_rvalue.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_header.h"

namespace {

// More variables of one scope than any game declares; larger counts are damage.
constexpr uint32_t kMaxVariables = 1u << 20;
constexpr uint32_t kVariableIdMask = 0x0FFFFFFFu;
constexpr int kComparisonOpcode = 21;

// The code chunk and the bytecode ranges [start, end) of its entries, sorted
// and disjoint: entries that overlap (a sub-function lies in its parent's
// code) are joined.
struct ReferenceRegion {
    ImageReader code;
    std::vector<std::pair<size_t, size_t>> ranges;
    std::vector<bool> patched; // per operand word of the chunk
} g_region;

enum class Chain { Variable28, Variable29, Function };

// Whether the 8 bytes of a reference at `at` lie inside an entry's bytecode.
bool InsideBytecode(size_t at) {
    auto past =
        std::upper_bound(g_region.ranges.begin(), g_region.ranges.end(), std::make_pair(at, SIZE_MAX));
    if (past == g_region.ranges.begin()) return false;
    const auto& range = *(past - 1);
    return range.second - range.first >= 8 && at <= range.second - 8;
}

int32_t ChainDistance(uint32_t operand, Chain chain) {
    switch (chain) {
        case Chain::Variable28: return static_cast<int32_t>(operand << 4) >> 4;
        case Chain::Variable29: return static_cast<int32_t>(operand << 3) >> 3;
        case Chain::Function: return static_cast<int32_t>(operand);
    }
    return 0;
}

[[noreturn]] void Unresolved(const char* what, const char* name) {
    throw GameDataError(std::string("Error on load\nUnable to find ") + what + " " +
                        GameData_Printable(name) + "\n");
}

// The same for a record of the file, naming where it stands.
[[noreturn]] void Unresolved(const ImageReader& chunk, size_t record, const char* what, const char* name) {
    throw GameDataError(std::string("Error on load\nUnable to find ") + what + " " +
                        GameData_Printable(name) + "\n(chunk " + chunk.Chunk() + ", the record at offset " +
                        std::to_string(record) + ")\n");
}

// Writes `id` into each of the `count` references starting at file offset
// `first` (see the file comment).
void PatchChain(const ImageReader& chunk, const char* name, uint32_t count, uint32_t first, int32_t id,
                Chain chain) {
    if (count == 0) return;
    const ImageReader& code = g_region.code;
    const size_t start = code.ChunkStart();
    if (count > (code.ChunkEnd() - start) / 8)
        GameData_Fail(chunk.Chunk(), "%s has %u references, more than the code can hold", name, count);
    std::vector<size_t> positions;
    positions.reserve(count);
    int64_t position = first;
    for (uint32_t i = 0; i < count; ++i) {
        if (position < static_cast<int64_t>(start) || (static_cast<size_t>(position) - start) % 4 != 0 ||
            !InsideBytecode(static_cast<size_t>(position)))
            GameData_Fail(chunk.Chunk(), "reference %u of %s at offset %lld lies outside the code's bytecode",
                          i, name, static_cast<long long>(position));
        const size_t at = static_cast<size_t>(position);
        const size_t word = (at + 4 - start) / 4;
        if (g_region.patched[word])
            GameData_Fail(chunk.Chunk(),
                          "reference %u of %s at offset %zu was already bound (a loop or crossed chains)", i,
                          name, at);
        g_region.patched[word] = true;
        positions.push_back(at);
        position += ChainDistance(code.Peek<uint32_t>(at + 4), chain);
    }
    for (size_t at : positions) {
        const uint32_t operand = code.Peek<uint32_t>(at + 4);
        code.Patch<uint32_t>(at + 4, chain == Chain::Function
                                         ? static_cast<uint32_t>(id)
                                         : (operand & ~kVariableIdMask) |
                                               (static_cast<uint32_t>(id) & kVariableIdMask));
    }
}

uint32_t VariableCount(ImageReader& chunk, const char* scope) {
    uint32_t count = chunk.U32();
    if (count > kMaxVariables)
        GameData_Fail(chunk.Chunk(), "%u %s variables, more than the %u the runtime accepts", count, scope,
                      kMaxVariables);
    return count;
}

// The id a newer-layout record binds to. Slots of instance and global
// records must lie inside their scope's count.
int32_t BindVariableRecord(const ImageReader& chunk, const char* name, int32_t kind, int32_t id) {
    if (id == VARIABLE_SCOPE_BUILTIN) {
        if (std::strcmp(name, "arguments") == 0) return VARIABLE_ID_ARGUMENTS;
        return Code_Variable_Find_Set(name, VARIABLE_SCOPE_BUILTIN, VARIABLE_SCOPE_BUILTIN);
    }
    if (kind == VARIABLE_SCOPE_INSTANCE || kind == VARIABLE_SCOPE_GLOBAL) {
        const int32_t slots = kind == VARIABLE_SCOPE_INSTANCE ? g_nInstanceVariables : g_nGlobalVariables;
        if (id < 0 || id >= slots)
            GameData_Fail(chunk.Chunk(), "variable %s has slot %d outside its %d slots", name, id, slots);
    } else if (id < 0 || static_cast<uint32_t>(id) > kVariableIdMask - VARIABLE_ID_BASE) {
        GameData_Fail(chunk.Chunk(), "variable %s has slot %d outside any scope", name, id);
    }
    return Code_Variable_Find_Set(name, kind, id);
}

void OldVariablesLoad(ImageReader& chunk) {
    if (chunk.Remaining() % 12 != 0) chunk.Fail("variable records do not fill the chunk");
    while (chunk.Remaining() > 0) {
        const size_t record = chunk.Position();
        const char* text = chunk.StringAt();
        const char* name = text != nullptr ? text : "";
        const uint32_t count = chunk.U32();
        const uint32_t first = chunk.U32();
        const int id = Code_Variable_Find(name);
        if (id < 0) Unresolved(chunk, record, "variable", name);
        PatchChain(chunk, name, count, first, id, Chain::Variable29);
    }
}

int32_t ClampCount(intptr_t count) {
    return count > 0 ? static_cast<int32_t>(std::min<intptr_t>(count, kMaxVariables)) : 0;
}

} // namespace

void Code_CheckEntries(const ImageReader& code, bool newerLayout) {
    g_region = ReferenceRegion{};
    if (code.Empty()) return;
    ImageReader table = code;
    const uint32_t count = table.Count(4);
    std::vector<std::pair<size_t, size_t>> ranges;
    ranges.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const SCodeEntryRecord entry = Code_ReadEntry(code, static_cast<int>(i), newerLayout);
        if (entry.present && entry.length > 0)
            ranges.emplace_back(entry.start, entry.start + static_cast<size_t>(entry.length));
    }
    std::sort(ranges.begin(), ranges.end());
    for (const auto& range : ranges) {
        if (!g_region.ranges.empty() && range.first < g_region.ranges.back().second)
            g_region.ranges.back().second = std::max(g_region.ranges.back().second, range.second);
        else
            g_region.ranges.push_back(range);
    }
    g_region.code = code;
    g_region.patched.assign((code.ChunkEnd() - code.ChunkStart()) / 4 + 1, false);
}

// ---------------------------------------------------------------------------
// The variable and function chunks.

void VARI_Load(ImageReader& chunk) {
    if (!g_subFunctionsOption) {
        OldVariablesLoad(chunk);
        return;
    }
    g_nGlobalVariables = g_nInstanceVariables = g_nLocalVariables = 0;
    const uint32_t globals = VariableCount(chunk, "global");
    uint32_t instances = VariableCount(chunk, "instance");
    const uint32_t locals = VariableCount(chunk, "local");
    if (instances == 0) instances = 2;
    if (chunk.Remaining() % 20 != 0) chunk.Fail("variable records do not fill the chunk");
    g_nGlobalVariables = static_cast<int32_t>(globals);
    g_nInstanceVariables = static_cast<int32_t>(instances);
    g_nLocalVariables = static_cast<int32_t>(locals);
    Code_Variable_Init(g_nGlobalVariables, g_nInstanceVariables, g_nLocalVariables);
    init_csol->Output("got %d global variables\n", g_nGlobalVariables);
    init_csol->Output("got %d instance variables\n", g_nInstanceVariables);
    init_csol->Output("got %d local variables\n", g_nLocalVariables);

    while (chunk.Remaining() > 0) {
        const size_t record = chunk.Position();
        const char* text = chunk.StringAt();
        const char* name = text != nullptr ? text : "";
        const int32_t kind = chunk.S32();
        const int32_t id = chunk.S32();
        const uint32_t count = chunk.U32();
        const uint32_t first = chunk.U32();
        const int32_t bound = BindVariableRecord(chunk, name, kind, id);
        if (bound < 0) Unresolved(chunk, record, "variable", name);
        PatchChain(chunk, name, count, first, bound, Chain::Variable28);
    }
}

void FUNC_Load(ImageReader& chunk) {
    uint32_t count;
    if (g_subFunctionsOption) {
        count = chunk.Count(12);
    } else {
        if (chunk.Remaining() % 12 != 0) chunk.Fail("function records do not fill the chunk");
        count = static_cast<uint32_t>(chunk.Remaining() / 12);
    }
    for (uint32_t i = 0; i < count; ++i) {
        const size_t record = chunk.Position();
        const char* text = chunk.StringAt();
        const char* name = text != nullptr ? text : "";
        const uint32_t references = chunk.U32();
        const uint32_t first = chunk.U32();
        int id = -1;
        if (!Code_Function_Find(name, &id) || id < 0) Unresolved(chunk, record, "function", name);
        PatchChain(chunk, name, references, first, id, Chain::Function);
    }
    if (g_subFunctionsOption && chunk.Remaining() > 0) Code_Variable_Read_Local_Names(chunk);
}

void Code_Variable_Read_Local_Names(ImageReader& table) {
    struct Building {
        SLocalNames* records = nullptr;
        int32_t count = 0;
        ~Building() {
            for (int32_t i = 0; i < count; ++i) {
                for (int32_t n = 0; n < records[i].m_count; ++n) ZQ_Free(records[i].m_ppNames[n]);
                ZQ_Free(records[i].m_ppNames);
                ZQ_Free(records[i].m_pFunctionName);
            }
            ZQ_Free(records);
        }
    } building;
    const uint32_t functions = table.Count(8);
    if (functions > 0) {
        building.records = ZQ_AllocArray<SLocalNames>(functions);
        if (building.records == nullptr) table.Fail("out of memory for the local names");
    }
    for (uint32_t f = 0; f < functions; ++f) {
        const uint32_t locals = table.Count(8);
        SLocalNames& record = building.records[building.count++];
        record.m_pFunctionName = ZQStrDup(table.StringAt());
        if (locals > 0) {
            record.m_ppNames = ZQ_AllocArray<char*>(locals);
            if (record.m_ppNames == nullptr) table.Fail("out of memory for the local names");
        }
        for (uint32_t n = 0; n < locals; ++n) {
            table.U32(); // a word the runtime does not use
            record.m_ppNames[record.m_count++] = ZQStrDup(table.StringAt());
        }
    }
    Code_Variable_Set_Local_Names(building.records, building.count);
    building.records = nullptr;
    building.count = 0;
}

// Older bytecode: every instruction's opcode is renumbered through the
// table below; comparisons (new opcode 21) keep their kind (the old opcode
// minus 16, 1 to 6) in bits 8 to 15. The walk steps over operands by the
// old word's operand flag and first type, inside the code chunk only.
void Code_Patch(ImageReader& chunk) {
    static constexpr uint8_t kOldToNew[32] = {0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                              20, 21, 21, 21, 21, 21, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31};
    const uint32_t count = chunk.Count(4);
    if (g_subFunctionsOption) return;
    for (uint32_t i = 0; i < count; ++i) {
        const SCodeEntryRecord entry = Code_ReadEntry(chunk, static_cast<int>(i), false);
        if (!entry.present || entry.length <= 0) continue;
        const size_t end = entry.start + static_cast<size_t>(entry.length);
        for (size_t pos = entry.start; pos < end;) {
            if (end - pos < 4) GameData_Fail(chunk.Chunk(), "code entry %u ends inside an instruction", i);
            const uint32_t word = chunk.Peek<uint32_t>(pos);
            const uint32_t oldOpcode = (word >> 24) & 0x1F;
            const uint32_t opcode = kOldToNew[oldOpcode];
            uint32_t rewritten = (word & 0xE0FFFFFFu) | (opcode << 24);
            if (opcode == kComparisonOpcode)
                rewritten = (rewritten & ~0xFF00u) | (((oldOpcode - 16) & 0xFF) << 8);
            chunk.Patch<uint32_t>(pos, rewritten);
            size_t step = 4;
            if ((word & VM_OPERAND_FLAG) != 0)
                step += static_cast<size_t>(ParamSize(static_cast<int>(word >> 16)));
            pos += std::min(step, end - pos);
        }
    }
}

// ---------------------------------------------------------------------------
// The compiled game's record.

void Code_LoadCompiledRecord(void (*fill)(SLLVMVars*)) {
    g_LLVMVars = SLLVMVars{};
    if (fill != nullptr) fill(&g_LLVMVars);
    g_ppZQStackTrace =
        g_LLVMVars.ppStackTraceHead != nullptr ? g_LLVMVars.ppStackTraceHead : &SZQStackTrace::s_pStart;
}

namespace {
void (*g_CompiledRecordFiller)(SLLVMVars*) = nullptr;
}

void Code_SetCompiledRecordFiller(void (*fill)(SLLVMVars*)) {
    g_CompiledRecordFiller = fill;
}

void Code_LoadCompiledRecord() {
    Code_LoadCompiledRecord(g_CompiledRecordFiller != nullptr ? g_CompiledRecordFiller : InitLLVM);
}

// Before the second walk: slot counts and names from the record (when it
// has variables; a game without compiled variables keeps what the variable
// chunk declared), built-in ids, and the global object.
void Code_BindBeforeLoad() {
    const SLLVMVars& record = g_LLVMVars;
    if (record.ppVars != nullptr) {
        if (g_pGlobal == nullptr && record.nGlobalVariables > 0)
            g_nGlobalVariables = ClampCount(record.nGlobalVariables);
        if (record.nInstanceVariables > 0) g_nInstanceVariables = ClampCount(record.nInstanceVariables);
        Code_Variable_Init(g_nGlobalVariables, g_nInstanceVariables, 0);
        for (int32_t i = 0; i < g_nInstanceVariables && record.ppVars[i] != nullptr; ++i)
            Code_Variable_Find_Set(record.ppVars[i]->pName, VARIABLE_SCOPE_INSTANCE, i);
        for (int32_t i = 0; i < g_nGlobalVariables && record.ppVars[i] != nullptr; ++i)
            Code_Variable_Find_Set(record.ppVars[i]->pName, VARIABLE_SCOPE_GLOBAL, i);
        for (SNameIdRecord** v = record.ppVars; *v != nullptr; ++v)
            if ((*v)->id == -1) (*v)->id = Variable_BuiltIn_Find((*v)->pName);
    }
    const int32_t slots = std::max(g_nGlobalVariables, g_nInstanceVariables);
    if (g_pGlobal != nullptr && g_pGlobal->m_slots != nullptr && g_pGlobal->m_slotCount < slots) {
        // Compiled code indexes the global slots directly: a global object
        // kept from an earlier load must hold every slot of this one.
        g_pGlobal->GrowSlots(slots);
    }
    if (g_pGlobal == nullptr) {
        // A plain object: kind 3 would mark it as a callable reference,
        // which it is not.
        g_pGlobal = ZQObjectBase::Alloc(static_cast<uint32_t>(slots), VALUE_UNSET, true);
        g_pGlobal->m_pPrototype = nullptr;
        g_pGlobal->m_generation = 3; // the oldest generation: the collector's root
        g_pScopeHead = g_pGlobal;
        if (g_fJSGarbageCollection) CREATE_RVALUE_MUTEX();
        if (g_pSetLLVMVar != nullptr) g_pSetLLVMVar(0, &g_pGlobal);
    }
}

// After the second walk: every variable record's final id (its built-in's
// index, else the id of its own slot) and every function record's id.
void Code_BindAfterLoad() {
    const SLLVMVars& record = g_LLVMVars;
    if (record.ppVars != nullptr) {
        const int32_t slots = std::max(g_nGlobalVariables, g_nInstanceVariables);
        int32_t i = 0;
        for (SNameIdRecord** v = record.ppVars; *v != nullptr; ++v, ++i) {
            const int builtin = Variable_BuiltIn_Find((*v)->pName);
            if (builtin >= 0)
                (*v)->id = builtin;
            else if (i < slots)
                (*v)->id = VARIABLE_ID_BASE + i;
            else
                Unresolved("variable", (*v)->pName);
        }
    }
    if (record.ppFuncs != nullptr) {
        for (SNameIdRecord** f = record.ppFuncs; *f != nullptr; ++f) {
            int id = -1;
            if (!Code_Function_Find((*f)->pName, &id) || id < 0) Unresolved("function", (*f)->pName);
            (*f)->id = id;
        }
    }
}

void Code_UnbindGameData() {
    Script_Free();
    Code_FreeEntries();
    if (g_pGlobal != nullptr) {
        ZQObjectBase* global = g_pGlobal;
        g_pGlobal = nullptr;
        ZQObjectBase::Free(global);
    }
    g_pScopeHead = nullptr;
    FINALIZE_Code_Variable();
    g_nGlobalVariables = g_nInstanceVariables = g_nLocalVariables = 0;
    Code_CheckEntries(ImageReader(), false);
}
