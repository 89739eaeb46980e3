// Scripts: the script table loaded from the data file's "SCPT" chunk (plus
// the sub-functions of bytecode data), binding each script to its compiled
// function or code entry, the preparation pass that runs the global
// initialisation code, and performing a script with arguments.
#pragma once

#include <cstdint>

#include "core/code.h"
#include "core/rvalue.h"

class CInstance;
class CStream;
class ImageReader;

// A named script. Its name is never owned by it: it points at the data
// file's text or at the script table's copy, which the table frees.
class CScript {
public:
    explicit CScript(const char* name) : m_pName(name) {}
    virtual ~CScript();
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    // Binds the script to what runs it: with compiled code the compiled
    // script of its code index (false when there is none, with the reason in
    // Code_Error_String); otherwise a new code entry over the data file's
    // code record (false without a code table).
    bool Compile();
    CCode* GetCode() const { return m_pCode; }
    // The compiled script function that runs this script, or null.
    TZQScript GetFunction() const;
    // The old-format source text; new-format scripts have none ("").
    const char* GetText() const { return m_pSource != nullptr ? m_pSource : ""; }
    // Deletes the code entry and the source text.
    void Clear();

    CCode* m_pCode = nullptr;                   // bytecode entry, or null
    const SCompiledFunction* m_pFunc = nullptr; // compiled entry, or null
    int32_t m_codeIndex = -1;
    char* m_pSource = nullptr; // old-format source text (owned), or null
    const char* m_pName;
    int32_t m_subFunctionWord = 0;
};

// One sub-function of bytecode data: {name, code index, word}. It becomes a
// script after the "SCPT" chunk's own.
struct SSubFunction {
    const char* pName;
    int32_t codeIndex;
    int32_t word;
};
extern SSubFunction* g_pSubFunctions;
extern int32_t g_numSubFunctions;

// The script table: scripts by index (null where none) and their names.
extern int32_t Script_Main_number;
extern CScript** Script_Main_items;
extern char** Script_Main_names;

// The running script call's arguments (the bytecode interpreter and
// Script_Perform set them around each call).
extern RValue* Argument;
extern int g_ArgumentCount;

// Deletes every script and name; the count becomes 0. Also makes the
// function table find scripts by name.
void Script_Init();
void Script_Free();
void FINALIZE_Script_Main();
// The code entries' finaliser, which has nothing to do.
void FINALIZE_Code_Main();

// The "SCPT" chunk: a count, one file offset per script (0: none), records
// {name offset, code index} (old-format data: the offset of the source text
// in place of the code index). The table becomes exactly the chunk's scripts
// and the sub-functions; a damaged chunk throws GameDataError and leaves the
// table as it was.
void Script_Load(ImageReader& chunk);
// The legacy stream form needs the memory stream, which this runtime does not
// have: refused with a line on the debug console (false), the table unchanged.
bool Script_Load(CStream* stream);

// Once after loading: compiles every script (a failure shows "COMPILATION
// ERROR in Script: ..." and gives false), runs the global initialisation
// code of the "GLOB" list with the global object as self and other, and,
// with the script-object collector, runs every top-level script once.
bool Script_Prepare();

// Runs script `index` with self and other, `argc` arguments from the row
// `args` (may be null) into `result` (may be null). False only when no script
// stands at the index; then the arguments are left to the caller. Otherwise
// the call consumes its arguments: every value of the row is released and
// left undefined, whether or not anything ran.
bool Script_Perform(int index, CInstance* self, CInstance* other, int argc, RValue* result,
                    DynamicArrayOfRValue* args);

int Script_Number();
// The script at an index, or null.
CScript* Script_Data(int index);
bool Script_Exists(int index);
// The script's name, or "<undefined>".
const char* Script_Name(int index);
// The highest index whose script has exactly this name, or -1.
int Script_Find(const char* name);
