// The command line: joining the process arguments into one text, splitting it
// into tokens (blanks and control bytes separate, double quotes group) and
// applying the options to the run settings. Tokens and the argument vector
// grow as needed: no length or count limit.
#pragma once

#include <cstddef>
#include <cstdio>

// The command-line text (memory-manager block, or null until built).
extern char* g_pCommandLine;
// The token read last, zero-terminated ("" before the first read).
extern char* g_CmdBuffer;
// Every token of the last parse that had text, options and their arguments
// alike, in the order read (memory-manager copies); the command-line parameter
// built-ins report them.
extern char** g_pArgV;
extern int g_nArgC;

// Builds g_pCommandLine from the process arguments when it does not exist yet
// and the run was not launched from the player: every argument after the
// program path in double quotes (so that blanks and non-ASCII bytes survive;
// a double quote inside an argument cannot be carried and is dropped), each
// followed by a space; then, in a packaged build, "-game" with the known game
// file (or the located executable game file), and "-debugoutput" and
// "-output" with their files when those are known. Prints the text to the
// debug console.
void CommandLine_Build(int argc, const char* const* argv);

// Reads the token at `position` of `text` into g_CmdBuffer and appends a copy to
// the argument vector; returns the position after it. Bytes below 33 as
// signed values (0 to 32 and 128 to 255) separate tokens outside quotes; a
// double quote toggles quoting and is not copied. No token (nothing appended)
// when the text is null or only separators remain.
size_t GetNextCmd(size_t position, const char* text);

// Resets the per-parse settings (debug mode, extension calls, input recording
// and playback, interpreter use, audio, windowed mode, overlay flags,
// "-noerrors"), then applies every option of the text in order. Option names
// compare exactly; unknown tokens are ignored; a missing option argument
// reads as "". A null or empty text leaves the argument vector as it was.
void ProcessCommandLine(const char* text);

// The options with their arguments, one a line, for "-help".
void CommandLine_PrintUsage(FILE* out);

// Frees the command-line text, the token buffer and the argument vector.
void CommandLine_Quit();
