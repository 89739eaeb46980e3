// The code chunks: "CODE" (code entries with their bytecode and the
// reference chains threaded through it), "VARI" (variables), "FUNC"
// (functions and the local-name table), "SCPT" (scripts) and "GLOB" (global
// initialisation code), in the older layout or the newer one (data with
// sub-functions, header version above 14).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

enum class CodeLayout { Older, Newer };

// One code entry. Newer layout: {name, length, u16 locals, u16 argument
// word, offset of the bytecode from this word, offset in the parent code},
// the bytecode after all entries. Older layout: {name, length, bytecode}.
struct CodeEntryFields {
    std::string name;
    std::vector<uint32_t> bytecode; // instruction and operand words
    uint16_t locals = 0;
    uint16_t arguments = 0;
    uint32_t offsetInParent = 0;
};

enum class ReferenceKind { Variable, Function };

// The instruction at word `word` of entry `entry`'s bytecode refers to a
// variable or function; the word after it is its operand. References to one
// name form one chain, in the order they are listed here: each operand holds
// the distance in bytes to the next reference (variables keep the operand's
// top bits and use the low 28 bits, 29 in the older layout).
struct CodeReference {
    ReferenceKind kind = ReferenceKind::Variable;
    std::string name;
    size_t entry = 0;
    size_t word = 0;
    std::optional<int32_t> distance; // written in place of the true distance (damaged files)
};

struct CodeFields {
    CodeLayout layout = CodeLayout::Newer;
    std::vector<CodeEntryFields> entries;
    std::vector<CodeReference> references;
};

// Appends "CODE": a count, one file offset per entry, the entries. The first
// reference of each chain is labelled (see ChainLabel).
Chunk& WriteCode(GameDataWriter& writer, const CodeFields& code);

// The number of references to a name and the label of the first one.
struct ChainInfo {
    uint32_t count = 0;
    std::string label; // empty when there are none
};
ChainInfo Chain(const CodeFields* code, ReferenceKind kind, const std::string& name);

// One variable. Newer layout record: {name, kind, id, reference count, first
// reference}; older: {name, reference count, first reference}.
struct VariableFields {
    std::string name;
    int32_t kind = -1;                      // -1 instance, -5 global, -6 built-in
    int32_t id = 0;                         // the slot (-6 for a built-in)
    std::optional<uint32_t> referenceCount; // written in place of the chain's count
};

struct VariablesFields {
    CodeLayout layout = CodeLayout::Newer;
    uint32_t globals = 0; // newer layout: the three counts
    uint32_t instances = 0;
    uint32_t locals = 0;
    std::vector<VariableFields> variables;
};

// Appends "VARI"; chains come from `code` (null: no references).
Chunk& WriteVariables(GameDataWriter& writer, const VariablesFields& fields, const CodeFields* code);

struct FunctionFields {
    std::string name;
    std::optional<uint32_t> referenceCount;
};

struct LocalNamesFields {
    std::string function;
    std::vector<std::string> names;
};

struct FunctionsFields {
    CodeLayout layout = CodeLayout::Newer;
    std::vector<FunctionFields> functions;
    std::vector<LocalNamesFields> locals; // newer layout only
};

// Appends "FUNC": newer layout a count, 12-byte records {name, reference
// count, first reference} and the local-name table; older the bare records.
Chunk& WriteFunctions(GameDataWriter& writer, const FunctionsFields& fields, const CodeFields* code);

// One script record: {name offset, code index}; data of the oldest format
// stores the offset of the script's source text in place of the code index.
struct ScriptFields {
    std::optional<std::string> name; // none: name offset 0
    uint32_t codeIndex = 0;
    std::optional<std::string> source;
};

// Appends "SCPT": a count, one file offset per script (0 for an empty
// entry), the records (labelled "<labelPrefix>.<index>").
Chunk& WriteScripts(GameDataWriter& writer, const std::vector<std::optional<ScriptFields>>& scripts,
                    const std::string& labelPrefix = "SCPT");

// Appends "GLOB": a count and the code indices of global initialisation code.
Chunk& WriteGlobalScripts(GameDataWriter& writer, const std::vector<int32_t>& codeIndices);

} // namespace wad
