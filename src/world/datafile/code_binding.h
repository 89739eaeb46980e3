// Binding the names code refers to: the variable chunk ("VARI") and the
// function chunk ("FUNC") with their reference chains patched into the
// bytecode, older bytecode brought up to the current opcode numbering, and
// the compiled game's record bound to variable slots, built-in variable ids
// and function ids. The chunk loaders themselves are declared with the other
// loaders in world/datafile/game_data_services.h.
#pragma once

#include <cstddef>

class ImageReader;
struct SLLVMVars;

// The payload of the data file's code chunk: reference chains may patch
// operand words inside it and nowhere else, and never the same word twice.
// Set by the first walk before any chunk is read; forgets what was patched.
void Code_SetReferenceRegion(size_t start, size_t end);

// Fills the compiled-code record with `fill` (the game's InitLLVM by
// default; tests and tools pass their own) and points the error report at
// its call-stack head.
void Code_LoadCompiledRecord(void (*fill)(SLLVMVars*));
// The filler start-up uses (through Code_LoadCompiledRecord()): the game's
// InitLLVM unless a program linking the runtime with compiled code of its
// own installs its filler here; null restores InitLLVM.
void Code_SetCompiledRecordFiller(void (*fill)(SLLVMVars*));

// The local-variable name table that follows the newer function chunk's
// records: a function count, then per function {local count, name offset}
// and that many {word, name offset}. Copies are handed to the variable
// names; a damaged table throws GameDataError and changes nothing.
void Code_Variable_Read_Local_Names(ImageReader& table);

// Forgets everything a load bound: scripts, code entries, variable names,
// counts, the global object and the reference region. The compiled record
// and the built-in variables stay.
void Code_UnbindGameData();
