// Code entries and the compiled-code record: the record the game's compiled
// code hands over at start-up (its variables, the built-ins it calls, its
// functions by code index, its call-stack head), the typed slots compiled
// functions are called through, bytecode buffers over the data file, and the
// table of code entries with the runner that executes them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/function_table.h"
#include "core/rvalue.h"

class CInstance;
class ImageReader;
struct SZQStackTrace;

// A compiled event: void vtl_Object_<object>_<Event>_<n>(self, other).
using TZQEvent = void (*)(CInstance* self, CInstance* other);

// One entry of the compiled-function table, by code index. Scripts and
// events have different signatures, so each has its own slot and the other
// stays null: nothing is ever called through a type it was not made with.
struct SCompiledFunction {
    const char* pName;
    TZQScript pScript; // vtl_Script_<name>, or null
    TZQEvent pEvent;   // vtl_Object_<object>_<Event>_<n>, or null
};

// A name the compiled code refers to and the id bound to it at load: a
// variable id (built-in index or 100000 + slot) or a function id. Compiled
// code reads the id at run time; it is -1 until bound.
struct SNameIdRecord {
    const char* pName;
    int32_t id;
};

// The compiled-code record, filled by the game (InitLLVM). Every field is
// pointer-wide, so the runtime and the compiled game agree on one layout.
struct SLLVMVars {
    const uint8_t* pWAD;                     // embedded data image, or null
    intptr_t nWADFileLength;                 // its length
    intptr_t nGlobalVariables;               // global slot count (used when positive)
    intptr_t nInstanceVariables;             // instance slot count (used when positive)
    intptr_t nCodeEntries;                   // entries of pCodeFunctions
    SNameIdRecord** ppVars;                  // null-terminated; record i is also slot i
    SNameIdRecord** ppFuncs;                 // null-terminated
    const SCompiledFunction* pCodeFunctions; // by code index
    SZQStackTrace** ppStackTraceHead;        // the call-stack head the functions link into
};
static_assert(sizeof(SLLVMVars) == 9 * sizeof(void*), "nine pointer-wide fields");

// The record in use (zero-filled until the game fills it).
extern SLLVMVars g_LLVMVars;
// Filled by the game's compiled code.
void InitLLVM(SLLVMVars* vars);
// The compiled function of a code index, or null outside the table.
const SCompiledFunction* Code_CompiledFunction(int codeIndex);

// A bytecode buffer over the data file: the bytes belong to the image and
// are never freed here; the two scratch blocks a user of the buffer may make
// are freed with it.
class VMBuffer {
public:
    VMBuffer() = default;
    virtual ~VMBuffer();
    VMBuffer(const VMBuffer&) = delete;
    VMBuffer& operator=(const VMBuffer&) = delete;

    int32_t m_size = 0;
    int32_t m_numLocalsUsed = 0;
    int32_t m_numArguments = 0; // the data file's argument word
    const uint8_t* m_pBuffer = nullptr;
    void* m_pConvertedBuffer = nullptr; // memory-manager block, or null
    void* m_pJumpBuffer = nullptr;      // memory-manager block, or null
};

// Kinds of code entries.
enum : int32_t {
    CODE_KIND_RUN = 1,        // runs its compiled function or bytecode
    CODE_KIND_RUN_ACTION = 2, // the same, made with the creation flag set
    CODE_KIND_CONSTANT = 3,   // yields its constant
};

// A code entry: an object event, a room's creation code, a script body or a
// piece of global initialisation code. It runs a compiled function, bytecode
// from the data file, or yields a constant.
class CCode {
public:
    // With compiled code, entry `index` of the compiled-function table (an
    // index outside it gives an entry that runs nothing). Otherwise a
    // bytecode buffer over the data file's code record `index`, checked
    // against the image (a record that does not fit gives no bytecode).
    // Entries with a non-negative index join the global list.
    CCode(int index, bool flag);
    virtual ~CCode();
    CCode(const CCode&) = delete;
    CCode& operator=(const CCode&) = delete;

    const char* GetText() const { return m_pText; }

    CCode* m_pNext = nullptr; // the global list, newest first
    int32_t m_kind;
    RValue m_value; // the constant of a kind-3 entry
    VMBuffer* m_pVM = nullptr;
    VMBuffer* m_pVMDebugInfo = nullptr;
    const char* m_pText = nullptr;
    const char* m_pName = nullptr;
    int32_t m_codeIndex;
    const SCompiledFunction* m_pFunc = nullptr;
    bool m_unlisted = false; // not on the global list
    int32_t m_offsetInParent = 0;
    int32_t m_localCount = 0;
    int32_t m_argumentCount = 0;
    int32_t m_argumentFlags = 0;
};

extern CCode* g_pFirstCode;
extern int32_t g_TotalCodeBlocks;

// The code-entry table.
extern CCode** g_ppCodeEntries;
extern int32_t g_nCodeEntries;   // capacity
extern int32_t g_nCodeCurrEntry; // entries used

// Appends an entry (a new CCode(index, flag) when the index is not -1 and the
// game has compiled code or bytecode, else null) and returns its number; -1
// when the table cannot grow. Growth: from 0 to the data file's code count
// (16 when it has none), then to (3 × capacity + 1) / 2.
int Code_CreateEntry(int index, bool flag);
// Entry n, or null.
CCode* Code_GetEntry(int n);

// One code entry record of the data file's code chunk, as read.
struct SCodeEntryRecord {
    bool present = false;       // false: the table holds 0 for this entry
    const char* name = nullptr; // in the image, or null
    int32_t length = 0;         // bytes of bytecode (0 or less: none)
    size_t start = 0;           // file offset of the bytecode
    uint16_t locals = 0;
    uint16_t arguments = 0;
    uint32_t offsetInParent = 0;
};
// Reads entry `index` (below the chunk's count) of the code chunk `code`,
// in the newer layout (data with sub-functions) or the older one. Throws
// GameDataError when the record, its name or its bytecode does not lie
// inside the chunk (the name: inside the file).
SCodeEntryRecord Code_ReadEntry(const ImageReader& code, int index, bool newerLayout);

// How many code entries a code index of the data file may name: the
// compiled functions when the game has them (entries run them), else the
// data file's own code entries; -1 when the game has neither (an index then
// names nothing and runs nothing).
int Code_IndexLimit();
// A code index stored at file offset `at` of `chunk` must be -1 (none) or
// name an entry below Code_IndexLimit(); anything else is damage and throws
// GameDataError naming the chunk, the offset and `what` holds the index.
void Code_CheckIndex(const ImageReader& chunk, int32_t index, size_t at, const char* what);
// Deletes every entry and frees the table.
void Code_FreeEntries();

// Runs a code entry; always true. Code_Error_Occured is cleared first. An
// entry with a compiled event calls it with (self, other); one with a
// compiled script calls it with no arguments into `result`; bytecode runs
// through the interpreter hook; a constant entry copies its constant into
// `result`. `result` may be null.
bool Code_Execute(CInstance* self, CInstance* other, CCode* code, RValue* result, int arg);
// The same with arg = 1 when self is given, else 0.
bool Code_Execute_Special(CInstance* self, CInstance* other, CCode* code, RValue* result);

// The relative flag of the legacy action being run.
bool Code_Main_GET_Argument_Relative();
void Code_Main_SET_Argument_Relative(int value);

// Services of the bytecode interpreter and debugger (null until they exist:
// bytecode then does nothing and there is no debugger to wait for).
struct CodeHooks {
    void (*vmExec)(CCode* code, CInstance* self, CInstance* other, RValue* result, int arg);
    void (*tickDebugger)();
};
extern CodeHooks g_CodeHooks;
