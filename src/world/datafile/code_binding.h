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

// Checks every entry of the code chunk `code` (an empty reader: the file has
// none), in the newer layout or the older: each record, its name and its
// bytecode must lie inside the chunk (the name inside the file); damage
// throws GameDataError. Reference chains of the variable and function chunks
// may then patch operand words inside the entries' bytecode and nowhere
// else, never the same word twice. The first walk calls it before any chunk
// is read; it forgets what was patched.
void Code_CheckEntries(const ImageReader& code, bool newerLayout);

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
